// Skinned scroll bars in the non-client area of a wrapped window: the room they take, painting, hit test, and the
// mouse (arrow and page presses repeated on timers, thumb drags) turned into WM_HSCROLL/WM_VSCROLL.
#include "skin/windows/lvSBUtils.h"

#include <uxtheme.h>

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvSBUtils.h"

int uCurrentScrollbar = -1, uCurrentScrollPortion = -1, uScrollTimerPortion = -1;
UINT uScrollTimerMsg = 0;
UINT_PTR uScrollTimerId = 0, uMouseOverId = 0;
HWND hwndCurSB = nullptr;
int uMouseOverScrollbar = -1, uHitTestPortion = -1, uLastHitTestPortion = -1;
RECT MouseOverRect{};
int nThumbPos = 0, nThumbSize = 0, nThumbMouseOffset = 0;
RECT rcThumbBounds{};

namespace {

constexpr wchar_t kWrapperProp[] = L"LVSBSC";
constexpr int SBTypes[2] = {SB_HORZ, SB_VERT};

TsSkinManager* ManagerOf(const TlvScrollWnd* sw) {
  if (sw && sw->SkinData) return sw->SkinData->SkinManager();
  return sw && sw->SkinManager ? sw->SkinManager : DefaultManager;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void ToWindow(HWND handle, RECT& r) {
  RECT wr;
  GetWindowRect(handle, &wr);
  OffsetRect(&r, -wr.left, -wr.top);
}

bool OwnerEnabled(const TlvScrollWnd* sw) {
  return !sw->SkinData || !sw->SkinData->OwnerControl() || sw->SkinData->OwnerControl()->Enabled();
}

int SectionIndex(TsSkinManager* m, const wchar_t* name) { return m ? m->GetSkinIndex(name) : -1; }

int ClampState(TsSkinManager* m, int index, int state) {
  if (!m || !m->IsValidSkinIndex(index)) return 0;
  return std::max(0, std::min(state, m->gd[static_cast<size_t>(index)].States - 1));
}

// The window's background behind rectangle r (window coordinates) into bmp.
void FillWindowBG(HWND handle, vcl::TBitmap* bmp, const RECT& r, bool* cached = nullptr, vcl::TColor* fill = nullptr) {
  TlvBGInfo bg;
  GetBGInfo(bg, handle, false);
  if (bg.BgType == btCache && bg.Bmp && !bg.Bmp->Empty()) {
    BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), bg.Bmp->Canvas()->Handle(), bg.Offset.X + r.left,
           bg.Offset.Y + r.top, SRCCOPY);
    if (cached) *cached = true;
  } else {
    FillRect32(bmp, vcl::Rect(0, 0, bmp->Width(), bmp->Height()), vcl::ColorToRGB(bg.Color), 255);
    if (cached) *cached = false;
  }
  if (fill) *fill = vcl::ColorToRGB(bg.Color);
}

// An inactive bar: what lies behind it shows through.
void DimBar(HWND handle, vcl::TBitmap* bmp, const RECT& r) {
  auto behind = CreateBmp32(bmp->Width(), bmp->Height());
  bool cached = false;
  vcl::TColor fill = 0;
  FillWindowBG(handle, behind.get(), r, &cached, &fill);
  const double blend = cached ? DefDisabledBlend : 0.6;
  for (int y = 0; y < bmp->Height(); ++y) {
    auto* d = static_cast<std::uint32_t*>(bmp->ScanLine(y));
    auto* s = static_cast<const std::uint32_t*>(behind->ScanLine(y));
    for (int x = 0; x < bmp->Width(); ++x) {
      if ((d[x] & 0xFFFFFF) == 0xFF00FF) continue;
      std::uint32_t out = 0xFF000000u;
      for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((d[x] >> shift) & 0xFF), b = static_cast<int>((s[x] >> shift) & 0xFF);
        out |= static_cast<std::uint32_t>(a + (b - a) * blend) << shift;
      }
      d[x] = out;
    }
  }
}

void DrawCenterGlyph(vcl::TBitmap* bmp, int imageIndex, int state, const vcl::TRect& r, TsSkinManager* m) {
  if (!m || !m->IsValidImgIndex(imageIndex)) return;
  const TsMaskData& md = m->ma[static_cast<size_t>(imageIndex)];
  const vcl::TPoint p(r.Left + (r.Width() - WidthOfImage(md)) / 2, r.Top + (r.Height() - HeightOfImage(md)) / 2);
  DrawSkinGlyph(bmp, p, state, 1, md, MakeCacheInfo(bmp));
}

}  // namespace

// Arrow button of a side, painted in State over Bmp.
void lv_DrawScrollBtn(const vcl::TRect& r, int state, vcl::TBitmap* bmp, TsSkinManager* m, TlvSide side) {
  if (!m || r.Width() <= 0 || r.Height() <= 0) return;
  const TlvConstElementData& e = m->ConstData.ScrollBtns[static_cast<size_t>(side)];
  const int st = ClampState(m, e.SkinIndex, state);
  if (m->IsValidSkinIndex(e.SkinIndex))
    PaintItemFast(e.SkinIndex, e.MaskIndex, e.BGIndex[0], e.BGIndex[1], MakeCacheInfo(bmp), true, st, r,
                  vcl::TPoint(0, 0), bmp, m);
  if (m->IsValidImgIndex(e.GlyphIndex)) {
    DrawCenterGlyph(bmp, e.GlyphIndex, state, r, m);
    return;
  }
  vcl::TColor arrow = vcl::clBtnText;
  if (m->IsValidSkinIndex(e.SkinIndex))
    arrow = m->gd[static_cast<size_t>(e.SkinIndex)].Props[static_cast<size_t>(std::min(state, 2))].FontColor.Color;
  vcl::TRect ar = r;
  if (side == asLeft || side == asRight) ar = vcl::TRect(ar.Left, ar.Top - 1, ar.Right, ar.Bottom - 1);
  if (state > 1 && m->ButtonsOptions()->ShiftContentOnClick())
    ar = vcl::TRect(ar.Left + 1, ar.Top + 1, ar.Right + 1, ar.Bottom + 1);
  DrawColorArrow(bmp->Canvas(), arrow, ar, side);
}

void lv_DrawSlider(const vcl::TRect& r, int state, vcl::TBitmap* bmp, TsSkinManager* m, bool vertical) {
  if (!m || r.Width() <= 0 || r.Height() <= 0) return;
  const TlvConstElementData& e = m->ConstData.Sliders[vertical ? 1 : 0];
  if (m->IsValidSkinIndex(e.SkinIndex))
    PaintItemFast(e.SkinIndex, e.MaskIndex, e.BGIndex[0], e.BGIndex[1], MakeCacheInfo(bmp), true,
                  ClampState(m, e.SkinIndex, state), r, vcl::TPoint(0, 0), bmp, m);
  DrawCenterGlyph(bmp, e.GlyphIndex, state, r, m);
}

void TlvScrollBar::ReadInfo(HWND handle) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  if (handle && GetScrollInfo(handle, nBarType, &si)) ScrollInfo = si;
  ScrollInfo.cbSize = sizeof(ScrollInfo);
}

int GetScrollMetric(const TlvScrollBar* sb, int metric, bool) {
  if (!sb) return 0;
  TsSkinManager* m = ManagerOf(sb->sw);
  auto* sd = sb->sw ? dynamic_cast<TsScrollWndData*>(sb->sw->SkinData) : nullptr;
  TlvScrollData* own = sd ? (sb->nBarType == SB_HORZ ? sd->HorzScrollData() : sd->VertScrollData()) : nullptr;
  if (metric == SM_SCROLLWIDTH) {
    if (own && own->ScrollWidth() >= 0) return own->ScrollWidth();
    if (m && m->ScrollsOptions()->ScrollSize() >= 0) return m->ScrollsOptions()->ScrollSize();
    return GetSystemMetrics(SM_CXVSCROLL);
  }
  if (own && own->ButtonsSize() >= 0) return own->ButtonsSize();
  if (m && m->ScrollsOptions()->ButtonsSize() >= 0) return m->ScrollsOptions()->ButtonsSize();
  if (sb->nArrowLength >= 0) return sb->nArrowLength;
  if (m && m->ScrollsOptions()->ScrollSize() >= 0) return m->ScrollsOptions()->ScrollSize();
  return GetSystemMetrics(SM_CXVSCROLL);
}

