#include "skin/render/lvColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

inline bool Selected(std::uint8_t mask, unsigned column) { return (mask >> (7 - (column & 7))) & 1; }
inline std::uint8_t ClampByte(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
inline std::uint16_t Read16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void Write16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, 2); }
bool IsIndexedSource(TColorScheme s) { return s == csIndexed || s == csG || s == csGA; }
bool IsIndexedTarget(TColorScheme s) { return s == csIndexed || s == csG; }
bool IsRGBKind(TColorScheme s) { return s == csRGB || s == csRGBA; }
bool IsBGRKind(TColorScheme s) { return s == csBGR || s == csBGRA; }
bool HasAlphaScheme(TColorScheme s) { return s == csGA || s == csRGBA || s == csBGRA; }
[[noreturn]] void NoConversion() {
  throw EColorConversionError(L"Color conversion failed. Could not find a proper method.");
}
// The nearest integer, halves to even.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

TColorManager::TColorManager() { SetGamma(1.0f, 2.2f); }

void TColorManager::SetSourceBitsPerSample(std::uint8_t value) {
  if (value == 0 || value > 16)
    throw EColorConversionError(L"Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.");
  if (value != FSourceBPS) FChanged = true;
  FSourceBPS = value;
}

void TColorManager::SetTargetBitsPerSample(std::uint8_t value) {
  if (value == 0 || value > 16)
    throw EColorConversionError(L"Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.");
  if (value != FTargetBPS) FChanged = true;
  FTargetBPS = value;
}

void TColorManager::SetSourceSamplesPerPixel(std::uint8_t value) {
  if (value == 0 || value > 4)
    throw EColorConversionError(L"Sample count per pixel does not correspond to the given color scheme.");
  if (value != FSourceSPP) FChanged = true;
  FSourceSPP = value;
}

void TColorManager::SetTargetSamplesPerPixel(std::uint8_t value) {
  if (value == 0 || value > 4)
    throw EColorConversionError(L"Sample count per pixel does not correspond to the given color scheme.");
  if (value != FTargetSPP) FChanged = true;
  FTargetSPP = value;
}

void TColorManager::SetSourceColorScheme(TColorScheme value) {
  if (value != FSourceScheme) FChanged = true;
  FSourceScheme = value;
}

void TColorManager::SetTargetColorScheme(TColorScheme value) {
  if (value != FTargetScheme) FChanged = true;
  FTargetScheme = value;
}

void TColorManager::SetSourceOptions(TConvertOptions value) {
  if (!(value == FSourceOptions)) FChanged = true;
  FSourceOptions = value;
}

void TColorManager::SetTargetOptions(TConvertOptions value) {
  if (!(value == FTargetOptions)) FChanged = true;
  FTargetOptions = value;
}

vcl::TPixelFormat TColorManager::GetPixelFormat(int index) const {
  int samples = index == 0 ? FSourceSPP : FTargetSPP;
  int bits = index == 0 ? FSourceBPS : FTargetBPS;
  switch (samples) {
    case 1:
      if (bits == 1) return vcl::pf1bit;
      if (bits >= 2 && bits <= 4) return vcl::pf4bit;
      if (bits >= 8 && bits <= 16) return vcl::pf8bit;
      return vcl::pfCustom;
    case 3:
      return bits >= 1 && bits <= 5 ? vcl::pf15bit : vcl::pf24bit;
    case 4:
      return bits >= 8 ? vcl::pf32bit : vcl::pfCustom;
    default:
      return vcl::pfCustom;
  }
}

void TColorManager::SetGamma(float mainGamma, float displayGamma) {
  FMainGamma = mainGamma > 0 ? mainGamma : 1.0f;
  FDisplayGamma = displayGamma > 0 ? displayGamma : 2.2f;
  double exponent = 1.0 / (static_cast<double>(FMainGamma) * FDisplayGamma);
  int sourceHigh = FSourceBPS >= 8 ? 255 : (1 << FTargetBPS) - 1;
  int targetHigh = FTargetBPS >= 8 ? 255 : (1 << FTargetBPS) - 1;
  std::memset(FGammaTable, 0, sizeof FGammaTable);
  for (int i = 0; i <= sourceHigh && i < 256; ++i)
    FGammaTable[i] = ClampByte(RoundEven(std::pow(static_cast<double>(i) / sourceHigh, exponent) * targetHigh));
}

