// The scroll-bar control wrapper.
#include "skin/windows/lvSBWnd.h"

#include <algorithm>
#include <cmath>

#include <windowsx.h>

#include "platform/vcl/application.h"
#include "platform/vcl/colors.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

// The painters of the non-client bars, shared with them so both kinds of bar look the same.
void lv_DrawScrollBtn(const vcl::TRect& r, int state, vcl::TBitmap* bmp, TsSkinManager* m, TlvSide side);
void lv_DrawSlider(const vcl::TRect& r, int state, vcl::TBitmap* bmp, TsSkinManager* m, bool vertical);

namespace {

// The nearest integer, halves to the even neighbour.
int Near(double x) { return static_cast<int>(std::lrint(x)); }

bool In(const vcl::TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

}  // namespace

bool TlvSBWnd::Vertical() const {
  return CtrlHandle && (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & SBS_VERT) != 0;
}

int TlvSBWnd::CtrlWidth() const {
  RECT r{};
  if (CtrlHandle) GetWindowRect(CtrlHandle, &r);
  return r.right - r.left;
}

int TlvSBWnd::CtrlHeight() const {
  RECT r{};
  if (CtrlHandle) GetWindowRect(CtrlHandle, &r);
  return r.bottom - r.top;
}

SCROLLINFO TlvSBWnd::CtrlInfo() {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  LPARAM lp = reinterpret_cast<LPARAM>(&si);
  if (CtrlHandle && HasPrevProc()) CallPrevWndProc(CtrlHandle, SBM_GETSCROLLINFO, 0, lp);
  return si;
}

void TlvSBWnd::InitScrollData() {
  const SCROLLINFO si = CtrlInfo();
  FSI.cbSize = sizeof(FSI);
  FSI.fMask = SIF_ALL;
  FSI.nMax = si.nMax;
  FSI.nMin = si.nMin;
  FSI.nPos = si.nPos;
  FSI.nTrackPos = si.nPos;
  FSI.nPage = si.nPage;
  FCurrPos = si.nPos;
}

void TlvSBWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"CHECKBOX");
  if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) {
    Control = win;
    win->SetTabStop(false);
  }
  InitScrollData();
  MouseOffset = 0;
  ScrollCode = 0;
  TlvMainWnd::AfterCreation();
}

// ---------------------------------------------------------------------------------------------------------------
// Geometry.

int TlvSBWnd::SysBtnSize() {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : SkinManager;
  return GetScrollSize(m ? m : DefaultManager);
}

int TlvSBWnd::WorkSize() { return Length() - 2 * SysBtnSize(); }

int TlvSBWnd::SliderSize() {
  if (FSI.nPage == 0) return lvMinThumbSize;
  const int r0 = std::max(static_cast<int>(FSI.nPage) - 1, 0);
  const int range = FSI.nMax + static_cast<int>(FSI.nPage) - r0 - FSI.nMin;
  if (range == 0) return lvMinThumbSize;
  return std::max(Near(static_cast<double>(WorkSize()) / range * static_cast<int>(FSI.nPage)), lvMinThumbSize);
}

int TlvSBWnd::PositionToCoord() {
  const int l = Length(), btn = SysBtnSize();
  const int r0 = std::max(static_cast<int>(FSI.nPage) - 1, 0);
  if (FSI.nMax - FSI.nMin == r0) return l / 2;
  const int ss = SliderSize();
  return btn + ss / 2 +
         Near(static_cast<double>(l - 2 * btn - ss) / (FSI.nMax - FSI.nMin - r0) * (FCurrPos - FSI.nMin));
}

int TlvSBWnd::CoordToPosition(vcl::TPoint p) {
  if (!IsWindowEnabled(CtrlHandle)) return 0;
  const int btn = SysBtnSize(), ss = SliderSize();
  const int track = Length() - 2 * btn - ss;
  if (track == 0) return 0;
  const int r0 = std::max(static_cast<int>(FSI.nPage) - 1, 0);
  const int c = Vertical() ? p.Y : p.X;
  return Near(static_cast<double>(FSI.nMax - FSI.nMin - r0) * (c - btn - ss / 2.0) / track);
}

