// The edit and list wrapper and the base layer under it.
#include "skin/windows/lvEditWnd.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "skin/windows/lvComboWnd.h"

namespace {

bool OwnManager(TsCommonData* sd, const vcl::TMessage& m) {
  return sd && reinterpret_cast<LPARAM>(sd->SkinManager()) == m.LParam;
}

bool ClipEmpty(HDC dc) {
  RECT r;
  return GetClipBox(dc, &r) == NULLREGION;
}

}  // namespace

void TlvBaseWnd::lvWndProc(vcl::TMessage& message) {
  if (Destroyed || !SkinActive()) {
    TlvScrollWnd::lvWndProc(message);
    return;
  }
  const HWND h = CtrlHandle;
  switch (message.Msg) {
    case WM_SIZE:
    case WM_EXITSIZEMOVE:
      SkinData->BGChanged = true;
      break;
    case WM_SETCURSOR:
      CallPrevWndProc(message);
      return;
    case 0x2100:
      return;
    case SM_LUMICMD:
      if (message.WParamHi() == LVC_REFRESH && OwnManager(SkinData, message)) {
        TlvScrollWnd::lvWndProc(message);
        if (IsWindowVisible(h)) SendMessageW(h, WM_NCPAINT, 0, 0);
        return;
      }
      if (message.WParamHi() == LVC_PREPARECACHE) PrepareCache(SkinData, h, false);
      break;
    default:
      break;
  }
  TlvScrollWnd::lvWndProc(message);
  switch (message.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!DontRepaint) UpdateScrolls(this, true);
      break;
    case WM_ENABLE:
    case vcl::CM_ENABLEDCHANGED:
      if (IsWindowVisible(h)) SendMessageW(h, WM_NCPAINT, 0, 0);
      break;
    default:
      break;
  }
}

void TlvEditWnd::Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager,
                        const TlvSkinParams& skinParams, bool repaint) {
  if (ThemeOffAtCreation(repaint) && Lv_SetWindowTheme && skinParams.SkinSection != L"DIALOG" && !lvDlgMode) {
    if (skinData) {
      if (skinData->COC != COC_TsListView &&
          !(skinData->OwnerControl() && HasProperty(skinData->OwnerControl(), L"UseXPThemes")))
        Lv_SetWindowTheme(handle, L" ", L" ");
    } else {
      Lv_SetWindowTheme(handle, L" ", L" ");
    }
  }
  CtrlHandle = handle;
  NewWndProcInstance = nullptr;
  SkinManager = skinManager;
  Destroyed = false;
  if (skinData) {
    SkinData = skinData;
  } else {
    OwnSkinData = true;
    InitSkinData();
    if (!skinParams.SkinSection.empty()) SkinData->SetSkinSection(skinParams.SkinSection);
    SkinData->SetOwners(skinParams.Control, skinParams.Control);
    if (skinParams.Control && HasProperty(skinParams.Control, L"PanelBorder")) SkinData->SetSkinSection(L"TRANSPARENT");
    SkinData->SetCustomFont(!skinParams.UseSkinFontColor);
    SkinData->SetCustomColor(!skinParams.UseSkinColor);
    if (skinManager) SkinData->SetSkinManager(skinManager);
    if (auto* sd = dynamic_cast<TsScrollWndData*>(SkinData)) {
      if (skinParams.HorzScrollBtnSize >= 0) sd->HorzScrollData()->SetButtonsSize(skinParams.HorzScrollBtnSize);
      if (skinParams.VertScrollBtnSize >= 0) sd->VertScrollData()->SetButtonsSize(skinParams.VertScrollBtnSize);
      if (skinParams.HorzScrollSize >= 0) sd->HorzScrollData()->SetScrollWidth(skinParams.HorzScrollSize);
      if (skinParams.VertScrollSize >= 0) sd->VertScrollData()->SetScrollWidth(skinParams.VertScrollSize);
    }
  }
  SkinData->SetCustomFont(lv_KeepOwnFont || SkinData->CustomFont());
  if (OwnSkinData) SkinData->COC = COC_TsAdapterEdit;
  if (SkinData->SkinSection().empty() && SkinData->COC > 230)
    SkinData->SetSkinSection(skinParams.SkinSection.empty() ? rtl::String(L"EDIT") : skinParams.SkinSection);
  SkinData->FSWHandle = handle;
  SaveStdParams();
  ParamsChanged = false;
  DlgMode = lvDlgMode;
  InitializeLVScrolls(this, handle, repaint);
  if (vcl::TControl* c = SkinData->OwnerControl()) {
    OldCtrlStyle = c->ControlStyle();
    SingleLineEdit = dynamic_cast<vcl::TCustomEdit*>(c) && !(GetWindowLongPtrW(handle, GWL_STYLE) & ES_MULTILINE);
    c->SetControlStyle(c->ControlStyle() + vcl::csOpaque);
  } else {
    SingleLineEdit = false;
  }
  CtrlListChanged = false;
  AfterCreation();
}

