// Wrappers of push buttons, check boxes, group boxes, static labels, static text, size grips and transparent
// panels.
#include "skin/windows/lvBtnWnd.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sMaskData.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "skin/windows/lvWrapPaint.h"

using namespace lvwrap;

namespace {

LONG_PTR StyleOf(HWND h) { return GetWindowLongPtrW(h, GWL_STYLE); }
LONG_PTR ExStyleOf(HWND h) { return GetWindowLongPtrW(h, GWL_EXSTYLE); }

// The hot look of a wrapped window: its control's rule, else focus or the mouse over a bare window.
bool WndActive(TsCommonData* sd, HWND h) {
  if (!sd) return false;
  if (sd->OwnerControl()) return ControlIsActive(sd);
  if (!IsWindowEnabled(h)) return false;
  if (sd->FFocused || GetFocus() == h) return true;
  TsSkinManager* m = sd->SkinManager();
  return sd->FMouseAbove && !(m && m->Options()->NoMouseHover());
}

void CopyAnimation(TsCommonData* sd, HWND h) {
  if (!sd->AnimTimer || !sd->AnimTimer->BmpOut) return;
  TlvWndDC dc(h, nullptr);
  lvSetLayout(dc.DC, 0);
  CopyCache(dc.DC, sd->AnimTimer->BmpOut.get());
}

// The platform's application reads left to right on this system.
constexpr bool RightToLeftApp() { return false; }

// A fade to a new state. The skin data of a bare window cannot reach its window (it has no control), so the
// window is repainted here when no animation does it.
void FadeTo(TsCommonData* sd, HWND h, int state, bool half, bool glow) {
  DoChangePaint(sd, state, UpdateWindow_CB, true, half, glow);
  if (!sd->OwnerControl() && !TimerIsActive(sd) && IsWindow(h)) {
    sd->BGChanged = true;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

// LVC_MOUSEENTER while the window is the manager's hot control and hover is allowed: the hot look fades in when
// the cursor is really over it. True when the message is handled.
bool FadeInOnEnter(TsCommonData* sd, HWND h) {
  if (sd->FMouseAbove || !DefaultManager || DefaultManager->ActiveControl() != h ||
      DefaultManager->Options()->NoMouseHover())
    return false;
  if (CursorIn(h)) {
    sd->BGChanged = false;
    sd->SetUpdatingFlag(false);
    sd->FMouseAbove = true;
    FadeTo(sd, h, 1, false, true);
  }
  return true;
}

// The mouse has gone: back to the normal look.
void FadeOutOnLeave(TsCommonData* sd, HWND h, bool glow) {
  sd->SetUpdatingFlag(false);
  sd->BGChanged = false;
  sd->FMouseAbove = false;
  FadeTo(sd, h, 0, false, glow);
}

HDC MessageDC(const vcl::TMessage& m) { return reinterpret_cast<HDC>(m.WParam); }

unsigned AlignFlags(vcl::TControl* c) {
  if (!c || !HasProperty(c, L"Alignment")) return DT_LEFT;
  switch (GetIntProp(c, L"Alignment")) {
    case vcl::taRightJustify:
      return DT_RIGHT;
    case vcl::taCenter:
      return DT_CENTER;
    default:
      return DT_LEFT;
  }
}

// What lies behind r of the window, in the cache: the parent's image or its colour.
void FillParentBG(vcl::TBitmap* cache, const TCacheInfo& ci, vcl::TPoint pos, const vcl::TRect& r) {
  if (!cache || r.IsEmpty()) return;
  if (ci.Ready && ci.Bmp)
    BitBlt(cache->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), ci.Bmp->Canvas()->Handle(),
           ci.X + pos.X + r.Left, ci.Y + pos.Y + r.Top, SRCCOPY);
  else
    FillDC(cache->Canvas()->Handle(), r, ci.FillColor);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Static label, edge, icon, link.

void TlvStaticWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"TRANSPARENT");
  TlvMainWnd::AfterCreation();
}

bool TlvStaticWnd::LeftAlone() const {
  return (StyleOf(CtrlHandle) & WS_TABSTOP) || (ExStyleOf(CtrlHandle) & WS_EX_STATICEDGE);
}

void TlvStaticWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive() || LeftAlone() || !IsWindowVisible(h)) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_MOVE:
    case WM_ENABLE:
      SkinData->BGChanged = true;
      CallPrevWndProc(message);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_SETTEXT:
      SendMessageW(h, WM_SETREDRAW, 0, 0);
      CallPrevWndProc(message);
      Caption = WindowText(h);
      SkinData->BGChanged = true;
      SendMessageW(h, WM_SETREDRAW, 1, 0);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_PAINT:
      PaintInside(message, [&] { LV_WMPaint(message); });
      message.Result = 0;
      return;
    case WM_PRINT:
      LV_WMPaint(message);
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      return;
    default:
      TlvMainWnd::lvWndProc(message);
  }
}

void TlvStaticWnd::PaintSection() {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  SkinData->BGChanged = true;
  SizedCache(SkinData, WndSize.cx, WndSize.cy);
  ::PrepareCache(SkinData, CtrlHandle, false);
}

void TlvStaticWnd::LV_WMPaint(vcl::TMessage& message) {
  PaintSection();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Width() <= 0) return;
  TlvWndDC dc(CtrlHandle, MessageDC(message));
  if (RightToLeftApp()) lvSetLayout(dc.DC, 0);
  if (PaintText()) CopyCache(dc.DC, cache);
}

bool TlvStaticWnd::PaintText() {
  if (Caption.empty()) return true;
  vcl::TBitmap* cache = SkinData->CacheBmp();
  cache->Canvas()->Brush()->SetStyle(vcl::bsClear);
  LoadCtrlFont(this);
  unsigned flags = 0x01D0 | 0x0A00;
  if (StyleOf(CtrlHandle) & SS_NOPREFIX) flags |= 0x0800;
  if (ExStyleOf(CtrlHandle) & WS_EX_RIGHT) flags |= DT_RIGHT;
  if (RightToLeftApp()) flags |= DT_RTLREADING;
  vcl::TRect r(0, 0, cache->Width(), cache->Height());
  lvWriteTextEx(cache->Canvas(), Caption.c_str(), true, r, flags, SkinData, false, SkinManager);
  return true;
}

