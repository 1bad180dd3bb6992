#include "skin/render/sBmpCopy.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/rtl/win.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

namespace {

// The rows of a 32-bit bitmap.
struct Rows {
  std::uint8_t* line0 = nullptr;
  std::ptrdiff_t delta = 0;
  int w = 0, h = 0;
  bool ok = false;
  explicit Rows(vcl::TBitmap* b) {
    if (!b || b->PixelFormat() != vcl::pf32bit) return;
    ok = InitLine(b, line0, delta);
    if (ok) {
      w = b->Width();
      h = b->Height();
    }
  }
  TsColor_* operator[](int y) const { return PixelAt(line0, delta, 0, y); }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

inline std::uint8_t Mix(int s, int d, int w) { return static_cast<std::uint8_t>((s * w + d * (256 - w)) >> 8); }

// The area a copy between two rectangles covers: the smaller of the two, limited to both bitmaps; a negative left
// or top of either moves both starting points in step.
struct Area {
  int dx, dy, sx, sy, w, h;
  Area(const vcl::TRect& dstRect, const vcl::TRect& srcRect, const Rows& dst, const Rows& src) {
    dx = dstRect.Left;
    dy = dstRect.Top;
    sx = srcRect.Left;
    sy = srcRect.Top;
    w = std::min(dstRect.Width(), srcRect.Width());
    h = std::min(dstRect.Height(), srcRect.Height());
    if (dx < 0) {
      sx -= dx;
      w += dx;
      dx = 0;
    }
    if (sx < 0) {
      dx -= sx;
      w += sx;
      sx = 0;
    }
    if (dy < 0) {
      sy -= dy;
      h += dy;
      dy = 0;
    }
    if (sy < 0) {
      dy -= sy;
      h += sy;
      sy = 0;
    }
    w = std::min({w, dst.w - dx, src.w - sx});
    h = std::min({h, dst.h - dy, src.h - sy});
  }
  bool Empty() const { return w <= 0 || h <= 0; }
};

// A source rectangle limited to the bitmap with its right and bottom included.
void LimitInclusive(vcl::TRect& r, const Rows& src) {
  r.Left = std::max(0, r.Left);
  r.Top = std::max(0, r.Top);
  r.Right = std::min(r.Right, src.w - 1);
  r.Bottom = std::min(r.Bottom, src.h - 1);
}

TsColor_ ParentPixel(const TCacheInfo& ci, int x, int y, bool& inside) {
  Rows parent(ci.Bmp);
  int px = ci.X + x, py = ci.Y + y;
  inside = parent.ok && parent.Inside(px, py);
  return inside ? parent[py][px] : TsColor_{0};
}

}  // namespace

vcl::TBitmap* ImageBitmap(const TsMaskData& maskData) {
  if (maskData.Bmp) return maskData.Bmp;
  if (!maskData.Manager) return nullptr;
  return static_cast<TsSkinTables*>(maskData.Manager)->MasterBitmap.get();
}

std::unique_ptr<vcl::TBitmap> CreateGray8(int width, int height) {
  auto bmp = std::make_unique<vcl::TBitmap>();
  bmp->SetPixelFormat(vcl::pf8bit);
  std::vector<RGBQUAD> table(256);
  for (int i = 0; i < 256; ++i)
    table[static_cast<size_t>(i)] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
  bmp->SetColorTable(table);
  bmp->SetSize(std::max(0, width), std::max(0, height));
  return bmp;
}

void CopyBmp(vcl::TBitmap* dst, vcl::TBitmap* src) {
  if (!dst || !src) return;
  dst->SetPixelFormat(src->PixelFormat());
  dst->SetHandleType(vcl::bmDIB);
  if (src->PixelFormat() <= vcl::pf8bit && src->PixelFormat() != vcl::pfDevice) dst->SetColorTable(src->ColorTable());
  dst->SetSize(src->Width(), src->Height());
  BitBlt(dst->Canvas()->Handle(), 0, 0, src->Width(), src->Height(), src->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void CopyBmp32(const vcl::TRect& dstRect, const vcl::TRect& srcRect, vcl::TBitmap* dst, vcl::TBitmap* src,
               const TCacheInfo& ci, bool updateTrans, vcl::TColor grayedColor, int blend, bool reflected) {
  if (!dst || !src) return;
  src->SetPixelFormat(vcl::pf32bit);
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  Area a(dstRect, srcRect, d, s);
  if (a.Empty()) return;
  const bool grayed = grayedColor != vcl::clNone;
  int f[3] = {0, 0, 0};  // tint factors x 255: R, G, B
  if (grayed) {
    TsColor_RGB c{static_cast<std::uint32_t>(vcl::ColorToRGB(grayedColor))};
    int mx = std::max({c.Red, c.Green, c.Blue});
    f[0] = c.Red + 255 - mx;
    f[1] = c.Green + 255 - mx;
    f[2] = c.Blue + 255 - mx;
  }
  for (int y = 0; y < a.h; ++y) {
    TsColor_* dr = d[a.dy + y] + a.dx;
    const TsColor_* sr = s[a.sy + y] + a.sx;
    for (int x = 0; x < a.w; ++x) {
      TsColor_ sp = sr[x];
      TsColor_& dp = dr[x];
      if (sp.C == 0x00FF00FF && ci.Ready) {
        if (updateTrans) {
          bool inside;
          TsColor_ p = ParentPixel(ci, a.dx + x, a.dy + y, inside);
          if (inside) {
            dp.B = p.B;
            dp.G = p.G;
            dp.R = p.R;
          }
        }
        continue;
      }
      int w = blend ? (100 - blend) * sp.A / 100 : sp.A;
      if (!grayed) {
        dp.B = Mix(sp.B, dp.B, w);
        dp.G = Mix(sp.G, dp.G, w);
        dp.R = Mix(sp.R, dp.R, w);
        if (!blend) dp.A = std::max(dp.A, sp.A);
      } else {
        int g = (sp.R + sp.G + sp.B) / 3;
        dp.R = Mix(std::min(255, g * f[0] / 255), dp.R, w);
        dp.G = Mix(std::min(255, g * f[1] / 255), dp.G, w);
        dp.B = Mix(std::min(255, g * f[2] / 255), dp.B, w);
      }
    }
  }
  if (!reflected) return;
  const int n = std::min(s.h / 2 - 1, d.h - dstRect.Bottom - 1);
  if (n <= 0) return;
  int fade = 255;
  const int drop = s.h > 0 ? 255 / s.h : 0;
  for (int k = 1; k <= n; ++k, fade -= drop) {
    int dy = dstRect.Bottom + k, sy = srcRect.Bottom - 1 - k;
    if (dy < 0 || dy >= d.h || sy < 0 || sy >= s.h) continue;
    TsColor_* dr = d[dy] + a.dx;
    const TsColor_* sr = s[sy] + a.sx;
    for (int x = 0; x < a.w; ++x) {
      TsColor_ sp = sr[x];
      if (sp.C == 0x00FF00FF) continue;
      int w = ((sp.A * (n - k) / n) * std::max(fade, 0)) >> 9;
      if (blend) w = w * (100 - blend) / 100;
      dr[x].B = Mix(sp.B, dr[x].B, w);
      dr[x].G = Mix(sp.G, dr[x].G, w);
      dr[x].R = Mix(sp.R, dr[x].R, w);
    }
  }
}

void DrawBmp(vcl::TCanvas* canvas, vcl::TBitmap* bmp, const vcl::TRect& r, bool reflected) {
  if (!canvas || !bmp || bmp->Empty()) return;
  if (bmp->PixelFormat() != vcl::pf32bit) {
    bmp->Draw(*canvas, r);
    return;
  }
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  auto scratch = CreateBmp32(w, h + (reflected ? h / 2 : 0));
  BitBlt(scratch->Canvas()->Handle(), 0, 0, scratch->Width(), scratch->Height(), canvas->Handle(), r.Left, r.Top,
         SRCCOPY);
  if (bmp->Width() == w && bmp->Height() == h) {
    CopyBmp32(vcl::Rect(0, 0, w, h), vcl::Rect(0, 0, w, h), scratch.get(), bmp, EmptyCI, false, vcl::clNone, 0,
              reflected);
  } else {
    auto colour = CreateBmp32(w, h);
    SetStretchBltMode(colour->Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(colour->Canvas()->Handle(), 0, 0, w, h, bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(),
               SRCCOPY);
    auto alpha = CreateGray8(bmp->Width(), bmp->Height());
    CopyChannel(bmp, alpha.get(), 3, true);
    auto stretched = CreateGray8(w, h);
    SetStretchBltMode(stretched->Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(stretched->Canvas()->Handle(), 0, 0, w, h, alpha->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(),
               SRCCOPY);
    CopyChannel(colour.get(), stretched.get(), 3, false);
    CopyBmp32(vcl::Rect(0, 0, w, h), vcl::Rect(0, 0, w, h), scratch.get(), colour.get(), EmptyCI, false, vcl::clNone, 0,
              false);
  }
  BitBlt(canvas->Handle(), r.Left, r.Top, scratch->Width(), scratch->Height(), scratch->Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

void CopyByMask(const vcl::TRect& dstRect, const vcl::TRect& srcRect, vcl::TBitmap* dst, vcl::TBitmap* src,
                const TCacheInfo& ci, bool updateTrans) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  Area a(dstRect, srcRect, d, s);
  if (a.Empty()) return;
  for (int y = 0; y < a.h; ++y) {
    TsColor_* dr = d[a.dy + y] + a.dx;
    const TsColor_* sr = s[a.sy + y] + a.sx;
    for (int x = 0; x < a.w; ++x) {
      TsColor_ sp = sr[x];
      TsColor_& dp = dr[x];
      if (sp.C == 0x00FF00FF && updateTrans && ci.Ready) {
        bool inside;
        TsColor_ p = ParentPixel(ci, a.dx + x, a.dy + y, inside);
        if (inside) {
          dp = p;
          dp.A = 255;
        }
        continue;
      }
      int w = sp.A;
      dp.B = Mix(sp.B, dp.B, w);
      dp.G = Mix(sp.G, dp.G, w);
      dp.R = Mix(sp.R, dp.R, w);
      if (w > 0) dp.A = static_cast<std::uint8_t>(dp.A + ((255 - dp.A) * w >> 8));
    }
  }
}

void CopyByMask(const vcl::TRect& dstRect, const vcl::TRect& srcRect, vcl::TBitmap* dst, vcl::TBitmap* src,
                const TCacheInfo& ci, bool updateTrans, const TsMaskData& maskData) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  Area a(dstRect, srcRect, d, s);
  const int maskOffset = maskData.R.Height() / 2;
  a.h = std::min(a.h, s.h - maskOffset - a.sy);
  if (a.Empty()) return;
  for (int y = 0; y < a.h; ++y) {
    TsColor_* dr = d[a.dy + y] + a.dx;
    const TsColor_* sr = s[a.sy + y] + a.sx;
    const TsColor_* mr = s[a.sy + y + maskOffset] + a.sx;
    for (int x = 0; x < a.w; ++x) {
      TsColor_ sp = sr[x], m = mr[x];
      TsColor_& dp = dr[x];
      if (sp.C == 0x00FF00FF && updateTrans && ci.Ready) {
        bool inside;
        TsColor_ p = ParentPixel(ci, a.dx + x, a.dy + y, inside);
        if (inside) {
          dp = p;
          dp.A = 255;
        }
        continue;
      }
      dp.B = Mix(dp.B, sp.B, m.B);
      dp.G = Mix(dp.G, sp.G, m.G);
      dp.R = Mix(dp.R, sp.R, m.R);
      if (updateTrans) dp.A = 255;
    }
  }
}

void CopyTransRect(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, vcl::TRect srcRect, vcl::TColor transColor,
                   const TCacheInfo& ci, bool updateTrans) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  LimitInclusive(srcRect, s);
  const auto trans = static_cast<std::uint32_t>(transColor);
  const bool toSelf = ci.Ready && ci.Bmp == dst;
  const std::uint32_t fill = SwapRedBlue(static_cast<std::uint32_t>(ci.FillColor)) & 0x00FFFFFF;
  for (int sy = srcRect.Top; sy <= srcRect.Bottom; ++sy) {
    int dy = y + sy - srcRect.Top;
    if (dy < 0 || dy >= d.h) continue;
    const TsColor_* sr = s[sy];
    TsColor_* dr = d[dy];
    for (int sx = srcRect.Left; sx <= srcRect.Right; ++sx) {
      int dx = x + sx - srcRect.Left;
      if (dx < 0 || dx >= d.w) continue;
      TsColor_ sp = sr[sx];
      bool transparent = sp.C == trans;
      if (updateTrans && ci.Ready && ci.Bmp) {
        if (toSelf) {
          if (transparent) continue;
          dr[dx] = sp;
          dr[dx].A = 255;
        } else if (transparent) {
          bool inside;
          TsColor_ p = ParentPixel(ci, dx, dy, inside);
          if (inside) dr[dx] = p;
        } else {
          dr[dx] = sp;
        }
      } else if (ci.Ready) {
        if (!transparent) dr[dx] = sp;
      } else {
        dr[dx].C = transparent ? fill : sp.C;
      }
    }
  }
}

void CopyTransRectA(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, vcl::TRect srcRect, vcl::TColor transColor,
                    const TCacheInfo&) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  LimitInclusive(srcRect, s);
  const std::uint32_t trans = SwapRedBlue(static_cast<std::uint32_t>(transColor)) & 0x00FFFFFF;
  for (int sy = srcRect.Top; sy <= srcRect.Bottom; ++sy) {
    int dy = y + sy - srcRect.Top;
    if (dy < 0 || dy >= d.h) continue;
    const TsColor_* sr = s[sy];
    TsColor_* dr = d[dy];
    for (int sx = srcRect.Left; sx <= srcRect.Right; ++sx) {
      int dx = x + sx - srcRect.Left;
      if (dx < 0) continue;
      if (dx >= d.w) break;
      if (sr[sx].C != trans) dr[dx] = sr[sx];
    }
  }
}

void CopyTransBitmaps(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, TsColor transColor) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  const std::uint32_t trans = SwapRedBlue(transColor.C);
  for (int sy = 0; sy < s.h; ++sy) {
    int dy = y + sy;
    if (dy < 0 || dy >= d.h) continue;
    for (int sx = 0; sx < s.w; ++sx) {
      int dx = x + sx;
      if (dx < 0 || dx >= d.w) continue;
      TsColor_ p = s[sy][sx];
      if (p.C == trans) continue;
      p.A = 255;
      d[dy][dx] = p;
    }
  }
}

void BlendTransRectangle(vcl::TBitmap* dst, int x, int y, vcl::TBitmap* src, vcl::TRect srcRect, double blend,
                         vcl::TColor transColor) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  if (srcRect.Left < 0) {
    x -= srcRect.Left;
    srcRect.Left = 0;
  }
  if (srcRect.Top < 0) {
    y -= srcRect.Top;
    srcRect.Top = 0;
  }
  srcRect.Right = std::min(srcRect.Right, s.w - 1);
  srcRect.Bottom = std::min(srcRect.Bottom, s.h - 1);
  const auto trans = static_cast<std::uint32_t>(transColor);
  for (int sy = srcRect.Top; sy <= srcRect.Bottom; ++sy) {
    int dy = y + sy - srcRect.Top;
    if (dy < 0 || dy >= d.h) continue;
    for (int sx = srcRect.Left; sx <= srcRect.Right; ++sx) {
      int dx = x + sx - srcRect.Left;
      if (dx < 0 || dx >= d.w) continue;
      TsColor_ sp = s[sy][sx];
      if (sp.C == trans) continue;
      TsColor_& dp = d[dy][dx];
      dp.B = static_cast<std::uint8_t>(std::trunc(sp.B - (sp.B - dp.B) * blend));
      dp.G = static_cast<std::uint8_t>(std::trunc(sp.G - (sp.G - dp.G) * blend));
      dp.R = static_cast<std::uint8_t>(std::trunc(sp.R - (sp.R - dp.R) * blend));
    }
  }
}

void BlendTransBitmap(vcl::TBitmap* bmp, double blend, TsColor color) {
  Rows b(bmp);
  if (!b.ok) return;
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      TsColor_& p = b[y][x];
      if (p.C == 0x00FF00FF) continue;
      p.R = static_cast<std::uint8_t>(std::trunc(blend * (p.R - color.R) + color.R));
      p.G = static_cast<std::uint8_t>(std::trunc(blend * (p.G - color.G) + color.G));
      p.B = static_cast<std::uint8_t>(std::trunc(blend * (p.B - color.B) + color.B));
    }
}

