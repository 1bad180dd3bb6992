#include "skin/render/sGradientPaint.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/rtl/win.h"
#include "skin/render/sGraphUtils.h"

namespace {

using TGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// msimg32's GradientFill, looked up once; nullptr when the system lacks it.
TGradientFillProc GradientFillProc() {
  static TGradientFillProc proc = [] {
    HMODULE lib = LoadLibraryW(L"msimg32.dll");
    return lib ? reinterpret_cast<TGradientFillProc>(reinterpret_cast<void*>(GetProcAddress(lib, "GradientFill")))
               : nullptr;
  }();
  return proc;
}

// Colours running linearly from color1 at the first step to color2 at the last.
struct Ramp {
  float r, g, b;
  double dr = 0, dg = 0, db = 0;
  Ramp(std::int32_t color1, std::int32_t color2, int steps) {
    TsColor_RGB c1{static_cast<std::uint32_t>(color1)}, c2{static_cast<std::uint32_t>(color2)};
    r = c1.Red;
    g = c1.Green;
    b = c1.Blue;
    if (steps > 0) {
      dr = (c2.Red - c1.Red) / static_cast<double>(steps);
      dg = (c2.Green - c1.Green) / static_cast<double>(steps);
      db = (c2.Blue - c1.Blue) / static_cast<double>(steps);
    }
  }
  TsColor_ Next() {
    TsColor_ p;
    p.R = static_cast<std::uint8_t>(std::trunc(r));
    p.G = static_cast<std::uint8_t>(std::trunc(g));
    p.B = static_cast<std::uint8_t>(std::trunc(b));
    p.A = 255;
    r = static_cast<float>(r + dr);
    g = static_cast<float>(g + dg);
    b = static_cast<float>(b + db);
    return p;
  }
};

bool CutToBitmap(vcl::TBitmap* bmp, vcl::TRect& r) {
  r.Right = std::min(r.Right, bmp->Width());
  r.Bottom = std::min(r.Bottom, bmp->Height());
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  return r.Right > r.Left && r.Bottom > r.Top;
}

// The bands of the vertical mode: each piece from row a to row b (both painted), f(a, b, piece).
template <class F>
void VerticalBands(const vcl::TRect& r, const TsGradArray& data, F paint) {
  const int h = r.Height(), bottom = r.Bottom - 1, last = static_cast<int>(data.size()) - 1;
  int y = r.Top;
  for (int i = 0; i <= last; ++i) {
    int a = y;
    y = a + h * data[static_cast<size_t>(i)].Percent / 100;
    y = i == last ? bottom : std::min(y, bottom);
    if (y - a > 0) paint(a, y, data[static_cast<size_t>(i)]);
  }
}

// The colours of row r.Top in horizontal mode, one per column of r.
std::vector<TsColor_> HorizontalRow(const vcl::TRect& r, const TsGradArray& data) {
  std::vector<TsColor_> row(static_cast<size_t>(r.Width()));
  const double step = r.Width() / 100.0;
  const int right = r.Right - 1, last = static_cast<int>(data.size()) - 1;
  int x = r.Left;
  for (int i = 0; i <= last; ++i) {
    const TsGradPie& pie = data[static_cast<size_t>(i)];
    int a = x;
    x = static_cast<int>(std::trunc(a + pie.Percent * step));
    x = i == last ? right : std::min(x, right);
    if (x - a <= 0) continue;
    Ramp ramp(pie.Color1, pie.Color2, x - a);
    for (int c = a; c <= x; ++c) row[static_cast<size_t>(c - r.Left)] = ramp.Next();
  }
  return row;
}

inline std::uint8_t MixByte(int t, int g, int mix) {
  return static_cast<std::uint8_t>((t * mix + g * (256 - mix)) >> 8);
}

}  // namespace

void FillLongword(void* x, int count, std::uint32_t value) {
  if (count <= 0) return;
  auto* p = static_cast<std::uint32_t*>(x);
  std::fill(p, p + count, value);
}

