#include "skin/controls/sComboBox.h"

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

VCL_REGISTER(TsCustomComboBox) {}

VCL_REGISTER(TsComboBox) {
  cls.Prop(L"DropDownCount", &TsComboBox::DropDownCount, &TsComboBox::SetDropDownCount).Default(16);
  cls.Prop(L"Alignment", &TsComboBox::Alignment, &TsComboBox::SetAlignment);
  cls.Prop(L"VerticalAlignment", &TsComboBox::VerticalAlignment, &TsComboBox::SetVerticalAlignment);
  cls.Prop(L"ReadOnly", &TsComboBox::ReadOnly, &TsComboBox::SetReadOnly).Default(false);
  cls.Prop(L"SkinData", &TsComboBox::SkinData, &TsComboBox::SetSkinData);
}