void BlendBmpByMask(vcl::TBitmap* dst, vcl::TBitmap* mask, TsColor color) {
  Rows d(dst), m(mask);
  if (!d.ok || !m.ok || d.w != m.w || d.h != m.h) return;
  for (int y = 0; y < d.h; ++y)
    for (int x = 0; x < d.w; ++x) {
      TsColor_ mp = m[y][x];
      if (mp.C == 0xFFFFFFFF) continue;
      TsColor_& p = d[y][x];
      p.B = Mix(p.B, color.B, mp.B);
      p.G = Mix(p.G, color.G, mp.G);
      p.R = Mix(p.R, color.R, mp.R);
    }
}

void SumBitmaps(vcl::TBitmap* dst, vcl::TBitmap* src, int blend) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok || d.w != s.w || d.h != s.h) return;
  for (int y = 0; y < d.h; ++y) {
    TsColor_* dr = d[y];
    const TsColor_* sr = s[y];
    for (int x = 0; x < d.w; ++x) {
      dr[x].B = Mix(dr[x].B, sr[x].B, blend);
      dr[x].G = Mix(dr[x].G, sr[x].G, blend);
      dr[x].R = Mix(dr[x].R, sr[x].R, blend);
    }
  }
}

void SumBmpRect(vcl::TBitmap* dst, vcl::TBitmap* src, int blend, vcl::TRect srcRect, vcl::TPoint dstPoint) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok) return;
  if (dstPoint.X < 0) {
    srcRect.Left -= dstPoint.X;
    dstPoint.X = 0;
  }
  if (dstPoint.Y < 0) {
    srcRect.Top -= dstPoint.Y;
    dstPoint.Y = 0;
  }
  if (srcRect.Left < 0) {
    dstPoint.X -= srcRect.Left;
    srcRect.Left = 0;
  }
  if (srcRect.Top < 0) {
    dstPoint.Y -= srcRect.Top;
    srcRect.Top = 0;
  }
  if (srcRect.Right >= s.w) srcRect.Right = s.w - 1;
  if (srcRect.Bottom >= s.h) srcRect.Bottom = s.h - 1;
  if (srcRect.Left >= s.w || srcRect.Top >= s.h || dstPoint.X >= d.w || dstPoint.Y >= d.h) return;
  srcRect.Right = std::min(srcRect.Right, srcRect.Left + d.w - dstPoint.X - 1);
  srcRect.Bottom = std::min(srcRect.Bottom, srcRect.Top + d.h - dstPoint.Y - 1);
  if (srcRect.Right < srcRect.Left || srcRect.Bottom < srcRect.Top) return;
  const int w = srcRect.Right - srcRect.Left + 1;
  for (int y = srcRect.Top; y <= srcRect.Bottom; ++y) {
    TsColor_* dr = d[dstPoint.Y + y - srcRect.Top] + dstPoint.X;
    const TsColor_* sr = s[y] + srcRect.Left;
    for (int x = 0; x < w; ++x) {
      dr[x].B = Mix(dr[x].B, sr[x].B, blend);
      dr[x].G = Mix(dr[x].G, sr[x].G, blend);
      dr[x].R = Mix(dr[x].R, sr[x].R, blend);
      dr[x].A = Mix(dr[x].A, sr[x].A, blend);
    }
  }
}