namespace {
int Thickness(const TlvScrollBar* sb) { return sb && sb->fScrollVisible ? GetScrollMetric(sb, SM_SCROLLWIDTH) : 0; }
}  // namespace

void lv_GetHScrollRect(TlvScrollWnd* sw, HWND handle, RECT& r) {
  RECT wr;
  GetWindowRect(handle, &wr);
  const int v = Thickness(sw->sBarVert.get());
  r.left = wr.left + sw->cxLeftEdge + (sw->fLeftScrollbar ? v : 0);
  r.right = wr.right - sw->cxRightEdge - (sw->fLeftScrollbar ? 0 : v);
  r.bottom = wr.bottom - sw->cyBottomEdge;
  r.top = r.bottom - Thickness(sw->sBarHorz.get());
}

void lv_GetVScrollRect(TlvScrollWnd* sw, HWND handle, RECT& r) {
  RECT wr;
  GetWindowRect(handle, &wr);
  const int own = Thickness(sw->sBarVert.get());
  r.top = wr.top + sw->cyTopEdge;
  r.bottom = wr.bottom - sw->cyBottomEdge - Thickness(sw->sBarHorz.get());
  if (sw->fLeftScrollbar) {
    r.left = wr.left + sw->cxLeftEdge;
    r.right = r.left + own;
  } else {
    r.right = wr.right - sw->cxRightEdge;
    r.left = r.right - own;
  }
}

bool GetScrollRect(TlvScrollWnd* sw, int nBar, HWND handle, RECT& r) {
  if (nBar == SB_HORZ)
    lv_GetHScrollRect(sw, handle, r);
  else if (nBar == SB_VERT)
    lv_GetVScrollRect(sw, handle, r);
  else
    return false;
  return true;
}

bool Lv_CalcThumbSize(const TlvScrollBar* sb, const RECT& r, int& thumbSize, int& thumbPos) {
  const bool horz = sb->nBarType == SB_HORZ;
  const int b = GetScrollMetric(sb, SM_BTNSIZE);
  const int len = horz ? Width(r) : Height(r);
  const int start = horz ? r.left : r.top;
  const int wk = len - 2 * b;
  const SCROLLINFO& si = sb->ScrollInfo;
  const int range = si.nMax - si.nMin + 1;
  int t = 0;
  if (si.nPage == 0)
    t = std::max(b, sb->nMinThumbSize);
  else if (range > 0)
    t = MulDiv(static_cast<int>(si.nPage), wk, range);
  if (b == 0 && t < 19)
    t = 19;
  else
    t = std::max(t, sb->nMinThumbSize);
  int p = 0;
  const int div = range - std::max(1, static_cast<int>(si.nPage));
  if (range > 0 && div > 0) p = MulDiv(si.nPos - si.nMin, wk - t, div);
  p = std::max(0, std::min(p, wk - t));
  thumbPos = start + b + p;
  thumbSize = t;
  return true;
}

namespace {
// Along the bar: a is the coordinate along it, c the cross coordinate.
int PortionAlong(const TlvScrollBar* sb, int lo, int hi, int crossLo, int crossHi, int a, int c, const RECT& r) {
  if (c < crossLo || c >= crossHi) return HTSCROLL_NONE;
  const int b = GetScrollMetric(sb, SM_BTNSIZE);
  const int len = hi - lo;
  const int bl = 2 * b < len ? b : len / 2;
  if (a >= lo && a < lo + bl) return HTSCROLL_LEFT;
  if (a >= hi - bl && a < hi) return HTSCROLL_RIGHT;
  int ts = 0, tp = 0;
  Lv_CalcThumbSize(sb, r, ts, tp);
  if (ts >= len - 2 * b) return HTSCROLL_NONE;
  if (a >= tp && a < tp + ts) return HTSCROLL_THUMB;
  if (a >= lo + bl && a < tp) return HTSCROLL_PAGELEFT;
  if (a >= tp + ts && a < hi - bl) return HTSCROLL_PAGERIGHT;
  return HTSCROLL_NONE;
}
}  // namespace

int Lv_GetHorzScrollPortion(const TlvScrollBar* sb, const RECT& r, int x, int y) {
  return PortionAlong(sb, r.left, r.right, r.top, r.bottom, x, y, r);
}

int Lv_GetVertScrollPortion(const TlvScrollBar* sb, const RECT& r, int x, int y) {
  return PortionAlong(sb, r.top, r.bottom, r.left, r.right, y, x, r);
}

int Lv_GetPortion(const TlvScrollBar* sb, HWND, const RECT& r, int x, int y) {
  if (!sb) return HTSCROLL_NONE;
  if (sb->nBarType == SB_HORZ) return Lv_GetHorzScrollPortion(sb, r, x, y);
  if (sb->nBarType == SB_VERT) return Lv_GetVertScrollPortion(sb, r, x, y);
  return HTSCROLL_NONE;
}

void Lv_GetRealScrollRect(const TlvScrollBar* sb, RECT& r) {
  const bool horz = sb->nBarType == SB_HORZ;
  if (sb->fButVisibleBefore) (horz ? r.left : r.top) += sb->nButSizeBefore;
  if (sb->fButVisibleAfter) (horz ? r.right : r.bottom) -= sb->nButSizeAfter;
}

bool Lv_IsScrollInfoActive(const SCROLLINFO& si) {
  return static_cast<UINT>(si.nMax) >= si.nPage && si.nMax > si.nMin && si.nMax != 0;
}

