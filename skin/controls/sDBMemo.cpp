#include "skin/controls/sDBMemo.h"

#include "skin/controls/sSkinCommands.h"

TsDBMemo::TsDBMemo(vcl::TComponent* owner)
    : db::TDBMemo(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsMemo;
  control_style_ -= vcl::csOpaque;
  SetParentColor(false);
}

TsDBMemo::~TsDBMemo() = default;

void TsDBMemo::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBMemo::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsDBMemo::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"EDIT")) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsDBMemo) { cls.Prop(L"SkinData", &TsDBMemo::SkinData, &TsDBMemo::SetSkinData); }
