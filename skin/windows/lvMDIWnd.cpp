// The MDI client wrapper and the scroll box wrappers.
#include "skin/windows/lvMDIWnd.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sSectionPaint.h"

namespace {

constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;

// A device context's state for one scope.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
  ~TSavedDC() {
    if (dc_) RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};

}  // namespace

// ---- MDI client -----------------------------------------------------------------------------------------------------

void (*MDIClientNotify)(TsCustomSkinProvider* provider, TlvMDIClientEvent event) = nullptr;

TlvMDIWnd::~TlvMDIWnd() {
  MDISkinData = nullptr;
  SkinProvider = nullptr;
}

vcl::TRect TlvMDIWnd::DstRect() const {
  RECT r;
  GetWindowRect(CtrlHandle, &r);
  return vcl::TRect(0, 0, r.right - r.left, r.bottom - r.top);
}

vcl::TRect TlvMDIWnd::SrcRect() const {
  RECT r, f{};
  GetWindowRect(CtrlHandle, &r);
  if (FForm && FForm->HandleAllocated()) GetWindowRect(FForm->Handle(), &f);
  vcl::TRect s(r.left - f.left, r.top - f.top, r.right - f.left, r.bottom - f.top);
  if (SkinProvider && SkinProvider->BorderForm) {
    const vcl::TRect sh = SkinProvider->ShadowSize();
    s = vcl::TRect(s.Left + sh.Left, s.Top + sh.Top, s.Right + sh.Left, s.Bottom + sh.Top);
  }
  return s;
}

bool TlvMDIWnd::Skinned() const {
  return MDISkinData && MDISkinData->Skinned(true) && DrawSkinnedMDIWall && DrawSkinnedMDIScrolls;
}

bool TlvMDIWnd::MaximizedChild() const {
  auto* f = dynamic_cast<vcl::TCustomForm*>(FForm);
  vcl::TCustomForm* child = f ? f->ActiveMDIChild() : nullptr;
  return child && child->HandleAllocated() && IsZoomed(child->Handle());
}

vcl::TColor TlvMDIWnd::FormColor() const {
  TsSkinManager* m = MDISkinData ? MDISkinData->SkinManager() : nullptr;
  if (!m) return vcl::clBtnFace;
  const int i = m->GetSkinIndex(L"MDIAREA");
  if (m->IsValidSkinIndex(i)) return m->gd[static_cast<size_t>(i)].Props[0].Color;
  if (m->IsValidSkinIndex(MDISkinData->SkinIndex)) return m->gd[static_cast<size_t>(MDISkinData->SkinIndex)].Props[0].Color;
  return m->GetGlobalColor();
}

