#pragma once
// The skinned image: a picture, or one image of an image list, composed into the control's own cache bitmap with
// alpha blending, an optional grey tint, a mirrored reflection below it and a fade, over the skin section's
// background. Without an active skin it is the platform's image (its picture drawn centred and scaled into its
// bounds as Center, Stretch and Proportional ask), so the screens look as they always did.
#include <memory>

#include "platform/vcl/extctrls.h"
#include "platform/vcl/imagelist.h"
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

  int Blend() const { return FBlend; }
  void SetBlend(int value);
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool value);
  bool Reflected() const { return FReflected; }
  void SetReflected(bool value);
  bool UseFullSize() const { return FUseFullSize; }
  void SetUseFullSize(bool value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(vcl::TCustomImageList* value);

  // Nothing to show: no usable image of the list and an empty picture.
  bool Empty();
  // The natural size of the image (with room for the whole reflection when asked); always True.
  bool CanAutoSize(int& newWidth, int& newHeight);
  // The size the image is drawn at: its own, or fitted into the control when stretched.
  vcl::TSize GetSrcSize(bool stretched);
  // Where an image of size b is placed in the control.
  vcl::TPoint ImageOffset(const vcl::TSize& b);
  // Rebuilds the cache (background, then the image); false while the parent's background is not ready.
  bool PrepareCache(HDC dc);
  void UpdateImage();

  // Every paint rebuilds the cache while this is set (it stays set).
  bool ImageChanged = true;

 protected:
  void Paint() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void DrawImage();
  void ImageListChange(rtl::TObject* sender);
  // An image of the list is to be shown.
  bool ListImage();

  std::unique_ptr<TsCtrlSkinData> FCommonData;
  std::unique_ptr<vcl::TChangeLink> FImageChangeLink;
  bool FGrayed = false, FReflected = false, FUseFullSize = false;
  int FBlend = 0;
  int FImageIndex = -1;
  vcl::TCustomImageList* FImages = nullptr;
};

class TsImage : public TsCustomImage {
  VCL_CLASS(TsImage, TsCustomImage)
  explicit TsImage(vcl::TComponent* owner) : TsCustomImage(owner) {}
};
