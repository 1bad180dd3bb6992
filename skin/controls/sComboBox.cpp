#include "skin/controls/sComboBox.h"

#include "skin/controls/sSkinCommands.h"
#include "skin/core/sSkinManager.h"

TsCustomComboBox::TsCustomComboBox(vcl::TComponent* owner)
    : vcl::TCustomComboBox(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsComboBox;
  SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox() = default;

void TsCustomComboBox::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsCustomComboBox::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsCustomComboBox::SetAlignment(vcl::TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  FCommonData->Invalidate();
}

void TsCustomComboBox::SetVerticalAlignment(vcl::TVerticalAlignment value) {
  if (value == FVerticalAlignment) return;
  FVerticalAlignment = value;
  FCommonData->BGChanged = true;
  FCommonData->Invalidate();
}

void TsCustomComboBox::WndProc(vcl::TMessage& message) {
  const bool removing = message.Msg == SM_LUMICMD && message.WParamHi() == LVC_REMOVESKIN &&
                        reinterpret_cast<TsSkinManager*>(message.LParam) == FCommonData->SkinManager();
  if (HandleSkinCommand(this, FCommonData.get(), message, AllowBtnStyle() ? L"BUTTON" : L"COMBOBOX")) {
    // Without a skin the combo box takes the platform's colours again.
    if (removing) {
      if (!FCommonData->CustomColor()) SetColor(vcl::clWindow);
      if (!FCommonData->CustomFont()) Font()->SetColor(vcl::clWindowText);
    }
    return;
  }
  inherited::WndProc(message);
}

bool TsCustomComboBox::AllowBtnStyle() const {
  const vcl::TComboBoxStyle s = Style();
  return (s == vcl::csDropDownList || s == vcl::csOwnerDrawFixed || s == vcl::csOwnerDrawVariable) &&
         FCommonData->SkinSection().empty();
}

VCL_REGISTER(TsCustomComboBox) {}

VCL_REGISTER(TsComboBox) {
  cls.Prop(L"DropDownCount", &TsComboBox::DropDownCount, &TsComboBox::SetDropDownCount).Default(16);
  cls.Prop(L"Alignment", &TsComboBox::Alignment, &TsComboBox::SetAlignment);
  cls.Prop(L"VerticalAlignment", &TsComboBox::VerticalAlignment, &TsComboBox::SetVerticalAlignment);
  cls.Prop(L"ReadOnly", &TsComboBox::ReadOnly, &TsComboBox::SetReadOnly).Default(false);
  cls.Prop(L"SkinData", &TsComboBox::SkinData, &TsComboBox::SetSkinData);
}
