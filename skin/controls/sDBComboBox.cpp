#include "skin/controls/sDBComboBox.h"

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

VCL_REGISTER(TsDBComboBox) {
  cls.Prop(L"DropDownCount", &TsDBComboBox::DropDownCount, &TsDBComboBox::SetDropDownCount).Default(16);
  cls.Prop(L"SkinData", &TsDBComboBox::SkinData, &TsDBComboBox::SetSkinData);
}
