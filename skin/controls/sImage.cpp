#include "skin/controls/sImage.h"

TsCustomImage::TsCustomImage(vcl::TComponent* owner)
    : vcl::TImage(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsImage;
}

TsCustomImage::~TsCustomImage() = default;

void TsCustomImage::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsCustomImage::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
}

VCL_REGISTER(TsCustomImage) {}

VCL_REGISTER(TsImage) { cls.Prop(L"SkinData", &TsImage::SkinData, &TsImage::SetSkinData); }
