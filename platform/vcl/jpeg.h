#pragma once
// JPEG pictures through libjpeg. The image keeps the bytes it was loaded from (saving writes them back
// unchanged); a JPEG image made from a bitmap is compressed with CompressionQuality when it is saved.
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"

namespace vcl {

class EJPEG : public rtl::EInvalidGraphic {
public:
  using rtl::EInvalidGraphic::EInvalidGraphic;
  rtl::String ClassName() const override { return L"EJPEG"; }
};

class TJPEGImage : public TGraphic {
  VCL_CLASS(TJPEGImage, TGraphic)
  TGraphic* NewInstance() const override { return new TJPEGImage; }
  // From another JPEG image or from a bitmap (compressed when saved).
  void Assign(const rtl::TPersistent* source) override;

  bool Empty() const override { return bitmap_.Empty(); }
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  void SetWidth(int width) override { SetSize(width, Height()); }
  void SetHeight(int height) override { SetSize(Width(), height); }
  void SetSize(int width, int height) override;
  // 1..100, used when the image is compressed anew.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int quality) { quality_ = quality < 1 ? 1 : quality > 100 ? 100 : quality; }
  bool Grayscale() const { return grayscale_; }
  // The decoded pixels (pf24bit).
  TBitmap* Bitmap() { return &bitmap_; }

  void Draw(TCanvas& canvas, const TRect& rect) override;
  size_t LoadFromMemory(const rtl::Byte* data, size_t size) override;
  void SaveToMemory(std::vector<rtl::Byte>& out) const override;
  void ReadData(const rtl::Byte* data, size_t size) override;
  void WriteData(std::vector<rtl::Byte>& out) const override;

protected:
  void AssignTo(rtl::TPersistent* dest) const override;

private:
  TBitmap bitmap_;
  std::vector<rtl::Byte> data_;
  int quality_ = 90;
  bool grayscale_ = false;
};

}  // namespace vcl
