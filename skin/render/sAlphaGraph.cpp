#include "skin/render/sAlphaGraph.h"

#include "skin/render/sGraphUtils.h"

void UpdateTransPixels(vcl::TBitmap* bmp) {
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!bmp || bmp->PixelFormat() != vcl::pf32bit || !InitLine(bmp, line0, delta)) return;
  for (int y = 0; y < bmp->Height(); ++y) {
    TsColor_* row = PixelAt(line0, delta, 0, y);
    for (int x = 0; x < bmp->Width(); ++x)
      if (row[x].C == 0x00FFFFFF) row[x].C = 0;
  }
}

void UpdateAlpha(vcl::TBitmap* bmp, const vcl::TRect& r) {
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!bmp || bmp->PixelFormat() != vcl::pf32bit || !InitLine(bmp, line0, delta)) return;
  for (int y = r.Top; y < r.Bottom; ++y) {
    TsColor_* row = PixelAt(line0, delta, 0, y);
    for (int x = r.Left; x < r.Right; ++x) {
      TsColor_& p = row[x];
      if (p.C == 0x00FFFFFF) {
        p.C = 0;
        continue;
      }
      p.R = static_cast<std::uint8_t>(p.R * p.A >> 8);
      p.G = static_cast<std::uint8_t>(p.G * p.A >> 8);
      p.B = static_cast<std::uint8_t>(p.B * p.A >> 8);
    }
  }
}

void UpdateAlpha(vcl::TBitmap* bmp) {
  if (bmp) UpdateAlpha(bmp, vcl::TRect(0, 0, bmp->Width(), bmp->Height()));
}
