#include "skin/controls/sDBRichEdit.h"

TsDBRichEdit::TsDBRichEdit(vcl::TComponent* owner) : db::TDBRichEdit(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsMemo;
}

TsDBRichEdit::~TsDBRichEdit() = default;

void TsDBRichEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBRichEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

VCL_REGISTER(TsDBRichEdit) { cls.Prop(L"SkinData", &TsDBRichEdit::SkinData, &TsDBRichEdit::SetSkinData); }