void TColorManager::CreateYCbCrLookup(bool photoYCC) {
  const double kr = FYCbCrCoefficients[0], kg = FYCbCrCoefficients[1], kb = FYCbCrCoefficients[2];
  for (int i = 0; i < 256; ++i) {
    double cr = i - (photoYCC ? 137 : 128), cb = i - (photoYCC ? 156 : 128);
    FCrToRedTable[i] = RoundEven((2 - 2 * kr) * cr);
    FCbToBlueTable[i] = RoundEven((2 - 2 * kb) * cb);
    FCrToGreenTable[i] = -RoundEven(kr * (2 - 2 * kr) / kg * cr);
    FCbToGreenTable[i] = -RoundEven(kb * (2 - 2 * kb) / kg * cb);
  }
  FLookupPhotoYCC = photoYCC;
  FLookupReady = true;
}

void TColorManager::PrepareConversion() {
  if (IsIndexedSource(FSourceScheme) != IsIndexedTarget(FTargetScheme))
    throw EColorConversionError(L"Conversion between indexed and non-indexed pixel formats is not supported.");
  if (HasAlphaScheme(FSourceScheme))
    FSourceOptions += coAlpha;
  else
    FSourceOptions -= coAlpha;
  if (HasAlphaScheme(FTargetScheme))
    FTargetOptions += coAlpha;
  else
    FTargetOptions -= coAlpha;
  FRowConversion = nullptr;
  const bool rgbTarget = IsRGBKind(FTargetScheme), bgrTarget = IsBGRKind(FTargetScheme);
  switch (FSourceScheme) {
    case csIndexed:
      if (FSourceBPS == 16 && FTargetBPS == 16)
        FRowConversion = &TColorManager::RowConvertIndexedBoth16;
      else if (FSourceBPS == 16)
        FRowConversion = &TColorManager::RowConvertIndexedSource16;
      else if (FTargetBPS == 16)
        FRowConversion = &TColorManager::RowConvertIndexedTarget16;
      else
        FRowConversion = &TColorManager::RowConvertIndexed8;
      break;
    case csG:
      if (FSourceBPS == 16 || FTargetBPS == 16) {
        if (FSourceBPS >= 8 && FTargetBPS >= 8) FRowConversion = &TColorManager::RowConvertGray;
      } else {
        FRowConversion = &TColorManager::RowConvertIndexed8;
      }
      break;
    case csGA:
      if ((FSourceBPS == 8 || FSourceBPS == 16) && (FTargetBPS == 8 || FTargetBPS == 16))
        FRowConversion = &TColorManager::RowConvertGray;
      break;
    case csRGB:
    case csRGBA:
      if (rgbTarget) FRowConversion = &TColorManager::RowConvertRGB2RGB;
      if (bgrTarget) FRowConversion = &TColorManager::RowConvertRGB2BGR;
      break;
    case csBGR:
    case csBGRA:
      if (rgbTarget) FRowConversion = &TColorManager::RowConvertBGR2RGB;
      if (bgrTarget) FRowConversion = &TColorManager::RowConvertBGR2BGR;
      break;
    case csCMYK:
      if (rgbTarget) FRowConversion = &TColorManager::RowConvertCMYK2RGB;
      if (bgrTarget) FRowConversion = &TColorManager::RowConvertCMYK2BGR;
      break;
    case csCIELab:
      if (rgbTarget) FRowConversion = &TColorManager::RowConvertCIELAB2RGB;
      if (bgrTarget) FRowConversion = &TColorManager::RowConvertCIELAB2BGR;
      break;
    case csYCbCr:
    case csPhotoYCC: {
      bool photo = FSourceScheme == csPhotoYCC;
      if (!FLookupReady || FLookupPhotoYCC != photo) CreateYCbCrLookup(photo);
      if (rgbTarget)
        FRowConversion = photo ? &TColorManager::RowConvertPhotoYCC2RGB : &TColorManager::RowConvertYCbCr2RGB;
      if (bgrTarget)
        FRowConversion = photo ? &TColorManager::RowConvertPhotoYCC2BGR : &TColorManager::RowConvertYCbCr2BGR;
      break;
    }
    default:
      break;
  }
  FChanged = false;
}

