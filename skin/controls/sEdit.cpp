#include "skin/controls/sEdit.h"

TsEdit::TsEdit(vcl::TComponent* owner) : vcl::TEdit(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsEdit;
}

TsEdit::~TsEdit() = default;

void TsEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

VCL_REGISTER(TsEdit) {
  cls.Prop(L"Align", &TsEdit::Align, &TsEdit::SetAlign).Default(vcl::alNone);
  cls.Prop(L"SkinData", &TsEdit::SkinData, &TsEdit::SetSkinData);
}
