#pragma once
// The skinned image. Without an active skin it is the platform's image: its picture drawn centred and scaled into
// its bounds, keeping the aspect ratio, as Center, Stretch and Proportional ask.
#include <memory>

#include "platform/vcl/extctrls.h"
#include "skin/core/sCommonData.h"

class TsCustomImage : public vcl::TImage {
  VCL_CLASS(TsCustomImage, vcl::TImage)
  void WndProc(vcl::TMessage& message) override;
  explicit TsCustomImage(vcl::TComponent* owner);
  ~TsCustomImage() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCtrlSkinData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCtrlSkinData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsCtrlSkinData> FCommonData;
};

class TsImage : public TsCustomImage {
  VCL_CLASS(TsImage, TsCustomImage)
  explicit TsImage(vcl::TComponent* owner) : TsCustomImage(owner) {}
};