void TColorManager::ConvertRow(const void* const* source, int sourceCount, void* target, unsigned count,
                               std::uint8_t mask) {
  if (FChanged) PrepareConversion();
  if (!FRowConversion) NoConversion();
  (this->*FRowConversion)(source, sourceCount, static_cast<std::uint8_t*>(target), count, mask);
}

std::uint8_t TColorManager::Colour8(std::uint8_t v) const {
  return FTargetOptions.Contains(coApplyGamma) ? FGammaTable[v] : v;
}

std::uint8_t TColorManager::Colour16(std::uint16_t v) const {
  if (FSourceOptions.Contains(coNeedByteSwap)) v = ComponentSwapConvert(v);
  std::uint8_t c = ComponentScaleConvert(v);
  return FTargetOptions.Contains(coApplyGamma) ? FGammaTable[c] : c;
}

std::uint8_t TColorManager::Alpha16(std::uint16_t v) const {
  return ComponentScaleConvert(FSourceOptions.Contains(coNeedByteSwap) ? ComponentSwapConvert(v) : v);
}

void TColorManager::RowConvertRGB(const void* const* source, int sourceCount, std::uint8_t* target, unsigned count,
                                  std::uint8_t mask, bool sourceBGR, bool targetBGR) {
  const bool srcAlpha = FSourceOptions.Contains(coAlpha), tgtAlpha = FTargetOptions.Contains(coAlpha);
  const bool planar = sourceCount > 1;
  const int sBytes = FSourceBPS == 16 ? 2 : 1, tBytes = FTargetBPS == 16 ? 2 : 1;
  if ((FSourceBPS != 8 && FSourceBPS != 16) || (FTargetBPS != 8 && FTargetBPS != 16)) return;
  const int srcSamples = srcAlpha ? 4 : 3;
  const int tgtSamples = tgtAlpha ? 4 : 3;
  const bool gamma = FTargetOptions.Contains(coApplyGamma);
  const bool swap = FSourceOptions.Contains(coNeedByteSwap);
  // Source sample order red, green, blue (or blue, green, red); target the same by its own scheme.
  const int sr = sourceBGR ? 2 : 0, sb = sourceBGR ? 0 : 2;
  const int tr = targetBGR ? 2 : 0, tb = targetBGR ? 0 : 2;
  const auto* interleaved = static_cast<const std::uint8_t*>(source[0]);

  // The common case of a whole row of 8-bit samples.
  if (!planar && mask == 0xFF && sBytes == 1 && tBytes == 1 && !gamma && sr != tr && srcSamples == tgtSamples) {
    const std::uint8_t* s = interleaved;
    std::uint8_t* t = target;
    if (srcSamples == 4) {
      for (unsigned i = 0; i < count; ++i, s += 4, t += 4) {
        t[0] = s[2];
        t[1] = s[1];
        t[2] = s[0];
        t[3] = s[3];
      }
    } else {
      for (unsigned i = 0; i < count; ++i, s += 3, t += 3) {
        t[0] = s[2];
        t[1] = s[1];
        t[2] = s[0];
      }
    }
    return;
  }

  size_t consumed = 0;
  for (unsigned x = 0; x < count; ++x, target += tgtSamples * tBytes) {
    if (!Selected(mask, x)) continue;
    auto sample = [&](int channel) -> std::uint32_t {
      const std::uint8_t* p =
          planar ? static_cast<const std::uint8_t*>(source[channel < sourceCount ? channel : 0]) + consumed * sBytes
                 : interleaved + (consumed * srcSamples + channel) * sBytes;
      return sBytes == 2 ? Read16(p) : *p;
    };
    std::uint32_t c[4] = {sample(sr), sample(1), sample(sb), srcAlpha ? sample(3) : 0};
    ++consumed;
    std::uint8_t* t = target;
    if (tBytes == 1) {
      for (int k = 0; k < 3; ++k) {
        int slot = k == 0 ? tr : k == 1 ? 1 : tb;
        t[slot] = sBytes == 1 ? Colour8(static_cast<std::uint8_t>(c[k])) : Colour16(static_cast<std::uint16_t>(c[k]));
      }
      if (srcAlpha && tgtAlpha)
        t[3] = sBytes == 1 ? static_cast<std::uint8_t>(c[3]) : Alpha16(static_cast<std::uint16_t>(c[3]));
    } else {
      for (int k = 0; k < 4; ++k) {
        if (k == 3 && !(srcAlpha && tgtAlpha)) break;
        int slot = k == 0 ? tr : k == 1 ? 1 : k == 2 ? tb : 3;
        std::uint16_t v;
        if (sBytes == 1) {
          std::uint8_t b = static_cast<std::uint8_t>(c[k]);
          if (k < 3 && gamma) b = FGammaTable[b];
          v = static_cast<std::uint16_t>(b * 65535u / 255u);
          if (swap) v = ComponentSwapConvert(v);
        } else {
          v = static_cast<std::uint16_t>(c[k]);
          if (swap) v = ComponentSwapConvert(v);
        }
        Write16(t + 2 * slot, v);
      }
    }
  }
}

