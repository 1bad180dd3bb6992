#include "skin/controls/sDBGrid.h"

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

VCL_REGISTER(TsDBGrid) { cls.Prop(L"SkinData", &TsDBGrid::SkinData, &TsDBGrid::SetSkinData); }