vcl::TRect TlvSBWnd::Btn1Rect() {
  const int l = Length(), btn = std::min(SysBtnSize(), l / 2);
  FBtn1Rect = Vertical() ? vcl::TRect(0, 0, CtrlWidth(), btn) : vcl::TRect(0, 0, btn, CtrlHeight());
  return FBtn1Rect;
}

vcl::TRect TlvSBWnd::Btn2Rect() {
  const int w = CtrlWidth(), h = CtrlHeight(), l = Length();
  const int btn = SysBtnSize();
  if (Vertical()) {
    FBtn2Rect = vcl::TRect(0, h - btn, w, h);
    if (btn > l / 2) FBtn2Rect.Top = l / 2;
  } else {
    FBtn2Rect = vcl::TRect(w - btn, 0, w, h);
    if (btn > l / 2) FBtn2Rect.Left = l / 2;
  }
  return FBtn2Rect;
}

vcl::TRect TlvSBWnd::Bar1Rect() {
  const int c = PositionToCoord();
  FBar1Rect = Vertical() ? vcl::TRect(0, 0, CtrlWidth(), c) : vcl::TRect(0, 0, c, CtrlHeight());
  return FBar1Rect;
}

vcl::TRect TlvSBWnd::Bar2Rect() {
  const int c = PositionToCoord();
  FBar2Rect = Vertical() ? vcl::TRect(0, c, CtrlWidth(), CtrlHeight()) : vcl::TRect(c, 0, CtrlWidth(), CtrlHeight());
  return FBar2Rect;
}

vcl::TRect TlvSBWnd::SliderRect() {
  const SCROLLINFO ci = CtrlInfo();
  const int ss = SliderSize();
  // The thumb follows the control's own position (during a drag FCurrPos keeps the old one).
  const int saved = FCurrPos;
  FCurrPos = ci.nPos;
  int start;
  if (Vertical()) {
    if (ci.nMax == ci.nMin)
      start = Btn1Rect().Bottom;
    else if (ci.nMax - static_cast<int>(ci.nPage) == ci.nPos ||
             ci.nPos >= ci.nMax - std::max(static_cast<int>(ci.nPage) - 1, 0))
      start = Btn2Rect().Top - ss;
    else
      start = Near(PositionToCoord() - ss / 2.0);
    FSliderRect = vcl::TRect(0, start, CtrlWidth(), start + ss);
  } else {
    start = ci.nMax == ci.nMin ? Btn1Rect().Right : Near(PositionToCoord() - ss / 2.0);
    FSliderRect = vcl::TRect(start, 0, start + ss, CtrlHeight());
  }
  FCurrPos = saved;
  return FSliderRect;
}

// ---------------------------------------------------------------------------------------------------------------
// States and the mouse.

int TlvSBWnd::PartState(int index) const {
  switch (index) {
    case 0:
      return FBtn1State;
    case 1:
      return FBtn2State;
    case 2:
      return FBar1State;
    case 3:
      return FBar2State;
    default:
      return FSliderState;
  }
}

void TlvSBWnd::SetInteger(int index, int value) {
  if (index < 0 || index > 4 || PartState(index) == value) return;
  int* parts[5] = {&FBtn1State, &FBtn2State, &FBar1State, &FBar2State, &FSliderState};
  *parts[index] = value;
  if (value != 1 && value != 2) return;
  switch (index) {
    case 0:
      FBtn2State = FSliderState = 0;
      FBar1State = FBar2State = 1;
      break;
    case 1:
      FBtn1State = FSliderState = 0;
      FBar1State = FBar2State = 1;
      break;
    case 2:
      FBtn1State = FBtn2State = FSliderState = 0;
      FBar2State = 1;
      break;
    case 3:
      FBtn1State = FBtn2State = FSliderState = 0;
      FBar1State = 1;
      break;
    case 4:
      FBtn1State = FBtn2State = 0;
      FBar1State = FBar2State = 1;
      break;
    default:
      break;
  }
}

bool TlvSBWnd::BarIsHot() { return ControlIsActive(SkinData); }

