#include "skin/controls/sMaskEdit.h"

#include "skin/controls/sSkinCommands.h"

TsMaskEdit::TsMaskEdit(vcl::TComponent* owner)
    : vcl::TMaskEdit(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsEdit;
}

TsMaskEdit::~TsMaskEdit() = default;

void TsMaskEdit::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsMaskEdit::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsMaskEdit::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"EDIT")) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsMaskEdit) {
  cls.Prop(L"AutoSize", &TsMaskEdit::AutoSize, &TsMaskEdit::SetAutoSize).Default(true);
  cls.Prop(L"SkinData", &TsMaskEdit::SkinData, &TsMaskEdit::SetSkinData);
}