bool Lv_IsScrollbarActive(const TlvScrollBar* sb) {
  if (!sb || !sb->sw) return false;
  const HWND handle = sb->sw->CtrlHandle;
  if (Lv_GetScrollBarInfo) {
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof(sbi);
    const LONG id = sb->nBarType == SB_HORZ ? OBJID_HSCROLL : sb->nBarType == SB_VERT ? OBJID_VSCROLL : OBJID_CLIENT;
    if (!Lv_GetScrollBarInfo(handle, id, &sbi)) return false;
    if ((sb->fScrollFlags & 3) == 3) return false;
    if ((sb->fScrollFlags & CSBS_THUMBALWAYS) && !Lv_IsScrollInfoActive(sb->ScrollInfo)) return false;
    return (sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
  }
  const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
  return sb->nBarType == SB_VERT ? (style & WS_VSCROLL) != 0 : (style & WS_HSCROLL) != 0;
}

bool Lv_GripVisible(TlvScrollWnd* sw, HWND handle, const RECT& r) {
  HWND parent = GetParent(handle);
  if (!parent) return true;
  if (GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD) return false;
  RECT cr;
  GetClientRect(parent, &cr);
  MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  if (r.right + sw->cxRightEdge == cr.right && r.bottom + sw->cyBottomEdge == cr.bottom) return true;
  return sw->fLeftScrollbar && r.left - sw->cxLeftEdge == cr.left && r.bottom + sw->cyBottomEdge == cr.bottom;
}

namespace {

// One bar into a bitmap of r's size: tracks split at the thumb's centre, arrows, thumb. dragStart >= 0 draws the
// thumb pressed at that start (bar coordinates) as a drag shows it.
int DrawBar(TlvScrollBar* sb, HWND handle, HDC dc, const RECT& r, int pressedPart, int thumbPos, int dragStart) {
  TlvScrollWnd* sw = sb->sw;
  TsSkinManager* m = ManagerOf(sw);
  const bool horz = sb->nBarType == SB_HORZ;
  const int first = SectionIndex(m, horz ? L"SCROLLBAR1H" : L"SCROLLBAR1V");
  if (!m || first < 0 || (horz ? Width(r) : Height(r)) < 2) return 0;
  const int second = SectionIndex(m, horz ? L"SCROLLBAR2H" : L"SCROLLBAR2V");
  sb->ReadInfo(handle);
  const int b = GetScrollMetric(sb, SM_BTNSIZE);
  const int len = horz ? Width(r) : Height(r);
  const int thick = horz ? Height(r) : Width(r);
  if (len <= 0 || thick <= 0) return 1;
  const int wk = len - 2 * b;
  const bool active = Lv_IsScrollbarActive(sb) && OwnerEnabled(sw);
  const bool over = uMouseOverScrollbar == sb->nBarType && hwndCurSB == handle;
  int st1 = 0, st2 = 0;
  if (hwndCurSB != handle)
    pressedPart = -1;
  else {
    const bool hot1 = over && uHitTestPortion == 0 && active, hot2 = over && uHitTestPortion == 1 && active;
    st1 = pressedPart == 0 ? 2 : hot1 ? 1 : 0;
    st2 = pressedPart == 1 ? 2 : hot2 ? 1 : 0;
  }
  if (dragStart >= 0) st1 = st2 = 0;
  // Thumb in screen coordinates along the bar, then relative to the bar.
  RECT sr = r;
  RECT wr;
  GetWindowRect(handle, &wr);
  OffsetRect(&sr, wr.left, wr.top);
  int ts = 0, tp = 0;
  Lv_CalcThumbSize(sb, sr, ts, tp);
  tp -= horz ? sr.left : sr.top;
  if (thumbPos != -1) tp = thumbPos - (horz ? r.left : r.top);
  if (dragStart >= 0) tp = dragStart;

  auto bmp = CreateBmp32(Width(r), Height(r));
  FillWindowBG(handle, bmp.get(), r);
  const TCacheInfo ci = MakeCacheInfo(bmp.get());
  auto along = [&](int a0, int a1) { return horz ? vcl::Rect(a0, 0, a1, thick) : vcl::Rect(0, a0, thick, a1); };
  const TlvSide s1 = horz ? asLeft : asTop, s2 = horz ? asRight : asBottom;
  if (2 * b < len) {
    const int split = tp + ts / 2;
    const vcl::TRect t1 = along(0, split), t2 = along(split, len);
    const bool drag = dragStart >= 0;
    PaintItem(first, ci, true, ClampState(m, first, !drag && pressedPart == HTSCROLL_PAGELEFT ? 2 : 0), t1,
              t1.TopLeft(), bmp.get(), m);
    const int sec = second >= 0 ? second : first;
    PaintItem(sec, ci, true, ClampState(m, sec, !drag && pressedPart == HTSCROLL_PAGERIGHT ? 2 : 0), t2, t2.TopLeft(),
              bmp.get(), m);
    if (b > 0) {
      lv_DrawScrollBtn(along(0, b), st1, bmp.get(), m, s1);
      lv_DrawScrollBtn(along(len - b, len), st2, bmp.get(), m, s2);
    }
    int e = 0;
    const SCROLLINFO& si = sb->ScrollInfo;
    const int span = si.nMax - si.nMin;
    const int prop = span != 0 ? MulDiv(static_cast<int>(si.nPage), wk, span) : -1;
    e = prop >= wk - 1 ? prop : std::min(sb->nMinThumbSize, wk - 1);
    if (drag || (active && e > 0 && e <= wk)) {
      const int state = drag ? 2 : (over && uHitTestPortion == HTSCROLL_THUMB && active) ? 1 : 0;
      lv_DrawSlider(along(tp, tp + ts), state, bmp.get(), m, !horz);
    }
  } else {
    const int half = len / 2;
    const vcl::TRect t1 = along(0, half), t2 = along(half, len);
    PaintItem(first, ci, true, 0, t1, t1.TopLeft(), bmp.get(), m);
    PaintItem(second >= 0 ? second : first, ci, true, 0, t2, t2.TopLeft(), bmp.get(), m);
    lv_DrawScrollBtn(t1, st1, bmp.get(), m, s1);
    lv_DrawScrollBtn(t2, st2, bmp.get(), m, s2);
  }
  if (!active && dragStart < 0) DimBar(handle, bmp.get(), r);
  GdiFlush();
  BitBlt(dc, r.left, r.top, Width(r), Height(r), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  return 1;
}

}  // namespace

int Lv_NCDrawScrollbar(TlvScrollBar* sb, HWND handle, HDC dc, const RECT& r, int pressedPart, int thumbPos) {
  if (!sb || !sb->sw || sb->sw->fThumbTracking || !sb->fScrollVisible) return 0;
  return DrawBar(sb, handle, dc, r, pressedPart, thumbPos, -1);
}

int lv_NCDraw(TlvScrollWnd* sw, HWND handle, int thumbPos, HDC dc) {
  if (!sw || !handle || !sw->sBarHorz || !sw->sBarVert) return 0;
  if (TsCommonData* sd = sw->SkinData) {
    if (InUpdating(sd, false)) return 0;
    if (vcl::TControl* c = sd->OwnerControl()) {
      if (c->ControlState().Contains(vcl::csCreating)) return 0;
      if (!IsWindowVisible(handle) && !c->Visible()) return 0;
    }
    if (sd->BGChanged) SendMessageW(handle, SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
  }
  const bool own = dc == nullptr;
  if (own) dc = GetWindowDC(handle);
  if (!dc) return 0;
  int result = 0;
  RECT hr, vr;
  lv_GetHScrollRect(sw, handle, hr);
  lv_GetVScrollRect(sw, handle, vr);
  ToWindow(handle, hr);
  ToWindow(handle, vr);
  if (sw->sBarHorz->fScrollVisible)
    result = Lv_NCDrawScrollbar(sw->sBarHorz.get(), handle, dc, hr,
                                uCurrentScrollbar == SB_HORZ ? uScrollTimerPortion : -1, thumbPos);
  if (sw->sBarVert->fScrollVisible)
    result = Lv_NCDrawScrollbar(sw->sBarVert.get(), handle, dc, vr,
                                uCurrentScrollbar == SB_VERT ? uScrollTimerPortion : -1, thumbPos);
  TsSkinManager* m = ManagerOf(sw);
  if (m && sw->sBarHorz->fScrollVisible && sw->sBarVert->fScrollVisible) {
    RECT box;
    box.top = hr.top;
    box.bottom = hr.bottom;
    if (sw->fLeftScrollbar) {
      box.left = vr.left;
      box.right = vr.right;
    } else {
      box.left = hr.right;
      box.right = vr.right;
    }
    if (Width(box) > 0 && Height(box) > 0) {
      auto bmp = CreateBmp32(Width(box), Height(box));
      const int first = SectionIndex(m, L"SCROLLBAR1H");
      bool cached = false;
      vcl::TColor colour = m->GetGlobalColor();
      if (first >= 0 && m->gd[static_cast<size_t>(first)].Props[0].Transparency != 100) {
        colour = m->gd[static_cast<size_t>(first)].Props[0].Color;
        if (colour == 0xFF00FF) colour = m->GetGlobalColor();
        const bool inactive = !Lv_IsScrollbarActive(sw->sBarHorz.get()) || !Lv_IsScrollbarActive(sw->sBarVert.get());
        if (inactive && sw->SkinData && m->IsValidSkinIndex(sw->SkinData->SkinIndex))
          colour =
              MixColors(m->gd[static_cast<size_t>(sw->SkinData->SkinIndex)].Props[0].Color, colour, DefDisabledBlend);
        FillRect32(bmp.get(), vcl::Rect(0, 0, bmp->Width(), bmp->Height()), vcl::ColorToRGB(colour), 255);
      } else {
        FillWindowBG(handle, bmp.get(), box, &cached);
        if (!cached) FillRect32(bmp.get(), vcl::Rect(0, 0, bmp->Width(), bmp->Height()), colour, 255);
      }
      RECT screenBox = box;
      RECT wr;
      GetWindowRect(handle, &wr);
      OffsetRect(&screenBox, wr.left, wr.top);
      const int grip = m->ConstData.GripRightBottom;
      if (Lv_GripVisible(sw, handle, screenBox) && m->IsValidImgIndex(grip)) {
        const TsMaskData& md = m->ma[static_cast<size_t>(grip)];
        DrawSkinGlyph(bmp.get(), vcl::TPoint(bmp->Width() - WidthOfImage(md), bmp->Height() - HeightOfImage(md)), 0, 1,
                      md, MakeCacheInfo(bmp.get()));
      }
      GdiFlush();
      BitBlt(dc, box.left, box.top, Width(box), Height(box), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
  }
  if (own) ReleaseDC(handle, dc);
  return result;
}

void lv_PrintSystemBars(TlvScrollWnd* sw, HWND handle, HDC dc) {
  if (!sw || !handle || !dc || !sw->sBarHorz || !sw->sBarVert) return;
  TsSkinManager* m = ManagerOf(sw);
  auto unskinned = [&](const TlvScrollBar* sb, const wchar_t* section) {
    return sb->fScrollVisible && SectionIndex(m, section) < 0;
  };
  const bool horzBar = unskinned(sw->sBarHorz.get(), L"SCROLLBAR1H");
  const bool vertBar = unskinned(sw->sBarVert.get(), L"SCROLLBAR1V");
  if (!horzBar && !vertBar) return;
  RECT hr, vr;
  lv_GetHScrollRect(sw, handle, hr);
  lv_GetVScrollRect(sw, handle, vr);
  // The system draws the window's bars with the visual style when one is on, whatever the wrapper set for the
  // window itself: the print follows it.
  HTHEME theme = IsThemeActive() ? OpenThemeData(nullptr, L"SCROLLBAR") : nullptr;
  auto part = [&](int themePart, int themeState, RECT r, auto classic) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (theme)
      DrawThemeBackground(theme, dc, themePart, themeState, &r, nullptr);
    else
      classic(r);
  };
  auto draw = [&](TlvScrollBar* sb, const RECT& screen) {
    const bool horz = sb->nBarType == SB_HORZ;
    RECT r = screen;
    ToWindow(handle, r);
    if (Width(r) <= 0 || Height(r) <= 0) return;
    sb->ReadInfo(handle);
    const bool active = Lv_IsScrollbarActive(sb) && OwnerEnabled(sw);
    const int len = horz ? Width(r) : Height(r);
    const int b = std::min(GetScrollMetric(sb, SM_BTNSIZE), len / 2);
    auto along = [&](int a0, int a1) {
      RECT x = r;
      if (horz) {
        x.left = r.left + a0;
        x.right = r.left + a1;
      } else {
        x.top = r.top + a0;
        x.bottom = r.top + a1;
      }
      return x;
    };
    // The thumb where the system puts it (its own minimum size), else where the wrapper would.
    int t0 = len - b, t1 = len - b;
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    int size = 0, pos = 0;
    bool thumb = false;
    if (active && GetScrollBarInfo(handle, horz ? OBJID_HSCROLL : OBJID_VSCROLL, &info) &&
        info.xyThumbBottom > info.xyThumbTop) {
      thumb = true;
      t0 = info.xyThumbTop;
      t1 = info.xyThumbBottom;
    } else if (active && Lv_CalcThumbSize(sb, screen, size, pos) && size > 0) {
      thumb = true;
      t0 = pos - (horz ? screen.left : screen.top);
      t1 = t0 + size;
    }
    auto track = [&](RECT x) { FillRect(dc, &x, GetSysColorBrush(COLOR_SCROLLBAR)); };
    const int trackState = active ? 1 : 4;
    part(horz ? 5 : 7, trackState, along(b, t0), track);
    part(horz ? 4 : 6, trackState, along(t1, len - b), track);
    const int firstState = horz ? (active ? 9 : 12) : (active ? 1 : 4);
    const int lastState = horz ? (active ? 13 : 16) : (active ? 5 : 8);
    const UINT off = active ? 0 : DFCS_INACTIVE;
    part(1, firstState, along(0, b),
         [&](RECT x) { DrawFrameControl(dc, &x, DFC_SCROLL, (horz ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | off); });
    part(1, lastState, along(len - b, len),
         [&](RECT x) { DrawFrameControl(dc, &x, DFC_SCROLL, (horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | off); });
    if (!thumb) return;
    part(horz ? 2 : 3, 1, along(t0, t1), [&](RECT x) {
      FillRect(dc, &x, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, &x, EDGE_RAISED, BF_RECT);
    });
  };
  if (horzBar) draw(sw->sBarHorz.get(), hr);
  if (vertBar) draw(sw->sBarVert.get(), vr);
  if (sw->sBarHorz->fScrollVisible && sw->sBarVert->fScrollVisible) {
    RECT box{sw->fLeftScrollbar ? vr.left : hr.right, hr.top, vr.right, hr.bottom};
    ToWindow(handle, box);
    part(10, 1, box, [&](RECT x) { FillRect(dc, &x, GetSysColorBrush(COLOR_BTNFACE)); });
  }
  if (theme) CloseThemeData(theme);
}

void SendScrollMessage(HWND handle, UINT msg, int scrollCode, int pos) {
  const LPARAM info = MAKELPARAM(static_cast<WORD>(scrollCode), static_cast<WORD>(msg));
  const WPARAM wp = MAKEWPARAM(static_cast<WORD>(scrollCode), static_cast<WORD>(std::min(std::max(pos, 0), 65535)));
  if (SendMessageW(handle, SM_LUMICMD, MakeLumiWParam(LVC_BEFORESCROLL), info) == 1) {
    SendMessageW(handle, msg, wp, pos);
  } else {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    const int bar = msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
    GetScrollInfo(handle, bar, &si);
    if (scrollCode == SB_THUMBTRACK) {
      SCROLLINFO p{};
      p.cbSize = sizeof(p);
      p.fMask = SIF_POS;
      p.nPos = pos;
      SetScrollInfo(handle, bar, &p, FALSE);
    }
    SendMessageW(handle, msg, wp, 0);
  }
  SendMessageW(handle, SM_LUMICMD, MakeLumiWParam(LVC_AFTERSCROLL), info);
}

namespace {

void Repaint(TlvScrollWnd* sw) { lv_NCDraw(sw, sw->CtrlHandle, -1, nullptr); }

void SendStep(TlvScrollWnd* sw, UINT msg, int code, int pos) {
  const bool was = sw->DontRepaint;
  sw->DontRepaint = true;
  SendScrollMessage(sw->CtrlHandle, msg, code, pos);
  sw->DontRepaint = was;
}

LRESULT Lv_NCCalcSize(TlvScrollWnd* sw, vcl::TMessage& message) {
  const HWND h = sw->CtrlHandle;
  auto* rc = reinterpret_cast<RECT*>(message.LParam);
  const RECT w = rc ? *rc : RECT{};
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  if (style & (WS_VSCROLL | WS_HSCROLL)) {
    sw->bPreventStyleChange = true;
    SetWindowLongPtrW(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL));
    sw->CallPrevWndProc(message);
    SetWindowLongPtrW(h, GWL_STYLE, style);
    sw->bPreventStyleChange = false;
  } else {
    sw->CallPrevWndProc(message);
  }
  if (!rc) return message.Result;
  RECT& c = *rc;
  TsSkinManager* m = ManagerOf(sw);
  const bool provider = sw->SkinData && dynamic_cast<TsCustomSkinProvider*>(sw->SkinData->OwnerObject());
  if (!provider && m && sw->SkinData && m->IsValidSkinIndex(sw->SkinData->SkinIndex)) {
    const int off = m->gd[static_cast<size_t>(sw->SkinData->SkinIndex)].ScrollBorderOffset;
    if (off < 0 && c.left - w.left > 1) InflateRect(&c, -off, -off);
  }
  sw->cxLeftEdge = c.left - w.left;
  sw->cxRightEdge = w.right - c.right;
  sw->cyTopEdge = c.top - w.top;
  sw->cyBottomEdge = w.bottom - c.bottom;
  TlvScrollBar* hb = sw->sBarHorz.get();
  TlvScrollBar* vb = sw->sBarVert.get();
  hb->fScrollFlags = (style & WS_HSCROLL) ? CSBS_VISIBLE : 0;
  const int ht = GetScrollMetric(hb, SM_SCROLLWIDTH);
  if (hb->fScrollFlags && ht <= Height(c)) {
    c.bottom -= ht;
    hb->fScrollVisible = true;
  } else {
    hb->fScrollVisible = false;
  }
  vb->fScrollFlags = (style & WS_VSCROLL) ? CSBS_VISIBLE : 0;
  const int vt = GetScrollMetric(vb, SM_SCROLLWIDTH);
  if (vb->fScrollFlags && vt <= Width(c)) {
    if (sw->fLeftScrollbar)
      c.left += vt;
    else
      c.right -= vt;
    vb->fScrollVisible = true;
  } else {
    vb->fScrollVisible = false;
  }
  return message.Result;
}

LRESULT Lv_NCHitTest(TlvScrollWnd* sw, vcl::TMessage& message) {
  const HWND h = sw->CtrlHandle;
  TsSkinManager* m = ManagerOf(sw);
  if (m && sw->SkinData && m->ActiveControl() != h && !sw->SkinData->FMouseAbove) {
    if (!sw->SkinData->OwnerControl() || lvMouseInControl(sw->SkinData)) m->SetActiveControl(h);
  }
  const POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
  RECT hr, vr;
  lv_GetHScrollRect(sw, h, hr);
  lv_GetVScrollRect(sw, h, vr);
  if (sw->sBarHorz->fScrollVisible && PtInRect(&hr, p))
    return Lv_IsScrollbarActive(sw->sBarHorz.get()) ? HTHSCROLL : HTNOWHERE;
  if (sw->sBarVert->fScrollVisible && PtInRect(&vr, p))
    return Lv_IsScrollbarActive(sw->sBarVert.get()) ? HTVSCROLL : HTNOWHERE;
  if (sw->sBarHorz->fScrollVisible && sw->sBarVert->fScrollVisible) {
    RECT box{hr.right, hr.top, vr.right, hr.bottom};
    if (sw->fLeftScrollbar) box = RECT{vr.left, hr.top, vr.right, hr.bottom};
    if (PtInRect(&box, p) && Lv_GripVisible(sw, h, box)) return HTBOTTOMRIGHT;
  }
  return sw->CallPrevWndProc(message);
}

LRESULT Lv_NCMouseMove(TlvScrollWnd* sw, vcl::TMessage& message) {
  const HWND h = sw->CtrlHandle;
  hwndCurSB = h;
  const int hit = static_cast<int>(message.WParam);
  if (hit == HTHSCROLL || hit == HTVSCROLL) {
    const int bar = SBTypes[hit - HTHSCROLL];
    if (bar != uMouseOverScrollbar) {
      uLastHitTestPortion = uHitTestPortion = -1;
      GetScrollRect(sw, bar, h, MouseOverRect);
      uMouseOverScrollbar = bar;
      uMouseOverId = SetTimer(h, COOLSB_TIMERID3, COOLSB_TIMERINTERVAL3, nullptr);
      Repaint(sw);
    }
  }
  return sw->CallPrevWndProc(message);
}

LRESULT Lv_NCLButtonDown(TlvScrollWnd* sw, vcl::TMessage& message) {
  const HWND h = sw->CtrlHandle;
  hwndCurSB = h;
  TlvScrollBar* sb;
  RECT r;
  if (message.WParam == HTHSCROLL) {
    uScrollTimerMsg = WM_HSCROLL;
    uCurrentScrollbar = SB_HORZ;
    sb = sw->sBarHorz.get();
    lv_GetHScrollRect(sw, h, r);
  } else {
    uScrollTimerMsg = WM_VSCROLL;
    uCurrentScrollbar = SB_VERT;
    sb = sw->sBarVert.get();
    lv_GetVScrollRect(sw, h, r);
  }
  sb->ReadInfo(h);
  const int x = static_cast<short>(LOWORD(message.LParam)), y = static_cast<short>(HIWORD(message.LParam));
  uCurrentScrollPortion = Lv_GetPortion(sb, h, r, x, y);
  message.Result = 0;
  switch (uCurrentScrollPortion) {
    case HTSCROLL_LEFT:
    case HTSCROLL_RIGHT:
    case HTSCROLL_PAGELEFT:
    case HTSCROLL_PAGERIGHT:
      if ((uCurrentScrollPortion == 0 && (sb->fScrollFlags & ESB_DISABLE_LTUP)) ||
          (uCurrentScrollPortion == 1 && (sb->fScrollFlags & ESB_DISABLE_RTDN))) {
        uCurrentScrollPortion = -1;
        return 0;
      }
      if (Lv_IsScrollbarActive(sb)) {
        uScrollTimerPortion = uCurrentScrollPortion;
        Repaint(sw);
        SendStep(sw, uScrollTimerMsg, uCurrentScrollPortion, 0);
        uScrollTimerPortion = uCurrentScrollPortion;
        uScrollTimerId = SetTimer(h, COOLSB_TIMERID1, COOLSB_TIMERINTERVAL1, nullptr);
      }
      break;
    case HTSCROLL_THUMB:
      if (Lv_IsScrollbarActive(sb)) {
        RECT rr = r;
        Lv_GetRealScrollRect(sb, rr);
        Lv_CalcThumbSize(sb, rr, nThumbSize, nThumbPos);
        rcThumbBounds = rr;
        sw->fThumbTracking = true;
        sb->ScrollInfo.nTrackPos = sb->ScrollInfo.nPos;
        nThumbMouseOffset = (sb->nBarType == SB_VERT ? y : x) - nThumbPos;
        nLastSBPos = sb->ScrollInfo.nPos;
        uScrollTimerPortion = HTSCROLL_THUMB;
        RECT wr = rr;
        ToWindow(h, wr);
        HDC dc = GetWindowDC(h);
        const int along = nThumbPos - (sb->nBarType == SB_VERT ? rr.top : rr.left);
        DrawBar(sb, h, dc, wr, HTSCROLL_THUMB, -1, along);
        ReleaseDC(h, dc);
      }
      break;
    default:
      sw->CallPrevWndProc(message);
      break;
  }
  if (uCurrentScrollPortion != -1) SetCapture(h);
  return message.Result;
}

// Thumb drag with the cursor at (x, y) in screen coordinates.
void ThumbTrack(TlvScrollWnd* sw, TlvScrollBar* sb, int x, int y) {
  const HWND h = sw->CtrlHandle;
  const bool horz = sb->nBarType == SB_HORZ;
  const int b = GetScrollMetric(sb, SM_BTNSIZE);
  const int trackStart = (horz ? rcThumbBounds.left : rcThumbBounds.top) + b;
  const int trackEnd = (horz ? rcThumbBounds.right : rcThumbBounds.bottom) - b;
  int start = (horz ? x : y) - nThumbMouseOffset;
  start = std::max(trackStart, std::min(start, trackEnd - nThumbSize));
  RECT wr = rcThumbBounds;
  ToWindow(h, wr);
  HDC dc = GetWindowDC(h);
  DrawBar(sb, h, dc, wr, HTSCROLL_THUMB, -1, start - (horz ? rcThumbBounds.left : rcThumbBounds.top));
  ReleaseDC(h, dc);
  const SCROLLINFO& si = sb->ScrollInfo;
  const int offset = start - trackStart;
  int pos;
  if (si.nMax - si.nMin < 1)
    pos = offset;
  else {
    const int span = trackEnd - trackStart - nThumbSize;
    pos = span > 0 ? si.nMin + MulDiv(offset, si.nMax - si.nMin - static_cast<int>(si.nPage) + 1, span) : si.nMin;
  }
  if (pos != nLastSBPos) {
    sb->ScrollInfo.nTrackPos = pos;
    SendStep(sw, uScrollTimerMsg, SB_THUMBTRACK, pos);
    // The window's answer may have drawn the system's bar over the frame (SetScrollInfo with redraw): the drag
    // image goes on top again.
    dc = GetWindowDC(h);
    DrawBar(sb, h, dc, wr, HTSCROLL_THUMB, -1, start - (horz ? rcThumbBounds.left : rcThumbBounds.top));
    ReleaseDC(h, dc);
  }
  nLastSBPos = pos;
}

TlvScrollBar* PressedBar(TlvScrollWnd* sw) {
  return uCurrentScrollbar == SB_HORZ   ? sw->sBarHorz.get()
         : uCurrentScrollbar == SB_VERT ? sw->sBarVert.get()
                                        : nullptr;
}

LRESULT Lv_MouseMove(TlvScrollWnd* sw, vcl::TMessage& message) {
  const HWND h = sw->CtrlHandle;
  POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
  ClientToScreen(h, &p);
  TlvScrollBar* sb = PressedBar(sw);
  if (sw->fThumbTracking && sb) {
    ThumbTrack(sw, sb, p.x, p.y);
    return 0;
  }
  if (uCurrentScrollPortion == -1 || !sb) return sw->CallPrevWndProc(message);
  RECT r;
  GetScrollRect(sw, sb->nBarType, h, r);
  const int part = Lv_GetPortion(sb, h, r, p.x, p.y);
  uScrollTimerPortion = part == uCurrentScrollPortion ? part : -1;
  if (part != 0) Repaint(sw);
  message.Result = 0;
  return 0;
}

bool IsDropList(TlvScrollWnd* sw) {
  auto* l = dynamic_cast<TlvComboListWnd*>(sw);
  return l && !l->SimplyBox;
}

LRESULT Lv_LButtonUp(TlvScrollWnd* sw, vcl::TMessage& message) {
  const HWND h = sw->CtrlHandle;
  if (uCurrentScrollPortion == -1) return sw->CallPrevWndProc(message);
  const bool noOwner = !sw->SkinData || !sw->SkinData->OwnerControl();
  if (!(IsDropList(sw) && noOwner && sw->Tag != -1)) ReleaseCapture();
  const int portion = uCurrentScrollPortion;
  if (portion >= 0 && portion <= 3) {
    if (uScrollTimerId) KillTimer(h, uScrollTimerId);
    if (sw->fThumbTracking) {
      SendStep(sw, uScrollTimerMsg, SB_THUMBPOSITION, nLastSBPos);
      sw->fThumbTracking = false;
    }
    SendStep(sw, uScrollTimerMsg, SB_ENDSCROLL, 0);
  } else if (portion == HTSCROLL_THUMB) {
    if (sw->fThumbTracking) {
      SendStep(sw, uScrollTimerMsg, SB_THUMBPOSITION, nLastSBPos);
      sw->fThumbTracking = false;
    }
    SendStep(sw, uScrollTimerMsg, SB_ENDSCROLL, nLastSBPos);
  }
  uCurrentScrollPortion = uScrollTimerPortion = uCurrentScrollbar = -1;
  uScrollTimerId = 0;
  uScrollTimerMsg = 0;
  UpdateScrolls(sw, true);
  message.Result = 0;
  if (static_cast<LONG_PTR>(message.WParam) != -1) {
    bool pass;
    if (!noOwner) {
      const rtl::String cls = sw->SkinData->OwnerControl()->ClassName();
      pass = cls != L"TImageEnView" && cls != L"TImageEnVect";
    } else {
      pass = !IsDropList(sw);
    }
    if (pass) sw->CallPrevWndProc(message);
  }
  return message.Result;
}

void HoverTick(TlvScrollWnd* sw) {
  const HWND h = sw->CtrlHandle;
  if (sw->fThumbTracking) return;
  POINT p;
  GetCursorPos(&p);
  if (PtInRect(&MouseOverRect, p)) {
    TlvScrollBar* sb = uMouseOverScrollbar == SB_HORZ ? sw->sBarHorz.get() : sw->sBarVert.get();
    uHitTestPortion = Lv_GetPortion(sb, h, MouseOverRect, p.x, p.y);
    if (uHitTestPortion != uLastHitTestPortion) Repaint(sw);
    uLastHitTestPortion = uHitTestPortion;
  } else {
    KillTimer(h, COOLSB_TIMERID3);
    uMouseOverId = 0;
    uMouseOverScrollbar = uLastHitTestPortion = uHitTestPortion = -1;
    Repaint(sw);
  }
}

void Lv_Timer(TlvScrollWnd* sw, vcl::TMessage& message) {
  const HWND h = sw->CtrlHandle;
  bool passed = false;
  if (!uScrollTimerId && !uMouseOverId) {
    sw->CallPrevWndProc(message);
    passed = true;
  }
  switch (message.WParam) {
    case COOLSB_TIMERID1:
      KillTimer(h, COOLSB_TIMERID1);
      uScrollTimerId = SetTimer(h, COOLSB_TIMERID2, COOLSB_TIMERINTERVAL2, nullptr);
      message.Result = 0;
      break;
    case COOLSB_TIMERID2: {
      if (uCurrentScrollPortion == -1) {
        KillTimer(h, COOLSB_TIMERID2);
        break;
      }
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(h, &p);
      p.x = std::max(0L, p.x);
      p.y = std::max(0L, p.y);
      vcl::TMessage mm{WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y), 0};
      Lv_MouseMove(sw, mm);
      if (uScrollTimerPortion != -1) SendStep(sw, uScrollTimerMsg, uScrollTimerPortion, 0);
      message.Result = 0;
      break;
    }
    case COOLSB_TIMERID3:
      HoverTick(sw);
      message.Result = 0;
      break;
    default:
      if (!passed) sw->CallPrevWndProc(message);
      break;
  }
  if (!sw->DontRepaint && !sw->fThumbTracking) UpdateScrolls(sw, true);
}

void KillOwnTimers(TlvScrollWnd* sw) {
  if (!sw->CtrlHandle) return;
  if (hwndCurSB == sw->CtrlHandle) {
    KillTimer(sw->CtrlHandle, COOLSB_TIMERID1);
    KillTimer(sw->CtrlHandle, COOLSB_TIMERID2);
    KillTimer(sw->CtrlHandle, COOLSB_TIMERID3);
    uScrollTimerId = uMouseOverId = 0;
    uCurrentScrollPortion = uScrollTimerPortion = uCurrentScrollbar = uMouseOverScrollbar = -1;
    uHitTestPortion = uLastHitTestPortion = -1;
    if (GetCapture() == sw->CtrlHandle) ReleaseCapture();
    hwndCurSB = nullptr;
  }
}

}  // namespace

TlvScrollWnd::~TlvScrollWnd() {
  KillOwnTimers(this);
  sBarHorz.reset();
  sBarVert.reset();
}

void TlvScrollWnd::InitSkinData() {
  cxLeftEdge = -1;
  ScrollsInitialized = false;
  if (!SkinData) SkinData = new TsScrollWndData(nullptr, true);
  SkinData->Loading = true;
}

void TlvScrollWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  switch (message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      if (!Destroyed) {
        KillOwnTimers(this);
        DetachOnDestroy(message, true);
      } else {
        CallPrevWndProc(message);
      }
      return;
    case WM_UPDATEUISTATE:
      return;
    case vcl::CM_RECREATEWND:
      if (!IsWindowVisible(h) && SkinData && dynamic_cast<vcl::TCustomComboBox*>(SkinData->OwnerControl()) &&
          SkinData->OwnerControl()->Name().empty())
        return;
      break;
    default:
      break;
  }
  if (Destroyed) {
    CallPrevWndProc(message);
    return;
  }
  if (!SkinActive()) {
    if (message.Msg == SM_LUMICMD && SkinData) {
      const bool own = reinterpret_cast<LPARAM>(SkinData->SkinManager()) == message.LParam;
      if (message.WParamHi() == LVC_SETNEWSKIN && own) SkinData->UpdateIndexes(true);
      if (message.WParamHi() == LVC_REMOVESKIN && own) {
        // The skin went in the middle of a press or drag on a skinned bar: the mouse and the timers are let go.
        KillOwnTimers(this);
        fThumbTracking = false;
        // Told after the manager went inactive: the system's frame and bars are measured and drawn again. Nothing
        // of this wrapper is touched after passing the command on (its control may free it there).
        if (IsWindowVisible(h)) Lv_RedrawNonClient(h, true);
        CallPrevWndProc(message);
        return;
      }
      if (message.WParamHi() == LVC_GETSKINDATA) {
        message.Result = reinterpret_cast<LRESULT>(SkinData);
        return;
      }
      if (message.WParamHi() == LVC_SETNEWSKIN && own) {
        // The skin came (back): the frame is measured and painted from it.
        CallPrevWndProc(message);
        if (SkinActive()) Lv_RedrawNonClient(h, true);
        return;
      }
    }
    CallPrevWndProc(message);
    return;
  }
  ScrollStage(message);
}

void TlvScrollWnd::ScrollStage(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  switch (message.Msg) {
    case WM_STYLECHANGED:
      if (bPreventStyleChange) {
        message.Result = 0;
        return;
      }
      if (message.WParam == static_cast<WPARAM>(GWL_EXSTYLE))
        fLeftScrollbar = (reinterpret_cast<STYLESTRUCT*>(message.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
      CallPrevWndProc(message);
      return;
    case WM_NCCALCSIZE:
      message.Result = Lv_NCCalcSize(this, message);
      ScrollsInitialized = true;
      return;
    case WM_NCHITTEST:
      message.Result = Lv_NCHitTest(this, message);
      return;
    case WM_NCPAINT:
      if (!ScrollsInitialized) Lv_RedrawNonClient(h, true);
      if (IsWindowVisible(h) && !GetUpdating(SkinData) && !DontRepaint && ScrollsInitialized)
        lv_NCDraw(this, h, -1, nullptr);
      CallPrevWndProc(message);
      return;
    case WM_NCMOUSEMOVE:
      message.Result = Lv_NCMouseMove(this, message);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (message.WParam == HTHSCROLL || message.WParam == HTVSCROLL)
        message.Result = Lv_NCLButtonDown(this, message);
      else
        CallPrevWndProc(message);
      return;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (message.WParam == HTHSCROLL || message.WParam == HTVSCROLL)
        message.Result = 0;
      else
        CallPrevWndProc(message);
      return;
    case WM_SYSCOMMAND:
      if ((message.WParam & 0xFFF0) == 0xF070 && message.WParam == 0xF077) return;
      CallPrevWndProc(message);
      return;
    case WM_TIMER:
      Lv_Timer(this, message);
      return;
    case WM_MOUSEMOVE:
      message.Result = Lv_MouseMove(this, message);
      return;
    case WM_LBUTTONUP:
      message.Result = Lv_LButtonUp(this, message);
      return;
    case SM_LUMICMD:
      break;
    default:
      CallPrevWndProc(message);
      if ((message.Msg == WM_MOUSEWHEEL || message.Msg == WM_MOUSEHWHEEL || message.Msg == vcl::CM_MOUSEWHEEL) &&
          !DontRepaint)
        UpdateScrolls(this, true);
      else if (message.Msg == vcl::CM_FOCUSCHANGED)
        UpdateScrolls(this, true);
      return;
  }
  const bool own = reinterpret_cast<LPARAM>(SkinData->SkinManager()) == message.LParam;
  switch (message.WParamHi()) {
    case LVC_SETNEWSKIN:
      if (own) {
        SkinData->UpdateIndexes(true);
        CallPrevWndProc(message);
        LumiBroadCastCheck(SkinData->OwnerControl(), h, message);
        Lv_RedrawNonClient(h, true);
        return;
      }
      break;
    case LVC_REMOVESKIN:
      if (own && !Destroyed) {
        KillOwnTimers(this);
        fThumbTracking = false;
        RestoreStdParams();
        CallPrevWndProc(message);
        // The control may have freed this wrapper (and remade its window) meanwhile: nothing is left to do here.
        if (FreePending || Destroyed) return;
        // Idle from now on: the system's frame and bars come back.
        SkinData->UpdateIndexes(true);
        SetPropW(h, kWrapperProp, this);
        Lv_RedrawNonClient(h, true);
        return;
      }
      break;
    case LVC_REFRESH:
      if (own) {
        SkinData->UpdateIndexes(true);
        SkinData->BGChanged = true;
      }
      break;
    case LVC_ENDPARENTUPDATE: {
      if (SkinData->UpdatingFlag()) {
        if (!InUpdating(SkinData, true))
          RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) SetParentUpdated(win);
      } else if (SkinData->CtrlSkinState & LVCS_FAST) {
        if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) SetParentUpdated(win);
      }
      return;
    }
    case LVC_CTRLHANDLED:
      message.Result = 1;
      return;
    case LVC_UPDATING:
      SkinData->SetUpdatingFlag(message.WParamLo() == 1);
      break;
    case LVC_GETLISTSW:
      message.Result = reinterpret_cast<LRESULT>(this);
      return;
    case LVC_SETSECTION:
      if (message.LParam) {
        SkinData->SetSkinSection(reinterpret_cast<const wchar_t*>(message.LParam));
        message.Result = 1;
      } else {
        message.Result = 0;
      }
      return;
    case LVC_CHILDCHANGED:
      message.Result = ChildBgIsChanged(SkinData) ? 1 : 0;
      return;
    case LVC_GETCONTROLCOLOR:
      CallPrevWndProc(message);
      if (message.Result == 0) message.Result = static_cast<LRESULT>(GetBGColor(SkinData, 0, nullptr));
      return;
    case LVC_PREPARECACHE:
      CallPrevWndProc(message);
      if (SkinData->BGChanged && !GetUpdating(SkinData)) {
        InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
        PrepareCache(SkinData, h, DlgMode);
        UpdateWndCorners(SkinData, 0, this);
      }
      return;
    case LVC_MOUSEENTER:
    case LVC_MOUSELEAVE: {
      vcl::TMessage m{message.WParamHi() == LVC_MOUSEENTER ? vcl::CM_MOUSEENTER : vcl::CM_MOUSELEAVE, 0, 0, 0};
      CommonWndProc(m, SkinData);
      return;
    }
    case LVC_GETBG: {
      CallPrevWndProc(message);
      auto* bg = reinterpret_cast<TlvBGInfo*>(message.LParam);
      if (bg && bg->BgType == btUnknown) InitBGInfo(SkinData, bg, 0, nullptr);
      return;
    }
    case LVC_GETSKINDATA:
      message.Result = reinterpret_cast<LRESULT>(SkinData);
      return;
    case LVC_GETAPPLICATION:
      message.Result = reinterpret_cast<LRESULT>(vcl::Application);
      return;
    default:
      break;
  }
  CallPrevWndProc(message);
}

void InitializeLVScrolls(TlvScrollWnd* sw, HWND handle, bool repaint) {
  sw->DontRepaint = false;
  sw->CtrlHandle = handle;
  sw->sBarHorz = std::make_unique<TlvScrollBar>();
  sw->sBarVert = std::make_unique<TlvScrollBar>();
  sw->sBarHorz->sw = sw->sBarVert->sw = sw;
  sw->sBarHorz->nBarType = SB_HORZ;
  sw->sBarVert->nBarType = SB_VERT;
  sw->sBarHorz->ReadInfo(handle);
  sw->sBarVert->ReadInfo(handle);
  sw->fLeftScrollbar = (GetWindowLongPtrW(handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  SetPropW(handle, kWrapperProp, sw);
  const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
  sw->sBarHorz->fScrollFlags = (style & WS_HSCROLL) ? CSBS_VISIBLE : 0;
  sw->sBarVert->fScrollFlags = (style & WS_VSCROLL) ? CSBS_VISIBLE : 0;
  sw->bPreventStyleChange = false;
  InitializeLVWnd(sw, handle);
  Lv_SetMinThumbSize(handle, 3, static_cast<WORD>(lvMinThumbSize));
  if (Lv_GetScrollWndFromHwnd(handle) == sw && repaint) Lv_RedrawNonClient(handle, true);
}

void UninitializeLVScroll(HWND handle, bool free, bool repaint, TlvScrollWnd*& sw) {
  if (!sw) return;
  if (!sw->Destroyed && sw->SkinData && sw->SkinData->OwnerControl()) {
    KillOwnTimers(sw);
    const bool back = sw->GiveProcBack();
    sw->RestoreStdParams();
    if (sw->sBarHorz) sw->sBarHorz->sw = nullptr;
    if (sw->sBarVert) sw->sBarVert->sw = nullptr;
    sw->sBarHorz.reset();
    sw->sBarVert.reset();
    if (handle && IsWindowVisible(handle)) Lv_RedrawNonClient(handle, repaint);
    if (sw->OwnSkinData) sw->SkinData->ClearLinks();
    sw->Destroyed = back;
  } else if (!sw->Destroyed) {
    // A bare window (no owner control): the same, so that a window that goes first gets its procedure back.
    KillOwnTimers(sw);
    const bool back = sw->GiveProcBack();
    sw->RestoreStdParams();
    if (handle && IsWindow(handle) && IsWindowVisible(handle)) Lv_RedrawNonClient(handle, repaint);
    sw->Destroyed = back;
  }
  if (free) {
    if (sw->Destroyed) {
      sw->OldProc = nullptr;
      sw->OldWndProc = vcl::TWndMethod();
    }
    FreeLvWrapper(sw);
  }
}

TlvScrollWnd* Lv_GetScrollWndFromHwnd(HWND handle) {
  if (!handle) return nullptr;
  return dynamic_cast<TlvScrollWnd*>(static_cast<TlvMainWnd*>(GetPropW(handle, kWrapperProp)));
}

TlvScrollBar* Lv_GetScrollBarFromHwnd(HWND handle, WORD nBar) {
  TlvScrollWnd* sw = Lv_GetScrollWndFromHwnd(handle);
  if (!sw) return nullptr;
  if (nBar == SB_HORZ) return sw->sBarHorz.get();
  if (nBar == SB_VERT) return sw->sBarVert.get();
  return nullptr;
}

bool Lv_SetMinThumbSize(HWND handle, WORD wBar, WORD size) {
  TlvScrollWnd* sw = Lv_GetScrollWndFromHwnd(handle);
  if (!sw) return false;
  if ((wBar == SB_HORZ || wBar == SB_BOTH) && sw->sBarHorz) sw->sBarHorz->nMinThumbSize = size;
  if ((wBar == SB_VERT || wBar == SB_BOTH) && sw->sBarVert) sw->sBarVert->nMinThumbSize = size;
  return true;
}

void Lv_RedrawNonClient(HWND handle, bool frameChanged) {
  if (!handle || !IsWindow(handle)) return;
  if (frameChanged)
    SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  else
    SendMessageW(handle, WM_NCPAINT, 1, 0);
}

void SendControlLoaded(HWND handle) {
  HWND top = handle;
  while (HWND p = GetParent(top)) top = p;
  if (top) SendMessageW(top, SM_LUMICMD, MakeLumiWParam(LVC_CONTROLLOADED), 0);
}

namespace {
bool HasBorder(HWND handle) {
  return (GetWindowLongPtrW(handle, GWL_STYLE) & WS_BORDER) ||
         (GetWindowLongPtrW(handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}
}  // namespace

void PrepareCache(TsCommonData* skinData, HWND handle, bool dlgMode) {
  if (!skinData || !skinData->BGChanged || !handle) return;
  RECT wr;
  GetWindowRect(handle, &wr);
  const int w = Width(wr), hgt = Height(wr);
  if (w <= 0 || hgt <= 0) return;
  if (!skinData->CacheBmp()) skinData->InitCacheBmp();
  vcl::TBitmap* cache = skinData->CacheBmp();
  if (!cache) return;
  cache->SetPixelFormat(vcl::pf32bit);
  cache->SetSize(w, hgt);
  TsSkinManager* m = skinData->SkinManager();
  TCacheInfo ci = EmptyCI;
  HWND parent = GetParent(handle);
  if (parent) {
    TlvBGInfo bg;
    GetBGInfo(bg, parent, false);
    if (bg.BgType == btNotReady) {
      skinData->SetUpdatingFlag(true);
      return;
    }
    bg.FillRect = vcl::TRect();
    ci = BGInfoToCI(bg);
  }
  const vcl::TRect all(0, 0, w, hgt);
  if (dlgMode && m && m->Palette[pcBorder] != 0xFF00FF) {
    FillRect32(cache, all, vcl::ColorToRGB(vcl::clWindow), 255);
    HDC dc = cache->Canvas()->Handle();
    HBRUSH br = CreateSolidBrush(vcl::ColorToRGB(m->Palette[pcBorder]));
    RECT rr{0, 0, w, hgt};
    FrameRect(dc, &rr, br);
    DeleteObject(br);
  } else {
    vcl::TPoint offset(0, 0);
    if (parent) {
      POINT p{wr.left, wr.top};
      if (!ScreenToClient(parent, &p)) return;
      offset = vcl::TPoint(p.x, p.y);
    }
    if (m && m->IsValidSkinIndex(skinData->SkinIndex)) {
      const bool hot = skinData->FFocused || (skinData->FMouseAbove && MayBeHot(skinData, true));
      const int state = ClampState(m, skinData->SkinIndex, hot ? 1 : 0);
      auto* lb = dynamic_cast<vcl::TCustomListBox*>(skinData->OwnerControl());
      if (lb && !HasBorder(handle))
        PaintItemBG(skinData, ci, state, all, offset, cache);
      else
        PaintItem(skinData, ci, !dlgMode, state, all, offset, cache, false);
    }
  }
  vcl::TControl* owner = skinData->OwnerControl();
  if (auto* edit = dynamic_cast<vcl::TCustomEdit*>(owner); edit && !edit->Enabled()) {
    vcl::TCanvas* cv = cache->Canvas();
    cv->Font()->Assign(edit->Font());
    const int d = HasBorder(handle) ? 2 : 0;
    const int e = HasBorder(handle) ? 1 : 0;
    vcl::TRect tr(d + e, d + e, w - d - e, hgt - d);
    rtl::String text = edit->Text();
    if (edit->PasswordChar() != 0) {
      const wchar_t pc = edit->PasswordChar() == L'*' ? L'\x25CF' : edit->PasswordChar();
      text.assign(text.size(), pc);
    }
    SetBkMode(cv->Handle(), TRANSPARENT);
    lvWriteTextEx(cv, text.c_str(), false, tr, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER, skinData->SkinIndex, false, m);
  }
  if (owner && !owner->Enabled() && parent) {
    TsDisabledKind kind{dkBlended};
    BmpDisabledKind(cache, kind, owner->Parent(), ci, vcl::TPoint(0, 0));
  }
  skinData->BGChanged = false;
}
