// Track bar, panel, container, search-box wrappers and the speed-button handler.
#include "skin/windows/lvTrackWnd.h"

#include <commctrl.h>

#include <cmath>

#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/render/sBlur.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "skin/windows/lvBtnWnd.h"
#include "skin/windows/lvWrapPaint.h"

using namespace lvwrap;

// ---------------------------------------------------------------------------------------------------------------
// Track bar.

void TlvTrackWnd::AfterCreation() {
  TickHeight = 4;
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"TRACKBAR");
  TlvMainWnd::AfterCreation();
}

int TlvTrackWnd::TrackSection() {
  TsSkinManager* m = SkinData->SkinManager();
  return m ? m->ConstData.Sections[ssTrackBar] : -1;
}

bool TlvTrackWnd::IsVertical() { return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & TBS_VERT) != 0; }
int TlvTrackWnd::TickCount() { return static_cast<int>(ProcessMessage(TBM_GETNUMTICS, 0, 0)); }

TlvTrackWnd::TTickStyle TlvTrackWnd::TickStyle() {
  return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & TBS_NOTICKS) ? tsNone : tsAuto;
}

TlvTrackWnd::TTickMark TlvTrackWnd::TickMarks() {
  const LONG_PTR s = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
  if (s & TBS_BOTH) return tmBoth;
  if (s & TBS_TOP) return tmTopLeft;
  return tmBottomRight;
}

vcl::TRect TlvTrackWnd::ChannelRect() {
  RECT r{0, 0, 1, 1};
  ProcessMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
  if (IsVertical()) {
    std::swap(r.left, r.top);
    std::swap(r.right, r.bottom);
  }
  return vcl::TRect(r);
}

vcl::TRect TlvTrackWnd::ThumbRect() {
  RECT r{0, 0, 1, 1};
  ProcessMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  return vcl::TRect(r);
}

std::vector<vcl::TPoint> TlvTrackWnd::TicksArray() {
  const vcl::TRect ch = ChannelRect(), th = ThumbRect();
  const int n = TickCount();
  std::vector<vcl::TPoint> out;
  if (n <= 0) return out;
  const bool vert = IsVertical();
  const int span = vert ? ch.Height() - th.Height() : ch.Width() - th.Width();
  iStep = n > 1 ? static_cast<double>(span) / (n - 1) : 0;
  out.reserve(static_cast<size_t>(std::min(n, 100000)));
  for (int i = 0; i < n && i < 100000; ++i) {
    if (vert)
      out.emplace_back(0, static_cast<int>(std::lround(ch.Top + i * iStep + th.Height() / 2)));
    else
      out.emplace_back(static_cast<int>(std::lround(ch.Left + i * iStep + th.Width() / 2)), 0);
  }
  return out;
}

void TlvTrackWnd::PaintTick(vcl::TPoint p, bool horz) {
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const int img = m ? m->GetMaskIndex(TrackSection(), horz ? L"TICKHORZ" : L"TICKVERT") : -1;
  if (ValidImage(m, img)) {
    const TsMaskData& md = m->ma[static_cast<size_t>(img)];
    if (horz)
      p.X -= WidthOfImage(md);
    else
      p.Y -= HeightOfImage(md);
    ::DrawSkinGlyph(cache, p, Mode(), 1, md, MakeCacheInfo(cache));
    return;
  }
  // A drawn sunken mark: shadow at the top and left, white at the bottom and right.
  HDC dc = cache->Canvas()->Handle();
  const vcl::TRect r = horz ? vcl::Rect(p.X, p.Y, p.X + 2, p.Y + TickHeight) : vcl::Rect(p.X, p.Y, p.X + TickHeight, p.Y + 2);
  FillDC(dc, vcl::Rect(r.Left, r.Top, r.Right, r.Top + 1), vcl::clBtnShadow);
  FillDC(dc, vcl::Rect(r.Left, r.Top, r.Left + 1, r.Bottom), vcl::clBtnShadow);
  FillDC(dc, vcl::Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), vcl::clWhite);
  FillDC(dc, vcl::Rect(r.Right - 1, r.Top, r.Right, r.Bottom), vcl::clWhite);
  FillAlphaRect(cache, r, 255);
}

