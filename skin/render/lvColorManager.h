#pragma once
// Colour conversion for the PNG reader: one row of raw samples in a source format becomes one row of a
// device-independent bitmap in a target format, with byte swapping, depth scaling and gamma on the way. It also
// builds palettes (grey ramps and palettes from raw colour tables) and tells which pixel format a format needs.
#include <cstdint>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/set.h"

enum TColorScheme {
  csUnknown,
  csIndexed,
  csG,
  csGA,
  csRGB,
  csRGBA,
  csBGR,
  csBGRA,
  csCMY,
  csCMYK,
  csCIELab,
  csYCbCr,
  csPhotoYCC
};
enum TConvertOption { coAlpha, coApplyGamma, coNeedByteSwap, coLabByteRange, coLabChromaOffset };
using TConvertOptions = vcl::TSet<TConvertOption>;
enum TRawPaletteFormat {
  pfInterlaced8Triple,
  pfInterlaced8Quad,
  pfPlane8Triple,
  pfPlane8Quad,
  pfInterlaced16Triple,
  pfInterlaced16Quad,
  pfPlane16Triple,
  pfPlane16Quad
};

class EColorConversionError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  rtl::String ClassName() const override { return L"EColorConversionError"; }
};

class TColorManager {
 public:
  TColorManager();

  std::uint8_t SourceBitsPerSample() const { return FSourceBPS; }
  void SetSourceBitsPerSample(std::uint8_t value);
  std::uint8_t TargetBitsPerSample() const { return FTargetBPS; }
  void SetTargetBitsPerSample(std::uint8_t value);
  std::uint8_t SourceSamplesPerPixel() const { return FSourceSPP; }
  void SetSourceSamplesPerPixel(std::uint8_t value);
  std::uint8_t TargetSamplesPerPixel() const { return FTargetSPP; }
  void SetTargetSamplesPerPixel(std::uint8_t value);
  TColorScheme SourceColorScheme() const { return FSourceScheme; }
  void SetSourceColorScheme(TColorScheme value);
  TColorScheme TargetColorScheme() const { return FTargetScheme; }
  void SetTargetColorScheme(TColorScheme value);
  TConvertOptions SourceOptions() const { return FSourceOptions; }
  void SetSourceOptions(TConvertOptions value);
  TConvertOptions TargetOptions() const { return FTargetOptions; }
  void SetTargetOptions(TConvertOptions value);
  vcl::TPixelFormat SourcePixelFormat() const { return GetPixelFormat(0); }
  vcl::TPixelFormat TargetPixelFormat() const { return GetPixelFormat(1); }
  // The pixel format of the target (index 1) or source (index 0) format.
  vcl::TPixelFormat GetPixelFormat(int index) const;

  // Converts count pixels. source holds one pointer for interleaved samples or one per plane. The set bits of mask
  // select columns in each group of 8 (most significant bit first); a clear bit leaves the target pixel alone and
  // takes no source pixel.
  void ConvertRow(const void* const* source, int sourceCount, void* target, unsigned count, std::uint8_t mask);
  void ConvertRow(const void* source, void* target, unsigned count, std::uint8_t mask) {
    ConvertRow(&source, 1, target, count, mask);
  }

  void SetGamma(float mainGamma, float displayGamma);
  // Grey ramp of 2^min(bits x samples, 8) entries, black first unless minimumIsWhite; the caller owns it.
  HPALETTE CreateGrayscalePalette(bool minimumIsWhite);
  HPALETTE CreateColorPalette(const void* const* data, int dataCount, TRawPaletteFormat dataFormat, unsigned colorCount,
                              bool rgb);

