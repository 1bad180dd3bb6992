#include "skin/render/sPixels.h"

#include <algorithm>
#include <cmath>

#include "skin/core/sCommonData.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"

TUpdateLayeredWindow UpdateLayeredWindowProc = nullptr;
TSetLayeredWindowAttributes SetLayeredWindowAttributesProc = nullptr;
int FCheckWidth = 0, FCheckHeight = 0;

namespace {

using TLayoutProc = DWORD(WINAPI*)(HDC, DWORD);
using TGetLayoutProc = DWORD(WINAPI*)(HDC);
TLayoutProc SetLayoutProc = nullptr;
TGetLayoutProc GetLayoutProc = nullptr;

template <class T>
T Proc(HMODULE lib, const char* name) {
  return lib ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(lib, name))) : nullptr;
}

// The system functions are taken when the library starts.
const bool started = [] {
  HMODULE gdi = LoadLibraryW(L"gdi32.dll");
  SetLayoutProc = Proc<TLayoutProc>(gdi, "SetLayout");
  GetLayoutProc = Proc<TGetLayoutProc>(gdi, "GetLayout");
  if (!UpdateLayeredWindowProc) {
    HMODULE user = LoadLibraryW(L"user32.dll");
    UpdateLayeredWindowProc = Proc<TUpdateLayeredWindow>(user, "UpdateLayeredWindow");
    SetLayeredWindowAttributesProc = Proc<TSetLayeredWindowAttributes>(user, "SetLayeredWindowAttributes");
  }
  GetCheckSize();
  return true;
}();

struct Rows32 {
  std::uint8_t* line0 = nullptr;
  std::ptrdiff_t delta = 0;
  bool ok = false;
  explicit Rows32(vcl::TBitmap* b) { ok = b && b->PixelFormat() == vcl::pf32bit && InitLine(b, line0, delta); }
  TsColor_* operator[](int y) const { return PixelAt(line0, delta, 0, y); }
};

// r clipped to the bitmap (right and bottom exclusive).
bool Clip(vcl::TBitmap* bmp, vcl::TRect& r) {
  r.Left = std::max(0, r.Left);
  r.Top = std::max(0, r.Top);
  r.Right = std::min(bmp->Width(), r.Right);
  r.Bottom = std::min(bmp->Height(), r.Bottom);
  return r.Right > r.Left && r.Bottom > r.Top;
}

}  // namespace

bool lvLayered() { return UpdateLayeredWindowProc != nullptr; }
void lvSetLayout(HDC dc, DWORD layout) {
  if (SetLayoutProc) SetLayoutProc(dc, layout);
}
DWORD lvGetLayout(HDC dc) { return GetLayoutProc ? GetLayoutProc(dc) : 0; }

void GetCheckSize() {
  HBITMAP bmp = LoadBitmapW(nullptr, MAKEINTRESOURCEW(32759));
  if (!bmp) return;
  BITMAP info{};
  if (::GetObjectW(bmp, sizeof info, &info)) {
    FCheckWidth = info.bmWidth >> 2;
    FCheckHeight = info.bmHeight / 3;
  }
  DeleteObject(bmp);
}

std::unique_ptr<vcl::TBitmap> CreateBmp32(vcl::TControl* control) {
  return CreateBmp32(control ? control->Width() : 0, control ? control->Height() : 0);
}

std::unique_ptr<vcl::TBitmap> CreateBmpLike(vcl::TBitmap* bmp) {
  auto b = std::make_unique<vcl::TBitmap>();
  b->SetPixelFormat(bmp->PixelFormat());
  b->SetSize(bmp->Width(), bmp->Height());
  return b;
}

void SetBmp32Pixels(vcl::TBitmap* bmp) {
  if (bmp) bmp->SetPixelFormat(vcl::pf32bit);
}

TsColor GetAPixel(vcl::TBitmap* bmp, int x, int y) {
  TsColor c;
  c.C = static_cast<std::uint32_t*>(bmp->ScanLine(y))[x];
  return c;
}

void SetAPixel(vcl::TBitmap* bmp, int x, int y, TsColor value) {
  static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] = value.C;
}

std::unique_ptr<vcl::TBitmap> CreateAlphaBmp(vcl::TBitmap* bmp, const vcl::TRect& r) {
  const int w = r.Width(), h = r.Height() / 2;
  if (!bmp || w <= 0 || h <= 0) return nullptr;
  auto out = CreateBmp32(w, h);
  BitBlt(out->Canvas()->Handle(), 0, 0, w, h, bmp->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
  auto mask = CreateBmp32(w, h);
  BitBlt(mask->Canvas()->Handle(), 0, 0, w, h, bmp->Canvas()->Handle(), r.Left, r.Top + h, SRCCOPY);
  Rows32 o(out.get()), m(mask.get());
  if (o.ok && m.ok)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) o[y][x].A = static_cast<std::uint8_t>(255 - m[y][x].R);
  return out;
}

