#include "skin/controls/sDBRichEdit.h"

#include <richedit.h>

#include "skin/controls/sSkinCommands.h"

TsDBRichEdit::TsDBRichEdit(vcl::TComponent* owner)
    : db::TDBRichEdit(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
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

void TsDBRichEdit::SetZoom(int value) {
  if (value <= 0 || value == FZoom) return;
  FZoom = value;
  if (HandleAllocated()) SendMessageW(handle_, EM_SETZOOM, static_cast<WPARAM>(FZoom), 100);
}

void TsDBRichEdit::InitializeWnd() {
  db::TDBRichEdit::InitializeWnd();
  if (FZoom != 100) SendMessageW(handle_, EM_SETZOOM, static_cast<WPARAM>(FZoom), 100);
}

void TsDBRichEdit::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"EDIT")) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsDBRichEdit) {
  cls.Prop(L"SkinData", &TsDBRichEdit::SkinData, &TsDBRichEdit::SetSkinData);
  cls.Prop(L"Zoom", &TsDBRichEdit::Zoom, &TsDBRichEdit::SetZoom).Default(100);
}