void TlvEditWnd::SaveStdParams() {
  vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
  if (!c) return;
  StdColor = c->Color();
  StdFontColor = c->Font()->Color();
  if (HasProperty(c, L"FocusColor")) FocusColor = static_cast<vcl::TColor>(GetIntProp(c, L"FocusColor"));
}

TlvEditWnd::~TlvEditWnd() {
  // The base destructor gives the window back; the colours are this class's to restore while it still exists.
  if (SkinData && !Destroyed) RestoreColours();
}

void TlvEditWnd::RestoreStdParams() {
  TlvScrollWnd::RestoreStdParams();
  RestoreColours();
}

void TlvEditWnd::RestoreColours() {
  vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
  if (c && !c->ComponentState().Contains(vcl::csDestroying)) {
    c->SetColor(StdColor);
    SkinData->CtrlSkinState |= LVCS_CHANGING;
    c->Font()->SetColor(StdFontColor);
    SkinData->CtrlSkinState &= static_cast<unsigned short>(~LVCS_CHANGING);
    if (HasProperty(c, L"FocusColor")) SetIntProp(c, L"FocusColor", FocusColor);
    if (CtrlHandle && IsWindowVisible(CtrlHandle))
      SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  }
}

void TlvEditWnd::SetSkinParams() {
  if (bPreventStyleChange || !SkinData) return;
  SkinData->SetUpdatingFlag(true);
  bPreventStyleChange = true;
  ParamsChanged = true;
  TsSkinManager* m = SkinData->SkinManager();
  if (m && m->IsValidSkinIndex(SkinData->SkinIndex)) {
    const TsGeneralData& g = m->gd[static_cast<size_t>(SkinData->SkinIndex)];
    if (vcl::TControl* c = SkinData->OwnerControl()) {
      const bool hot = ControlIsActive(SkinData) && g.States > 1;
      if (!SkinData->CustomColor()) {
        const vcl::TColor bg = GetBGColor(SkinData, hot ? 1 : 0, nullptr);
        if (HasProperty(c, L"FocusColor")) {
          if (c->Color() != bg) c->SetColor(bg);
          SetIntProp(c, L"FocusColor", bg);
        } else if (c->Color() != bg) {
          c->SetColor(bg);
        }
        Color = bg;
      }
      if (!SkinData->CustomFont()) {
        const vcl::TColor fc = g.Props[hot ? 1 : 0].FontColor.Color;
        if (fc != c->Font()->Color()) {
          SkinData->CtrlSkinState |= LVCS_CHANGING;
          c->Font()->SetColor(fc);
          if (Destroyed) {
            bPreventStyleChange = false;
            return;
          }
          SkinData->CtrlSkinState &= static_cast<unsigned short>(~LVCS_CHANGING);
        }
      }
    } else {
      if (!SkinData->CustomColor()) Color = DlgMode ? vcl::ColorToRGB(vcl::clWindow) : g.Props[0].Color;
      FrameColor = m->Palette[pcBorder];
    }
    SkinData->BGChanged = true;
    SkinData->SetUpdatingFlag(false);
  } else {
    FrameColor = 0;
  }
  bPreventStyleChange = false;
}

void TlvEditWnd::PaintFrame() {
  const HWND h = CtrlHandle;
  if (InAnimationProcess) return;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (GetUpdating(SkinData)) return;
  HDC dc = GetWindowDC(h);
  if (!dc) return;
  if (dc != SkinData->PrintDC && ClipEmpty(dc)) {
    ReleaseDC(h, dc);
    return;
  }
  if (SkinData->BGChanged) {
    if (!ParamsChanged) SetSkinParams();
    PrepareCache(SkinData, h, DlgMode);
  }
  const int saved = SaveDC(dc);
  lv_NCDraw(this, h, -1, dc);
  if (vcl::TBitmap* cache = SkinData->CacheBmp(); cache && !cache->Empty())
    BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), 0, 0, std::max(0, cxLeftEdge));
  RestoreDC(dc, saved);
  ReleaseDC(h, dc);
}