void TlvSBWnd::LMouseDown(int x, int y) {
  if (!IsWindowEnabled(CtrlHandle)) return;
  MouseOffset = 0;
  if (In(Btn1Rect(), x, y)) {
    if (FBtn1State != 2) {
      ScrollCode = 0;
      SetInteger(0, 2);
    }
  } else if (In(Btn2Rect(), x, y)) {
    if (FBtn2State != 2) {
      SetInteger(1, 2);
      ScrollCode = 1;
    }
  } else if (In(SliderRect(), x, y)) {
    ScrollCode = 5;
    if (FSliderState != 2) {
      MouseOffset = CoordToPosition(vcl::TPoint(x, y)) - CtrlInfo().nPos;
      SetInteger(4, 2);
    }
  } else if (In(Bar1Rect(), x, y)) {
    ScrollCode = 2;
    if (FBar1State != 2) {
      SetInteger(2, 2);
      SetInteger(3, BarIsHot() ? 1 : 0);
    }
  } else {
    ScrollCode = 3;
    if (FBar2State != 2) {
      SetInteger(2, BarIsHot() ? 1 : 0);
      SetInteger(3, 2);
    }
  }
  UpdateBar();
}

void TlvSBWnd::LMouseUp(int x, int y) {
  if (!IsWindowEnabled(CtrlHandle)) return;
  const bool onThumb = In(SliderRect(), x, y);
  if (onThumb || FSliderState == 2) {
    ScrollCode = 4;
    SetInteger(2, BarIsHot() ? 1 : 0);
    SetInteger(3, FBar1State);
    if (FSliderState == 2) SetInteger(4, onThumb ? 1 : 0);
  } else if (In(Btn1Rect(), x, y) && FBtn1State == 2) {
    SetInteger(0, 1);
  } else if (In(Btn2Rect(), x, y) && FBtn2State == 2) {
    SetInteger(1, 1);
  } else if (FBar1State == 2) {
    SetInteger(2, BarIsHot() ? 1 : 0);
  } else if (FBar2State == 2) {
    SetInteger(3, BarIsHot() ? 1 : 0);
  }
  // A press released off its button leaves no pressed look behind.
  if (FBtn1State == 2) FBtn1State = 0;
  if (FBtn2State == 2) FBtn2State = 0;
  // The drawn thumb follows the position the drag left.
  FCurrPos = FSI.nPos;
  UpdateBar();
  ScrollCode = 8;
}

void TlvSBWnd::SetCtrlPosition(int pos) {
  const int bar = Vertical() ? WM_VSCROLL : WM_HSCROLL;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = pos;
  SendMessageW(CtrlHandle, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  // A bare scroll bar has no Change event: its parent learns the new position as from the system's own drag.
  const int now = CtrlInfo().nPos;
  if (HWND parent = GetParent(CtrlHandle))
    SendMessageW(parent, static_cast<UINT>(bar), MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(std::clamp(now, 0, 65535))),
                 reinterpret_cast<LPARAM>(CtrlHandle));
}

void TlvSBWnd::WMNCHitTest(vcl::TMessage& message) {
  if (!IsWindowEnabled(CtrlHandle)) return;
  POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  ScreenToClient(CtrlHandle, &p);
  if (In(SliderRect(), p.x, p.y) || FSliderState == 2) {
    if (FSliderState == 2) {
      const int newPos = CoordToPosition(vcl::TPoint(p.x, p.y)) - MouseOffset;
      if (newPos != CtrlInfo().nPos) SetCtrlPosition(newPos);
    } else {
      SetInteger(4, 1);
    }
  } else if (In(Btn1Rect(), p.x, p.y)) {
    if (FBtn1State != 2) SetInteger(0, 1);
  } else if (In(Btn2Rect(), p.x, p.y)) {
    if (FBtn2State != 2) SetInteger(1, 1);
  } else {
    SetInteger(4, 0);
    SetInteger(0, 0);
    SetInteger(1, 0);
  }
  UpdateBar();
}

void TlvSBWnd::CMMouseEnter() {
  SetInteger(2, 1);
  SetInteger(3, 1);
  UpdateBar();
}

void TlvSBWnd::CMMouseLeave() {
  SetInteger(0, 0);
  SetInteger(1, 0);
  if (ScrollCode != 5 || FSliderState != 2) {
    SetInteger(4, 0);
    SetInteger(2, 0);
    SetInteger(3, 0);
  }
  UpdateBar();
}