void TlvTrackWnd::PaintTicksHor() {
  if (TickStyle() == tsNone) return;
  const vcl::TRect ch = ChannelRect(), th = ThumbRect();
  const int d = (th.Height() - ch.Height()) / 2 + 2;
  const TTickMark marks = TickMarks();
  for (const vcl::TPoint& p : TicksArray()) {
    if (marks == tmTopLeft || marks == tmBoth) PaintTick(vcl::TPoint(p.X, ch.Top - d - TickHeight), true);
    if (marks == tmBottomRight || marks == tmBoth) PaintTick(vcl::TPoint(p.X, ch.Bottom + d), true);
  }
}

void TlvTrackWnd::PaintTicksVer() {
  if (TickStyle() == tsNone) return;
  const vcl::TRect ch = ChannelRect(), th = ThumbRect();
  const int d = (th.Width() - ch.Width()) / 2 + 2;
  const TTickMark marks = TickMarks();
  for (const vcl::TPoint& p : TicksArray()) {
    if (marks == tmTopLeft || marks == tmBoth) PaintTick(vcl::TPoint(ch.Left - d - TickHeight, p.Y), false);
    if (marks == tmBottomRight || marks == tmBoth) PaintTick(vcl::TPoint(ch.Right + d, p.Y), false);
  }
}

void TlvTrackWnd::PaintBar() {
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  vcl::TRect r = ChannelRect();
  const int img = m->GetMaskIndex(TrackSection(), L"SLIDERCHANNEL");
  if (ValidImage(m, img)) {
    const TsMaskData& md = m->ma[static_cast<size_t>(img)];
    if (IsVertical()) {
      const int w = WidthOfImage(md);
      r.Left = r.Left + (r.Width() - w + 1) / 2;
      r.Right = r.Left + w - 1;
    } else {
      const int h = HeightOfImage(md);
      r.Top = r.Top + (r.Height() - h + 1) / 2;
      r.Bottom = r.Top + h - 1;
    }
    DrawSkinRect(cache, r, MakeCacheInfo(cache), md, WndActiveState(), true);
  }
  if (IsVertical())
    PaintTicksVer();
  else
    PaintTicksHor();
}

int TlvTrackWnd::WndActiveState() {
  if (SkinData->OwnerControl()) return ControlIsActive(SkinData) ? 1 : 0;
  return (SkinData->FMouseAbove || GetFocus() == CtrlHandle) && IsWindowEnabled(CtrlHandle) ? 1 : 0;
}

void RotateBmp180(vcl::TBitmap* bmp, bool vertical) {
  if (!bmp || bmp->Width() <= 0 || bmp->Height() <= 0) return;
  vcl::TCanvas* c = bmp->Canvas();
  const int w = bmp->Width(), h = bmp->Height();
  if (vertical) {
    for (int y = 0; y < h; ++y)
      for (int j = 0; j <= (w - 1) / 2; ++j) {
        const vcl::TColor a = c->Pixels(j, y), b = c->Pixels(w - 1 - j, y);
        c->SetPixels(j, y, b);
        c->SetPixels(w - 1 - j, y, a);
      }
  } else {
    for (int x = 0; x < w; ++x)
      for (int j = 0; j <= (h - 1) / 2; ++j) {
        const vcl::TColor a = c->Pixels(x, j), b = c->Pixels(x, h - 1 - j);
        c->SetPixels(x, j, b);
        c->SetPixels(x, h - 1 - j, a);
      }
  }
}