void TColorManager::RowConvertGray(const void* const* source, int sourceCount, std::uint8_t* target, unsigned count,
                                   std::uint8_t mask) {
  const int step = FSourceOptions.Contains(coAlpha) ? 2 : 1;
  const int sBytes = FSourceBPS == 16 ? 2 : 1, tBytes = FTargetBPS == 16 ? 2 : 1;
  const bool swap = FSourceOptions.Contains(coNeedByteSwap);
  const auto* s = static_cast<const std::uint8_t*>(source[0]);
  size_t consumed = 0;
  for (unsigned x = 0; x < count; ++x, target += tBytes) {
    if (!Selected(mask, x)) continue;
    const std::uint8_t* p = s + consumed * step * sBytes;
    ++consumed;
    if (sBytes == 1 && tBytes == 1) {
      *target = *p;
    } else if (sBytes == 1) {
      Write16(target, static_cast<std::uint16_t>(*p * 65535u / 255u));
    } else if (tBytes == 1) {
      std::uint16_t v = Read16(p);
      *target = swap ? ComponentSwapScaleConvert(v) : ComponentScaleConvert(v);
    } else {
      std::uint16_t v = Read16(p);
      Write16(target, swap ? ComponentSwapConvert(v) : v);
    }
  }
  (void)sourceCount;
}

void TColorManager::RowConvertPacked(const void* const* source, std::uint8_t* target, unsigned count,
                                     std::uint8_t mask) {
  const int sBits = FSourceBPS, tBits = FTargetBPS;
  const auto* s = static_cast<const std::uint8_t*>(source[0]);
  if (sBits == tBits && mask == 0xFF && sBits <= 8) {
    std::memcpy(target, s, (static_cast<size_t>(count) * sBits + 7) / 8);
    return;
  }
  const std::uint32_t sMax = (1u << sBits) - 1, tMax = (1u << tBits) - 1;
  const bool swap = FSourceOptions.Contains(coNeedByteSwap);
  size_t consumed = 0;
  for (unsigned x = 0; x < count; ++x) {
    if (!Selected(mask, x)) continue;
    std::uint32_t v;
    if (sBits == 16) {
      std::uint16_t w = Read16(s + 2 * consumed);
      v = swap ? ComponentSwapConvert(w) : w;
    } else if (sBits == 8) {
      v = s[consumed];
    } else {
      size_t bit = consumed * sBits;
      v = (s[bit / 8] >> (8 - sBits - bit % 8)) & sMax;
    }
    ++consumed;
    if (sBits != tBits) v = static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) * tMax / sMax);
    if (tBits == 16) {
      Write16(target + 2 * x, static_cast<std::uint16_t>(v));
    } else if (tBits == 8) {
      target[x] = static_cast<std::uint8_t>(v);
    } else {
      size_t bit = static_cast<size_t>(x) * tBits;
      int shift = 8 - tBits - static_cast<int>(bit % 8);
      std::uint8_t& byte = target[bit / 8];
      byte = static_cast<std::uint8_t>((byte & ~(tMax << shift)) | (v << shift));
    }
  }
}