void SumBitmapsByMask(vcl::TBitmap* out, vcl::TBitmap* src1, vcl::TBitmap* src2, vcl::TBitmap* mask, int percent) {
  if (!out || !src1 || !src2 || src1->Width() != src2->Width() || src1->Height() != src2->Height()) return;
  out->SetPixelFormat(vcl::pf32bit);
  if (out->Width() != src1->Width() || out->Height() != src1->Height()) out->SetSize(src1->Width(), src1->Height());
  Rows o(out), a(src1), b(src2), m(mask);
  if (!o.ok || !a.ok || !b.ok) return;
  if (mask && (!m.ok || m.w != a.w || m.h != a.h)) return;
  for (int y = 0; y < o.h; ++y)
    for (int x = 0; x < o.w; ++x) {
      TsColor_ p1 = a[y][x], p2 = b[y][x];
      TsColor_& q = o[y][x];
      if (mask) {
        TsColor_ mp = m[y][x];
        q.B = Mix(p1.B, p2.B, mp.B);
        q.G = Mix(p1.G, p2.G, mp.G);
        q.R = Mix(p1.R, p2.R, mp.R);
        q.A = Mix(p1.A, p2.A, mp.A);
      } else {
        auto ch = [&](int c1, int c2) { return static_cast<std::uint8_t>(c2 - ((percent * (c2 - c1) + 255) >> 8)); };
        q.B = ch(p1.B, p2.B);
        q.G = ch(p1.G, p2.G);
        q.R = ch(p1.R, p2.R);
        q.A = ch(p1.A, p2.A);
      }
    }
}