void TlvSBWnd::UpdateBar() {
  if (!CtrlHandle || !IsWindow(CtrlHandle)) return;
  InvalidateRect(CtrlHandle, nullptr, FALSE);
  UpdateWindow(CtrlHandle);
}

vcl::TPoint TlvSBWnd::CursorClient() const {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(CtrlHandle, &p);
  return vcl::TPoint(p.x, p.y);
}

// ---------------------------------------------------------------------------------------------------------------
// Painting.

bool TlvSBWnd::Ready() {
  if (Control && (!ControlIsReady(Control) || Control->ComponentState().Contains(vcl::csDestroying) ||
                  Control->ComponentState().Contains(vcl::csLoading)))
    return false;
  return SkinData && !GetUpdating(SkinData);
}

void TlvSBWnd::DrawSlider(vcl::TBitmap* bmp) {
  const vcl::TRect r = SliderRect();
  const int b1 = Vertical() ? FBtn1Rect.Height() : FBtn1Rect.Width();
  const int b2 = Vertical() ? FBtn2Rect.Height() : FBtn2Rect.Width();
  if (Length() - b1 - b2 < SliderSize()) return;
  lv_DrawSlider(r, FSliderState, bmp, SkinData->SkinManager(), Vertical());
}

void TlvSBWnd::WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  PAINTSTRUCT ps{};
  BeginPaint(h, &ps);
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  const bool ownDC = dc == nullptr;
  if (ownDC) dc = GetDC(h);
  const int saved = SaveDC(dc);
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  const int w = CtrlWidth(), hh = CtrlHeight();
  if (m && Ready() && w > 0 && hh > 0) {
    InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
    const bool vert = Vertical();
    if (w == hh) {
      const int si = m->ConstData.Scrolls[asLeft].SkinIndex;
      const vcl::TColor c = si >= 0 && m->IsValidSkinIndex(si) ? m->gd[static_cast<size_t>(si)].Props[0].Color
                                                               : m->GetGlobalColor();
      FillDC(dc, vcl::TRect(0, 0, w, hh), c);
    } else {
      const bool enabled = IsWindowEnabled(h) != FALSE;
      SkinData->InitCacheBmp();
      vcl::TBitmap* cache = SkinData->CacheBmp();
      if (cache->Width() != w || cache->Height() != hh) cache->SetSize(w, hh);
      cache->SetPixelFormat(vcl::pf32bit);
      std::unique_ptr<vcl::TBitmap> disabledBmp;
      if (!enabled) disabledBmp = CreateBmpLike(cache);
      vcl::TBitmap* bmp = enabled ? cache : disabledBmp.get();
      TlvBGInfo bg;
      GetBGInfo(bg, GetParent(h), false);
      if (bg.BgType == btCache) {
        bg.Offset.X += WndPos.X;
        bg.Offset.Y += WndPos.Y;
      }
      const TCacheInfo ci = BGInfoToCI(bg);
      // Whatever the bar sections leave uncovered shows the parent's background.
      FillRect32(cache, vcl::TRect(0, 0, w, hh), vcl::ColorToRGB(bg.Color), 255);
      const vcl::TRect b1 = Bar1Rect(), b2 = Bar2Rect();
      if (!b1.IsEmpty()) {
        const TlvConstElementData& e = m->ConstData.Scrolls[vert ? asTop : asLeft];
        if (m->IsValidSkinIndex(e.SkinIndex))
          PaintItemFast(e.SkinIndex, e.MaskIndex, e.BGIndex[0], e.BGIndex[1], ci, true,
                        enabled ? std::max(FBar1State, BarIsHot() ? 1 : 0) : 0, b1, WndPos, cache, m);
      }
      if (!b2.IsEmpty()) {
        const TlvConstElementData& e = m->ConstData.Scrolls[vert ? asBottom : asRight];
        if (m->IsValidSkinIndex(e.SkinIndex))
          PaintItemFast(e.SkinIndex, e.MaskIndex, e.BGIndex[0], e.BGIndex[1], ci, true,
                        enabled ? std::max(FBar2State, BarIsHot() ? 1 : 0) : 0, b2,
                        vcl::TPoint(WndPos.X + b2.Left, WndPos.Y + b2.Top), cache, m);
      }
      if (bmp != cache) BitBlt(bmp->Canvas()->Handle(), 0, 0, w, hh, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
      lv_DrawScrollBtn(Btn1Rect(), FBtn1State, bmp, m, vert ? asTop : asLeft);
      lv_DrawScrollBtn(Btn2Rect(), FBtn2State, bmp, m, vert ? asBottom : asRight);
      if (enabled)
        DrawSlider(bmp);
      else
        BmpDisabledKind(bmp, TsDisabledKind{dkBlended}, Control ? Control->Parent() : nullptr,
                        GetParentCache(SkinData), WndPos);
      GdiFlush();
      BitBlt(dc, 0, 0, w, hh, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
  }
  RestoreDC(dc, saved);
  if (ownDC) ReleaseDC(h, dc);
  EndPaint(h, &ps);
  message.Result = 0;
}

// ---------------------------------------------------------------------------------------------------------------
// The procedure.

void TlvSBWnd::CommonAndBase(vcl::TMessage& message) {
  CommonWndProc(message, SkinData);
  TlvMainWnd::lvWndProc(message);
}

void TlvSBWnd::RedrawLockedPass(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  const int level = FLockCount;
  ProcessMessage(WM_SETREDRAW, 0, 0);
  TlvMainWnd::lvWndProc(message);
  if (Destroyed || !IsWindow(h)) return;
  while (FLockCount > 0) ProcessMessage(WM_SETREDRAW, 1, 0);
  InvalidateRect(h, nullptr, TRUE);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
  while (FLockCount < level) ProcessMessage(WM_SETREDRAW, 0, 0);
}

void TlvSBWnd::SetScrollInfoMsg(vcl::TMessage& message) {
  if (const auto* si = reinterpret_cast<const SCROLLINFO*>(message.LParam); si && si->cbSize >= sizeof(SCROLLINFO) - sizeof(int)) {
    if (si->fMask & SIF_PAGE) FSI.nPage = si->nPage;
    if (si->fMask & SIF_POS) FSI.nPos = si->nPos;
    if ((si->fMask & SIF_RANGE) && (si->nMin != FSI.nMin || si->nMax != FSI.nMax)) {
      if (si->nMax - si->nMin < 0) {
        FSI.nMin = FSI.nMax = 0;
      } else {
        FSI.nMin = si->nMin;
        FSI.nMax = si->nMax;
      }
    }
    const int span = FSI.nMax - FSI.nMin + 1;
    if (static_cast<int>(FSI.nPage) < 0) FSI.nPage = 0;
    FSI.nPage = static_cast<UINT>(std::min(static_cast<int>(FSI.nPage), std::max(span, 0)));
    const int r0 = std::max(static_cast<int>(FSI.nPage) - 1, 0);
    FSI.nPos = std::max(FSI.nMin, std::min(FSI.nPos, FSI.nMax - r0));
    if (ScrollCode != 5) FCurrPos = FSI.nPos;
  }
  if (IsWindowVisible(CtrlHandle))
    RedrawLockedPass(message);
  else
    TlvMainWnd::lvWndProc(message);
}

void TlvSBWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  const bool controlLive = !Control || !Control->ComponentState().Contains(vcl::csDestroying);
  if (Destroyed || !SkinData || !controlLive) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (message.Msg == SM_LUMICMD) {
    const bool own = reinterpret_cast<LPARAM>(SkinData->SkinManager()) == message.LParam;
    switch (message.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (own) {
          CommonMessage(message, SkinData);
          SkinData->SetUpdatingFlag(false);
          SkinData->BGChanged = true;
          InitScrollData();
          if (IsWindowVisible(h)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
          return;
        }
        break;
      case LVC_REMOVESKIN:
        if (own) {
          CommonMessage(message, SkinData);
          // The control draws itself again, with its own drawing switched back on.
          while (FLockCount > 0) ProcessMessage(WM_SETREDRAW, 1, 0);
          FBtn1State = FBtn2State = FBar1State = FBar2State = FSliderState = 0;
          if (IsWindowVisible(h)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
          return;
        }
        break;
      case LVC_REFRESH:
        if (own) {
          CommonMessage(message, SkinData);
          SkinData->BGChanged = true;
          return;
        }
        break;
      case LVC_ENDPARENTUPDATE:
        if (SkinData->UpdatingFlag()) {
          if (InUpdating(SkinData, true)) return;
          RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
          if (Control) SetParentUpdated(Control);
        } else if (SkinData->CtrlSkinState & LVCS_FAST) {
          if (Control) SetParentUpdated(Control);
        }
        return;
      case LVC_INVALIDATE:
        UpdateBar();
        break;
      default:
        if (AnswerQuery(message)) return;
        break;
    }
  }
  if (!SkinActive()) {
    // Idle: the control paints itself; the copy of its scroll information is taken again when a skin comes.
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_SETREDRAW:
      if (message.WParam == 0)
        ++FLockCount;
      else if (FLockCount > 0)
        --FLockCount;
      break;
    case WM_PAINT:
      WMPaint(message);
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCHITTEST:
      WMNCHitTest(message);
      break;
    case WM_NCPAINT:
      return;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: {
      POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      if (message.Msg == WM_NCLBUTTONDOWN) ScreenToClient(h, &p);
      LMouseDown(p.x, p.y);
      if (Destroyed) return;
      if (IsWindowVisible(h) || FLockCount > 0) {
        while (FLockCount > 0) ProcessMessage(WM_SETREDRAW, 1, 0);
        SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | WS_VISIBLE);
        TlvMainWnd::lvWndProc(message);
        if (Destroyed || !IsWindow(h)) return;
        InvalidateRect(h, nullptr, TRUE);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      } else {
        TlvMainWnd::lvWndProc(message);
      }
      return;
    }
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP: {
      POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      if (message.Msg == WM_NCLBUTTONUP) ScreenToClient(h, &p);
      LMouseUp(p.x, p.y);
      break;
    }
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK: {
      if (IsWindowVisible(h)) {
        SendMessageW(h, WM_SETREDRAW, 0, 0);
        TlvMainWnd::lvWndProc(message);
        if (Destroyed || !IsWindow(h)) return;
        SendMessageW(h, WM_SETREDRAW, 1, 0);
      } else {
        TlvMainWnd::lvWndProc(message);
      }
      if (Destroyed || !IsWindow(h)) return;
      const vcl::TPoint p = CursorClient();
      LMouseDown(p.X, p.Y);
      LMouseUp(p.X, p.Y);
      return;
    }
    case SBM_SETSCROLLINFO:
      if (CtrlWidth() == CtrlHeight()) break;
      SetScrollInfoMsg(message);
      return;
    case WM_CAPTURECHANGED: {
      const vcl::TPoint p = CursorClient();
      LMouseUp(p.X, p.Y);
      break;
    }
    case WM_MOUSEMOVE:
      // A bare window hears of the mouse leaving only when it asks.
      if (!Control && !trackingLeave_) {
        TRACKMOUSEEVENT t{};
        t.cbSize = sizeof(t);
        t.dwFlags = TME_LEAVE;
        t.hwndTrack = h;
        trackingLeave_ = TrackMouseEvent(&t) != FALSE;
        CMMouseEnter();
      }
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      CMMouseLeave();
      break;
    case WM_PRINT:
      if (DefaultManager && DefaultManager->Active()) {
        SendMessageW(h, WM_PAINT, message.WParam, message.LParam);
        message.Result = 0;
        return;
      }
      break;
    case vcl::CM_ENABLEDCHANGED:
      TlvMainWnd::lvWndProc(message);
      SkinData->Invalidate();
      return;
    case WM_ENABLE:
      TlvMainWnd::lvWndProc(message);
      UpdateBar();
      return;
    case vcl::CM_MOUSEENTER:
      CMMouseEnter();
      return;
    case vcl::CM_MOUSELEAVE:
      CMMouseLeave();
      return;
    case vcl::CM_CHANGED:
      if (IsWindowVisible(h))
        RedrawLockedPass(message);
      else
        TlvMainWnd::lvWndProc(message);
      return;
    case vcl::CN_CTLCOLORSCROLLBAR:
      ExcludeClipRect(reinterpret_cast<HDC>(message.WParam), 0, 0, CtrlWidth(), CtrlHeight());
      return;
    default:
      break;
  }
  CommonAndBase(message);
}