void TlvTrackWnd::PaintThumb() {
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const vcl::TRect r = ThumbRect();
  int img = -1;
  if (IsVertical()) img = m->GetMaskIndex(TrackSection(), L"SLIDERVMASK");
  if (!ValidImage(m, img)) img = m->GetMaskIndex(TrackSection(), L"SLIDERMASK");
  if (!ValidImage(m, img) || r.IsEmpty()) return;
  const TsMaskData& md = m->ma[static_cast<size_t>(img)];
  const vcl::TSize sz(WidthOfImage(md), HeightOfImage(md));
  const int shortSide = IsVertical() ? r.Width() : r.Height();
  const bool stretch = shortSide == 23 ? false : (r.Width() != sz.cx || r.Height() != sz.cy);
  const bool mirror = TickMarks() == tmTopLeft;
  if (!stretch && !mirror) {
    ::DrawSkinGlyph(cache, vcl::TPoint(r.Left + (r.Width() - sz.cx) / 2, r.Top + (r.Height() - sz.cy) / 2), Mode(), 1,
                    md, MakeCacheInfo(cache));
    return;
  }
  if (sz.cx <= 0 || sz.cy <= 0) return;
  auto work = CreateBmp32(sz.cx, sz.cy);
  auto under = CreateBmp32(r.Width(), r.Height());
  GdiFlush();
  BitBlt(under->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
  Stretch(under.get(), work.get(), sz.cx, sz.cy, ftMitchell);
  if (mirror) RotateBmp180(work.get(), IsVertical());
  ::DrawSkinGlyph(work.get(), vcl::TPoint(0, 0), Mode(), 1, md, MakeCacheInfo(work.get()));
  if (mirror) RotateBmp180(work.get(), IsVertical());
  Stretch(work.get(), under.get(), r.Width(), r.Height(), ftMitchell);
  GdiFlush();
  BitBlt(cache->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), under->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TlvTrackWnd::PaintBody() {
  const TCacheInfo ci = GetParentCacheHwnd(CtrlHandle);
  vcl::TBitmap* cache = SkinData->CacheBmp();
  PaintItem(SkinData, ci, true, Mode(), vcl::Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, false);
  if (TrackSection() < 0) return;
  PaintBar();
  PaintThumb();
  if (!IsWindowEnabled(CtrlHandle)) DisabledFade(cache, ci, WndPos);
}

void TlvTrackWnd::PrepareCache() {
  if (!SizedCache(SkinData, WndSize.cx, WndSize.cy)) return;
  PaintBody();
}

void TlvTrackWnd::LV_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  PAINTSTRUCT ps;
  if (!message.WParam) BeginPaint(h, &ps);
  if (!InUpdating(SkinData, false)) {
    InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
    if (ParentWnd) SendMessageW(ParentWnd, SM_LUMICMD, MakeLumiWParam(LVC_GETCACHE), 0);
    if (IsWindowVisible(h) || message.WParam) {
      TlvWndDC dc(h, reinterpret_cast<HDC>(message.WParam));
      PrepareCache();
      CopyCache(dc.DC, SkinData->CacheBmp());
    }
  }
  if (!message.WParam) EndPaint(h, &ps);
}

void TlvTrackWnd::lvWndProc(vcl::TMessage& message) {
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      LV_WMPaint(message);
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      vcl::TMessage m{WM_PAINT, message.WParam, 0, 0};
      LV_WMPaint(m);
      return;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      message.Result = 1;
      return;
    case WM_LBUTTONDOWN:
      bMousePressed = true;
      break;
    case WM_LBUTTONUP:
      bMousePressed = false;
      break;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
}

// ---------------------------------------------------------------------------------------------------------------
// Panel.

void TlvPanelWnd::AfterCreation() {
  if (vcl::TControl* owner = SkinData->OwnerControl()) {
    const bool was = SkinData->UpdatingFlag();
    SkinData->SetUpdatingFlag(true);
    Panel = dynamic_cast<vcl::TCustomPanel*>(owner);
    if (Panel && SkinData->SkinSection().empty()) {
      rtl::String s;
      switch (Panel->BevelOuter()) {
        case vcl::bvLowered: s = Panel->BevelInner() == vcl::bvRaised ? L"GROUPBOX" : L"PANEL_LOW"; break;
        case vcl::bvRaised: s = Panel->BevelInner() == vcl::bvLowered ? L"GROUPBOX" : L"PANEL"; break;
        default: s = Panel->BorderStyle() == vcl::bsNone ? L"CHECKBOX" : L"PANEL_LOW"; break;
      }
      SkinData->SetSkinSection(s);
    }
    SkinData->SetUpdatingFlag(was);
    if (auto* win = dynamic_cast<vcl::TWinControl*>(owner)) {
      vcl::TMessage m{SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(SkinData->SkinManager()), 0};
      LumiBroadCastCheck(win, CtrlHandle, m);
    }
  } else {
    Panel = nullptr;
  }
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"PANEL");
  TlvMainWnd::AfterCreation();
}