void TlvEditWnd::PrintTo(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  auto dc = reinterpret_cast<HDC>(message.WParam);
  // The control's own printing may leave its clipping on the DC; the frame and bars go outside it.
  const int before = dc ? SaveDC(dc) : 0;
  CallPrevWndProc(message);
  if (before) RestoreDC(dc, before);
  if (message.Result == 2) return;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  SkinData->SetUpdatingFlag(false);
  SkinData->BGChanged = true;
  if (!ParamsChanged) SetSkinParams();
  PrepareCache(SkinData, h, DlgMode);
  if (!DlgMode) UpdateWndCorners(SkinData, 0, this);
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!dc || !cache || cache->Empty()) return;
  const int e = std::max(0, cxLeftEdge);
  const bool clientOnly = (message.LParam & PRF_CLIENT) && !(message.LParam & PRF_NONCLIENT);
  int saved = SaveDC(dc);
  if (!clientOnly) {
    BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), 0, 0, e);
    lv_NCDraw(this, h, -1, dc);
    lv_PrintSystemBars(this, h, dc);
  }
  RestoreDC(dc, saved);
  saved = SaveDC(dc);
  const int ox = clientOnly ? 0 : e;
  POINT org;
  GetViewportOrgEx(dc, &org);
  SetViewportOrgEx(dc, org.x + ox, org.y + ox, nullptr);
  const int vbar = sBarVert && sBarVert->fScrollVisible ? GetScrollMetric(sBarVert.get(), SM_SCROLLWIDTH) : 0;
  const int hbar = sBarHorz && sBarHorz->fScrollVisible ? GetScrollMetric(sBarHorz.get(), SM_SCROLLWIDTH) : 0;
  IntersectClipRect(dc, 0, 0, WndSize.cx - 2 * e - vbar, WndSize.cy - 2 * e - hbar);
  if (IsCached(SkinData))
    BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), e, e, SRCCOPY);
  else
    FillDC(dc, vcl::Rect(0, 0, WndSize.cx, WndSize.cy), Color);
  LPARAM lp = 0;
  CallPrevWndProc(h, WM_PRINTCLIENT, message.WParam, lp = PRF_CLIENT | PRF_OWNED);
  RestoreDC(dc, saved);
  message.Result = 0;
  if (SkinData->COC == COC_TsListView) TlvBaseWnd::lvWndProc(message);
}

void TlvEditWnd::lvWndProc(vcl::TMessage& message) {
  if (message.Msg == SM_LUMICMD && message.WParamHi() == LVC_CTRLHANDLED) {
    message.Result = 1;
    return;
  }
  if (!SkinData || Destroyed || !SkinActive()) {
    TlvBaseWnd::lvWndProc(message);
    return;
  }
  const HWND h = CtrlHandle;
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl());
      if (MayBeHot(SkinData, false) && win && win->CanFocus() && win->TabStop()) {
        SkinData->BGChanged = true;
        SkinData->FFocused = message.Msg == WM_SETFOCUS;
        TlvBaseWnd::lvWndProc(message);
        SetSkinParams();
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      } else {
        CallPrevWndProc(message);
      }
      return;
    }
    case WM_SETREDRAW:
      if (message.WParam == 1 && CtrlListChanged) {
        if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) AddToAdapter(win);
        CtrlListChanged = false;
      }
      break;
    case WM_SETTEXT:
    case vcl::CM_ENABLEDCHANGED:
    case vcl::CM_FONTCHANGED:
      SkinData->BGChanged = true;
      if (!(SkinData->CtrlSkinState & LVCS_CHANGING) && !GetUpdating(SkinData))
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      break;
    case WM_PAINT:
      if (!IsWindowVisible(h) || bPreventStyleChange) break;
      if (message.WParam && reinterpret_cast<HDC>(message.WParam) != SkinData->PrintDC &&
          ClipEmpty(reinterpret_cast<HDC>(message.WParam)))
        return;
      if (SingleLineEdit && !IsWindowEnabled(h)) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        if (vcl::TBitmap* cache = SkinData->CacheBmp(); cache && !cache->Empty()) {
          HDC dc = GetWindowDC(h);
          const int saved = SaveDC(dc);
          BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
          RestoreDC(dc, saved);
          ReleaseDC(h, dc);
        }
        return;
      }
      if (GetUpdating(SkinData) || (InAnimationProcess && !SkinData->PrintDC)) {
        ValidateRect(h, nullptr);
        return;
      }
      lv_NCDraw(this, h, -1, reinterpret_cast<HDC>(message.WParam));
      if (!ParamsChanged) SetSkinParams();
      break;
    case WM_ERASEBKGND: {
      if (!IsWindowVisible(h) || bPreventStyleChange) break;
      auto dc = reinterpret_cast<HDC>(message.WParam);
      if (dc && dc != SkinData->PrintDC && ClipEmpty(dc)) {
        message.Result = 1;
        return;
      }
      if (GetUpdating(SkinData)) return;
      if (!ParamsChanged) SetSkinParams();
      if (SingleLineEdit && !IsWindowEnabled(h)) {
        message.Result = 1;
        return;
      }
      if (InAnimationProcess && dc != SkinData->PrintDC) {
        message.Result = 1;
        return;
      }
      break;
    }
    case WM_NCPAINT:
      if (!IsWindowVisible(h) || bPreventStyleChange) break;
      PaintFrame();
      message.Result = 0;
      return;
    case WM_PRINT:
      PrintTo(message);
      return;
    case SM_LUMICMD:
      if (HandleLumiCmd(message)) return;
      break;
    default:
      break;
  }
  TlvBaseWnd::lvWndProc(message);
  if (Destroyed || !SkinData) return;
  switch (message.Msg) {
    case WM_SIZE:
      if (IsWindowVisible(h)) ProcessMessage(WM_NCPAINT, 0, 0);
      break;
    case WM_SETFONT:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case vcl::CN_KEYDOWN:
    case vcl::CN_KEYUP:
      if (!DontRepaint) UpdateScrolls(this, true);
      break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
      UpdateScrolls(this, true);
      break;
    case LB_GETTOPINDEX:
      if (auto* lb = dynamic_cast<vcl::TCustomListBox*>(SkinData->OwnerControl());
          lb && lb->Items()->Count() == 0 && message.Result == 0)
        message.Result = -1;
      break;
    case WM_MOUSEMOVE:
      if (DefaultManager && !DefaultManager->ComponentState().Contains(vcl::csDesigning) && IsWindowEnabled(h)) {
        if (DefaultManager->ActiveControl() != h) DefaultManager->SetActiveControl(h);
        if (!GetUpdating(SkinData) && GetCapture()) UpdateScrolls(this, true);
      }
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE && DefaultManager &&
          DefaultManager->SkinningRules().Contains(srThirdParty))
        CtrlListChanged = true;
      break;
    case vcl::CM_CONTROLLISTCHANGE:
      CtrlListChanged = true;
      break;
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE:
      CommonWndProc(message, SkinData);
      break;
    default:
      break;
  }
}