void TlvMDIWnd::PaintClient(HDC dc, bool noEdge) {
  if (!SkinProvider || !MDISkinData || SkinProvider->FInAnimation) return;
  TsSkinManager* m = MDISkinData->SkinManager();
  if (!IsCached(MDISkinData) && (!m || !m->IsValidSkinIndex(m->GetSkinIndex(L"MDIAREA")))) {
    FillDC(dc, DstRect(), FormColor());
    return;
  }
  if (!MDISkinData->CacheBmp() || MDISkinData->CacheBmp()->Empty() || MDISkinData->BGChanged) SkinProvider->PaintAll();
  vcl::TBitmap* cache = MDISkinData->CacheBmp();
  if (!cache || cache->Empty()) return;
  const int e = noEdge ? 0 : ((GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0);
  const vcl::TRect s = SrcRect(), d = DstRect();
  BitBlt(dc, d.Left, d.Top, s.Width(), s.Height(), cache->Canvas()->Handle(), s.Left + e, s.Top + e, SRCCOPY);
}

void TlvMDIWnd::PaintBorders(HDC dc) {
  if (!MDISkinData || !MDISkinData->CacheBmp() || MDISkinData->CacheBmp()->Empty()) return;
  TsSkinManager* m = MDISkinData->SkinManager();
  const vcl::TRect s = SrcRect();
  if (IsCached(MDISkinData) || (m && m->IsValidSkinIndex(m->GetSkinIndex(L"MDIAREA")))) {
    BitBltBorder(dc, 0, 0, s.Width(), s.Height(), MDISkinData->CacheBmp()->Canvas()->Handle(), s.Left, s.Top, 2);
  } else {
    const int w = (GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0;
    FillDCBorder(dc, vcl::TRect(0, 0, s.Width(), s.Height()), w, w, w, w, FormColor());
  }
}

void TlvMDIWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (message.Msg == SM_LUMICMD && !Destroyed) {
    switch (message.WParamHi()) {
      case LVC_GETCACHE:
        if (FForm) SendAMessage(FForm, LVC_GETCACHE, 0);
        message.Result = 0;
        return;
      case LVC_GETBG:
        if (FForm && FForm->HandleAllocated())
          SendMessageW(FForm->Handle(), message.Msg, message.WParam, message.LParam);
        message.Result = 0;
        return;
      case LVC_BEFORESCROLL: {
        const int code = LOWORD(message.LParam);
        message.Result = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) ? 1 : 0;
        return;
      }
      case LVC_AFTERSCROLL:
        UpdateScrolls(this, true);
        return;
      default:
        TlvBaseWnd::lvWndProc(message);
        return;
    }
  }
  if (MDISkinData && !Destroyed) {
    const bool skinned = Skinned();
    switch (message.Msg) {
      case WM_PAINT:
        if (InAnimationProcess) return;
        break;
      case WM_ERASEBKGND:
        if (!skinned) break;
        if (message.WParam) {
          if (!InAnimationProcess && !MaximizedChild()) {
            TSavedDC saved(reinterpret_cast<HDC>(message.WParam));
            PaintClient(reinterpret_cast<HDC>(message.WParam), false);
          }
          message.Result = 1;
          return;
        }
        break;
      case WM_NCPAINT:
        if (!skinned) break;
        if (!MaximizedChild() && !InAnimationProcess) {
          HDC dc = GetWindowDC(h);
          if (dc) {
            PaintBorders(dc);
            lv_NCDraw(this, h, -1, dc);
            ReleaseDC(h, dc);
          }
        }
        message.Result = 1;
        return;
      case WM_PRINT:
        if (!skinned || !message.WParam) break;
        message.Result = 0;
        if ((SkinProvider && SkinProvider->BorderForm) || MaximizedChild()) return;
        {
          HDC dc = reinterpret_cast<HDC>(message.WParam);
          TSavedDC saved(dc);
          PaintClient(dc, true);
          lv_NCDraw(this, h, -1, dc);
        }
        return;
      case WM_WINDOWPOSCHANGING:
        if (MDISkinProvider && MDISkinProvider->FCommonData) MDISkinProvider->FCommonData->BGChanged = true;
        break;
      case WM_WINDOWPOSCHANGED:
        if (SkinProvider && FForm && FForm->HandleAllocated())
          RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        break;
      case WM_STYLECHANGED:
        CallPrevWndProc(message);
        return;
      case WM_HSCROLL:
      case WM_VSCROLL:
        if (LOWORD(message.WParam) == SB_THUMBTRACK) return;
        if (LOWORD(message.WParam) == SB_THUMBPOSITION) {
          SCROLLINFO si{};
          si.cbSize = sizeof(si);
          si.fMask = SIF_ALL;
          const bool horz = message.Msg == WM_HSCROLL;
          GetScrollInfo(h, horz ? SB_HORZ : SB_VERT, &si);
          const int delta = (si.nPos - si.nMin - nLastSBPos + 1) * 8;
          ScrollWindow(h, horz ? delta : 0, horz ? 0 : delta, nullptr, nullptr);
          return;
        }
        break;
      case WM_MDICREATE:
        CallPrevWndProc(message);
        if (message.Result) AddSupportedForm(reinterpret_cast<HWND>(message.Result));
        return;
      case WM_MDITILE:
      case WM_MDICASCADE: {
        CallPrevWndProc(message);
        if (SkinProvider && SkinProvider->FCommonData) SkinProvider->FCommonData->BGChanged = true;
        auto* f = dynamic_cast<vcl::TCustomForm*>(FForm);
        if (f && f->FormStyle() == vcl::fsMDIForm)
          if (vcl::TCustomForm* child = f->ActiveMDIChild(); child && child->HandleAllocated())
            SetWindowLongPtrW(child->Handle(), GWL_STYLE,
                              GetWindowLongPtrW(child->Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU));
        if (SkinProvider && MDIClientNotify) MDIClientNotify(SkinProvider, mceArranged);
        InvalidateRect(h, nullptr, TRUE);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        return;
      }
      case WM_MDISETMENU:
        CallPrevWndProc(message);
        if (MDISkinProvider && MDISkinProvider->FCommonData) MDISkinProvider->FCommonData->BGChanged = true;
        if (MDISkinProvider && MDIClientNotify) MDIClientNotify(MDISkinProvider, mceMenuSet);
        return;
      default:
        break;
    }
  }
  TlvBaseWnd::lvWndProc(message);
  if (Destroyed) return;
  if (message.Msg == WM_MDIREFRESHMENU && MDISkinData && SkinProvider && MDIClientNotify)
    MDIClientNotify(SkinProvider, mceMenuRefreshed);
  if (message.Msg == 0x3F || message.Msg == WM_PARENTNOTIFY) {
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    if (sBarVert) sBarVert->fScrollVisible = (style & WS_VSCROLL) != 0;
    if (sBarHorz) sBarHorz->fScrollVisible = (style & WS_HSCROLL) != 0;
    UpdateScrolls(this, true);
  }
}