void TlvEdgeWnd::lvWndProc(vcl::TMessage& message) {
  if (Destroyed || !SkinActive() || LeftAlone() || !IsWindowVisible(CtrlHandle)) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      CallPrevWndProc(message);
      LV_WMPaint(message);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    default:
      TlvStaticWnd::lvWndProc(message);
  }
}

void TlvEdgeWnd::LV_WMPaint(vcl::TMessage& message) {
  PaintSection();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Width() <= 0) return;
  TlvWndDC dc(CtrlHandle, MessageDC(message));
  if (PaintText()) {
    GdiFlush();
    BitBltBorder(dc.DC, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, 2);
  }
}

TlvIconWnd::~TlvIconWnd() = default;

void TlvIconWnd::AfterCreation() {
  IsBmp = (StyleOf(CtrlHandle) & 3) != 3;
  FBmp.reset();
  BmpEmpty = false;
  TlvStaticWnd::AfterCreation();
}

bool TlvIconWnd::PaintText() {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const HWND h = CtrlHandle;
  if (!IsBmp) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(h, STM_GETICON, 0, 0));
    if (!icon) return false;
    DrawIconEx(cache->Canvas()->Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return true;
  }
  if (!FBmp && !BmpEmpty) {
    auto hb = reinterpret_cast<HBITMAP>(SendMessageW(h, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bm{};
    if (hb && GetObjectW(hb, sizeof(bm), &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
      // A copy: the control's own bitmap stays the control's, whatever happens to the wrapper.
      FBmp = std::make_unique<vcl::TBitmap>();
      FBmp->SetPixelFormat(vcl::pf32bit);
      FBmp->SetSize(bm.bmWidth, bm.bmHeight);
      HDC src = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(src, hb);
      BitBlt(FBmp->Canvas()->Handle(), 0, 0, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY);
      SelectObject(src, old);
      DeleteDC(src);
      if (bm.bmBitsPixel != 32) FillAlphaRect(FBmp.get(), vcl::Rect(0, 0, bm.bmWidth, bm.bmHeight), 255);
      IsBmp32 = bm.bmBitsPixel == 32;
    } else {
      BmpEmpty = true;
    }
  }
  if (!FBmp) return false;
  if (IsBmp32) {
    CopyBmp32(vcl::Rect(0, 0, cache->Width(), cache->Height()), vcl::Rect(0, 0, FBmp->Width(), FBmp->Height()), cache,
              FBmp.get(), MakeCacheInfo(cache), false, vcl::clNone, 0, false);
  } else {
    GdiFlush();
    BitBlt(cache->Canvas()->Handle(), 0, 0, std::min(cache->Width(), FBmp->Width()),
           std::min(cache->Height(), FBmp->Height()), FBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  return true;
}

void TlvLinkWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive() || (ExStyleOf(h) & WS_EX_STATICEDGE)) {
    TlvStaticWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_MOVE:
      SkinData->BGChanged = true;
      CallPrevWndProc(message);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_SETTEXT:
      CallPrevWndProc(message);
      Caption = WindowText(h);
      SkinData->BGChanged = true;
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_PAINT: {
      if (message.WParam) {
        LV_WMPaint(message);
        return;
      }
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      EndPaint(h, &ps);
      // The link paints in the erase step: a bare validation would leave it blank when nothing erased it.
      if (ps.fErase) {
        vcl::TMessage m{WM_ERASEBKGND, 0, 0, 0};
        LV_WMPaint(m);
      }
      return;
    }
    case WM_ERASEBKGND:
      if (IsWindowVisible(h)) {
        LV_WMPaint(message);
        message.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      return;
    case WM_UPDATEUISTATE:
      if (!IsWindowVisible(h)) return;
      break;
    default:
      break;
  }
  TlvStaticWnd::lvWndProc(message);
}

rtl::String TlvLinkWnd::StripTags(const rtl::String& s) {
  rtl::String out = s;
  for (const wchar_t* tag : {L"</A>", L"<A>"}) {
    const size_t n = std::wcslen(tag);
    for (size_t p = out.find(tag); p != rtl::String::npos; p = out.find(tag)) out.erase(p, n);
  }
  return out;
}

bool TlvLinkWnd::PaintText() {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  cache->Canvas()->Brush()->SetStyle(vcl::bsClear);
  LoadCtrlFont(this);
  LOGFONTW lf{};
  if (GetObjectW(cache->Canvas()->Font()->Handle(), sizeof(lf), &lf)) {
    lf.lfUnderline = TRUE;
    cache->Canvas()->Font()->SetHandle(CreateFontIndirectW(&lf));
    SelectObject(cache->Canvas()->Handle(), cache->Canvas()->Font()->Handle());
  }
  vcl::TRect r(0, 0, cache->Width() + 4, cache->Height());
  lvWriteTextEx(cache->Canvas(), StripTags(Caption).c_str(), true, r, 0x150, SkinData, false, SkinManager);
  return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Push buttons.

void TlvBtnWnd::AfterCreation() {
  FMouseClicked = false;
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"BUTTON");
  TlvMainWnd::AfterCreation();
}

LONG_PTR TlvBtnWnd::CtrlStyle() const { return StyleOf(CtrlHandle); }

bool TlvBtnWnd::Down() const { return (SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

void TlvBtnWnd::Repaint() { RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

bool TlvBtnWnd::ShiftContent() { return Down() && ShiftOnClick(SkinData); }

int TlvBtnWnd::CurrentState() {
  const HWND h = CtrlHandle;
  if (Down()) {
    HideGlow(SkinData->GlowID, false);
    return 2;
  }
  if (!IsWindowEnabled(h)) return 0;
  const bool def = (CtrlStyle() & 0xF) == BS_DEFPUSHBUTTON;
  if (vcl::TControl* c = SkinData->OwnerControl()) {
    if (!c->ComponentState().Contains(vcl::csDesigning) && ControlIsActive(SkinData)) return 1;
    return def ? 1 : 0;
  }
  if (GetFocus() == h || (DefaultManager && DefaultManager->ActiveControl() == h) || SkinData->FFocused) return 1;
  return def ? 3 : 0;
}

int TlvBtnWnd::PaintState() {
  const int states = SectionStates(SkinData->SkinManager(), SkinData->SkinIndex);
  const int cs = CurrentState();
  if (cs == 3 && states < 4) return 1;
  return std::max(0, std::min(cs, states - 1));
}

int TlvBtnWnd::MaxCaptionWidth() {
  if (Caption.empty()) return 0;
  const vcl::TSize g = GlyphSize();
  if (g.cx == 0) return WndSize.cx + 1;
  return std::max(0, WndSize.cx - g.cx);
}

vcl::TSize TlvBtnWnd::TextRectSize() {
  if (Caption.empty() || !SkinData->CacheBmp()) return vcl::TSize(0, 0);
  unsigned flags = 0xC41;
  if (CtrlStyle() & BS_MULTILINE) flags |= DT_WORDBREAK;
  vcl::TRect r(0, 0, MaxCaptionWidth() + 2, 0);
  lvDrawText(SkinData->CacheBmp()->Canvas()->Handle(), Caption, r, flags);
  return vcl::TSize(std::max(0, r.Width()), std::max(0, r.Height()));
}

vcl::TRect TlvBtnWnd::CaptionRect() {
  const vcl::TSize t = TextRectSize();
  const int dx = (WndSize.cx - t.cx) / 2, dy = (WndSize.cy - t.cy) / 2;
  vcl::TRect r(dx - 1, dy, WndSize.cx - dx + 2, WndSize.cy - dy);
  if (ShiftContent()) r = vcl::Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  return r;
}

void TlvBtnWnd::DoDrawText(vcl::TRect r, unsigned flags) {
  flags &= ~static_cast<unsigned>(DT_SINGLELINE);
  lvWriteTextEx(SkinData->CacheBmp()->Canvas(), Caption.c_str(), true, r, flags, SkinData, CurrentState() != 0,
                SkinManager);
}

void TlvBtnWnd::DrawCaption() {
  if (Caption.empty()) return;
  vcl::TCanvas* canvas = SkinData->CacheBmp()->Canvas();
  LoadCtrlFont(this);
  unsigned flags = DT_CENTER | DT_EXPANDTABS;
  if (CtrlStyle() & BS_MULTILINE) flags |= DT_WORDBREAK;
  if (ExStyleOf(CtrlHandle) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
  canvas->Brush()->SetStyle(vcl::bsClear);
  vcl::TRect r = CaptionRect();
  DoDrawText(r, flags);
  TsSkinManager* m = SkinData->SkinManager();
  if (IsWindowEnabled(CtrlHandle) && m && m->ButtonsOptions()->ShowFocusRect() &&
      (SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS)) {
    r = vcl::Rect(r.Left - 2, std::max(3, r.Top - 1), r.Right + 2, std::min(WndSize.cy - 3, r.Bottom + 1));
    const int states = SectionStates(m, SkinData->SkinIndex);
    FocusRect(canvas, r, SectionFontColor(m, SkinData->SkinIndex, std::min(std::min(1, states), 2)), vcl::clNone);
  }
}

void TlvBtnWnd::PrepareCache() {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  const TCacheInfo ci = GetParentCacheHwnd(CtrlHandle);
  vcl::TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
  if (!cache) return;
  const int state = PaintState();
  vcl::TPoint pos = WndPos;
  if (RightToLeftApp() && ci.Bmp && ParentWnd) {
    HDC pdc = GetDC(ParentWnd);
    const bool mirrored = lvGetLayout(pdc) != 0;
    ReleaseDC(ParentWnd, pdc);
    if (mirrored) pos.X = ci.Bmp->Width() - pos.X;
  }
  PaintItem(SkinData, ci, true, state, vcl::Rect(0, 0, WndSize.cx, WndSize.cy), pos, cache, true);
  DrawCaption();
  DrawGlyph();
  if (!IsWindowEnabled(CtrlHandle)) DisabledFade(cache, ci, WndPos);
  SkinData->BGChanged = false;
}

void TlvBtnWnd::lv_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  PAINTSTRUCT ps;
  if (!message.WParam) BeginPaint(h, &ps);
  if (SkinData->Skinned()) {
    if (TimerIsActive(SkinData)) {
      CopyAnimation(SkinData, h);
    } else {
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      if (!(InAnimationProcess && !message.WParam)) {
        const bool updating = !InAnimationProcess && GetUpdating(SkinData);
        if (!updating) {
          TlvWndDC dc(h, MessageDC(message));
          if (RightToLeftApp()) lvSetLayout(dc.DC, 0);
          SkinData->BGChanged = true;
          PrepareCache();
          CopyCache(dc.DC, SkinData->CacheBmp());
        }
      }
    }
  }
  if (!message.WParam) EndPaint(h, &ps);
}

void TlvBtnWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  TsSkinManager* m = SkinData->SkinManager();
  switch (message.Msg) {
    case WM_MOVE: {
      const int idx = SkinData->SkinIndex;
      if (ValidSection(m, idx)) {
        const auto& gd = m->gd[static_cast<size_t>(idx)];
        if (gd.Props[0].Transparency > 0 || (ControlIsActive(SkinData) && gd.Props[1].Transparency > 0)) {
          SkinData->BGChanged = true;
          Repaint();
        }
      }
      break;
    }
    case WM_SETFOCUS:
      if (IsWindowEnabled(h)) {
        RedrawGuarded(h, [&] { TlvMainWnd::lvWndProc(message); });
        SkinData->FFocused = true;
        SkinData->BGChanged = true;
        StopTimer(SkinData);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return;
      }
      break;
    case WM_KILLFOCUS:
      if (IsWindowEnabled(h)) {
        if (SkinData->OwnerControl() && SkinData->OwnerControl()->ComponentState().Contains(vcl::csDestroying)) break;
        RedrawGuarded(h, [&] { TlvMainWnd::lvWndProc(message); });
        SkinData->FFocused = false;
        SkinData->BGChanged = true;
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return;
      }
      break;
    case WM_ENABLE:
    case WM_SETTEXT:
      if (SetTextLocked(message)) {
        Repaint();
        return;
      }
      break;
    case WM_PAINT:
      if (IsWindowVisible(h) || (SkinData->CtrlSkinState & LVCS_PRINTING)) {
        if (!ParamsChanged) SetSkinParams();
        lv_WMPaint(message);
        return;
      }
      break;
    case WM_PRINT:
      lv_WMPaint(message);
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
      message.Result = 0;
      return;
    case BM_SETSTATE:
      if (IsWindowVisible(h)) {
        RedrawGuarded(h, [&] { CallPrevWndProc(message); });
        SkinData->BGChanged = true;
        StopTimer(SkinData);
        Repaint();
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (SkinData->FMouseAbove) {
        StopTimer(SkinData);
        SkinData->FMouseAbove = false;
        TlvMainWnd::lvWndProc(message);
        if (IsWindow(h) && IsWindowVisible(h)) SendMessageW(h, SM_LUMICMD, MakeLumiWParam(LVC_MOUSEENTER), 0);
      } else {
        TlvMainWnd::lvWndProc(message);
        if (!IsWindow(h)) return;
        StopTimer(SkinData);
        SkinData->BGChanged = false;
        FadeTo(SkinData, h, 0, true, true);
      }
      return;
    case WM_MOUSEHOVER:
      SendMessageW(h, SM_LUMICMD, MakeLumiWParam(LVC_MOUSEENTER), 0);
      break;
    case WM_MOUSELEAVE:
      if (DefaultManager && DefaultManager->ActiveControl() == h) DefaultManager->SetActiveControl(nullptr);
      break;
    case SM_LUMICMD:
      switch (message.WParamHi()) {
        case LVC_ENDPARENTUPDATE:
          if (SkinData->UpdatingFlag()) {
            if (!InUpdating(SkinData, true))
              RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            return;
          }
          break;
        case LVC_PREPARECACHE:
          PrepareCache();
          return;
        case LVC_MOUSEENTER:
          if (FadeInOnEnter(SkinData, h)) return;
          break;
        case LVC_MOUSELEAVE:
          if (SkinData->FMouseAbove && !lvMouseInControl(SkinData)) {
            FadeOutOnLeave(SkinData, h, false);
            return;
          }
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (message.Msg == WM_MOUSEMOVE && IsWindow(h) && ManagerTracks()) TrackActive(h);
}

// Bitmap buttons: the glyph of a BS_BITMAP window beside the caption.

vcl::TSize TlvBitBtnWnd::GlyphSize() {
  if (vcl::TControl* c = SkinData->OwnerControl())
    if (auto* bb = dynamic_cast<vcl::TBitBtn*>(c)) {
      vcl::TBitmap* g = bb->Glyph();
      if (!g || g->Empty()) return vcl::TSize(0, 0);
      return vcl::TSize(g->Width(), g->Height());
    }
  auto hb = reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP bm{};
  if (!hb || !GetObjectW(hb, sizeof(bm), &bm)) return vcl::TSize(0, 0);
  return vcl::TSize(bm.bmWidth, bm.bmHeight);
}

int TlvBitBtnWnd::MaxCaptionWidth() {
  auto* bb = dynamic_cast<vcl::TBitBtn*>(SkinData->OwnerControl());
  if (!bb) return TlvBtnWnd::MaxCaptionWidth();
  if (Caption.empty()) return 0;
  int w = bb->Width() - 2 * std::max(0, bb->Margin());
  const vcl::TSize g = GlyphSize();
  if (g.cy != 0) w -= g.cx + bb->Spacing();  // the platform's bit button keeps its glyph at the left
  return w;
}

vcl::TRect TlvBitBtnWnd::CaptionRect() {
  vcl::TRect r = TlvBtnWnd::CaptionRect();
  const vcl::TSize g = GlyphSize();
  if (g.cx > 0) r = vcl::Rect(r.Left + g.cx / 2 + 1, r.Top, r.Right + g.cx / 2 + 1, r.Bottom);
  return r;
}

vcl::TRect TlvBitBtnWnd::GlyphRect() {
  const vcl::TSize g = GlyphSize();
  const vcl::TRect c = CaptionRect();
  const int right = Caption.empty() ? (WndSize.cx + g.cx) / 2 : c.Left - 2;
  const int top = (WndSize.cy - g.cy) / 2 + (Down() ? 1 : 0);
  return vcl::Rect(right - g.cx, top, right, top + g.cy);
}

int TlvBitBtnWnd::CurrentState() {
  const int s = TlvBtnWnd::CurrentState();
  auto* bb = dynamic_cast<vcl::TBitBtn*>(SkinData->OwnerControl());
  if (!bb || s != (((CtrlStyle() & 0xF) == BS_DEFPUSHBUTTON) ? 1 : 0) || s == 2 || !bb->Default()) return s;
  if (ControlIsActive(SkinData)) return s;
  const HWND f = GetFocus();
  if (!f) return 3;
  return (StyleOf(f) & 8) ? 0 : 3;
}

void TlvBitBtnWnd::DrawGlyph() {
  const vcl::TSize g = GlyphSize();
  if (g.cx <= 0 || g.cy <= 0) return;
  if (SkinData->OwnerControl()) return;  // a control object's glyph is drawn by its own skinned class
  auto hb = reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
  if (!hb) return;
  const vcl::TRect r = GlyphRect();
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, hb);
  GdiFlush();
  BitBlt(SkinData->CacheBmp()->Canvas()->Handle(), r.Left, r.Top, g.cx, g.cy, src, 0, 0, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
  FillAlphaRect(SkinData->CacheBmp(), r, 255);
}

// Image-list buttons: a control object with Images.

void TlvButtonWnd::AfterCreation() {
  Btn = SkinData->OwnerControl();
  TlvBtnWnd::AfterCreation();
}

bool TlvButtonWnd::HaveImage() { return false; }  // the platform's TButton has no image list on this system
int TlvButtonWnd::GlyphIndex() { return -1; }
vcl::TSize TlvButtonWnd::GlyphSize() { return vcl::TSize(0, 0); }
vcl::TRect TlvButtonWnd::GlyphRect() { return vcl::TRect(); }
vcl::TRect TlvButtonWnd::CaptionRect() {
  vcl::TRect r = TlvBtnWnd::CaptionRect();
  return r;
}
void TlvButtonWnd::DrawGlyph() {}

// ---------------------------------------------------------------------------------------------------------------
// Check boxes and radio buttons.

void TlvCheckBoxWnd::AfterCreation() {
  OwnerDraw = (StyleOf(CtrlHandle) & 0xB) == 0xB;
  SkinData->COC = COC_TsCheckBox;
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"CHECKBOX");
  TlvMainWnd::AfterCreation();
}

bool TlvCheckBoxWnd::IsRadio() const {
  const LONG_PTR t = StyleOf(CtrlHandle) & 0xF;
  return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

int TlvCheckBoxWnd::State() {
  const LRESULT s = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
  if (s & BST_INDETERMINATE) return 2;
  return static_cast<int>(s & 1);
}

int TlvCheckBoxWnd::CtlState() {
  const LRESULT s = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
  if (s & BST_PUSHED) return 2;
  TsSkinManager* m = SkinData->SkinManager();
  if (m && m->Options()->NoMouseHover()) return 0;
  if ((s & BST_FOCUS) || (DefaultManager && DefaultManager->ActiveControl() == CtrlHandle)) return 1;
  return 0;
}

int TlvCheckBoxWnd::GlyphMaskIndex(int state) {
  TsSkinManager* m = SkinData->SkinManager();
  if (!m) return -1;
  const auto& c = m->ConstData;
  if (IsRadio()) return c.RadioButton[state == 1 ? 1 : 0];
  return c.CheckBox[static_cast<size_t>(std::clamp(state, 0, 2))];
}

int TlvCheckBoxWnd::SkinGlyphWidth(int i) {
  TsSkinManager* m = SkinData->SkinManager();
  if (!ValidImage(m, i)) return 0;
  TsMaskData& md = m->ma[static_cast<size_t>(i)];
  if (md.ImageCount == 0) md.ImageCount = 1;
  if (md.Bmp) return md.Bmp->Width() / 3;
  return WidthOfImage(md);
}

int TlvCheckBoxWnd::SkinGlyphHeight(int i) {
  TsSkinManager* m = SkinData->SkinManager();
  if (!ValidImage(m, i)) return 0;
  TsMaskData& md = m->ma[static_cast<size_t>(i)];
  if (md.Bmp) return md.Bmp->Height() / 2;
  return HeightOfImage(md);
}

vcl::TRect TlvCheckBoxWnd::SkinCheckRect(int i) {
  if (i < 0) return vcl::TRect();
  const int w = SkinGlyphWidth(i), h = SkinGlyphHeight(i);
  const int y = (WndSize.cy - h) / 2;
  const int x = (StyleOf(CtrlHandle) & BS_LEFTTEXT) ? WndSize.cx - w : 0;
  return vcl::Rect(x, y, x + w, y + h);
}

vcl::TRect TlvCheckBoxWnd::CheckRect() {
  const int i = GlyphMaskIndex(1);
  if (ValidImage(SkinData->SkinManager(), i)) return SkinCheckRect(i);
  return vcl::Rect(0, 0, 16, 16);
}

void TlvCheckBoxWnd::DrawSkinGlyph(int i) {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  TsSkinManager* m = SkinData->SkinManager();
  if (!cache || cache->Width() <= 0 || !ValidImage(m, i)) return;
  const vcl::TRect r = SkinCheckRect(i);
  ::DrawSkinGlyph(cache, r.TopLeft(), CtlState(), 1, m->ma[static_cast<size_t>(i)], MakeCacheInfo(cache));
}

void TlvCheckBoxWnd::DrawCheckText() {
  if (Caption.empty()) return;
  vcl::TBitmap* cache = SkinData->CacheBmp();
  vcl::TCanvas* canvas = cache->Canvas();
  LoadCtrlFont(this);
  const LONG_PTR style = StyleOf(CtrlHandle);
  const bool multi = (style & BS_MULTILINE) != 0, leftText = (style & BS_LEFTTEXT) != 0;
  const int cw = CheckRect().Width(), w = WndSize.cx, h = WndSize.cy;
  const unsigned wrap = multi ? DT_WORDBREAK : DT_SINGLELINE;
  vcl::TRect m(0, 0, std::max(0, w - cw - 2), 0);
  lvDrawText(canvas->Handle(), Caption, m, DT_CALCRECT | wrap);
  const int top = std::max((h - m.Height()) / 2, 0);
  vcl::TRect r;
  unsigned flags = wrap;
  if (!leftText) {
    r = vcl::Rect(cw + 4, top - 1, cw + 4 + m.Width(), h - top - 1);
    if (multi) r = vcl::Rect(r.Left - 1, r.Top, r.Right - 1, r.Bottom);
  } else if (ExStyleOf(CtrlHandle) & WS_EX_RTLREADING) {
    r = vcl::Rect(w - cw - 6 - m.Width(), top, w - cw - 6, h - top);
    flags |= DT_RTLREADING | (multi ? 0u : static_cast<unsigned>(DT_RIGHT));
  } else {
    r = vcl::Rect(2, top, 2 + m.Width(), h - top);
  }
  canvas->Brush()->SetStyle(vcl::bsClear);
  vcl::TRect tr = r;
  lvWriteTextEx(canvas, Caption.c_str(), true, tr, flags, SkinData, WndActive(SkinData, CtrlHandle), SkinManager);
  if (SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) {
    TsSkinManager* sm = SkinData->SkinManager();
    const int states = SectionStates(sm, SkinData->SkinIndex);
    FocusRect(canvas, vcl::Rect(r.Left - 2, r.Top, r.Right + 2, r.Bottom),
              SectionFontColor(sm, SkinData->SkinIndex, std::min(std::min(1, states), 2)), vcl::clNone);
  }
}

void TlvCheckBoxWnd::PrepareCache() {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->CacheBmp()) SkinData->InitCacheBmp();
  if (OwnerDraw) return;
  vcl::TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
  if (!cache) return;
  const TCacheInfo ci = GetParentCacheHwnd(CtrlHandle);
  PaintItem(SkinData, ci, true, WndActive(SkinData, CtrlHandle) ? 1 : 0, vcl::Rect(0, 0, WndSize.cx, WndSize.cy),
            WndPos, cache, false);
  DrawCheckText();
  DrawSkinGlyph(GlyphMaskIndex(State()));
  if (!IsWindowEnabled(CtrlHandle)) DisabledFade(cache, ci, WndPos);
  SkinData->BGChanged = false;
}

void TlvCheckBoxWnd::LV_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  PAINTSTRUCT ps;
  if (!message.WParam) BeginPaint(h, &ps);
  if (TimerIsActive(SkinData)) {
    CopyAnimation(SkinData, h);
  } else if (!GetUpdating(SkinData) && !OwnerDraw && (IsWindowVisible(h) || message.WParam)) {
    PrepareCache();
    TlvWndDC dc(h, MessageDC(message));
    CopyCache(dc.DC, SkinData->CacheBmp());
  }
  if (!message.WParam) EndPaint(h, &ps);
}

void TlvCheckBoxWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_ENABLE:
    case vcl::CM_TEXTCHANGED:
      if (IsWindowVisible(h)) {
        SendMessageW(h, WM_SETREDRAW, 0, 0);
        StopTimer(SkinData);
        TlvMainWnd::lvWndProc(message);
        SendMessageW(h, WM_SETREDRAW, 1, 0);
        SendMessageW(h, WM_PAINT, 0, 0);
        return;
      }
      break;
    case WM_PAINT:
      LV_WMPaint(message);
      return;
    case WM_PRINT: {
      vcl::TMessage m{WM_PAINT, message.WParam, 0, 0};
      LV_WMPaint(m);
      return;
    }
    case WM_NCPAINT:
      return;
    case WM_ERASEBKGND:
      if (OwnerDraw) {
        InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
        const TCacheInfo ci = GetParentCacheHwnd(h);
        TlvWndDC dc(h, MessageDC(message));
        if (ci.Ready && ci.Bmp) {
          GdiFlush();
          BitBlt(dc.DC, 0, 0, WndSize.cx, WndSize.cy, ci.Bmp->Canvas()->Handle(), ci.X + WndPos.X, ci.Y + WndPos.Y,
                 SRCCOPY);
        } else {
          FillDC(dc.DC, vcl::Rect(0, 0, WndSize.cx, WndSize.cy), ci.FillColor);
        }
      }
      message.Result = 1;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      StopTimer(SkinData);
      break;
    case SM_LUMICMD:
      switch (message.WParamHi()) {
        case LVC_PREPARECACHE:
          PrepareCache();
          return;
        case LVC_MOUSEENTER:
          if (FadeInOnEnter(SkinData, h)) return;
          break;
        case LVC_MOUSELEAVE:
          if (SkinData->FMouseAbove) {
            FadeOutOnLeave(SkinData, h, true);
            return;
          }
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (!IsWindow(h) || Destroyed) return;
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      SendMessageW(h, WM_PAINT, 0, 0);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (message.WParam == VK_SPACE) SendMessageW(h, WM_PAINT, 0, 0);
      break;
    case WM_NCHITTEST:
      if (IsWindowEnabled(h) && DefaultManager && DefaultManager->ActiveControl() != h)
        DefaultManager->SetActiveControl(h);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Group boxes.

void TlvGroupBoxWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"GROUPBOX");
  TlvMainWnd::AfterCreation();
}

vcl::TRect TlvGroupBoxWnd::CaptionRect() {
  vcl::TSize t(0, 0);
  if (!Caption.empty() && SkinData->CacheBmp()) {
    LoadCtrlFont(this);
    vcl::TRect r(0, 0, 0, 0);
    lvDrawText(SkinData->CacheBmp()->Canvas()->Handle(), Caption, r, DT_CALCRECT | DT_CENTER);
    t = vcl::TSize(r.Width(), r.Height());
  }
  const int w = WndSize.cx;
  const int left = (ExStyleOf(CtrlHandle) & WS_EX_RTLREADING) ? w - t.cx - 14 : 6;
  return vcl::Rect(left, 0, std::min(left + t.cx + 8, w - 1), std::max(4, t.cy) + 2);
}

void TlvGroupBoxWnd::ParentBackground(const vcl::TRect& r) {
  TlvBGInfo bg;
  if (ParentWnd) GetBGInfo(bg, ParentWnd, false);
  TCacheInfo ci = BGInfoToCI(bg);
  FillParentBG(SkinData->CacheBmp(), ci, WndPos, r);
}

void TlvGroupBoxWnd::WriteText(vcl::TRect r) {
  ParentBackground(r);
  vcl::TCanvas* canvas = SkinData->CacheBmp()->Canvas();
  canvas->Brush()->SetStyle(vcl::bsClear);
  unsigned flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (ExStyleOf(CtrlHandle) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
  lvWriteTextEx(canvas, Caption.c_str(), true, r, flags, SkinData, false, SkinManager);
}

void TlvGroupBoxWnd::PrepareCache() {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  vcl::TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
  if (!cache) return;
  LoadCtrlFont(this);
  const vcl::TRect cr = CaptionRect();
  TlvBGInfo bg;
  if (ParentWnd) GetBGInfo(bg, ParentWnd, false);
  const TCacheInfo ci = BGInfoToCI(bg);
  FillParentBG(cache, ci, WndPos, vcl::Rect(0, 0, WndSize.cx, cr.Bottom));
  const int top = cr.Height() / 2;
  PaintItem(SkinData->SkinIndex, ci, false, 0, vcl::Rect(0, top, WndSize.cx, WndSize.cy),
            vcl::TPoint(WndPos.X, WndPos.Y + top), cache, SkinData->SkinManager());
  if (!Caption.empty()) WriteText(cr);
  SkinData->BGChanged = false;
}

void TlvGroupBoxWnd::LV_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  PAINTSTRUCT ps;
  const bool given = message.WParam && message.LParam == 1;
  if (!given && message.Msg == WM_PAINT) BeginPaint(h, &ps);
  if (!GetUpdating(SkinData)) {
    TlvWndDC dc(h, given ? MessageDC(message) : nullptr, message.Msg == WM_NCPAINT);
    PrepareCache();
    TsSkinManager* m = SkinData->SkinManager();
    if (DlgMode && m) {
      const int mask = m->GetMaskIndex(SkinData->SkinIndex, L"BORDERSMASK");
      if (ValidImage(m, mask)) {
        const int top = CaptionRect().Bottom;
        ExcludeClipRect(dc.DC, m->MaskWidthLeft(mask), top, WndSize.cx - m->MaskWidthRight(mask),
                        WndSize.cy - m->MaskWidthBottom(mask));
      }
    }
    const vcl::TRect all(0, 0, WndSize.cx, WndSize.cy);
    if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) {
      CopyWinControlCache(win, SkinData, all, all, dc.DC, false);
      PaintControls(dc.DC, win, true, vcl::TPoint(0, 0));
      SetParentUpdated(win);
    } else {
      CopyHwndCache(h, SkinData, all, all, dc.DC, false);
      SetParentUpdated(h);
    }
  }
  if (!given && message.Msg == WM_PAINT) EndPaint(h, &ps);
}

void TlvGroupBoxWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      RedrawGuarded(h, [&] { TlvMainWnd::lvWndProc(message); });
      SkinData->BGChanged = true;
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return;
    case WM_SETTEXT:
      TlvMainWnd::lvWndProc(message);
      SkinData->BGChanged = true;
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return;
    case WM_PAINT:
      if (!DlgMode) {
        LV_WMPaint(message);
        message.Result = 0;
        return;
      }
      break;
    case WM_NCPAINT:
      if (DlgMode) {
        vcl::TMessage m{WM_NCPAINT, 0, 0, 0};
        LV_WMPaint(m);
        message.Result = 1;
        return;
      }
      break;
    case WM_PRINT: {
      SkinData->BGChanged = true;
      SkinData->SetUpdatingFlag(false);
      vcl::TMessage m{WM_PRINT, message.WParam, 1, 0};
      LV_WMPaint(m);
      return;
    }
    case WM_ERASEBKGND:
      if (!DlgMode) {
        if (vcl::TControl* c = SkinData->OwnerControl()) {
          if (c->ComponentState().Contains(vcl::csDesigning)) break;
          if (!c->ControlState().Contains(vcl::csPaintCopy) && message.WParam != static_cast<WPARAM>(message.LParam)) {
            message.Result = 1;
            return;
          }
        }
        if (message.WParam) {
          auto dc = MessageDC(message);
          if (IsCached(SkinData)) {
            if (SkinData->BGChanged) PrepareCache();
            CopyCache(dc, SkinData->CacheBmp());
          } else {
            InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
            FillDC(dc, vcl::Rect(0, 0, WndSize.cx, WndSize.cy), GetBGColor(SkinData, 0, h));
          }
        }
        message.Result = 1;
        return;
      }
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE || LOWORD(message.WParam) == WM_DESTROY) {
        TlvMainWnd::lvWndProc(message);
        if (LOWORD(message.WParam) == WM_CREATE)
          if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) AddToAdapter(win);
        return;
      }
      break;
    case SM_LUMICMD:
      switch (message.WParamHi()) {
        case LVC_REMOVESKIN:
          if (vcl::TControl* c = SkinData->OwnerControl()) c->SetControlStyle(c->ControlStyle() - vcl::csOpaque);
          break;
        case LVC_GETSERVICEINT:
          InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
          message.Result = CaptionRect().Height();
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
}

// ---------------------------------------------------------------------------------------------------------------
// Static text of a control object.

void TlvStaticTextWnd::AfterCreation() {
  Control = SkinData->OwnerControl();
  if (Control && SkinData->SkinSection().empty()) {
    const bool was = SkinData->UpdatingFlag();
    SkinData->SetUpdatingFlag(true);
    rtl::String section = L"CHECKBOX";
    if (HasProperty(Control, L"BevelKind") && GetIntProp(Control, L"BevelKind") != 0) {
      const int outer = HasProperty(Control, L"BevelOuter") ? GetIntProp(Control, L"BevelOuter") : 0;
      const int inner = HasProperty(Control, L"BevelInner") ? GetIntProp(Control, L"BevelInner") : 0;
      // bvNone 0, bvLowered 1, bvRaised 2, bvSpace 3
      if (outer == 1) section = inner == 2 ? L"GROUPBOX" : L"PANEL_LOW";
      else if (outer == 2) section = inner == 1 ? L"GROUPBOX" : L"PANEL";
    }
    SkinData->SetSkinSection(section);
    SkinData->SetUpdatingFlag(was);
  }
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"CHECKBOX");
  TlvMainWnd::AfterCreation();
}

bool TlvStaticTextWnd::PrepareCache() {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  vcl::TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
  if (!cache) return false;
  const TCacheInfo ci = Control ? GetParentCache(SkinData) : GetParentCacheHwnd(CtrlHandle);
  if (!ci.Ready && static_cast<std::uint32_t>(ci.FillColor) == 0xFF00FF) {
    SkinData->SetUpdatingFlag(true);
    return false;
  }
  const vcl::TRect all(0, 0, WndSize.cx, WndSize.cy);
  if (SkinData->CustomColor() && Control)
    FillDC(cache->Canvas()->Handle(), all, Control->Color());
  else
    PaintItem(SkinData, ci, false, 0, all, WndPos, cache, false);
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  const int b = (WndSize.cx - cr.right) / 2;
  WriteText(vcl::Rect(b, b, b + cr.right, b + cr.bottom), cache->Canvas());
  SkinData->BGChanged = false;
  return true;
}

void TlvStaticTextWnd::WriteText(vcl::TRect r, vcl::TCanvas* canvas) {
  if (Caption.empty()) return;
  LoadCtrlFont(this);
  canvas->Brush()->SetStyle(vcl::bsClear);
  if (Control)
    lvWriteTextEx(canvas, Caption.c_str(), Control->Enabled(), r, AlignFlags(Control) | DT_WORDBREAK, SkinData, false,
                  SkinManager);
  else
    lvWriteTextEx(canvas, Caption.c_str(), true, r, DT_CENTER | DT_VCENTER, SkinData, false, SkinManager);
}

void TlvStaticTextWnd::LV_WMPaint(HDC given) {
  if (ControlUnpaintable(Control) || GetUpdating(SkinData)) return;
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TlvWndDC dc(CtrlHandle, given);
  if (CacheStaleFor(dc.DC) && !PrepareCache()) return;
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  const int b = (WndSize.cx - cr.right) / 2;
  const vcl::TRect src(b, b, WndSize.cx - b, WndSize.cy - b), dst(0, 0, WndSize.cx - 2 * b, WndSize.cy - 2 * b);
  if (auto* win = dynamic_cast<vcl::TWinControl*>(Control)) {
    CopyWinControlCache(win, SkinData, src, dst, dc.DC, true);
    PaintControls(dc.DC, win, true, vcl::TPoint(0, 0));
    SetParentUpdated(win);
  } else {
    CopyHwndCache(CtrlHandle, SkinData, src, dst, dc.DC, true);
  }
}

void TlvStaticTextWnd::LV_WMNCPaint(HDC given) {
  if (GetUpdating(SkinData)) return;
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  const int b = (WndSize.cx - cr.right) / 2;
  if (!PrepareCache()) {
    SkinData->SetUpdatingFlag(true);
    return;
  }
  if (b > 0) CopyCacheBorder(given, WndSize.cx, WndSize.cy, b);
}

void TlvStaticTextWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !Control) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (message.Msg == SM_LUMICMD) {
    if (ControlCommand(message, Control)) return;
    if (message.WParamHi() == LVC_PREPARECACHE) PrepareCache();
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (!SkinActive()) {
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
      TlvMainWnd::lvWndProc(message);
      if (message.Msg == WM_WINDOWPOSCHANGING && IsWindow(h)) SendMessageW(h, WM_NCPAINT, 0, 0);
      return;
    case WM_PARENTNOTIFY:
      if (ChildNotice(message, dynamic_cast<vcl::TWinControl*>(Control))) return;
      break;
    case vcl::CM_ENABLEDCHANGED:
      RedrawGuarded(h, [&] { TlvMainWnd::lvWndProc(message); });
      InvalidateRect(h, nullptr, TRUE);
      return;
    case vcl::CM_TEXTCHANGED:
      SkinData->BGChanged = true;
      break;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
}

// ---------------------------------------------------------------------------------------------------------------
// Size grip and transparent panel.

void TlvSizerWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"CHECKBOX");
  TlvMainWnd::AfterCreation();
}

