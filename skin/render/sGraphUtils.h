#pragma once
// The lowest layer of the skin renderer: 32-bit bitmaps and their rows, and the colour arithmetic with which skins
// and controls are recoloured (hue, saturation, brightness, tone, mixing). Every routine is stateless.
//
// Pixel values are written $AARRGGBB (TsColor_, the byte order of a 32-bit DIB pixel); colour values $00BBGGRR.
#include <cstdint>
#include <memory>

#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/colors.h"
#include "skin/core/sConst.h"

// Address of the top row and the distance from one row to the next (negative for a bottom-up DIB, 0 for a
// one-row bitmap); pixel (x, y) lies at line0 + y * delta + 4 * x. False, setting nothing, for an empty bitmap.
bool InitLine(vcl::TBitmap* bmp, std::uint8_t*& line0, std::ptrdiff_t& delta);
inline TsColor_* PixelAt(std::uint8_t* line0, std::ptrdiff_t delta, int x, int y) {
  return reinterpret_cast<TsColor_*>(line0 + y * delta + 4 * x);
}

// New pf32bit DIBs; the caller owns them.
std::unique_ptr<vcl::TBitmap> CreateBmp32(int width, int height);
std::unique_ptr<vcl::TBitmap> CreateBmp32(const vcl::TRect& r);
std::unique_ptr<vcl::TBitmap> CreateBmp32(const vcl::TSize& size);
std::unique_ptr<vcl::TBitmap> CreateBmp32(vcl::TBitmap* bmp);

// Colour value to pixel value and back: bytes 0 and 2 swapped.
constexpr std::uint32_t SwapRedBlue(std::uint32_t c) {
  return (c & 0xFF00FF00u) | ((c & 0xFF) << 16) | ((c >> 16) & 0xFF);
}
// Swaps bytes 0 and 2 of a colour value whose top byte is 0.
constexpr std::int32_t SwapInteger(std::int32_t value) {
  return static_cast<std::int32_t>(SwapRedBlue(static_cast<std::uint32_t>(value)));
}

// Percent of color1, the rest of color2 (truncated); byte 3 is color1's.
vcl::TColor MixColors(vcl::TColor color1, vcl::TColor color2, double percent);
// Hue shift in degrees.
TsColor_ ChangeHue(int delta, TsColor_ c);
vcl::TColor ChangeHue(int delta, vcl::TColor color);
// Saturation change: positive values push the channels away from their average, negative pull them toward it.
TsColor_ ChangeSaturation(int value, TsColor_ c);
vcl::TColor ChangeSaturation(vcl::TColor color, int value);
// Brightness offset on each channel.
vcl::TColor ChangeBrightness(vcl::TColor color, int delta);

// Calls proc on every pixel of a pf32bit bitmap; with exceptColor other than clNone pixels whose whole 32-bit value
// equals SwapRedBlue(exceptColor) are left alone.
using TPixelProc = void (*)(TsColor_& pixel, int value);
void ChangeBitmapPixels(vcl::TBitmap* bmp, TPixelProc proc, int value, vcl::TColor exceptColor);
void ChangeColorBrightness(TsColor_& pixel, int value);
void ChangeColorSaturation(TsColor_& pixel, int value);
void ChangeColorHUE(TsColor_& pixel, int value);
void MakeAlphaPixel(TsColor_& pixel, int value);

// A PNG image decoded into bmp: pf32bit with straight alpha when the image has transparency, else pf24bit.
// Decoded by the library's PNG reader; raises EInvalidGraphic for damaged data, EReadError for data cut short.
void LoadBmpFromPngFile(vcl::TBitmap* bmp, const rtl::String& fileName);
void LoadBmpFromPngStream(vcl::TBitmap* bmp, rtl::TStream& stream);