void TColorManager::RowConvertIndexed8(const void* const* s, int, std::uint8_t* t, unsigned c, std::uint8_t m) {
  RowConvertPacked(s, t, c, m);
}
void TColorManager::RowConvertIndexedBoth16(const void* const* s, int, std::uint8_t* t, unsigned c, std::uint8_t m) {
  RowConvertPacked(s, t, c, m);
}
void TColorManager::RowConvertIndexedSource16(const void* const* s, int, std::uint8_t* t, unsigned c, std::uint8_t m) {
  RowConvertPacked(s, t, c, m);
}
void TColorManager::RowConvertIndexedTarget16(const void* const* s, int, std::uint8_t* t, unsigned c, std::uint8_t m) {
  RowConvertPacked(s, t, c, m);
}

void TColorManager::ThreeToRGB(const std::uint8_t* px, int& r, int& g, int& b) const {
  switch (FSourceScheme) {
    case csCMYK: {
      int k = px[3];
      auto ch = [&](int c) { return std::clamp(c * k / 255 - c - k + 255, 0, 255); };
      r = ch(px[0]);
      g = ch(px[1]);
      b = ch(px[2]);
      break;
    }
    case csCIELab: {
      double l = px[0], a, bb;
      if (FSourceOptions.Contains(coLabByteRange)) l /= 2.55;
      if (FSourceOptions.Contains(coLabChromaOffset)) {
        a = px[1] - 128.0;
        bb = px[2] - 128.0;
      } else {
        a = static_cast<std::int8_t>(px[1]);
        bb = static_cast<std::int8_t>(px[2]);
      }
      double x, y, z;
      if (l < 7.9996) {
        y = l / 903.3;
        x = y + a / 3893.5;
        z = y - bb / 1557.4;
      } else {
        double fy = (l + 16) / 116;
        x = std::pow(fy + a / 500, 3);
        y = fy * fy * fy;
        z = std::pow(fy - bb / 200, 3);
      }
      auto to = [](double v) { return std::clamp(RoundEven(v * 255), 0, 255); };
      r = to(2.998 * x - 1.458 * y - 0.541 * z);
      g = to(-0.952 * x + 1.893 * y + 0.059 * z);
      b = to(0.099 * x - 0.198 * y + 1.099 * z);
      break;
    }
    default: {  // YCbCr, PhotoYCC
      int y = px[0], cb = px[1], cr = px[2];
      r = std::clamp(y + FCrToRedTable[cr], 0, 255);
      g = std::clamp(y + FCbToGreenTable[cb] + FCrToGreenTable[cr], 0, 255);
      b = std::clamp(y + FCbToBlueTable[cb], 0, 255);
      break;
    }
  }
}

void TColorManager::RowConvertThree(const void* const* source, int sourceCount, std::uint8_t* target, unsigned count,
                                    std::uint8_t mask, bool targetBGR) {
  if (FSourceBPS != 8 || FTargetBPS != 8) return;
  const int step = FSourceScheme == csCMYK ? 4 : 3;
  const int tgtSamples = FTargetOptions.Contains(coAlpha) ? 4 : 3;
  const bool planar = sourceCount > 1;
  size_t consumed = 0;
  for (unsigned x = 0; x < count; ++x, target += tgtSamples) {
    if (!Selected(mask, x)) continue;
    std::uint8_t px[4];
    for (int k = 0; k < step; ++k)
      px[k] = planar ? static_cast<const std::uint8_t*>(source[k < sourceCount ? k : 0])[consumed]
                     : static_cast<const std::uint8_t*>(source[0])[consumed * step + k];
    ++consumed;
    int r, g, b;
    ThreeToRGB(px, r, g, b);
    target[targetBGR ? 2 : 0] = Colour8(static_cast<std::uint8_t>(r));
    target[1] = Colour8(static_cast<std::uint8_t>(g));
    target[targetBGR ? 0 : 2] = Colour8(static_cast<std::uint8_t>(b));
  }
}

