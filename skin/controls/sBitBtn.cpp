#include "skin/controls/sBitBtn.h"

TsBitBtn::TsBitBtn(vcl::TComponent* owner)
    : vcl::TBitBtn(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsBitBtn;
}

TsBitBtn::~TsBitBtn() = default;

void TsBitBtn::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsBitBtn::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

VCL_REGISTER(TsBitBtn) { cls.Prop(L"SkinData", &TsBitBtn::SkinData, &TsBitBtn::SetSkinData); }