TsColor AverageColor(TsColor c1, TsColor c2) {
  TsColor r;
  r.R = static_cast<std::uint8_t>((c1.R * 127 + c2.R * 129) >> 8);
  r.G = static_cast<std::uint8_t>((c1.G * 127 + c2.G * 129) >> 8);
  r.B = static_cast<std::uint8_t>((c1.B * 127 + c2.B * 129) >> 8);
  r.A = 0;
  return r;
}

vcl::TColor AverageColor(vcl::TColor c1, vcl::TColor c2) {
  TsColor a, b;
  a.C = static_cast<std::uint32_t>(c1);
  b.C = static_cast<std::uint32_t>(c2);
  return static_cast<vcl::TColor>(AverageColor(a, b).C);
}

TsColor_ ChangeTone(TsColor_ c, TsColor_RGB tone) {
  int m = std::max({c.R, c.G, c.B});
  c.R = static_cast<std::uint8_t>(m * tone.Red >> 8);
  c.G = static_cast<std::uint8_t>(m * tone.Green >> 8);
  c.B = static_cast<std::uint8_t>(m * tone.Blue >> 8);
  return c;
}

vcl::TColor ChangeTone(vcl::TColor color, vcl::TColor tone) {
  TsColor_ c{static_cast<std::uint32_t>(color)};
  TsColor_RGB t{static_cast<std::uint32_t>(tone)};
  return static_cast<vcl::TColor>(ChangeTone(c, t).C);
}

void ChangeColorTone(TsColor_& pixel, int value) {
  TsColor_RGB t{static_cast<std::uint32_t>(value)};
  pixel = ChangeTone(pixel, t);
}

vcl::TColor UpdateColor(vcl::TColor color, TsCommonData* skinData) {
  if (!skinData) return vcl::ColorToRGB(color);
  if (skinData->FColorTone != clNoColorTone)
    color = ChangeTone(color, static_cast<vcl::TColor>(
                                  SwapRedBlue(static_cast<std::uint32_t>(vcl::ColorToRGB(skinData->FColorTone)))));
  color = ChangeHue(skinData->FHUEOffset, color);
  color = ChangeSaturation(color, static_cast<int>(std::trunc(skinData->FSaturation * 2.55)));
  return vcl::ColorToRGB(color);
}

void FillRect32(vcl::TBitmap* bmp, vcl::TRect r, vcl::TColor color, std::uint8_t alpha) {
  Rows32 b(bmp);
  if (!b.ok || !Clip(bmp, r)) return;
  const std::uint32_t value =
      (SwapRedBlue(static_cast<std::uint32_t>(color)) & 0x00FFFFFF) | (static_cast<std::uint32_t>(alpha) << 24);
  for (int y = r.Top; y < r.Bottom; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(b[y]);
    std::fill(row + r.Left, row + r.Right, value);
  }
}

void BlendRect32(vcl::TBitmap* bmp, vcl::TRect r, vcl::TColor color, int blend, std::uint8_t alpha) {
  Rows32 b(bmp);
  if (!b.ok || !Clip(bmp, r)) return;
  TsColor_RGB k{static_cast<std::uint32_t>(color)};
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      TsColor_& p = b[y][x];
      p.R = static_cast<std::uint8_t>(p.R - (blend * (p.R - k.Red)) / 100);
      p.G = static_cast<std::uint8_t>(p.G - (blend * (p.G - k.Green)) / 100);
      p.B = static_cast<std::uint8_t>(p.B - (blend * (p.B - k.Blue)) / 100);
      p.A = alpha;
    }
}

void BlendColorRect(vcl::TBitmap* bmp, vcl::TRect r, int blend, vcl::TColor color) {
  Rows32 b(bmp);
  if (!b.ok) return;
  TsColor_RGB k{static_cast<std::uint32_t>(vcl::ColorToRGB(color))};
  r.Left = std::max(0, r.Left);
  r.Top = std::max(0, r.Top);
  r.Right = std::min(r.Right, bmp->Width() - 1);
  r.Bottom = std::min(r.Bottom, bmp->Height() - 1);
  const double x = blend / 100.0;
  for (int y = r.Top; y <= r.Bottom; ++y)
    for (int c = r.Left; c <= r.Right; ++c) {
      TsColor_& p = b[y][c];
      p.R = static_cast<std::uint8_t>(std::nearbyint(p.R * x + k.Red * (1 - x)));
      p.G = static_cast<std::uint8_t>(std::nearbyint(p.G * x + k.Green * (1 - x)));
      p.B = static_cast<std::uint8_t>(std::nearbyint(p.B * x + k.Blue * (1 - x)));
    }
}