bool TlvEditWnd::HandleLumiCmd(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  switch (message.WParamHi()) {
    case LVC_REFRESH:
      if (!OwnManager(SkinData, message)) return false;
      TlvBaseWnd::lvWndProc(message);
      if (SkinData) SetSkinParams();
      return true;
    case LVC_ENDPARENTUPDATE:
      if (SkinData->UpdatingFlag() && !InUpdating(SkinData, true))
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return false;
    case LVC_CTRLHANDLED:
      message.Result = 1;
      return true;
    case LVC_PREPARECACHE:
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      PrepareCache(SkinData, h, DlgMode);
      UpdateWndCorners(SkinData, 0, this);
      return true;
    case LVC_GETSKININDEX:
      if (auto* info = reinterpret_cast<std::int32_t*>(message.LParam)) info[1] = SkinData->SkinIndex;
      return true;
    case LVC_GETBG: {
      if (!SkinData) return false;
      CallPrevWndProc(message);
      auto* bg = reinterpret_cast<TlvBGInfo*>(message.LParam);
      if (bg && bg->BgType == btUnknown) {
        if (SkinData->CustomColor()) {
          bg->BgType = btFill;
          bg->Color = SkinData->OwnerControl() ? SkinData->OwnerControl()->Color() : Color;
        } else {
          InitBGInfo(SkinData, bg, 0, nullptr);
          bg->Offset.X += cxLeftEdge;
          bg->Offset.Y += cyTopEdge;
        }
      }
      return true;
    }
    case LVC_BEFORESCROLL:
      if (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR)
        SendMessageW(h, WM_SETREDRAW, 0, 0);
      else
        TlvBaseWnd::lvWndProc(message);
      return true;
    case LVC_AFTERSCROLL:
      if (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) {
        SendMessageW(h, WM_SETREDRAW, 1, 0);
        InvalidateRect(h, nullptr, TRUE);
      } else {
        TlvBaseWnd::lvWndProc(message);
      }
      return true;
    case LVC_GETAPPLICATION:
      message.Result = reinterpret_cast<LRESULT>(vcl::Application);
      return true;
    case LVC_SETNEWSKIN:
    case LVC_REMOVESKIN:
    case LVC_GETLISTSW:
    case LVC_GETSKINDATA:
      return false;
    default:
      return CommonMessage(message, SkinData);
  }
}