  // One sample in, one out.
  std::uint16_t ComponentNoConvert16(std::uint16_t v) const { return v; }
  std::uint8_t ComponentNoConvert8(std::uint8_t v) const { return v; }
  static std::uint16_t ComponentSwapConvert(std::uint16_t v) { return static_cast<std::uint16_t>((v >> 8) | (v << 8)); }
  static std::uint8_t ComponentScaleConvert(std::uint16_t v) { return static_cast<std::uint8_t>(v * 255u / 65535u); }
  static std::uint8_t ComponentSwapScaleConvert(std::uint16_t v) {
    return ComponentScaleConvert(ComponentSwapConvert(v));
  }
  std::uint8_t ComponentGammaConvert(std::uint8_t v) const { return FGammaTable[v]; }
  std::uint8_t ComponentScaleGammaConvert(std::uint16_t v) const { return FGammaTable[ComponentScaleConvert(v)]; }
  std::uint8_t ComponentSwapScaleGammaConvert(std::uint16_t v) const {
    return FGammaTable[ComponentSwapScaleConvert(v)];
  }

 private:
  using TRowConversion = void (TColorManager::*)(const void* const* source, int sourceCount, std::uint8_t* target,
                                                 unsigned count, std::uint8_t mask);
  void PrepareConversion();
  void CreateYCbCrLookup(bool photoYCC);
  // An 8-bit colour sample from a 16-bit one, by the source's byte order and the target's gamma.
  std::uint8_t Colour16(std::uint16_t v) const;
  std::uint8_t Colour8(std::uint8_t v) const;
  std::uint8_t Alpha16(std::uint16_t v) const;

  void RowConvertRGB(const void* const* source, int sourceCount, std::uint8_t* target, unsigned count,
                     std::uint8_t mask, bool sourceBGR, bool targetBGR);
  void RowConvertRGB2RGB(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertRGB(s, n, t, c, m, false, false);
  }
  void RowConvertRGB2BGR(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertRGB(s, n, t, c, m, false, true);
  }
  void RowConvertBGR2RGB(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertRGB(s, n, t, c, m, true, false);
  }
  void RowConvertBGR2BGR(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertRGB(s, n, t, c, m, true, true);
  }
  void RowConvertGray(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m);
  void RowConvertIndexed8(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m);
  void RowConvertIndexedBoth16(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m);
  void RowConvertIndexedSource16(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m);
  void RowConvertIndexedTarget16(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m);
  void RowConvertThree(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m, bool targetBGR);
  void RowConvertCMYK2RGB(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, false);
  }
  void RowConvertCMYK2BGR(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, true);
  }
  void RowConvertCIELAB2RGB(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, false);
  }
  void RowConvertCIELAB2BGR(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, true);
  }
  void RowConvertYCbCr2RGB(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, false);
  }
  void RowConvertYCbCr2BGR(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, true);
  }
  void RowConvertPhotoYCC2RGB(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, false);
  }
  void RowConvertPhotoYCC2BGR(const void* const* s, int n, std::uint8_t* t, unsigned c, std::uint8_t m) {
    RowConvertThree(s, n, t, c, m, true);
  }
  // Packed samples of 1 to 16 bits between the source and target depths.
  void RowConvertPacked(const void* const* s, std::uint8_t* t, unsigned c, std::uint8_t m);
  // R, G, B of one source pixel of a CMYK, CIE L*a*b*, YCbCr or PhotoYCC source (8-bit samples).
  void ThreeToRGB(const std::uint8_t* px, int& r, int& g, int& b) const;

  bool FChanged = true;
  std::uint8_t FSourceBPS = 8, FTargetBPS = 8, FSourceSPP = 3, FTargetSPP = 3;
  TColorScheme FSourceScheme = csRGB, FTargetScheme = csBGR;
  TConvertOptions FSourceOptions, FTargetOptions;
  float FMainGamma = 1.0f, FDisplayGamma = 2.2f;
  std::uint8_t FGammaTable[256] = {};
  float FYCbCrCoefficients[3] = {0.299f, 0.587f, 0.114f};
  int FCrToRedTable[256] = {}, FCbToBlueTable[256] = {}, FCrToGreenTable[256] = {}, FCbToGreenTable[256] = {};
  bool FLookupPhotoYCC = false, FLookupReady = false;
  TRowConversion FRowConversion = nullptr;
};
