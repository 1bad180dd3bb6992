#pragma once
// Icons: ICO files (one or more images; the one nearest the system icon size is shown) and icon handles.
#include <vector>

#include "platform/vcl/graphic.h"

namespace vcl {

class TIcon : public TGraphic {
  VCL_CLASS(TIcon, TGraphic)
  TIcon() = default;
  ~TIcon() override;
  TGraphic* NewInstance() const override { return new TIcon; }
  void Assign(const rtl::TPersistent* source) override;

  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // An icon's size comes from its image: changing it raises EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  bool Transparent() const override { return true; }

  HICON Handle() const { return handle_; }
  // Takes over the icon; 0 empties it.
  void SetHandle(HICON icon);
  HICON ReleaseHandle();

  // An icon resource (RT_GROUP_ICON) of the module at the system icon size; raises EInvalidGraphic when missing.
  void LoadFromResourceName(HINSTANCE instance, const rtl::String& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

  void Draw(TCanvas& canvas, const TRect& rect) override;
  size_t LoadFromMemory(const rtl::Byte* data, size_t size) override;
  // The ICO bytes it was loaded from, or a one-image ICO made from the handle.
  void SaveToMemory(std::vector<rtl::Byte>& out) const override;

private:
  void Reset();
  HICON handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::vector<rtl::Byte> data_;
};

}  // namespace vcl
