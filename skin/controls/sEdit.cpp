#include "skin/controls/sEdit.h"

#include "skin/controls/sSkinCommands.h"

TsEdit::TsEdit(vcl::TComponent* owner)
    : vcl::TEdit(owner),
      FCommonData(std::make_unique<TsCtrlSkinData>(this, true)),
      FBoundLabel(std::make_unique<TsBoundLabel>(this, FCommonData.get())) {
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
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
}

void TsEdit::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"EDIT")) return;
  inherited::WndProc(message);
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(message, this);
}

VCL_REGISTER(TsEdit) {
  cls.Prop(L"Align", &TsEdit::Align, &TsEdit::SetAlign).Default(vcl::alNone);
  cls.Prop(L"SkinData", &TsEdit::SkinData, &TsEdit::SetSkinData);
  cls.Prop(L"BoundLabel", &TsEdit::BoundLabel, &TsEdit::SetBoundLabel);
}
