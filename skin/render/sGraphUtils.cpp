#include "skin/render/sGraphUtils.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/render/lvPNG.h"

namespace {

inline std::uint8_t Clamp255(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
inline double Clamp255d(double v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

bool InitLine(vcl::TBitmap* bmp, std::uint8_t*& line0, std::ptrdiff_t& delta) {
  if (!bmp || bmp->Height() <= 0 || bmp->Width() <= 0) return false;
  line0 = static_cast<std::uint8_t*>(bmp->ScanLine(0));
  delta = bmp->Height() > 1 ? static_cast<std::uint8_t*>(bmp->ScanLine(1)) - line0 : 0;
  return true;
}

std::unique_ptr<vcl::TBitmap> CreateBmp32(int width, int height) {
  auto bmp = std::make_unique<vcl::TBitmap>();
  bmp->SetPixelFormat(vcl::pf32bit);
  bmp->SetHandleType(vcl::bmDIB);
  bmp->SetSize(std::max(0, width), std::max(0, height));
  return bmp;
}

std::unique_ptr<vcl::TBitmap> CreateBmp32(const vcl::TRect& r) { return CreateBmp32(r.Width(), r.Height()); }
std::unique_ptr<vcl::TBitmap> CreateBmp32(const vcl::TSize& size) { return CreateBmp32(size.cx, size.cy); }
std::unique_ptr<vcl::TBitmap> CreateBmp32(vcl::TBitmap* bmp) { return CreateBmp32(bmp->Width(), bmp->Height()); }

vcl::TColor MixColors(vcl::TColor color1, vcl::TColor color2, double percent) {
  TsColor_RGB c1{static_cast<std::uint32_t>(color1)}, c2{static_cast<std::uint32_t>(color2)}, r{};
  auto mix = [&](std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(std::trunc(b * (1 - percent) + a * percent));
  };
  r.Red = mix(c1.Red, c2.Red);
  r.Green = mix(c1.Green, c2.Green);
  r.Blue = mix(c1.Blue, c2.Blue);
  r.Alpha = c1.Alpha;
  return static_cast<vcl::TColor>(r.Col);
}

TsColor_ ChangeHue(int delta, TsColor_ c) {
  int v = std::max({c.R, c.G, c.B});
  int mn = std::min({c.R, c.G, c.B});
  int d = v - mn;
  double s = v != 0 ? static_cast<double>(d) / v : 0;
  if (s == 0) return c;
  double k = 60.0 / d;
  double r = v - c.R * k, g = v - c.G * k, b = v - c.B * k;
  double h;
  if (c.R == v)
    h = b - g;
  else if (c.G == v)
    h = 120 + r - b;
  else
    h = 240 + g - r;
  if (h < 0) h += 360;
  long long newH = static_cast<long long>(std::trunc(h + delta)) % 360;
  if (newH < 0) newH += 360;
  double f = newH / 60.0;
  int i = static_cast<int>(std::trunc(f));
  f -= i;
  double p = Clamp255d(v * (1 - s)), q = Clamp255d(v * (1 - s * f)), t = Clamp255d(v * (1 - (1 - f) * s));
  double rr, gg, bb;
  switch (i) {
    case 0:
      rr = v;
      gg = t;
      bb = p;
      break;
    case 1:
      rr = q;
      gg = v;
      bb = p;
      break;
    case 2:
      rr = p;
      gg = v;
      bb = t;
      break;
    case 3:
      rr = p;
      gg = q;
      bb = v;
      break;
    case 4:
      rr = t;
      gg = p;
      bb = v;
      break;
    default:
      rr = v;
      gg = p;
      bb = q;
      break;
  }
  TsColor_ out = c;
  out.R = static_cast<std::uint8_t>(std::trunc(rr));
  out.G = static_cast<std::uint8_t>(std::trunc(gg));
  out.B = static_cast<std::uint8_t>(std::trunc(bb));
  return out;
}

vcl::TColor ChangeHue(int delta, vcl::TColor color) {
  if (delta == 0) return color;
  TsColor_ c{SwapRedBlue(static_cast<std::uint32_t>(color))};
  return static_cast<vcl::TColor>(SwapRedBlue(ChangeHue(delta, c).C));
}

TsColor_ ChangeSaturation(int value, TsColor_ c) {
  if (value == 0) return c;
  int avg = (c.R + c.G + c.B) / 3;
  auto ch = [&](std::uint8_t x) { return Clamp255(x - (value * (avg - x)) / 255); };
  TsColor_ out = c;
  out.R = ch(c.R);
  out.G = ch(c.G);
  out.B = ch(c.B);
  return out;
}

vcl::TColor ChangeSaturation(vcl::TColor color, int value) {
  if (value == 0) return color;
  TsColor_ c{static_cast<std::uint32_t>(color)};
  return static_cast<vcl::TColor>(ChangeSaturation(value, c).C);
}

vcl::TColor ChangeBrightness(vcl::TColor color, int delta) {
  if (delta == 0) return color;
  TsColor_RGB c{static_cast<std::uint32_t>(color)};
  c.Red = Clamp255(c.Red + delta);
  c.Green = Clamp255(c.Green + delta);
  c.Blue = Clamp255(c.Blue + delta);
  return static_cast<vcl::TColor>(c.Col);
}

void ChangeBitmapPixels(vcl::TBitmap* bmp, TPixelProc proc, int value, vcl::TColor exceptColor) {
  if (!bmp || bmp->Empty() || bmp->PixelFormat() != vcl::pf32bit) return;
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!InitLine(bmp, line0, delta)) return;
  const bool except = exceptColor != vcl::clNone;
  const std::uint32_t skip = SwapRedBlue(static_cast<std::uint32_t>(exceptColor));
  for (int y = 0; y < bmp->Height(); ++y) {
    TsColor_* row = PixelAt(line0, delta, 0, y);
    for (int x = 0; x < bmp->Width(); ++x) {
      if (except && row[x].C == skip) continue;
      proc(row[x], value);
    }
  }
}

void ChangeColorBrightness(TsColor_& pixel, int value) {
  if (value == 0) return;
  pixel.R = Clamp255(pixel.R + value);
  pixel.G = Clamp255(pixel.G + value);
  pixel.B = Clamp255(pixel.B + value);
}

void ChangeColorSaturation(TsColor_& pixel, int value) { pixel = ChangeSaturation(value, pixel); }
void ChangeColorHUE(TsColor_& pixel, int value) {
  if (value != 0) pixel = ChangeHue(value, pixel);
}
void MakeAlphaPixel(TsColor_& pixel, int) { pixel.A = 255; }

namespace {

// The library's PNG reader decodes; what callers get is 32-bit with straight alpha for pictures with
// transparency and 24-bit for the others, whatever depth the file had.
void TakePng(TPNGGraphic& png, vcl::TBitmap* bmp) {
  if (png.PixelFormat() != vcl::pf32bit) png.SetPixelFormat(vcl::pf24bit);
  bmp->Assign(&png);
}

}  // namespace

void LoadBmpFromPngFile(vcl::TBitmap* bmp, const rtl::String& fileName) {
  TPNGGraphic png;
  png.LoadFromFile(fileName);
  TakePng(png, bmp);
}

void LoadBmpFromPngStream(vcl::TBitmap* bmp, rtl::TStream& stream) {
  TPNGGraphic png;
  png.LoadFromStream(stream);
  TakePng(png, bmp);
}