void TlvSizerWnd::LV_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  PAINTSTRUCT ps;
  if (!message.WParam) BeginPaint(h, &ps);
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TsSkinManager* m = SkinData->SkinManager();
  const int grip = m ? m->ConstData.GripRightBottom : -1;
  if (WndSize.cx > 0 && WndSize.cy > 0 && ValidImage(m, grip)) {
    auto bmp = CreateBmp32(WndSize.cx, WndSize.cy);
    TlvBGInfo bg;
    bg.PleaseDraw = true;
    bg.DrawDC = bmp->Canvas()->Handle();
    bg.R = vcl::Rect(0, 0, WndSize.cx, WndSize.cy);
    bg.Offset = WndPos;
    if (ParentWnd) SendMessageW(ParentWnd, SM_LUMICMD, MakeLumiWParam(LVC_GETBG), reinterpret_cast<LPARAM>(&bg));
    const TsMaskData& md = m->ma[static_cast<size_t>(grip)];
    ::DrawSkinGlyph(bmp.get(),
                    vcl::TPoint(std::max(WndSize.cx - WidthOfImage(md), 0), std::max(WndSize.cy - HeightOfImage(md), 0)),
                    0, 1, md, MakeCacheInfo(bmp.get()));
    TlvWndDC dc(h, MessageDC(message));
    CopyCache(dc.DC, bmp.get());
  }
  if (!message.WParam) EndPaint(h, &ps);
}

void TlvSizerWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      LV_WMPaint(message);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      message.Result = 1;
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTBOTTOMRIGHT;
    if (IsWindowEnabled(h) && DefaultManager) DefaultManager->SetActiveControl(nullptr);
  }
}

void TlvTransPanelWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"CHECKBOX");
  TlvMainWnd::AfterCreation();
}

void TlvTransPanelWnd::LV_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TlvWndDC dc(h, MessageDC(message));
  SkinData->BGChanged = true;
  SizedCache(SkinData, WndSize.cx, WndSize.cy);
  ::PrepareCache(SkinData, h, false);
  const vcl::TRect all(0, 0, WndSize.cx, WndSize.cy);
  CopyHwndCache(h, SkinData, all, all, dc.DC, false);
}

void TlvTransPanelWnd::lvWndProc(vcl::TMessage& message) {
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      PaintInside(message, [&] { LV_WMPaint(message); });
      message.Result = 0;
      return;
    case WM_ERASEBKGND:
      LV_WMPaint(message);
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
}
