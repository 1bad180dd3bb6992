#include "skin/controls/sDBMemo.h"

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

VCL_REGISTER(TsDBMemo) { cls.Prop(L"SkinData", &TsDBMemo::SkinData, &TsDBMemo::SetSkinData); }