// ---- Scroll box -----------------------------------------------------------------------------------------------------

void TlvScrollBoxWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"PANEL_LOW");
  TlvScrollWnd::AfterCreation();
}

bool TlvScrollBoxWnd::AcceptsControls() const {
  vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
  return c && c->ControlStyle().Contains(vcl::csAcceptsControls);
}

void TlvScrollBoxWnd::PrepareCache() {
  vcl::TControl* c = SkinData->OwnerControl();
  if (!c) return;
  if (!SkinData->CacheBmp()) SkinData->InitCacheBmp();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  cache->SetPixelFormat(vcl::pf32bit);
  cache->SetSize(std::max(1, c->Width()), std::max(1, c->Height()));
  PaintItem(SkinData, GetParentCache(SkinData), false, 0, vcl::TRect(0, 0, c->Width(), c->Height()),
            vcl::TPoint(c->Left(), c->Top()), cache, false, 0, 0);
  SkinData->BGChanged = false;
}

void TlvScrollBoxWnd::LV_WMNCPaint(HDC given) {
  const HWND h = CtrlHandle;
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  WndRect = vcl::TRect(wr.left, wr.top, wr.right, wr.bottom);
  WndSize = vcl::TSize(wr.right - wr.left, wr.bottom - wr.top);
  HDC dc = given ? given : GetWindowDC(h);
  if (!dc) return;
  PrepareCache();
  lv_NCDraw(this, h, -1, dc);
  const int b = (WndSize.cx - cr.right) / 2;
  if (b > 0 && SkinData->CacheBmp())
    BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->CacheBmp()->Canvas()->Handle(), 0, 0, b);
  if (!given) ReleaseDC(h, dc);
}

void TlvScrollBoxWnd::LV_WMPaint(HDC given) {
  vcl::TControl* c = SkinData->OwnerControl();
  auto* win = dynamic_cast<vcl::TWinControl*>(c);
  if (!win || win->ComponentState().Contains(vcl::csDestroying)) return;
  if (win->Parent() && win->Parent()->ControlState().Contains(vcl::csCreating)) return;
  if (InUpdating(SkinData, false)) return;
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  HDC dc = given ? given : GetDC(CtrlHandle);
  if (!dc) return;
  const int saved = SaveDC(dc);
  const bool repaint = SkinData->HalfVisible || SkinData->BGChanged;
  if (RepaintIfMoved(SkinData)) {
    RECT clip;
    GetClipBox(dc, &clip);
    SkinData->HalfVisible = clip.right - clip.left != c->Width() || clip.bottom - clip.top != c->Height();
  } else {
    SkinData->HalfVisible = false;
  }
  if (repaint) PrepareCache();
  CopyWinControlCache(win, SkinData, vcl::TRect(2, 2, 0, 0), vcl::TRect(0, 0, c->Width() - 4, c->Height() - 4), dc,
                      true);
  PaintControls(dc, win, repaint && RepaintIfMoved(SkinData), vcl::TPoint(0, 0));
  SetParentUpdated(win);
  RestoreDC(dc, saved);
  if (!given) ReleaseDC(CtrlHandle, dc);
}

void TlvScrollBoxWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (message.Msg == SM_LUMICMD && !Destroyed) {
    switch (message.WParamHi()) {
      case LVC_SETNEWSKIN:
      case LVC_REFRESH:
        TlvScrollWnd::lvWndProc(message);
        CommonMessage(message, SkinData);
        LumiBroadCastCheck(SkinData->OwnerControl(), h, message);
        if (message.WParamHi() == LVC_REFRESH) SetWindowPos(h, nullptr, 0, 0, 0, 0, kFrameChanged);
        return;
      case LVC_REMOVESKIN:
        SkinData->SkinIndex = -1;
        if (vcl::TControl* c = SkinData->OwnerControl()) c->SetControlStyle(c->ControlStyle() - vcl::csOpaque);
        CommonMessage(message, SkinData);
        SetWindowPos(h, nullptr, 0, 0, 0, 0, kFrameChanged);
        return;
      case LVC_CTRLHANDLED:
        message.Result = 1;
        return;
      case LVC_PREPARECACHE:
        return;
      case LVC_GETAPPLICATION:
        message.Result = reinterpret_cast<LRESULT>(vcl::Application);
        return;
      default:
        TlvScrollWnd::lvWndProc(message);
        return;
    }
  }
  if (Destroyed || !AcceptsControls() || !SkinActive()) {
    TlvScrollWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_SIZE:
    case vcl::CM_TEXTCHANGED:
      SkinData->BGChanged = true;
      break;
    case WM_SETTEXT:
      if (IsWindowVisible(h)) {
        ProcessMessage(WM_SETREDRAW, 0, 0);
        TlvScrollWnd::lvWndProc(message);
        ProcessMessage(WM_SETREDRAW, 1, 0);
        SkinData->BGChanged = true;
        SendMessageW(h, WM_PAINT, 0, 0);
        return;
      }
      break;
    case WM_PAINT: {
      InvalidateRect(h, nullptr, TRUE);
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      EndPaint(h, &ps);
      return;
    }
    case WM_ERASEBKGND:
      LV_WMPaint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
      TsSkinManager* m = SkinData->SkinManager();
      if (m && m->IsValidSkinIndex(SkinData->SkinIndex) &&
          m->gd[static_cast<size_t>(SkinData->SkinIndex)].Props[0].Transparency != 0)
        SkinData->BGChanged = true;
      TlvScrollWnd::lvWndProc(message);
      if (message.Msg == WM_WINDOWPOSCHANGING) SendMessageW(h, WM_NCPAINT, 0, 0);
      return;
    }
    case WM_NCPAINT:
      if (IsWindowVisible(h) && !bPreventStyleChange) {
        UpdateScrolls(this, false);
        if (InAnimationProcess) return;
        InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
        if (GetUpdating(SkinData)) return;
        HDC dc = GetWindowDC(h);
        if (!dc) return;
        RECT clip;
        if (dc != SkinData->PrintDC && GetClipBox(dc, &clip) == NULLREGION) {
          ReleaseDC(h, dc);
          return;
        }
        if (SkinData->BGChanged) {
          if (!ParamsChanged) SetSkinParams();
          PrepareCache();
        }
        {
          TSavedDC saved(dc);
          message.Result = lv_NCDraw(this, h, -1, dc);
          if (vcl::TBitmap* cache = SkinData->CacheBmp())
            BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, 2);
        }
        ReleaseDC(h, dc);
        return;
      }
      break;
    case WM_UPDATEUISTATE:
      message.Result = 1;
      return;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE || LOWORD(message.WParam) == WM_DESTROY) {
        TlvScrollWnd::lvWndProc(message);
        if (LOWORD(message.WParam) == WM_CREATE)
          if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) AddToAdapter(win);
        return;
      }
      break;
    case WM_PRINT:
      LV_WMPaint(reinterpret_cast<HDC>(message.WParam));
      LV_WMNCPaint(reinterpret_cast<HDC>(message.WParam));
      return;
    case vcl::CM_SHOWINGCHANGED:
      if (vcl::TControl* c = SkinData->OwnerControl(); c && c->Visible()) {
        if (auto* win = dynamic_cast<vcl::TWinControl*>(c)) AddToAdapter(win);
        vcl::TMessage m{SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(SkinData->SkinManager()), 0};
        LumiBroadCastCheck(c, h, m);
        m.WParam = MakeLumiWParam(LVC_REFRESH);
        LumiBroadCastCheck(c, h, m);
      }
      break;
    default:
      break;
  }
  TlvScrollWnd::lvWndProc(message);
}

// ---- Native paint ---------------------------------------------------------------------------------------------------

void TlvNativePaint::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"TRANSPARENT");
  TlvScrollBoxWnd::AfterCreation();
}

void TlvNativePaint::lvWndProc(vcl::TMessage& message) {
  if (!Destroyed && (message.Msg == WM_PAINT || message.Msg == WM_ERASEBKGND)) {
    CallPrevWndProc(message);
    return;
  }
  if (!Destroyed && message.Msg == SM_LUMICMD && message.WParamHi() == LVC_PREPARECACHE) {
    CallPrevWndProc(message);
    if (SkinData->BGChanged) {
      InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      PrepareCache();
      UpdateWndCorners(SkinData, 0, this);
    }
    return;
  }
  TlvScrollBoxWnd::lvWndProc(message);
}
