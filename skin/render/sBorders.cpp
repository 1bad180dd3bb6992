#include "skin/render/sBorders.h"

#include <algorithm>

#include "platform/rtl/win.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

namespace {

void CutRun(HRGN region, int x1, int x2, int y, int mode) {
  if (!region || x2 <= x1) return;
  HRGN run = CreateRectRgn(x1, y, x2, y + 1);
  CombineRgn(region, region, run, mode);
  DeleteObject(run);
}

}  // namespace

vcl::TRect PaintBorderFast(HDC dc, const vcl::TRect& aRect, int minBorderWidth, TsCommonData* sd, int state) {
  vcl::TRect result(aRect.Left + minBorderWidth, aRect.Top + minBorderWidth, aRect.Right - minBorderWidth,
                    aRect.Bottom - minBorderWidth);
  if (!sd) return result;
  TsSkinManager* sm = sd->SkinManager();
  const vcl::TColor color = GetBGColor(sd, state);
  vcl::TControl* owner = sd->OwnerControl();
  TlvBGInfo bg;
  if (owner && owner->Parent()) GetBGInfo(bg, owner->Parent(), false);
  if (!sm || !sm->IsValidImgIndex(sd->BorderIndex)) {
    if (minBorderWidth != 0 && dc)
      FillDCBorder(dc, aRect, minBorderWidth, minBorderWidth, minBorderWidth, minBorderWidth, color);
    return result;
  }
  if (sm->IsValidSkinIndex(sd->SkinIndex))
    state = std::min(state, sm->gd[static_cast<size_t>(sd->SkinIndex)].States - 1);
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  const TsMaskData& md = sm->ma[static_cast<size_t>(sd->BorderIndex)];
  HDC cacheDC = cache->Canvas()->Handle();
  if (md.MaskType == 1) {
    if (sd->CtrlSkinState & LVCS_FAST) {
      FillDCBorder(cacheDC, aRect, md.WL, md.WT, md.WR, md.WB, color);
    } else if (bg.Bmp && owner) {
      BitBltBorder(cacheDC, aRect.Left, aRect.Top, aRect.Width(), aRect.Height(), bg.Bmp->Canvas()->Handle(),
                   owner->Left() + bg.Offset.X + aRect.Left, owner->Top() + bg.Offset.Y + aRect.Top,
                   std::max({md.WL, md.WT, md.WR, md.WB}));
    }
  }
  TCacheInfo ci = BGInfoToCI(bg);
  if (owner) {
    ci.X += owner->Left();
    ci.Y += owner->Top();
  }
  DrawSkinRect(cache, aRect, ci, md, state, true);
  result = vcl::TRect(aRect.Left + md.WL, aRect.Top + md.WT, aRect.Right - md.WR, aRect.Bottom - md.WB);
  if (minBorderWidth != 0) {
    const int w = aRect.Width(), h = aRect.Height();
    const int l = std::max(std::min(minBorderWidth, w - md.WR) - md.WL, 0);
    const int t = std::max(std::min(minBorderWidth, h - md.WB) - md.WT, 0);
    const int r = std::max(std::min(minBorderWidth, w - md.WL) - md.WR, 0);
    const int b = std::max(std::min(minBorderWidth, h - md.WT) - md.WB, 0);
    FillDCBorder32(cache, result, l, t, r, b, color);
    result = vcl::TRect(aRect.Left + minBorderWidth, aRect.Top + minBorderWidth, aRect.Right - minBorderWidth,
                        aRect.Bottom - minBorderWidth);
    if (result.Right < result.Left) result.Right = result.Left;
    if (result.Bottom < result.Top) result.Bottom = result.Top;
    if (dc && dc != cacheDC)
      BitBltBorder(dc, aRect.Left, aRect.Top, aRect.Width(), aRect.Height(), cacheDC, aRect.Left, aRect.Top,
                   minBorderWidth);
  }
  return result;
}

void CopyMask(int dstX1, int dstY1, int dstX2, int dstY2, int srcX1, int srcY1, int srcX2, int srcY2, vcl::TBitmap* bmp,
              HRGN region, const TsMaskData& md, bool fillRgn) {
  if (dstX1 < 0 || dstY1 < 0 || dstX2 < 0 || dstY2 < 0 || !bmp || bmp->Width() < 2 || bmp->Height() < 2 || !md.Manager)
    return;
  vcl::TBitmap* src = ImageBitmap(md);
  if (!src || src->PixelFormat() != vcl::pf32bit || bmp->PixelFormat() != vcl::pf32bit) return;
  std::uint8_t *s0, *d0;
  std::ptrdiff_t sDelta, dDelta;
  if (!InitLine(src, s0, sDelta) || !InitLine(bmp, d0, dDelta)) return;
  const bool masked = md.MaskType == 1;
  const int half = md.R.Height() / 2;
  int rows = std::min(dstY2 - dstY1, srcY2 - srcY1) + 1;
  rows = std::min(rows, bmp->Height() - dstY1);
  if (masked)
    rows = std::min(rows, src->Height() - 1 - half - srcY1 + 1);
  else
    rows = std::min(rows, src->Height() - srcY1);
  const int cols = std::min(dstX2 - dstX1, srcX2 - srcX1) + 1;
  for (int y = 0; y < rows; ++y) {
    int runStart = -1;
    for (int x = 0; x < cols; ++x) {
      if (dstX1 + x >= bmp->Width() || srcX1 + x >= src->Width()) break;
      TsColor_ sp = *PixelAt(s0, sDelta, srcX1 + x, srcY1 + y);
      TsColor_& dp = *PixelAt(d0, dDelta, dstX1 + x, dstY1 + y);
      if (fillRgn && sp.C == 0x00FF00FF) {
        if (runStart < 0) runStart = dstX1 + x;
        continue;
      }
      if (runStart >= 0) {
        CutRun(region, runStart, dstX1 + x, dstY1 + y, RGN_XOR);
        runStart = -1;
      }
      if (masked) {
        TsColor_ m = *PixelAt(s0, sDelta, srcX1 + x, srcY1 + y + half);
        dp.B = static_cast<std::uint8_t>(((dp.B - sp.B) * m.B + sp.B * 256) >> 8);
        dp.G = static_cast<std::uint8_t>(((dp.G - sp.G) * m.G + sp.G * 256) >> 8);
        dp.R = static_cast<std::uint8_t>(((dp.R - sp.R) * m.R + sp.R * 256) >> 8);
      } else {
        dp.B = sp.B;
        dp.G = sp.G;
        dp.R = sp.R;
      }
    }
    if (runStart >= 0) CutRun(region, runStart, dstX1 + cols, dstY1 + y, RGN_DIFF);
  }
}