void FadeBmp(vcl::TBitmap* bmp, const vcl::TRect& r, int transparency, TsColor color, int size, int radius) {
  if (!bmp || r.Width() <= 0 || r.Height() <= 0) return;
  const int w = r.Width(), h = r.Height();
  auto copy = CreateBmp32(w, h);
  BitBlt(copy->Canvas()->Handle(), 0, 0, w, h, bmp->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
  auto mask = CreateBmp32(w, h);
  HDC dc = mask->Canvas()->Handle();
  const int d = std::min({w / 2, h / 2, size}), rad = std::min({w / 2, h / 2, radius});
  const int base = transparency * 255 / 100;
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  int grey = 255;
  for (int i = 0; i <= d; ++i) {
    grey = i == 0 ? 255 : base + static_cast<int>(std::trunc((d - i + 1) * (255.0 - base) / (d + 1)));
    HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
    HGDIOBJ old = SelectObject(dc, brush);
    // The null pen leaves the right and bottom edges out: the rectangle is one pixel larger to fill them.
    RoundRect(dc, i, i, w - i + 1, h - i + 1, rad, rad);
    SelectObject(dc, old);
    DeleteObject(brush);
  }
  HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
  HGDIOBJ old = SelectObject(dc, brush);
  RoundRect(dc, d, d, w - d + 1, h - d + 1, d, d);
  SelectObject(dc, old);
  DeleteObject(brush);
  SelectObject(dc, oldPen);
  BlendBmpByMask(copy.get(), mask.get(), color);
  BitBlt(bmp->Canvas()->Handle(), r.Left, r.Top, w, h, copy->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void GrayScale(vcl::TBitmap* bmp) {
  Rows b(bmp);
  if (!b.ok) return;
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      TsColor_& p = b[y][x];
      p.B = p.G = p.R = static_cast<std::uint8_t>((p.R + p.G + p.B) / 3);
    }
}

void GrayScaleTrans(vcl::TBitmap* bmp, TsColor transColor) {
  Rows b(bmp);
  if (!b.ok) return;
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      TsColor_& p = b[y][x];
      if (p.C == transColor.C) continue;
      p.B = p.G = p.R = static_cast<std::uint8_t>((p.R + p.G + p.B) / 3);
    }
}

void CopyChannel32(vcl::TBitmap* dst, vcl::TBitmap* src, int channel) {
  Rows d(dst), s(src);
  if (!d.ok || !s.ok || channel < 0 || channel > 3) return;
  for (int y = 0; y < std::min(d.h, s.h); ++y)
    for (int x = 0; x < std::min(d.w, s.w); ++x)
      reinterpret_cast<std::uint8_t*>(&d[y][x])[channel] = reinterpret_cast<std::uint8_t*>(&s[y][x])[channel];
}

void CopyChannel(vcl::TBitmap* bmp32, vcl::TBitmap* bmp8, int channel, bool to8) {
  Rows b(bmp32);
  if (!b.ok || !bmp8 || bmp8->PixelFormat() != vcl::pf8bit || channel < 0 || channel > 3) return;
  const int h = std::min(b.h, bmp8->Height()), w = std::min(b.w, bmp8->Width());
  for (int y = 0; y < h; ++y) {
    auto* row8 = static_cast<std::uint8_t*>(bmp8->ScanLine(y));
    TsColor_* row = b[y];
    for (int x = 0; x < w; ++x) {
      auto* bytes = reinterpret_cast<std::uint8_t*>(&row[x]);
      if (to8)
        row8[x] = bytes[channel];
      else
        bytes[channel] = row8[x];
    }
  }
}

void TileBitmap(vcl::TCanvas* canvas, vcl::TRect& r, vcl::TGraphic*, const TsMaskData& maskData, TlvFillMode fillMode) {
  vcl::TBitmap* image = ImageBitmap(maskData);
  if (!canvas || !image) return;
  const int w = maskData.R.Width(), h = maskData.R.Height();
  if (w <= 0 || h <= 0) return;
  HDC dst = canvas->Handle(), src = image->Canvas()->Handle();
  const int sx = maskData.R.Left, sy = maskData.R.Top;
  auto blt = [&](int x, int y, int cw, int ch) {
    if (cw > 0 && ch > 0) BitBlt(dst, x, y, cw, ch, src, sx, sy, SRCCOPY);
  };
  auto stretch = [&](int x, int y, int cw, int ch, int srcW, int srcH) {
    if (cw <= 0 || ch <= 0) return;
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, x, y, cw, ch, src, sx, sy, srcW, srcH, SRCCOPY);
  };
  const vcl::TRect covered(-1, -1, -1, -1);
  switch (fillMode) {
    case fmTiled: {
      int x = r.Left;
      for (; x < r.Right - w; x += w) {
        int y = r.Top;
        for (; y < r.Bottom - h; y += h) blt(x, y, w, h);
        blt(x, y, w, r.Bottom - y);
      }
      int y = r.Top;
      for (; y < r.Bottom - h; y += h) blt(x, y, r.Right - x, h);
      blt(x, y, r.Right - x, r.Bottom - y);
      r = covered;
      break;
    }
    case fmTiledHorz:
      for (int x = r.Left; x < r.Right; x += w) blt(x, r.Top, std::min(w, r.Right - x), h);
      r.Top += h;
      break;
    case fmTiledVert:
      for (int y = r.Top; y < r.Bottom; y += h) blt(r.Left, y, w, std::min(h, r.Bottom - y));
      r.Left += w;
      break;
    case fmTileHorBtm:
      for (int x = r.Left; x < r.Right; x += w) blt(x, r.Bottom - h, std::min(w, r.Right - x), h);
      r.Bottom -= h;
      break;
    case fmTileVertRight:
      for (int y = r.Top; y < r.Bottom; y += h) blt(r.Right - w, y, w, std::min(h, r.Bottom - y));
      r.Right -= w;
      break;
    case fmStretched:
      stretch(r.Left, r.Top, r.Width(), r.Height(), w, h);
      r = covered;
      break;
    case fmStretchHorzTop:
      stretch(r.Left, r.Top, r.Width(), h, w, h);
      r.Top += h;
      break;
    case fmStretchVertLeft:
      stretch(r.Left, r.Top, w, r.Height(), w, h);
      r.Left += w;
      break;
    case fmStretchHorz: {
      int y = r.Top;
      for (; y + h <= r.Bottom; y += h) stretch(r.Left, y, r.Width(), h, w, h);
      if (y < r.Bottom) stretch(r.Left, y, r.Width(), r.Bottom - y, w, r.Bottom - y);
      r = covered;
      break;
    }
    case fmStretchVert: {
      int x = r.Left;
      for (; x + w <= r.Right; x += w) stretch(x, r.Top, w, r.Height(), w, h);
      if (x < r.Right) stretch(x, r.Top, r.Right - x, r.Height(), r.Right - x, h);
      r = covered;
      break;
    }
    case fmDisTiled: {
      int x = r.Left, lastY = r.Top;
      for (; x < r.Right - w; x += w) {
        int y = r.Top;
        for (; y < r.Bottom - h; y += h) blt(x, y, w, h);
        lastY = y;
      }
      for (int y = r.Top; y < lastY; y += h) blt(x, y, r.Right - x, h);
      r = covered;
      break;
    }
    default:
      break;
  }
}