namespace {

HPALETTE MakePalette(const std::vector<PALETTEENTRY>& entries) {
  std::vector<std::uint8_t> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * std::max<size_t>(entries.size(), 1));
  auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(entries.size());
  std::memcpy(lp->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
  return CreatePalette(lp);
}

}  // namespace

HPALETTE TColorManager::CreateGrayscalePalette(bool minimumIsWhite) {
  int bits = std::min(FTargetBPS * FTargetSPP, 8);
  int entries = 1 << bits;
  int step = 255 / (entries - 1);
  std::vector<PALETTEENTRY> pal(static_cast<size_t>(entries));
  for (int i = 0; i < entries; ++i) {
    int grey = i * step;
    std::uint8_t g = FTargetOptions.Contains(coApplyGamma) ? FGammaTable[grey] : static_cast<std::uint8_t>(grey);
    PALETTEENTRY& e = pal[static_cast<size_t>(minimumIsWhite ? entries - 1 - i : i)];
    e.peRed = e.peGreen = e.peBlue = g;
    e.peFlags = 0;
  }
  return MakePalette(pal);
}

HPALETTE TColorManager::CreateColorPalette(const void* const* data, int dataCount, TRawPaletteFormat dataFormat,
                                           unsigned colorCount, bool rgb) {
  colorCount = std::min(colorCount, 256u);
  std::vector<PALETTEENTRY> pal(colorCount);
  const bool gamma = FTargetOptions.Contains(coApplyGamma);
  auto from8 = [&](std::uint8_t v) { return gamma ? FGammaTable[v] : v; };
  auto from16 = [&](std::uint16_t v) {
    std::uint8_t c = ComponentScaleConvert(FSourceOptions.Contains(coNeedByteSwap) ? ComponentSwapConvert(v) : v);
    return gamma ? FGammaTable[c] : c;
  };
  for (unsigned i = 0; i < colorCount; ++i) {
    int r = 0, g = 0, b = 0;
    switch (dataFormat) {
      case pfInterlaced8Triple:
      case pfInterlaced8Quad: {
        const auto* p = static_cast<const std::uint8_t*>(data[0]) + i * (dataFormat == pfInterlaced8Triple ? 3 : 4);
        r = from8(rgb ? p[2] : p[0]);
        g = from8(p[1]);
        b = from8(rgb ? p[0] : p[2]);
        break;
      }
      case pfPlane8Triple:
      case pfPlane8Quad:
        if (dataCount >= 3) {
          r = from8(static_cast<const std::uint8_t*>(data[0])[i]);
          g = from8(static_cast<const std::uint8_t*>(data[1])[i]);
          b = from8(static_cast<const std::uint8_t*>(data[2])[i]);
        }
        break;
      case pfInterlaced16Triple:
      case pfInterlaced16Quad: {
        const auto* p = static_cast<const std::uint8_t*>(data[0]) + i * (dataFormat == pfInterlaced16Triple ? 6 : 8);
        r = from16(Read16(rgb ? p : p + 4));
        g = from16(Read16(p + 2));
        b = from16(Read16(rgb ? p + 4 : p));
        break;
      }
      default:
        if (dataCount >= 3) {
          r = from16(Read16(static_cast<const std::uint8_t*>(data[0]) + 2 * i));
          g = from16(Read16(static_cast<const std::uint8_t*>(data[1]) + 2 * i));
          b = from16(Read16(static_cast<const std::uint8_t*>(data[2]) + 2 * i));
        }
        break;
    }
    pal[i] = {static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), 0};
  }
  // Indexes widened by the row conversion find their colours: the table is spread out the same way.
  if (FTargetBPS <= 8 && FSourceBPS <= 8 && (1u << FSourceBPS) != (1u << FTargetBPS)) {
    unsigned sMax = (1u << FSourceBPS) - 1, tMax = (1u << FTargetBPS) - 1;
    std::vector<PALETTEENTRY> spread(tMax + 1, PALETTEENTRY{0, 0, 0, 0});
    for (unsigned n = 0; n <= tMax; ++n) {
      unsigned from = n * sMax / tMax;
      if (from < pal.size()) spread[n] = pal[from];
    }
    pal = std::move(spread);
  }
  return MakePalette(pal);
}