void PaintRgnBorder(vcl::TBitmap* bmp, HRGN region, bool filling, const TsMaskData& md, int state) {
  if (!bmp || bmp->Width() < 2 || bmp->Height() < 2 || !md.Manager) return;
  const int W = bmp->Width(), H = bmp->Height();
  int wl = md.WL, wt = md.WT, wr = md.WR, wb = md.WB;
  if (W < wl + wr) {
    int d = wl + wr - W;
    wl = std::max(0, wl - d / 2);
    wr = std::max(0, wr - d / 2 - W % 2);
  }
  if (H < wt + wb) {
    int d = wt + wb - H;
    wt = std::max(0, wt - d / 2);
    wb = std::max(0, wb - d / 2 - H % 2);
  }
  TsMaskData m = {};
  m.Bmp = md.Bmp;
  m.R = md.R;
  m.ImageCount = md.ImageCount;
  m.MaskType = md.MaskType;
  m.DrawMode = md.DrawMode;
  m.Manager = md.Manager;
  m.WL = md.WL;
  m.WT = md.WT;
  m.WR = md.WR;
  m.WB = md.WB;
  if (m.ImageCount < 1) {
    m.ImageCount = 1;
    if (vcl::TBitmap* own = ImageBitmap(md)) m.R = vcl::Rect(0, 0, own->Width(), own->Height());
  }
  state = std::min(state, m.ImageCount - 1);
  const int w = m.R.Width() / m.ImageCount;
  const bool masked = m.MaskType != 0;
  const int h = masked ? m.R.Height() / (m.MaskType + 1) : m.R.Height();
  const int dhm = masked ? h : 0;
  const int dw = std::max(w - m.WL - m.WR, 0), dh = std::max(h - m.WT - m.WB, 0);
  const int x = m.R.Left + state * w, top = m.R.Top;
  const bool stretch = m.DrawMode & BDM_STRETCH;
  if (stretch) SetStretchBltMode(bmp->Canvas()->Handle(), COLORONCOLOR);
  vcl::TBitmap* src = ImageBitmap(m);
  auto piece = [&](int dx1, int dy1, int dx2, int dy2, int sx, int sy, int sw, int sh, bool centre) {
    if (dx2 < dx1 || dy2 < dy1 || sw <= 0 || sh <= 0) return;
    if (stretch) {
      StretchBltMask(dx1, dy1, dx2 - dx1 + 1, dy2 - dy1 + 1, sx, sy, sw, sh, bmp, src, dhm, centre);
      return;
    }
    for (int py = dy1; py <= dy2; py += sh)
      for (int px = dx1; px <= dx2; px += sw)
        CopyMask(px, py, std::min(px + sw - 1, dx2), std::min(py + sh - 1, dy2), sx, sy, sx + sw - 1, sy + sh - 1, bmp,
                 region, m, false);
  };
  CopyMask(0, 0, wl - 1, wt - 1, x, top, x + wl - 1, top + wt - 1, bmp, region, m, true);
  CopyMask(0, H - wb, wl - 1, H - 1, x, top + h - wb, x + wl - 1, top + h - 1, bmp, region, m, true);
  if (dh > 0) piece(0, wt, wl - 1, H - wb - 1, x, top + wt, wl, dh, false);
  if (dw > 0) piece(wl, 0, W - wr - 1, wt - 1, x + wl, top, dw, wt, false);
  if (dw > 0) piece(wl, H - wb, W - wr - 1, H - 1, x + wl, top + h - wb, dw, wb, false);
  if (dh > 0) piece(W - wr, wt, W - 1, H - wb - 1, x + w - wr, top + wt, wr, dh, false);
  CopyMask(W - wr, H - wb, W - 1, H - 1, x + w - wr, top + h - wb, x + w - 1, top + h - 1, bmp, region, m, true);
  CopyMask(W - wr, 0, W - 1, wt - 1, x + w - wr, top, x + w - 1, top + wt - 1, bmp, region, m, true);
  if (filling && (m.DrawMode & BDM_FILL) && dh > 0 && dw > 0)
    piece(wl, wt, W - wr - 1, H - wb - 1, x + wl, top + wt, dw, dh, true);
}
