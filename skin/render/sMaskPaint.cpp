#include "skin/render/sMaskPaint.h"

#include <algorithm>

#include "platform/rtl/win.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBlur.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

namespace {

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

// The copy area of two rectangles: the smaller size, negative left or top positions moving both rectangles.
struct Area {
  int dx, dy, sx, sy, w, h;
  Area(const vcl::TRect& r1, const vcl::TRect& r2, const Rows& dst, const Rows& src) {
    dx = r1.Left;
    dy = r1.Top;
    sx = r2.Left;
    sy = r2.Top;
    w = std::min(r1.Width(), r2.Width());
    h = std::min(r1.Height(), r2.Height());
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

enum class Member { Std, Bit32, Bit32Ex };

void MaskCopy32(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp1, vcl::TBitmap* bmp2,
                const TCacheInfo& ci, const TsMaskData& md, int opacity, bool ex) {
  Rows d(bmp1), s(bmp2);
  if (!d.ok || !s.ok) return;
  Area a(r1, r2, d, s);
  if (a.Empty()) return;
  const int maskRow = std::min(a.sy + md.R.Height() / 2, s.h - a.h);
  if (maskRow < 0) return;
  Rows parent(ci.Ready ? ci.Bmp : nullptr);
  for (int y = 0; y < a.h; ++y) {
    TsColor_* dr = d[a.dy + y] + a.dx;
    const TsColor_* sr = s[a.sy + y] + a.sx;
    const TsColor_* mr = s[maskRow + y] + a.sx;
    for (int x = 0; x < a.w; ++x) {
      TsColor_ sp = sr[x];
      TsColor_& dp = dr[x];
      if (sp.C == 0x00FF00FF) {
        int px = ci.X + a.dx + x, py = ci.Y + a.dy + y;
        if (parent.ok && parent.Inside(px, py))
          dp = parent[py][px];
        else if (!parent.ok)
          dp.A = 0;
        continue;
      }
      const int m = mr[x].R;
      if (ex) {
        const int e = ((255 - m) * opacity) >> 8;
        dp.B = static_cast<std::uint8_t>((dp.B * (255 - e) + sp.B * e) >> 8);
        dp.G = static_cast<std::uint8_t>((dp.G * (255 - e) + sp.G * e) >> 8);
        dp.R = static_cast<std::uint8_t>((dp.R * (255 - e) + sp.R * e) >> 8);
      } else {
        dp.B = static_cast<std::uint8_t>((dp.B * m + sp.B * (255 - m)) >> 8);
        dp.G = static_cast<std::uint8_t>((dp.G * m + sp.G * (255 - m)) >> 8);
        dp.R = static_cast<std::uint8_t>((dp.R * m + sp.R * (255 - m)) >> 8);
      }
      dp.A = static_cast<std::uint8_t>(std::max<int>(dp.A, 255 - m));
    }
  }
}

void StretchMaskImpl(int dstX1, int dstY1, int dstWidth, int dstHeight, int srcX1, int srcY1, int srcWidth,
                     int srcHeight, vcl::TBitmap* bmpDst, vcl::TBitmap* bmpSrc, int maskOffset, bool noStdStretch,
                     Member member, int opacity) {
  if (!bmpDst || !bmpSrc || dstX1 < 0 || dstY1 < 0 || dstWidth < 1 || dstHeight < 1) return;
  if (bmpDst->Width() < 2 || bmpDst->Height() < 2) return;
  if (maskOffset == 0) {
    SetStretchBltMode(bmpDst->Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(bmpDst->Canvas()->Handle(), dstX1, dstY1, dstWidth, dstHeight, bmpSrc->Canvas()->Handle(), srcX1, srcY1,
               srcWidth, srcHeight, SRCCOPY);
    return;
  }
  if (srcX1 < 0 || srcY1 < 0 || srcX1 + srcWidth > bmpSrc->Width() || srcY1 + srcHeight > bmpSrc->Height()) return;
  const int maskY = srcY1 + maskOffset;
  Rows d(bmpDst);
  if (!d.ok) return;
  auto mixPixel = [&](TsColor_& dp, TsColor_ s, TsColor_ m) {
    switch (member) {
      case Member::Std:
        dp.B = Mix(dp.B, s.B, m.B);
        dp.G = Mix(dp.G, s.G, m.G);
        dp.R = Mix(dp.R, s.R, m.R);
        dp.A = 255;
        break;
      case Member::Bit32: {
        int mr = m.R;
        if (mr == 0) {
          dp = s;
          dp.A = 255;
        } else if (mr != 255) {
          int hm = std::min<int>(mr, dp.A);
          dp.B = static_cast<std::uint8_t>((dp.B * hm + s.B * (255 - hm)) >> 8);
          dp.G = static_cast<std::uint8_t>((dp.G * hm + s.G * (255 - hm)) >> 8);
          dp.R = static_cast<std::uint8_t>((dp.R * hm + s.R * (255 - hm)) >> 8);
          dp.A = static_cast<std::uint8_t>(std::max<int>(dp.A, 255 - mr));
        }
        break;
      }
      case Member::Bit32Ex: {
        int mr = m.R;
        if (mr == 0) {
          dp = s;
          dp.A = 255;
        } else if (mr != 255) {
          int e = ((255 - mr) * opacity) >> 8;
          dp.B = static_cast<std::uint8_t>((dp.B * (255 - e) + s.B * e) >> 8);
          dp.G = static_cast<std::uint8_t>((dp.G * (255 - e) + s.G * e) >> 8);
          dp.R = static_cast<std::uint8_t>((dp.R * (255 - e) + s.R * e) >> 8);
          dp.A = static_cast<std::uint8_t>(std::max<int>(dp.A, 255 - mr));
        }
        break;
      }
    }
  };
  const int lastRow = std::min(dstY1 + dstHeight, d.h);
  const int lastCol = member == Member::Bit32Ex ? std::min(dstX1 + dstWidth, d.w) : std::min(dstX1 + dstWidth, d.w);
  // A single pixel stretched over the whole rectangle.
  if (noStdStretch && srcWidth == 1 && srcHeight == 1) {
    if (maskY >= bmpSrc->Height()) return;
    bmpSrc->SetPixelFormat(vcl::pf32bit);
    Rows s(bmpSrc);
    TsColor_ c = s[srcY1][srcX1], m = s[maskY][srcX1];
    if (m.R == 0) {
      FillRect32(bmpDst, vcl::Rect(dstX1, dstY1, dstX1 + dstWidth, dstY1 + dstHeight),
                 static_cast<vcl::TColor>(SwapRedBlue(c.C) & 0xFFFFFF), 255);
    } else if (m.R != 255) {
      m.B = m.G = m.R;
      for (int y = dstY1; y < lastRow; ++y)
        for (int x = dstX1; x < lastCol; ++x) {
          std::uint8_t a = d[y][x].A;
          mixPixel(d[y][x], c, m);
          if (member == Member::Std) d[y][x].A = a;
        }
    }
    return;
  }
  auto colour = CreateBmp32(dstWidth, dstHeight);
  auto mask = CreateBmp32(dstWidth, dstHeight);
  const bool shrinkOneAxis =
      (dstWidth < srcWidth && dstHeight == srcHeight) || (dstWidth == srcWidth && dstHeight < srcHeight);
  if ((shrinkOneAxis || noStdStretch) && dstWidth > 1 && dstHeight > 1) {
    auto piece = [&](int top) {
      const int pw = std::max(srcWidth, 2), ph = std::max(srcHeight, 2);
      auto p = CreateBmp32(pw, ph);
      HDC dc = p->Canvas()->Handle(), src = bmpSrc->Canvas()->Handle();
      BitBlt(dc, 0, 0, srcWidth, srcHeight, src, srcX1, top, SRCCOPY);
      if (srcWidth == 1) BitBlt(dc, 1, 0, 1, srcHeight, src, srcX1, top, SRCCOPY);
      if (srcHeight == 1) BitBlt(dc, 0, 1, pw, 1, dc, 0, 0, SRCCOPY);
      return p;
    };
    auto c = piece(srcY1);
    Stretch(c.get(), colour.get(), dstWidth, dstHeight, ftMitchell);
    auto m = piece(maskY);
    Stretch(m.get(), mask.get(), dstWidth, dstHeight, member == Member::Std ? ftMitchell : ftHermite);
  } else {
    HDC src = bmpSrc->Canvas()->Handle();
    SetStretchBltMode(colour->Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(colour->Canvas()->Handle(), 0, 0, dstWidth, dstHeight, src, srcX1, srcY1, srcWidth, srcHeight, SRCCOPY);
    SetStretchBltMode(mask->Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(mask->Canvas()->Handle(), 0, 0, dstWidth, dstHeight, src, srcX1, maskY, srcWidth, srcHeight, SRCCOPY);
  }
  Rows cs(colour.get()), ms(mask.get());
  if (!cs.ok || !ms.ok) return;
  for (int y = dstY1; y < lastRow; ++y)
    for (int x = dstX1; x < lastCol; ++x) mixPixel(d[y][x], cs[y - dstY1][x - dstX1], ms[y - dstY1][x - dstX1]);
}

void DrawRectImpl(vcl::TBitmap* bmp, const vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& md, int state,
                  bool updateCorners, Member member, vcl::TRect maxWidths, int opacity) {
  if (!bmp || !md.Manager) return;
  if (state == 0 && (md.DrawMode & BDM_ACTIVEONLY)) return;
  if (r.Width() < 2 || r.Height() < 2) return;
  int wl = md.WL, wt = md.WT, wr = md.WR, wb = md.WB;
  if (member != Member::Bit32Ex) {
    if (r.Width() < wl + wr) {
      int d = wl + wr - r.Width();
      wl = std::max(0, wl - d / 2);
      wr = std::max(0, wr - d / 2 - d % 2);
    }
    if (r.Height() < wt + wb) {
      int d = wt + wb - r.Height();
      wt = std::max(0, wt - d / 2);
      wb = std::max(0, wb - d / 2 - d % 2);
    }
  }
  const int count = std::max<int>(md.ImageCount, 1);
  const int newState = std::min(state, count - 1);
  const int w = WidthOfImage(md), h = HeightOfImage(md);
  const bool masked = md.MaskType != 0;
  const int dhm = masked ? h : 0;
  const bool stretch = md.DrawMode & BDM_STRETCH;
  if (stretch) SetStretchBltMode(bmp->Canvas()->Handle(), COLORONCOLOR);
  const int dw = w - wl - wr, dh = h - wt - wb;
  if (dw < 0 || dh < 0) return;
  vcl::TBitmap* src = ImageBitmap(md);
  if (!src) return;
  const int sx = md.R.Left + newState * w, sy = md.R.Top;
  const bool trans = member == Member::Std ? updateCorners && md.CornerType > 0 : true;
  HDC dstDC = bmp->Canvas()->Handle();
  HDC srcDC = src->Canvas()->Handle();

  auto corner = [&](const vcl::TRect& dst, const vcl::TRect& s) {
    if (dst.Width() <= 0 || dst.Height() <= 0) return;
    if (masked) {
      if (member == Member::Std)
        CopyByMask(dst, s, bmp, src, ci, trans, md);
      else if (member == Member::Bit32)
        CopyByMask32(dst, s, bmp, src, ci, md);
      else
        CopyByMask32Ex(dst, s, bmp, src, ci, md, opacity);
    } else {
      CopyTransRect(bmp, src, dst.Left, dst.Top, vcl::Rect(s.Left, s.Top, s.Right - 1, s.Bottom - 1), 0xFF00FF, ci,
                    trans);
    }
  };
  // One tiled piece: the source rectangle is the band's full length (len), the destination the part to fill.
  auto tilePiece = [&](const vcl::TRect& dst, int srcX, int srcY, int srcW, int srcH) {
    if (dst.Width() <= 0 || dst.Height() <= 0) return;
    if (masked) {
      vcl::TRect s(srcX, srcY, srcX + srcW, srcY + srcH);
      if (member == Member::Std)
        CopyByMask(dst, s, bmp, src, EmptyCI, false, md);
      else if (member == Member::Bit32)
        CopyByMask32(dst, s, bmp, src, EmptyCI, md);
      else
        CopyByMask32Ex(dst, s, bmp, src, EmptyCI, md, opacity);
    } else {
      BitBlt(dstDC, dst.Left, dst.Top, dst.Width(), dst.Height(), srcDC, srcX, srcY, SRCCOPY);
    }
  };
  auto stretchPiece = [&](const vcl::TRect& dst, int srcX, int srcY, int srcW, int srcH, bool centre) {
    if (dst.Width() <= 0 || dst.Height() <= 0) return;
    if (masked) {
      if (member == Member::Std)
        StretchBltMask(dst.Left, dst.Top, dst.Width(), dst.Height(), srcX, srcY, srcW, srcH, bmp, src, dhm, centre);
      else if (member == Member::Bit32)
        StretchBltMask32(dst.Left, dst.Top, dst.Width(), dst.Height(), srcX, srcY, srcW, srcH, bmp, src, dhm, centre);
      else
        StretchBltMask32Ex(dst.Left, dst.Top, dst.Width(), dst.Height(), srcX, srcY, srcW, srcH, bmp, src, dhm, opacity,
                           centre);
    } else {
      StretchBlt(dstDC, dst.Left, dst.Top, dst.Width(), dst.Height(), srcDC, srcX, srcY, srcW, srcH, SRCCOPY);
    }
  };
  // A side along x (top, bottom) or y (left, right) from start to end.
  auto side = [&](bool alongX, int start, int end, int fixed, int thickness, int srcX, int srcY, int len) {
    if (thickness <= 0 || end <= start) return;
    auto rect = [&](int pos, int n) {
      return alongX ? vcl::Rect(pos, fixed, pos + n, fixed + thickness)
                    : vcl::Rect(fixed, pos, fixed + thickness, pos + n);
    };
    const int srcW = alongX ? len : thickness, srcH = alongX ? thickness : len;
    if (stretch) {
      stretchPiece(rect(start, end - start), srcX, srcY, srcW, srcH, false);
      return;
    }
    int pos = start;
    if (len > 0)
      for (; pos < end - len; pos += len) tilePiece(rect(pos, len), srcX, srcY, srcW, srcH);
    if (pos < end) {
      int rest = end - pos;
      if (masked)
        tilePiece(rect(pos, rest), srcX, srcY, srcW, srcH);
      else
        tilePiece(rect(pos, rest), srcX, srcY, alongX ? rest : thickness, alongX ? thickness : rest);
    }
  };

  const int x0 = r.Left + wl, y0 = r.Top + wt;
  corner(vcl::Rect(r.Left, r.Top, r.Left + wl, r.Top + wt), vcl::Rect(sx, sy, sx + wl, sy + wt));
  if (member == Member::Bit32Ex && masked) {
    const int maxl = std::min(wl, maxWidths.Left), maxt = std::min(wt, maxWidths.Top);
    const int maxr = std::min(wr, maxWidths.Right), maxb = std::min(wb, maxWidths.Bottom);
    side(false, y0, r.Bottom - wb, r.Left, maxl, sx, sy + wt, dh);
    side(true, x0, r.Right - wr, r.Top, maxt, sx + wl, sy, dw);
    corner(vcl::Rect(r.Left, r.Bottom - wb, r.Left + wl, r.Bottom), vcl::Rect(sx, sy + h - wb, sx + wl, sy + h));
    side(true, x0, r.Right - wr, r.Bottom - maxb, maxb, sx + wl, sy + h - maxb, dw);
    corner(vcl::Rect(r.Right - wr, r.Bottom - wb, r.Right, r.Bottom),
           vcl::Rect(sx + wl + dw, sy + h - wb, sx + wl + dw + wr, sy + h));
    corner(vcl::Rect(r.Right - wr, r.Top, r.Right, r.Top + wt),
           vcl::Rect(sx + wl + dw, sy, sx + wl + dw + wr, sy + wt));
    side(false, y0, r.Bottom - wb, r.Right - maxr, maxr, sx + w - maxr, sy + wt, dh);
    return;
  }
  side(false, y0, r.Bottom - wb, r.Left, wl, sx, sy + wt, dh);
  side(true, x0, r.Right - wr, r.Top, wt, sx + wl, sy, dw);
  corner(vcl::Rect(r.Left, r.Bottom - wb, r.Left + wl, r.Bottom), vcl::Rect(sx, sy + h - wb, sx + wl, sy + h));
  side(true, x0, r.Right - wr, r.Bottom - wb, wb, sx + wl, sy + h - wb, dw);
  corner(vcl::Rect(r.Right - wr, r.Bottom - wb, r.Right, r.Bottom),
         vcl::Rect(sx + wl + dw, sy + h - wb, sx + wl + dw + wr, sy + h));
  corner(vcl::Rect(r.Right - wr, r.Top, r.Right, r.Top + wt), vcl::Rect(sx + wl + dw, sy, sx + wl + dw + wr, sy + wt));
  side(false, y0, r.Bottom - wb, r.Right - wr, wr, sx + wl + dw, sy + wt, dh);
  if (!(md.DrawMode & BDM_FILL)) return;
  const int right = r.Right - wr, bottom = r.Bottom - wb;
  if (right <= x0 || bottom <= y0) return;
  if (stretch) {
    stretchPiece(vcl::Rect(x0, y0, right, bottom), sx + wl, sy + wt, dw, dh, true);
    return;
  }
  auto row = [&](int y, int height) { side(true, x0, right, y, height, sx + wl, sy + wt, dw); };
  int y = y0;
  if (dh > 0)
    for (; y < bottom - dh; y += dh) row(y, dh);
  if (y < bottom) {
    if (masked && dh == 0) return;
    row(y, bottom - y);
  }
}

}  // namespace

void DrawSkinRect(vcl::TBitmap* bmp, const vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData, int state,
                  bool updateCorners) {
  DrawRectImpl(bmp, r, ci, maskData, state, updateCorners, Member::Std, vcl::TRect(), 255);
}

void DrawSkinRect32(vcl::TBitmap* bmp, const vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData,
                    int state) {
  DrawRectImpl(bmp, r, ci, maskData, state, true, Member::Bit32, vcl::TRect(), 255);
}

void DrawSkinRect32Ex(vcl::TBitmap* bmp, const vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData,
                      int state, vcl::TRect maxWidths, int opacity) {
  DrawRectImpl(bmp, r, ci, maskData, state, true, Member::Bit32Ex, maxWidths, opacity);
}

void StretchBltMask(int dstX1, int dstY1, int dstWidth, int dstHeight, int srcX1, int srcY1, int srcWidth,
                    int srcHeight, vcl::TBitmap* bmpDst, vcl::TBitmap* bmpSrc, int maskOffset, bool noStdStretch) {
  StretchMaskImpl(dstX1, dstY1, dstWidth, dstHeight, srcX1, srcY1, srcWidth, srcHeight, bmpDst, bmpSrc, maskOffset,
                  noStdStretch, Member::Std, 255);
}

void StretchBltMask32(int dstX1, int dstY1, int dstWidth, int dstHeight, int srcX1, int srcY1, int srcWidth,
                      int srcHeight, vcl::TBitmap* bmpDst, vcl::TBitmap* bmpSrc, int maskOffset, bool noStdStretch) {
  StretchMaskImpl(dstX1, dstY1, dstWidth, dstHeight, srcX1, srcY1, srcWidth, srcHeight, bmpDst, bmpSrc, maskOffset,
                  noStdStretch, Member::Bit32, 255);
}

void StretchBltMask32Ex(int dstX1, int dstY1, int dstWidth, int dstHeight, int srcX1, int srcY1, int srcWidth,
                        int srcHeight, vcl::TBitmap* bmpDst, vcl::TBitmap* bmpSrc, int maskOffset, int opacity,
                        bool noStdStretch) {
  StretchMaskImpl(dstX1, dstY1, dstWidth, dstHeight, srcX1, srcY1, srcWidth, srcHeight, bmpDst, bmpSrc, maskOffset,
                  noStdStretch, Member::Bit32Ex, opacity);
}

void CopyByMask32(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp1, vcl::TBitmap* bmp2,
                  const TCacheInfo& ci, const TsMaskData& maskData) {
  MaskCopy32(r1, r2, bmp1, bmp2, ci, maskData, 255, false);
}

void CopyByMask32Ex(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp1, vcl::TBitmap* bmp2,
                    const TCacheInfo& ci, const TsMaskData& maskData, int opacity) {
  MaskCopy32(r1, r2, bmp1, bmp2, ci, maskData, opacity, true);
}

void CopyMasterRect(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp, const TCacheInfo& ci,
                    const TsMaskData& maskData) {
  if (!maskData.Manager) return;
  vcl::TBitmap* master = static_cast<TsSkinTables*>(maskData.Manager)->MasterBitmap.get();
  Rows d(bmp), s(master);
  if (!d.ok || !s.ok) return;
  Area a(r1, r2, d, s);
  const int maskOffset = maskData.R.Height() / 2;
  a.h = std::min(a.h, s.h - a.sy - maskOffset);
  if (a.Empty()) return;
  Rows parent(ci.Ready ? ci.Bmp : nullptr);
  const std::uint32_t fill = (SwapRedBlue(static_cast<std::uint32_t>(ci.FillColor)) & 0xFFFFFF) | 0xFF000000u;
  for (int y = 0; y < a.h; ++y) {
    TsColor_* dr = d[a.dy + y] + a.dx;
    const TsColor_* sr = s[a.sy + y] + a.sx;
    const TsColor_* mr = s[a.sy + y + maskOffset] + a.sx;
    for (int x = 0; x < a.w; ++x) {
      TsColor_ sp = sr[x];
      if ((sp.C & 0xFFFFFF) == 0xFF00FF) {
        if (ci.FillColor != 0xFF00FF) {
          dr[x].C = fill;
        } else if (ci.Ready) {
          int px = ci.X + a.dx + x, py = ci.Y + a.dy + y;
          if (!parent.ok || !parent.Inside(px, py)) break;
          dr[x] = parent[py][px];
        }
        continue;
      }
      TsColor_ m = mr[x];
      dr[x].B = Mix(dr[x].B, sp.B, m.B);
      dr[x].G = Mix(dr[x].G, sp.G, m.G);
      dr[x].R = Mix(dr[x].R, sp.R, m.R);
    }
  }
}

void UpdateCorners(TsCommonData* skinData, int state, TsCorners corners) {
  if (!skinData || !skinData->SkinManager()) return;
  TsSkinManager* manager = skinData->SkinManager();
  if (!manager->IsValidImgIndex(skinData->BorderIndex) || !skinData->CacheBmp() || !skinData->OwnerControl()) return;
  const TsMaskData& original = manager->ma[static_cast<size_t>(skinData->BorderIndex)];
  if (original.CornerType == 0) return;
  vcl::TControl* owner = skinData->OwnerControl();
  TlvBGInfo bg;
  if (owner->Parent()) {
    GetBGInfo(bg, owner->Parent(), false);
  } else if (auto* win = dynamic_cast<vcl::TWinControl*>(owner);
             win && win->HandleAllocated() && GetParent(win->Handle())) {
    GetBGInfo(bg, GetParent(win->Handle()), false);
  } else {
    return;
  }
  if (bg.BgType == btCache) {
    bg.Offset.X += owner->Left();
    bg.Offset.Y += owner->Top();
  }
  TsMaskData md;
  md.Bmp = original.Bmp;
  md.R = original.R;
  md.ImageCount = original.ImageCount;
  md.MaskType = original.MaskType;
  md.Manager = original.Manager;
  md.WL = original.WL;
  md.WT = original.WT;
  md.WR = original.WR;
  md.WB = original.WB;
  if (md.ImageCount == 0 && md.Bmp) {
    md.MaskType = 1;
    md.ImageCount = 3;
    md.R = vcl::Rect(0, 0, md.Bmp->Width(), md.Bmp->Height());
  }
  const int w = WidthOfImage(md), h = HeightOfImage(md), dw = w - md.WL - md.WR;
  vcl::TBitmap* src = ImageBitmap(md);
  Rows s(src), cache(skinData->CacheBmp()), parent(bg.BgType == btCache ? bg.Bmp : nullptr);
  if (!s.ok || !cache.ok || md.ImageCount <= 0) return;
  const int sx = md.R.Left + w * std::min(state, md.ImageCount - 1), sy = md.R.Top;
  const int W = owner->Width(), H = owner->Height();
  const int bottomRow = md.MaskType ? sy + h - md.WB : md.R.Bottom - md.WB;
  const std::uint32_t colour = SwapRedBlue(static_cast<std::uint32_t>(bg.Color)) & 0xFFFFFF;
  auto visit = [&](int srcX, int srcY, int width, int height, int dstX, int dstY) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        int px = srcX + x, py = srcY + y, cx = dstX + x, cy = dstY + y;
        if (!s.Inside(px, py) || !cache.Inside(cx, cy) || s[py][px].C != 0x00FF00FF) continue;
        if (bg.BgType == btCache) {
          int bx = bg.Offset.X + cx, by = bg.Offset.Y + cy;
          if (parent.ok && parent.Inside(bx, by)) cache[cy][cx] = parent[by][bx];
        } else if (!(md.MaskType == 0 && bg.Color == 0xFF00FF)) {
          cache[cy][cx].C = colour | 0xFF000000u;
        }
      }
  };
  if (corners.Contains(scLeftTop)) visit(sx, sy, md.WL, md.WT, 0, 0);
  if (corners.Contains(scLeftBottom)) visit(sx, bottomRow, md.WL, md.WB, 0, H - md.WB);
  if (corners.Contains(scRightBottom)) visit(sx + md.WL + dw, bottomRow, md.WR, md.WB, W - md.WR, H - md.WB);
  if (corners.Contains(scRightTop)) visit(sx + md.WL + dw, sy, md.WR, md.WT, W - md.WR, 0);
}

void BlendGlyphByMask(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp1, vcl::TBitmap* bmp2,
                      int addedTransparency, const TsMaskData& maskData) {
  if (!bmp1 || !bmp2) return;
  const int hm = maskData.R.Height() / (maskData.MaskType + 1);
  int rows = std::min(r1.Bottom - r1.Top + 1, r2.Bottom - r2.Top + 1);
  int cols = std::min(r1.Right - r1.Left + 1, r2.Right - r2.Left + 1);
  rows = std::min(rows, bmp1->Height() - r1.Top);
  cols = std::min(cols, bmp1->Width() - r1.Left);
  if (maskData.MaskType > 0) rows = std::min(rows, bmp2->Height() - r2.Top - hm);
  if (maskData.ImageCount <= 0) {
    rows = std::min(rows, maskData.R.Top + hm - r2.Top);
    cols = std::min(cols, bmp2->Width() - r2.Left);
  }
  if (rows <= 0 || cols <= 0 || r1.Left < 0 || r1.Top < 0) return;
  if (maskData.MaskType == 0) {
    CopyTransRectA(bmp1, bmp2, r1.Left, r1.Top, vcl::Rect(r2.Left, r2.Top, r2.Left + cols - 1, r2.Top + rows - 1),
                   0xFF00FF, EmptyCI);
    return;
  }
  bmp2->SetPixelFormat(vcl::pf32bit);
  Rows d(bmp1), s(bmp2);
  if (!d.ok || !s.ok) return;
  for (int y = 0; y < rows; ++y) {
    TsColor_* dr = d[r1.Top + y] + r1.Left;
    const TsColor_* sr = s[r2.Top + y] + r2.Left;
    const TsColor_* mr = s[r2.Top + y + hm] + r2.Left;
    for (int x = 0; x < cols; ++x) {
      TsColor_ sp = sr[x], m = mr[x];
      if (sp.C == 0x00FF00FF || m.R == 255) continue;
      TsColor_& dp = dr[x];
      auto weight = [&](int c) { return addedTransparency == 1 ? c : std::min(c + 100, 255); };
      dp.B = Mix(dp.B, sp.B, weight(m.B));
      dp.G = Mix(dp.G, sp.G, weight(m.G));
      dp.R = Mix(dp.R, sp.R, weight(m.R));
      dp.A = static_cast<std::uint8_t>(dp.A + ((255 - dp.A) * (255 - m.R) >> 8));
    }
  }
}

void DrawSkinGlyph(vcl::TBitmap* bmp, vcl::TPoint p, int state, int addedTransparency, const TsMaskData& maskData,
                   const TCacheInfo& ci) {
  if (!bmp) return;
  const int w = WidthOfImage(maskData), h = HeightOfImage(maskData);
  const int frame = w * std::min(state, std::max(maskData.ImageCount - 1, 0));
  const int dx = p.X < 0 ? -p.X : 0, dy = p.Y < 0 ? -p.Y : 0;
  const vcl::TRect src(maskData.R.Left + frame + dx, maskData.R.Top + dy, maskData.R.Left + frame + w - 1,
                       maskData.R.Top + h - 1);
  const vcl::TRect dst(p.X + dx, p.Y + dy, p.X + w - 1, p.Y + h - 1);
  if (maskData.Bmp) {
    if (maskData.R.Right > maskData.Bmp->Width() || maskData.R.Bottom > maskData.Bmp->Height()) return;
    BlendGlyphByMask(dst, src, bmp, maskData.Bmp, addedTransparency, maskData);
    return;
  }
  if (!maskData.Manager || maskData.ImageCount <= 0) return;
  vcl::TBitmap* master = static_cast<TsSkinTables*>(maskData.Manager)->MasterBitmap.get();
  if (!master) return;
  if (maskData.MaskType > 0) {
    BlendGlyphByMask(dst, src, bmp, master, addedTransparency, maskData);
  } else if (addedTransparency == 1) {
    CopyTransRect(bmp, master, dst.Left, dst.Top, src, 0xFF00FF, ci, true);
  } else {
    BlendTransRectangle(bmp, dst.Left, dst.Top, master, src, 0.5, 0xFF00FF);
  }
}
