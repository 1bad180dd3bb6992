#include "skin/controls/sDBEdit.h"

TsDBEdit::TsDBEdit(vcl::TComponent* owner)
    : db::TDBEdit(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsDBEdit;
}

TsDBEdit::~TsDBEdit() = default;

void TsDBEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

VCL_REGISTER(TsDBEdit) { cls.Prop(L"SkinData", &TsDBEdit::SkinData, &TsDBEdit::SetSkinData); }