bool TlvPanelWnd::PrepareCache() {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  vcl::TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
  if (!cache) return false;
  const TCacheInfo ci = SkinData->OwnerControl() ? GetParentCache(SkinData) : GetParentCacheHwnd(CtrlHandle);
  if (!ci.Ready && static_cast<std::uint32_t>(ci.FillColor) == 0xFF00FF) {
    SkinData->SetUpdatingFlag(true);
    return false;
  }
  PaintItem(SkinData, ci, false, 0, vcl::Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, false);
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  int d = 0;
  if (Panel)
    d = Panel->BevelWidth() * ((Panel->BevelInner() != vcl::bvNone) + (Panel->BevelOuter() != vcl::bvNone)) +
        Panel->BorderWidth();
  WriteText(vcl::Rect(cr.left + d, cr.top + d, cr.right - d, cr.bottom - d), cache->Canvas());
  SkinData->BGChanged = false;
  return true;
}

void TlvPanelWnd::WriteText(vcl::TRect r, vcl::TCanvas* canvas) {
  if (Panel && Panel->Tag() == 999) return;
  LoadCtrlFont(this);
  canvas->Brush()->SetStyle(vcl::bsClear);
  const int h = lvTextHeight(canvas, L"Wg");
  const int top = (r.Top + r.Bottom - h) / 2;
  r.Top = top;
  r.Bottom = top + h;
  unsigned flags = DT_CENTER | DT_VCENTER;
  if (Panel) {
    switch (Panel->Alignment()) {
      case vcl::taLeftJustify: flags = DT_LEFT; break;
      case vcl::taRightJustify: flags = DT_RIGHT; break;
      default: flags = DT_CENTER; break;
    }
    flags |= DT_VCENTER | DT_WORDBREAK;
  }
  const bool enabled = SkinData->OwnerControl() ? SkinData->OwnerControl()->Enabled() : true;
  lvWriteTextEx(canvas, Caption.c_str(), enabled, r, flags, SkinData, false, SkinManager);
}

void TlvPanelWnd::LV_WMPaint(HDC given) {
  if (ControlUnpaintable(SkinData->OwnerControl()) || GetUpdating(SkinData)) return;
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TlvWndDC dc(CtrlHandle, given);
  if (CacheStaleFor(dc.DC) && !PrepareCache()) return;
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  const int b = (WndRect.Width() - cr.right) / 2;
  if (Panel) {
    CopyWinControlCache(Panel, SkinData, vcl::Rect(b, b, WndSize.cx - b, WndSize.cy - b),
                        vcl::Rect(0, 0, Panel->Width() - 2 * b, Panel->Height() - 2 * b), dc.DC, true);
    PaintControls(dc.DC, Panel, true, vcl::TPoint(0, 0));
    SetParentUpdated(Panel);
  } else {
    CopyCache(dc.DC, SkinData->CacheBmp());
  }
}

void TlvPanelWnd::LV_WMNCPaint(HDC given) {
  if (GetUpdating(SkinData)) return;
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  if (!PrepareCache()) {
    SkinData->SetUpdatingFlag(true);
    return;
  }
  const int b = (WndRect.Width() - cr.right) / 2;
  if (b > 0) CopyCacheBorder(given, WndSize.cx, WndSize.cy, b);
}

void TlvPanelWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  vcl::TControl* owner = SkinData ? SkinData->OwnerControl() : nullptr;
  if (Destroyed || !owner || !owner->ControlStyle().Contains(vcl::csAcceptsControls)) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  auto* win = dynamic_cast<vcl::TWinControl*>(owner);
  if (message.Msg == SM_LUMICMD) {
    if (ControlCommand(message, owner)) return;
    switch (message.WParamHi()) {
      case LVC_ENDPARENTUPDATE:
        if (SkinData->UpdatingFlag()) {
          SkinData->SetUpdatingFlag(false);
          RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        if (win) SetParentUpdated(win);
        return;
      case LVC_PREPARECACHE:
        PrepareCache();
        return;
      default:
        break;
    }
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (!SkinData->Skinned()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (PaintMessage(
          message, [&](HDC dc) { LV_WMPaint(dc); }, [&](HDC dc) { LV_WMNCPaint(dc); }))
    return;
  switch (message.Msg) {
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      StaleIfTransparent();
      break;
    case WM_PARENTNOTIFY:
      if (ChildNotice(message, win)) return;
      break;
    case vcl::CM_VISIBLECHANGED:
      SkinData->BGChanged = true;
      SkinData->SetUpdatingFlag(false);
      if (message.WParam == 1) {
        PrepareCache();
        TlvMainWnd::lvWndProc(message);
        if (Panel) SetParentUpdated(Panel);
        return;
      }
      break;
    case vcl::CM_TEXTCHANGED:
      SkinData->BGChanged = true;
      break;
    case vcl::CM_SHOWINGCHANGED:
      if (owner->Visible() && win) {
        AddToAdapter(win);
        vcl::TMessage s{SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(SkinData->SkinManager()), 0};
        LumiBroadCastCheck(owner, h, s);
        vcl::TMessage r{SM_LUMICMD, MakeLumiWParam(LVC_REFRESH), reinterpret_cast<LPARAM>(SkinData->SkinManager()), 0};
        LumiBroadCastCheck(owner, h, r);
      }
      break;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (message.Msg == WM_WINDOWPOSCHANGING && IsWindow(h)) SendMessageW(h, WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------------------------------------------
// Container and search box.

void TlvContainerWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"CHECKBOX");
  TlvMainWnd::AfterCreation();
}

void TlvContainerWnd::PrepareCache() {
  if (RefreshPlainCache(ClientRect)) BorderWidth = (WndSize.cy - ClientRect.Height()) / 2;
}

void TlvContainerWnd::LV_WMPrint(vcl::TMessage& message) {
  if (!IsWindowVisible(CtrlHandle)) return;
  SkinData->BGChanged = true;
  PrepareCache();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Width() <= 0) return;
  TlvWndDC dc(CtrlHandle, reinterpret_cast<HDC>(message.WParam));
  const int w = cache->Width() - 2 * BorderWidth, h = cache->Height() - 2 * BorderWidth;
  FillAlphaRect(cache, vcl::Rect(0, 0, w, h), 255);
  CopyCache(dc.DC, cache, 0, 0, w, h, BorderWidth, BorderWidth);
}

void TlvContainerWnd::LV_WMPaint(vcl::TMessage& message) {
  PaintPrinted(message, [&] { LV_WMPrint(message); });
}

void TlvContainerWnd::LV_WMNCPaint(vcl::TMessage&) {
  PaintClientEdge([&] {
    PrepareCache();
    return (WndSize.cx - ClientRect.Width()) / 2;
  });
}

void TlvContainerWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      SkinData->BGChanged = true;
      TlvMainWnd::lvWndProc(message);
      if (message.Msg == WM_SIZE) SkinData->BGChanged = true;
      else if (IsWindow(h)) SendMessageW(h, WM_NCPAINT, 0, 0);
      return;
    case WM_PAINT:
      if (IsWindowVisible(h)) {
        LV_WMPaint(message);
        return;
      }
      break;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      if (IsWindowVisible(h)) {
        LV_WMNCPaint(message);
        return;
      }
      break;
    case WM_PRINT:
      LV_WMPrint(message);
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (message.Msg == WM_MOUSEMOVE && IsWindow(h) && DefaultManager &&
      !DefaultManager->ComponentState().Contains(vcl::csDesigning) && IsWindowEnabled(h))
    DefaultManager->SetActiveControl(h);
}

void TlvSearchWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"CHECKBOX");
  TlvMainWnd::AfterCreation();
}

void TlvSearchWnd::PrepareCache() { RefreshPlainCache(ClientRect); }

void TlvSearchWnd::LV_WMNCPaint(vcl::TMessage&) {
  if (GetUpdating(SkinData)) return;
  PrepareCache();
  if (vcl::TBitmap* cache = SkinData->CacheBmp()) CopyCacheBorder(nullptr, cache->Width(), cache->Height(), 3);
}

void TlvSearchWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      TlvMainWnd::lvWndProc(message);
      if (IsWindow(h)) LV_WMNCPaint(message);
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      LV_WMNCPaint(message);
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (!IsWindow(h)) return;
  if (message.Msg == WM_SIZE) {
    SkinData->BGChanged = true;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  } else if (message.Msg == WM_MOUSEMOVE && DefaultManager &&
             !DefaultManager->ComponentState().Contains(vcl::csDesigning) && IsWindowEnabled(h)) {
    DefaultManager->SetActiveControl(h);
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Arrow-button rectangle.

vcl::TRect BtnDrawRect(const vcl::TRect& r, TsCommonData* skinData, TlvSide side) {
  vcl::TRect out = r;
  TsSkinManager* m = skinData ? skinData->SkinManager() : nullptr;
  if (!m) return out;
  const TlvConstElementData& e = m->ConstData.ScrollBtns[static_cast<size_t>(side)];
  if (!m->IsValidSkinIndex(e.SkinIndex) || !m->gd[static_cast<size_t>(e.SkinIndex)].ReservedBoolean ||
      !ValidImage(m, e.MaskIndex))
    return out;
  const TsMaskData& md = m->ma[static_cast<size_t>(e.MaskIndex)];
  switch (side) {
    case asLeft: out.Right += WidthOfImage(md) - 17; break;
    case asTop: out.Bottom += HeightOfImage(md) - 17; break;
    case asRight: out.Left += 17 - WidthOfImage(md); break;
    default: out.Top += 17 - HeightOfImage(md); break;
  }
  return out;
}

// ---------------------------------------------------------------------------------------------------------------
// Speed-button handler.

// Tells the handler that its button is being freed, so it never touches the button again.
class TlvSpeedButtonHandler::TWatch : public vcl::TComponent {
 public:
  explicit TWatch(TlvSpeedButtonHandler* owner) : vcl::TComponent(nullptr), Owner(owner) {}
  TlvSpeedButtonHandler* Owner;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override {
    vcl::TComponent::Notification(component, operation);
    if (operation == vcl::opRemove && Owner->Ctrl == component) {
      Owner->Destroyed = true;
      Owner->Ctrl = nullptr;
      Owner->PCtrl = nullptr;
    }
  }
};

TlvSpeedButtonHandler::TlvSpeedButtonHandler(vcl::TControl* btn, TsCommonData* skinData, TsSkinManager* skinManager,
                                             const rtl::String& skinSection, bool)
    : Ctrl(btn), PCtrl(btn), SkinData(skinData) {
  SkinManager = skinManager ? skinManager : (skinData ? skinData->SkinManager() : nullptr);
  if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection(skinSection);
  if (!btn) {
    Destroyed = true;
    return;
  }
  FWatch = std::make_unique<TWatch>(this);
  btn->FreeNotification(FWatch.get());
  OldWndProc = btn->WindowProc;
  btn->WindowProc = vcl::MakeWndMethod(this, &TlvSpeedButtonHandler::lvWndProc);
}

void TlvSpeedButtonHandler::Detach() {
  if (Destroyed) return;
  Destroyed = true;
  if (Ctrl) {
    if (Ctrl->WindowProc == vcl::MakeWndMethod(this, &TlvSpeedButtonHandler::lvWndProc)) Ctrl->WindowProc = OldWndProc;
    if (FWatch) Ctrl->RemoveFreeNotification(FWatch.get());
  }
  Ctrl = nullptr;
  PCtrl = nullptr;
}

TlvSpeedButtonHandler::~TlvSpeedButtonHandler() {
  Detach();
  SkinManager = nullptr;
}

LRESULT TlvSpeedButtonHandler::CallPrevWndProc(UINT msg, WPARAM wParam, LPARAM& lParam) {
  if (!OldWndProc) return 0;
  vcl::TMessage m{msg, wParam, lParam, 0};
  OldWndProc(m);
  lParam = m.LParam;
  return m.Result;
}

rtl::String TlvSpeedButtonHandler::Caption() { return Ctrl ? Ctrl->Caption() : rtl::String(); }

int TlvSpeedButtonHandler::GlyphWidth() {
  auto* sb = dynamic_cast<vcl::TSpeedButton*>(Ctrl);
  return sb && sb->Glyph() && !sb->Glyph()->Empty() ? sb->Glyph()->Width() : 0;
}

int TlvSpeedButtonHandler::GlyphHeight() {
  auto* sb = dynamic_cast<vcl::TSpeedButton*>(Ctrl);
  return sb && sb->Glyph() && !sb->Glyph()->Empty() ? sb->Glyph()->Height() : 0;
}

int TlvSpeedButtonHandler::CurrentState() {
  if (auto* sb = dynamic_cast<vcl::TSpeedButton*>(Ctrl))
    if (sb->State() == vcl::bsDown || sb->State() == vcl::bsExclusive) return 2;
  return ControlIsActive(SkinData) ? 1 : 0;
}

vcl::TSize TlvSpeedButtonHandler::TextRectSize() {
  const rtl::String c = Caption();
  if (c.empty() || !SkinData->CacheBmp()) return vcl::TSize(0, 0);
  vcl::TRect r(0, 0, 255, 0);
  lvDrawText(SkinData->CacheBmp()->Canvas()->Handle(), c, r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  return vcl::TSize(std::max(0, r.Width()), std::max(0, r.Height()));
}

static bool SbShift(TsCommonData* sd, int state) {
  TsSkinManager* m = sd->SkinManager();
  return state == 2 && (!sd->Skinned() || (m && m->ButtonsOptions()->ShiftContentOnClick()));
}

vcl::TRect TlvSpeedButtonHandler::ImgRect() {
  auto* sb = dynamic_cast<vcl::TSpeedButton*>(Ctrl);
  const int gw = GlyphWidth(), gh = GlyphHeight(), w = Ctrl->Width(), h = Ctrl->Height();
  const vcl::TSize t = TextRectSize();
  const int sp = gw > 0 && !Caption().empty() && sb ? sb->Spacing() : 0;
  const int freeX = (w - (gw + sp + t.cx)) / 2;
  const int margin = sb ? sb->Margin() : -1;
  int x = margin == -1 ? freeX : margin, y = (h - gh) / 2;  // the platform's speed button keeps its glyph left
  if (SbShift(SkinData, CurrentState())) {
    ++x;
    ++y;
  }
  return vcl::Rect(x, y, x + gw, y + gh);
}

vcl::TRect TlvSpeedButtonHandler::CaptionRect() {
  auto* sb = dynamic_cast<vcl::TSpeedButton*>(Ctrl);
  const int w = Ctrl->Width(), h = Ctrl->Height();
  const vcl::TSize t = TextRectSize();
  const int margin = sb ? sb->Margin() : -1;
  int left, top = (h - t.cy) / 2;
  if (GlyphWidth() > 0) left = ImgRect().Right + (sb ? sb->Spacing() : 0);
  else if (margin != -1) left = margin;
  else left = (w - t.cx) / 2;
  vcl::TRect r(left, top, left + t.cx, top + t.cy);
  if (GlyphWidth() == 0 && SbShift(SkinData, CurrentState())) r = vcl::Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  return r;
}

void TlvSpeedButtonHandler::DoDrawText(vcl::TRect r, unsigned flags) {
  lvWriteTextEx(SkinData->CacheBmp()->Canvas(), Caption().c_str(), true, r, flags & ~static_cast<unsigned>(DT_SINGLELINE),
                SkinData, CurrentState() != 0, SkinManager);
}

void TlvSpeedButtonHandler::DrawCaption() {
  if (Caption().empty()) return;
  vcl::TCanvas* c = SkinData->CacheBmp()->Canvas();
  c->Font()->Assign(Ctrl->Font());
  c->Brush()->SetStyle(vcl::bsClear);
  DoDrawText(CaptionRect(), DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
}

void TlvSpeedButtonHandler::DrawGlyph() {
  auto* sb = dynamic_cast<vcl::TSpeedButton*>(Ctrl);
  if (!sb || GlyphWidth() == 0) return;
  const vcl::TRect r = ImgRect();
  GdiFlush();
  BitBlt(SkinData->CacheBmp()->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(),
         sb->Glyph()->Canvas()->Handle(), 0, 0, SRCCOPY);
  FillAlphaRect(SkinData->CacheBmp(), r, 255);
}

bool TlvSpeedButtonHandler::PrepareCache() {
  if (!SkinData->CacheBmp()) SkinData->InitCacheBmp();
  vcl::TBitmap* cache = SizedCache(SkinData, Ctrl->Width(), Ctrl->Height());
  if (!cache) return false;
  cache->Canvas()->Font()->Assign(Ctrl->Font());
  TlvBGInfo bg;
  if (Ctrl->Parent()) GetBGInfo(bg, Ctrl->Parent(), false);
  const TCacheInfo ci = BGInfoToCI(bg);
  if (ci.Ready && ci.Bmp && ci.Bmp->Width() == 0) return true;
  const int state = CurrentState();
  PaintItem(SkinData, ci, true, state, vcl::Rect(0, 0, Ctrl->Width(), Ctrl->Height()),
            vcl::TPoint(Ctrl->Left(), Ctrl->Top()), cache, true);
  DrawCaption();
  DrawGlyph();
  if (!Ctrl->Enabled()) DisabledFade(cache, ci, vcl::TPoint(Ctrl->Left(), Ctrl->Top()));
  SkinData->BGChanged = false;
  return true;
}

void TlvSpeedButtonHandler::LV_WMPaint(vcl::TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (!dc || !Ctrl) return;
  const int saved = SaveDC(dc);
  PrepareCache();
  CopyCache(dc, SkinData->CacheBmp(), 0, 0, Ctrl->Width(), Ctrl->Height());
  RestoreDC(dc, saved);
}

void TlvSpeedButtonHandler::lvWndProc(vcl::TMessage& message) {
  auto previous = [&] { message.Result = CallPrevWndProc(message.Msg, message.WParam, message.LParam); };
  auto repaint = [&] {
    if (Ctrl && Ctrl->Visible()) Ctrl->Repaint();
  };
  if (message.Msg == WM_DESTROY && !Destroyed) {
    const vcl::TWndMethod old = OldWndProc;
    Detach();
    if (old) old(message);
    return;
  }
  if (Destroyed || !SkinData) {
    previous();
    return;
  }
  const bool own = SkinData->SkinManager() && reinterpret_cast<LPARAM>(SkinData->SkinManager()) == message.LParam;
  switch (message.Msg) {
    case WM_PAINT:
      if (SkinData->Skinned()) {
        LV_WMPaint(message);
        return;
      }
      break;
    case SM_LUMICMD:
      switch (message.WParamHi()) {
        case LVC_SETNEWSKIN:
          if (own) {
            CommonWndProc(message, SkinData);
            return;
          }
          break;
        case LVC_REMOVESKIN:
          if (own && Ctrl && !Ctrl->ComponentState().Contains(vcl::csDestroying)) {
            CommonWndProc(message, SkinData);
            vcl::TControl* c = Ctrl;
            Detach();
            if (c->Visible()) c->Repaint();
            return;
          }
          break;
        case LVC_REFRESH:
          if (own) {
            CommonWndProc(message, SkinData);
            repaint();
            return;
          }
          break;
        case LVC_ENDPARENTUPDATE:
          if (InUpdating(SkinData, false)) {
            SkinData->SetUpdatingFlag(false);
            return;
          }
          break;
        case LVC_CTRLHANDLED:
          message.Result = 1;
          return;
        case LVC_INVALIDATE:
          SkinData->SetUpdatingFlag(false);
          SkinData->BGChanged = true;
          repaint();
          break;
        case LVC_GETAPPLICATION:
          message.Result = reinterpret_cast<LRESULT>(vcl::Application);
          return;
        default:
          break;
      }
      break;
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE:
      SkinData->FMouseAbove = message.Msg == vcl::CM_MOUSEENTER;
      SkinData->BGChanged = true;
      previous();
      repaint();
      return;
    default:
      break;
  }
  previous();
}
