#include "skin/controls/sDBEdit.h"

#include "skin/controls/sSkinCommands.h"

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

void TsDBEdit::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"EDIT")) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsDBEdit) { cls.Prop(L"SkinData", &TsDBEdit::SkinData, &TsDBEdit::SetSkinData); }
