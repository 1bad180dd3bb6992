#include "skin/controls/sImage.h"

#include "skin/controls/sSkinCommands.h"

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

void TsCustomImage::WndProc(vcl::TMessage& message) {
  if (HandleSkinCommand(this, FCommonData.get(), message, nullptr)) return;
  inherited::WndProc(message);
}

VCL_REGISTER(TsCustomImage) {}

VCL_REGISTER(TsImage) { cls.Prop(L"SkinData", &TsImage::SkinData, &TsImage::SetSkinData); }