void FillAlphaRect(vcl::TBitmap* bmp, const vcl::TRect& r, std::uint8_t value, vcl::TColor transColor) {
  Rows32 b(bmp);
  if (!b.ok) return;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      TsColor_& p = b[y][x];
      if (transColor != vcl::clNone && p.C == static_cast<std::uint32_t>(transColor)) continue;
      p.A = value;
    }
}

void FillDCBorder32(vcl::TBitmap* bmp, const vcl::TRect& r, int wl, int wt, int wr, int wb, vcl::TColor color) {
  FillRect32(bmp, vcl::Rect(r.Left, r.Top, r.Right, r.Top + wt), color, 255);
  FillRect32(bmp, vcl::Rect(r.Left, r.Top + wt, r.Left + wl, r.Bottom), color, 255);
  FillRect32(bmp, vcl::Rect(r.Left + wl, r.Bottom - wb, r.Right, r.Bottom), color, 255);
  FillRect32(bmp, vcl::Rect(r.Right - wr, r.Top + wt, r.Right, r.Bottom - wb), color, 255);
}

void FillTransPixels32(vcl::TBitmap* dst, vcl::TBitmap* src, const vcl::TRect& r, vcl::TPoint p, int maskIndex,
                       TsSkinManager* skinManager, int corner) {
  Rows32 d(dst), s(src);
  if (!d.ok || !s.ok) return;
  const int w = std::min(r.Width(), src->Width() - p.X), h = std::min(r.Height(), src->Height() - p.Y);
  Rows32 m(nullptr);
  int x0 = 0, y0 = 0;
  vcl::TBitmap* maskBmp = nullptr;
  if (maskIndex >= 0) {
    if (!skinManager || !skinManager->IsValidImgIndex(maskIndex)) return;
    const TsMaskData& md = skinManager->ma[static_cast<size_t>(maskIndex)];
    maskBmp = ImageBitmap(md);
    m = Rows32(maskBmp);
    if (!m.ok) return;
    const int fw = WidthOfImage(md), fh = HeightOfImage(md), l = md.R.Left, t = md.R.Top;
    switch (corner) {
      case HTTOPRIGHT:
        x0 = l + fw - md.WR;
        y0 = t;
        break;
      case HTBOTTOMLEFT:
        x0 = l;
        y0 = t + fh - md.WB;
        break;
      case HTBOTTOMRIGHT:
        x0 = l + fw - md.WR;
        y0 = t + fh - md.WB;
        break;
      default:
        x0 = l;
        y0 = t;
        break;
    }
  }
  for (int y = 0; y < h; ++y) {
    int dy = r.Top + y, sy = p.Y + y;
    if (dy < 0 || dy >= dst->Height() || sy < 0) continue;
    for (int x = 0; x < w; ++x) {
      int dx = r.Left + x, sx = p.X + x;
      if (dx < 0 || dx >= dst->Width() || sx < 0) continue;
      std::uint32_t test;
      if (maskIndex < 0) {
        test = d[dy][dx].C;
      } else {
        int mx = x0 + x, my = y0 + y;
        if (mx < 0 || my < 0 || mx >= maskBmp->Width() || my >= maskBmp->Height()) continue;
        test = m[my][mx].C;
      }
      if ((test & 0x00FFFFFF) == 0xFF00FF) d[dy][dx] = s[sy][sx];
    }
  }
}

void BmpDisabledKind(vcl::TBitmap* bmp, TsDisabledKind disabledKind, vcl::TControl* parent, const TCacheInfo& ci,
                     vcl::TPoint offset) {
  if (!bmp) return;
  if (disabledKind.Contains(dkGrayed)) {
    if (DefDisabledSaturation == -100)
      GrayScale(bmp);
    else
      ChangeBitmapPixels(bmp, ChangeColorSaturation,
                         static_cast<int>(std::nearbyint(DefDisabledSaturation * 255.0 / 100)), 0xFF00FF);
  }
  if (disabledKind.Contains(dkBlended)) {
    vcl::TRect r(0, 0, bmp->Width(), bmp->Height());
    if (ci.Ready && ci.Bmp) {
      OffsetRect(vcl::AsRECT(&r), ci.X + offset.X, ci.Y + offset.Y);
      BlendTransRectangle(bmp, 0, 0, ci.Bmp, r, DefDisabledBlend, 0xFF00FF);
    } else {
      vcl::TColor colour = ci.FillColor == 0xFF00FF ? GetControlColor(parent) : ci.FillColor;
      BlendColorRect(bmp, r, static_cast<int>(std::trunc(DefDisabledBlend * 100)), colour);
    }
  }
}