void TileMasked(vcl::TBitmap* bmp, vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData,
                TlvFillMode fillMode) {
  if (!maskData.Manager || !bmp) return;
  const int w = WidthOfImage(maskData), h = maskData.R.Height() / 2;
  if (w <= 0 || h <= 0) return;
  const vcl::TRect src(maskData.R.Left, maskData.R.Top, maskData.R.Left + w, maskData.R.Top + h);
  auto tile = [&](int x, int y, int cw, int ch) {
    if (cw > 0 && ch > 0) CopyMasterRect(vcl::Rect(x, y, x + cw, y + ch), src, bmp, ci, maskData);
  };
  if (fillMode == fmTiled) {
    int x = r.Left;
    for (; x < r.Right - w; x += w) {
      int y = r.Top;
      for (; y < r.Bottom - h; y += h) tile(x, y, w, h);
    }
    for (int y = r.Top; y < r.Bottom - h; y += h) tile(x, y, r.Right - x, h);
    r = vcl::TRect(-1, -1, -1, -1);
  } else if (fillMode == fmDisTiled) {
    int x = r.Left, y = r.Top;
    for (; x < r.Right - w; x += w)
      for (y = r.Top; y < r.Bottom - h; y += h) tile(x, y, w, h);
    // What the whole tiles leave at the right and at the bottom shows the parent.
    auto parent = [&](const vcl::TRect& part) {
      if (part.Width() <= 0 || part.Height() <= 0) return;
      if (ci.Ready && ci.Bmp) {
        BitBlt(bmp->Canvas()->Handle(), part.Left, part.Top, part.Width(), part.Height(), ci.Bmp->Canvas()->Handle(),
               ci.X + part.Left, ci.Y + part.Top, SRCCOPY);
      } else if (bmp->PixelFormat() == vcl::pf32bit) {
        FillRect32(bmp, part, ci.FillColor, 255);
      } else {
        FillDC(bmp->Canvas()->Handle(), part, ci.FillColor);
      }
    };
    parent(vcl::Rect(x, r.Top, r.Right, r.Bottom));
    parent(vcl::Rect(r.Left, y, x, r.Bottom));
    r = vcl::TRect(-1, -1, -1, -1);
  }
}

void BitBltBorder(HDC dstDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY, int borderWidth) {
  if (borderWidth <= 0) return;
  const int ox = srcX - x, oy = srcY - y;
  auto copy = [&](int l, int t, int w, int h) {
    if (w > 0 && h > 0) BitBlt(dstDC, l, t, w, h, srcDC, l + ox, t + oy, SRCCOPY);
  };
  copy(x, y, borderWidth, height);
  copy(x + borderWidth, y, width - borderWidth, borderWidth);
  copy(x + width - borderWidth, y + borderWidth, borderWidth, height - borderWidth);
  copy(x + borderWidth, y + height - borderWidth, width - 2 * borderWidth, borderWidth);
}