void PaintGrad(vcl::TBitmap* bmp, vcl::TRect r, const TsGradArray& data) {
  if (!bmp || data.empty() || !CutToBitmap(bmp, r)) return;
  bmp->SetPixelFormat(vcl::pf32bit);
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!InitLine(bmp, line0, delta)) return;
  const int w = r.Width();
  switch (data[0].Mode1) {
    case 0:
      VerticalBands(r, data, [&](int a, int b, const TsGradPie& pie) {
        Ramp ramp(pie.Color1, pie.Color2, b - a);
        for (int y = a; y <= b; ++y) FillLongword(PixelAt(line0, delta, r.Left, y), w, ramp.Next().C);
      });
      break;
    case 1: {
      std::vector<TsColor_> row = HorizontalRow(r, data);
      for (int y = r.Top; y < r.Bottom; ++y) std::copy(row.begin(), row.end(), PixelAt(line0, delta, r.Left, y));
      break;
    }
    case 2: {
      TGradientFillProc fill = GradientFillProc();
      if (!fill) return;
      const int h = r.Height();
      const POINT pts[5] = {
          {r.Left, r.Top}, {r.Left + w / 2, r.Top + h / 2}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}};
      TRIVERTEX v[5];
      TsColor_RGB c{0};
      for (int i = 0; i < 5; ++i) {
        if (static_cast<size_t>(i) < data.size())
          c.Col = static_cast<std::uint32_t>(data[static_cast<size_t>(i)].Color1);
        v[i].x = pts[i].x;
        v[i].y = pts[i].y;
        v[i].Red = static_cast<COLOR16>(c.Red << 8);
        v[i].Green = static_cast<COLOR16>(c.Green << 8);
        v[i].Blue = static_cast<COLOR16>(c.Blue << 8);
        v[i].Alpha = 0xFF00;
      }
      GRADIENT_TRIANGLE tri[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
      fill(bmp->Canvas()->Handle(), v, 5, tri, 4, GRADIENT_FILL_TRIANGLE);
      break;
    }
    default:
      break;
  }
}

void PaintGradTxt(vcl::TBitmap* bmp, vcl::TRect r, const TsGradArray& data, vcl::TBitmap* textureBmp,
                  vcl::TRect textureRect, std::uint8_t mix, std::uint8_t alpha) {
  if (!bmp || !textureBmp || data.empty() || !CutToBitmap(bmp, r)) return;
  if (textureRect.Width() <= 0 || textureRect.Height() <= 0)
    textureRect = vcl::Rect(0, 0, textureBmp->Width(), textureBmp->Height());
  textureRect.Left = std::max(0, textureRect.Left);
  textureRect.Top = std::max(0, textureRect.Top);
  textureRect.Right = std::min(textureRect.Right, textureBmp->Width());
  textureRect.Bottom = std::min(textureRect.Bottom, textureBmp->Height());
  const int tw = textureRect.Width(), th = textureRect.Height();
  if (tw <= 0 || th <= 0) return;
  const int mode = data[0].Mode1;
  if (mode != 0 && mode != 1) return;
  // The tile as 32-bit pixels.
  auto tile = CreateBmp32(tw, th);
  BitBlt(tile->Canvas()->Handle(), 0, 0, tw, th, textureBmp->Canvas()->Handle(), textureRect.Left, textureRect.Top,
         SRCCOPY);
  std::uint8_t *t0, *line0;
  std::ptrdiff_t tDelta, delta;
  bmp->SetPixelFormat(vcl::pf32bit);
  if (!InitLine(tile.get(), t0, tDelta) || !InitLine(bmp, line0, delta)) return;
  auto mixRow = [&](int y, const TsColor_* gradient, bool oneColour) {
    TsColor_* d = PixelAt(line0, delta, r.Left, y);
    const TsColor_* t = PixelAt(t0, tDelta, 0, y % th);
    for (int x = 0; x < r.Width(); ++x) {
      TsColor_ g = oneColour ? gradient[0] : gradient[x];
      TsColor_ tp = t[(r.Left + x) % tw];
      d[x].R = MixByte(tp.R, g.R, mix);
      d[x].G = MixByte(tp.G, g.G, mix);
      d[x].B = MixByte(tp.B, g.B, mix);
      d[x].A = alpha;
    }
  };
  if (mode == 0) {
    VerticalBands(r, data, [&](int a, int b, const TsGradPie& pie) {
      Ramp ramp(pie.Color1, pie.Color2, b - a);
      for (int y = a; y <= b; ++y) {
        TsColor_ g = ramp.Next();
        mixRow(y, &g, true);
      }
    });
    return;
  }
  std::vector<TsColor_> row = HorizontalRow(r, data);
  const int l = std::min(th, r.Height());
  for (int y = r.Top; y < r.Top + l; ++y) mixRow(y, row.data(), false);
  HDC dc = bmp->Canvas()->Handle();
  for (int y = r.Top + l; y < r.Bottom; y += l)
    BitBlt(dc, r.Left, y, r.Width(), std::min(l, r.Bottom - y), dc, r.Left, r.Top, SRCCOPY);
}