HICON MakeIcon32(vcl::TBitmap* bmp) {
  if (!bmp || bmp->Empty()) return nullptr;
  TsColor key;
  key.C = 0;
  {
    vcl::TColor c = bmp->Canvas()->Pixels(0, 0);
    key.C = SwapRedBlue(static_cast<std::uint32_t>(c)) & 0x00FFFFFF;
  }
  bmp->SetPixelFormat(vcl::pf32bit);
  const int w = bmp->Width(), h = bmp->Height();
  vcl::TBitmap mask;
  mask.SetPixelFormat(vcl::pf1bit);
  mask.SetSize(w, h);
  Rows32 b(bmp);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<std::uint8_t*>(mask.ScanLine(y));
    std::fill(row, row + (w + 7) / 8, 0);
    for (int x = 0; x < w; ++x)
      if ((b[y][x].C & 0x00FFFFFF) == key.C) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  ICONINFO info{TRUE, 0, 0, mask.Handle(), bmp->Handle()};
  return CreateIconIndirect(&info);
}

HICON MakeCompIcon(vcl::TBitmap* bmp, vcl::TColor) {
  if (!bmp || bmp->Empty()) return nullptr;
  if (bmp->PixelFormat() != vcl::pf32bit) {
    bmp->SetPixelFormat(vcl::pf32bit);
    Rows32 b(bmp);
    for (int y = 0; y < bmp->Height(); ++y)
      for (int x = 0; x < bmp->Width(); ++x) b[y][x].A = b[y][x].C == 0x00FF00FF ? 0 : 255;
  }
  vcl::TBitmap colour;
  CopyBmp(&colour, bmp);
  vcl::TBitmap mask;
  mask.SetPixelFormat(vcl::pf1bit);
  mask.SetSize(bmp->Width(), bmp->Height());
  Rows32 b(bmp);
  for (int y = 0; y < bmp->Height(); ++y) {
    auto* row = static_cast<std::uint8_t*>(mask.ScanLine(y));
    std::fill(row, row + (bmp->Width() + 7) / 8, 0);
    for (int x = 0; x < bmp->Width(); ++x)
      if (b[y][x].A == 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  ICONINFO info{TRUE, 0, 0, mask.Handle(), colour.Handle()};
  return CreateIconIndirect(&info);
}

std::uint32_t SwapLong(std::uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

void SwapLong(std::uint32_t* p, int count) {
  for (int i = 0; i < std::max(count, 1); ++i) p[i] = SwapLong(p[i]);
}

void AddRgnBmp(TAOR& rects, vcl::TBitmap* bmp, TsColor transColor) {
  Rows32 b(bmp);
  if (!b.ok) return;
  const std::uint32_t key = transColor.C & 0x00FFFFFF;
  for (int y = 0; y < bmp->Height(); ++y) {
    int start = -1;
    for (int x = 0; x <= bmp->Width(); ++x) {
      bool trans = x < bmp->Width() && b[y][x].C == key;
      if (trans && start < 0) start = x;
      if (!trans && start >= 0) {
        rects.push_back(vcl::Rect(start, y, x, y + 1));
        start = -1;
      }
    }
  }
}

void GetRgnFromBmp(HRGN& rgn, vcl::TBitmap* bmp, vcl::TColor transColor) {
  rgn = CreateRectRgn(0, 0, bmp ? bmp->Width() : 0, bmp ? bmp->Height() : 0);
  if (!bmp) return;
  TAOR rects;
  TsColor key;
  key.C = static_cast<std::uint32_t>(transColor);
  AddRgnBmp(rects, bmp, key);
  for (const vcl::TRect& r : rects) {
    HRGN part = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(rgn, rgn, part, RGN_DIFF);
    DeleteObject(part);
  }
}

void AddRgn(TAOR& rects, int width, const TsMaskData& maskData, int vertOffset, bool bottom) {
  if (!maskData.Manager) return;
  vcl::TBitmap* bmp = ImageBitmap(maskData);
  Rows32 b(bmp);
  if (!b.ok) return;
  const int fw = WidthOfImage(maskData);
  const int rows = bottom ? maskData.WB : maskData.WT;
  const int first =
      bottom ? maskData.R.Top + maskData.R.Height() / (maskData.MaskType + 1) - maskData.WB : maskData.R.Top;
  if (first < 0 || first + rows > bmp->Height()) return;
  auto scan = [&](int y, int from, int to, int place) {
    int start = -1;
    for (int x = from; x <= to; ++x) {
      bool key = x < to && x < bmp->Width() && b[y][x].C == 0x00FF00FF;
      if (key && start < 0) start = x;
      if (!key && start >= 0) {
        int left = place + start - from;
        rects.push_back(vcl::Rect(left, vertOffset + y - first, left + x - start, vertOffset + y - first + 1));
        start = -1;
      }
    }
  };
  for (int y = first; y < first + rows; ++y) {
    scan(y, maskData.R.Left, maskData.R.Left + maskData.WL, 0);
    scan(y, maskData.R.Left + fw - maskData.WR, maskData.R.Left + fw, width - maskData.WR);
  }
}
