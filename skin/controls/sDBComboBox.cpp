#include "skin/controls/sDBComboBox.h"

#include "skin/controls/sSkinCommands.h"
#include "skin/core/sSkinManager.h"

TsDBComboBox::TsDBComboBox(vcl::TComponent* owner)
    : db::TDBComboBox(owner), FCommonData(std::make_unique<TsCommonData>(this, true)) {
  FCommonData->COC = COC_TsComboBox;
  SetDropDownCount(16);
}

TsDBComboBox::~TsDBComboBox() = default;

void TsDBComboBox::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBComboBox::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsDBComboBox::WndProc(vcl::TMessage& message) {
  const bool removing = message.Msg == SM_LUMICMD && message.WParamHi() == LVC_REMOVESKIN &&
                        reinterpret_cast<TsSkinManager*>(message.LParam) == FCommonData->SkinManager();
  if (HandleSkinCommand(this, FCommonData.get(), message, L"COMBOBOX")) {
    // Without a skin the combo box takes the platform's colours again.
    if (removing) {
      if (!FCommonData->CustomColor()) SetColor(vcl::clWindow);
      if (!FCommonData->CustomFont()) Font()->SetColor(vcl::clWindowText);
    }
    return;
  }
  inherited::WndProc(message);
}

VCL_REGISTER(TsDBComboBox) {
  cls.Prop(L"DropDownCount", &TsDBComboBox::DropDownCount, &TsDBComboBox::SetDropDownCount).Default(16);
  cls.Prop(L"SkinData", &TsDBComboBox::SkinData, &TsDBComboBox::SetSkinData);
}
