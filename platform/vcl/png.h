#pragma once
// PNG pictures, decoded by the one decoding core (pngreader.h): every colour type and bit depth, both interlace
// methods, CRC-checked chunks. The skinning library registers its own reader for ".png" on top of this one.
#include <cstdint>
#include <vector>

#include "platform/vcl/bitmap.h"

namespace vcl {

// A decoded PNG: straight (not premultiplied) BGRA pixels, rows from the top.
struct TPngPixels {
  int Width = 0;
  int Height = 0;
  bool HasAlpha = false;  // an alpha channel or a tRNS chunk
  std::vector<std::uint32_t> Pixels;
};

// Decodes the PNG at the start of data; returns the bytes up to and including IEND. Raises EInvalidGraphic.
size_t DecodePng(const rtl::Byte* data, size_t size, TPngPixels& out);
// Encodes 8-bit RGB, or RGBA when alpha is wanted.
std::vector<rtl::Byte> EncodePng(const TPngPixels& image);

class TPngImage : public TGraphic {
  VCL_CLASS(TPngImage, TGraphic)
  TGraphic* NewInstance() const override { return new TPngImage; }
  // From another PNG image or from a bitmap (a pf32bit bitmap with an alpha format keeps its alpha).
  void Assign(const rtl::TPersistent* source) override;

  bool Empty() const override { return bitmap_.Empty(); }
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  void SetWidth(int width) override { SetSize(width, Height()); }
  void SetHeight(int height) override { SetSize(Width(), height); }
  void SetSize(int width, int height) override;
  bool Transparent() const override { return has_alpha_ || TGraphic::Transparent(); }
  // The decoded image: pf32bit with straight alpha when the file has transparency, else pf24bit. Whoever asks for
  // it may change it; drawing then works from the changed pixels.
  TBitmap* Bitmap() {
    drawn_.SetHandle(nullptr);
    return &bitmap_;
  }
  bool HasAlpha() const { return has_alpha_; }

  void Draw(TCanvas& canvas, const TRect& rect) override;
  size_t LoadFromMemory(const rtl::Byte* data, size_t size) override;
  // The bytes it was loaded from, unchanged; otherwise a new encoding of the pixels.
  void SaveToMemory(std::vector<rtl::Byte>& out) const override;

protected:
  void AssignTo(rtl::TPersistent* dest) const override;

private:
  void SetPixels(const TPngPixels& image);
  TBitmap bitmap_;
  // The premultiplied copy AlphaBlend draws from, made on the first draw after a change.
  TBitmap drawn_;
  bool has_alpha_ = false;
  std::vector<rtl::Byte> data_;
};

}  // namespace vcl
