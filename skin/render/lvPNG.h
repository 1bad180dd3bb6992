#pragma once
// The skinning library's PNG reader: a bitmap that decodes a PNG into an ordinary device-independent bitmap of 1,
// 4, 8, 24 or 32 bits per pixel, and draws 32-bit results with their alpha channel. It registers itself with the
// picture class for ".png", so every picture loaded from a PNG file is read here; the decoding itself is the
// program's one PNG core (platform/vcl/pngreader.h), the pixel conversion the colour manager.
//
// Formats: grey images load as 1-, 4- or 8-bit bitmaps with a grey palette, indexed images with their palette,
// RGB as 24-bit and RGB with alpha as 32-bit bitmaps with straight alpha. Transparency that those formats cannot
// carry is not dropped: grey images with alpha and images with a transparent colour or transparent palette
// entries (tRNS) load as 32-bit bitmaps with straight alpha.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/pngreader.h"
#include "skin/core/sDefaults.h"
#include "skin/render/lvColorManager.h"

using vcl::TLZ77Decoder;

enum TImageOption { ioBigEndian, ioUseGamma };
using TImageOptions = vcl::TSet<TImageOption>;
enum TCompressionType { ctUnknown, ctNone, ctLZ77 };

struct TImageProperties {
  TImageOptions Options;
  std::uint32_t Width = 0;
  TColorScheme ColorScheme = csUnknown;
  std::uint8_t BitsPerSample = 0;
  std::uint8_t SamplesPerPixel = 0;
  TCompressionType Compression = ctUnknown;
};

enum TProgressStage { psStarting, psRunning, psEnding };
using TPNGProgressEvent = std::function<void(rtl::TObject* sender, TProgressStage stage, int percent,
                                             const vcl::TRect& r, const rtl::String& message)>;

// Off: CanLoad refuses every file. On by default.
extern bool UseLVPng;

class TPNGGraphic : public vcl::TBitmap {
  VCL_CLASS(TPNGGraphic, vcl::TBitmap)
  TPNGGraphic();
  ~TPNGGraphic() override;
  vcl::TGraphic* NewInstance() const override { return new TPNGGraphic; }

  // More than 8 bytes after the position, the first 8 the PNG signature; the position is kept.
  static bool CanLoad(const rtl::String& fileName);
  static bool CanLoad(rtl::TStream& stream);
  // The 8 bytes every PNG starts with.
  static const rtl::Byte* PNGSignature();

  // Decodes the PNG at the start of data; returns the bytes up to and including IEND.
  size_t LoadFromMemory(const rtl::Byte* data, size_t size) override;
  void LoadFromStream(rtl::TStream& stream) override;
  void Draw(vcl::TCanvas& canvas, const vcl::TRect& rect) override;
  void Assign(const rtl::TPersistent* source) override;

  const TImageProperties& ImageProperties() const { return FImageProperties; }
  TColorManager& ColorManager() { return *FColorManager; }
  vcl::TColor BackgroundColor() const { return FBackgroundColor; }
  vcl::TColor PngTransparentColor() const { return FTransparentColor; }

  bool Reflected = false;
  TPNGProgressEvent OnProgress;

 private:
  class TSink;
  friend class TSink;
  void Progress(TProgressStage stage, int percent, const rtl::String& message);
  // Sets the colour manager and the pixel format for the image's colour type and depth; answers the bytes per
  // complete pixel of the filtered data.
  int SetupColorDepth(int colorType, int bitDepth);

  std::unique_ptr<TColorManager> FColorManager;
  vcl::TRect FProgressRect;
  TImageProperties FImageProperties;
  HPALETTE FPalette = nullptr;
  vcl::TColor FTransparentColor = vcl::clNone;
  vcl::TColor FBackgroundColor = 0xFFFFFF;
  int FSourceBPP = 1;
};

// Registers TPNGGraphic with the picture class for "png" (done once when the library starts; calling it again
// changes nothing).
void RegisterLVPng();
