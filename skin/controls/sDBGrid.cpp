#include "skin/controls/sDBGrid.h"

#include "skin/controls/sSkinCommands.h"

TsDBGrid::TsDBGrid(vcl::TComponent* owner)
    : db::TDBGrid(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsDBGrid;
}

TsDBGrid::~TsDBGrid() = default;

void TsDBGrid::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBGrid::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

void TsDBGrid::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, L"EDIT")) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsDBGrid) { cls.Prop(L"SkinData", &TsDBGrid::SkinData, &TsDBGrid::SetSkinData); }
