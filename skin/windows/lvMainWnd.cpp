// The base of every window wrapper: attaching in front of a window's procedure, the common message handling,
// detaching, and the routines the wrappers share.
#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/colors.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sBmpCopy.h"
#include "skin/windows/lvEditWnd.h"
#include "skin/windows/lvSBUtils.h"
#include "skin/windows/lvWrapPaint.h"

bool lvDlgMode = false;
int lvMinThumbSize = 16;
int nLastSBPos = -1;
const std::array<TlvSide, 4> lvTabSides = {asTop, asBottom, asLeft, asRight};
TGetScrollBarInfo Lv_GetScrollBarInfo = nullptr;
TFlatSBProc Lv_InitializeFlatSB = nullptr;
TFlatSBProc Lv_UninitializeFlatSB = nullptr;

namespace {

constexpr wchar_t kWrapperProp[] = L"LVSBSC";
// The stub's own link to its wrapper, kept while the wrapper holds the window (LVSBSC goes with the skin, the
// procedure stays), and the procedure the stub forwards to once its wrapper is gone while another party's
// subclass still calls it.
constexpr wchar_t kStubProp[] = L"LVSBSCW";
constexpr wchar_t kStubPrevProp[] = L"LVSBSCP";

template <class T>
T Bind(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Binds the platform entries once, when the library starts.
struct TPlatformEntries {
  HMODULE user = nullptr, comctl = nullptr;
  TPlatformEntries() {
    user = LoadLibraryW(L"user32.dll");
    if (user) Lv_GetScrollBarInfo = Bind<TGetScrollBarInfo>(user, "GetScrollBarInfo");
    comctl = LoadLibraryW(L"comctl32.dll");
    if (comctl) {
      Lv_UninitializeFlatSB = Bind<TFlatSBProc>(comctl, "UninitializeFlatSB");
      Lv_InitializeFlatSB = Bind<TFlatSBProc>(comctl, "InitializeFlatSB");
    }
  }
  ~TPlatformEntries() {
    Lv_GetScrollBarInfo = nullptr;
    Lv_InitializeFlatSB = Lv_UninitializeFlatSB = nullptr;
    if (comctl) FreeLibrary(comctl);
    if (user) FreeLibrary(user);
  }
};
const TPlatformEntries gEntries;

TlvMainWnd* StubWrapper(HWND wnd) { return static_cast<TlvMainWnd*>(GetPropW(wnd, kStubProp)); }

// The procedure a bare window gets while a wrapper holds it. The wrapper is found through a window property, so
// no code is generated per wrapper (safe on 64-bit).
LRESULT CALLBACK WrapperStub(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TlvMainWnd* w = StubWrapper(wnd);
  if (w && w->OldProc && !w->Destroyed) {
    vcl::TMessage m{msg, wParam, lParam, 0};
    w->Dispatch(m);
    return m.Result;
  }
  // The wrapper let go while another party's procedure still calls this one: keep the chain whole.
  if (auto prev = reinterpret_cast<WNDPROC>(GetPropW(wnd, kStubPrevProp)))
    return CallWindowProcW(prev, wnd, msg, wParam, lParam);
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

bool ThemeOff(TlvMainWnd* w, const TlvSkinParams& params) {
  return !lvDlgMode && params.SkinSection != L"DIALOG" && Lv_SetWindowTheme != nullptr;
}

}  // namespace

bool TlvMainWnd::SkinActive() const { return SkinData && SkinData->Skinned(true); }

void TlvMainWnd::Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager,
                        const TlvSkinParams& skinParams, bool repaint) {
  CtrlHandle = handle;
  OldWndProc = vcl::TWndMethod();
  OldProc = nullptr;
  // Popup-menu wrappers (which keep the style) are not built on this base yet.
  const bool providerOwned = skinData && dynamic_cast<TsCustomSkinProvider*>(skinData->OwnerObject());
  if (!providerOwned && ThemeOff(this, skinParams)) Lv_SetWindowTheme(handle, L" ", L" ");
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
    SkinData->SetCustomFont(!skinParams.UseSkinFontColor);
    SkinData->SetCustomColor(!skinParams.UseSkinColor);
    if (skinManager) SkinData->SetSkinManager(skinManager);
  }
  SkinData->SetCustomFont(lv_KeepOwnFont || SkinData->CustomFont());
  SkinData->FSWHandle = handle;
  Tag = 0;
  DlgMode = lvDlgMode;
  SaveStdParams();
  ParamsChanged = false;
  wchar_t text[256] = {};
  GetWindowTextW(handle, text, 256);
  Caption = text;
  if (auto* sw = dynamic_cast<TlvScrollWnd*>(this))
    InitializeLVScrolls(sw, handle, repaint);
  else
    InitializeLVWnd(this, handle);
  if (vcl::TControl* c = skinParams.Control ? skinParams.Control : SkinData->OwnerControl()) {
    OldCtrlStyle = c->ControlStyle();
    c->SetControlStyle(c->ControlStyle() + vcl::csOpaque);
  }
  AfterCreation();
}

void TlvMainWnd::AfterCreation() {
  SkinData->Loading = false;
  SkinData->InitCommonProp();
  if (!SkinData->OwnerControl() && CtrlHandle && OwnSkinData) SetPropW(CtrlHandle, L"LVSDATA", SkinData);
}

void TlvMainWnd::RestoreStdParams() {
  if (OwnSkinData && SkinData) {
    SkinData->RemoveCommonProp();
    if (CtrlHandle && GetPropW(CtrlHandle, L"LVSDATA") == SkinData) RemovePropW(CtrlHandle, L"LVSDATA");
  }
  if (CtrlHandle && GetPropW(CtrlHandle, kWrapperProp) == this) RemovePropW(CtrlHandle, kWrapperProp);
}

void TlvMainWnd::InitSkinData() {
  if (!SkinData) SkinData = new TsCommonData(nullptr, true);
  SkinData->Loading = true;
}

LRESULT TlvMainWnd::CallPrevWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM& lParam) {
  if (OldWndProc) {
    vcl::TMessage m{msg, wParam, lParam, 0};
    OldWndProc(m);
    lParam = m.LParam;
    return m.Result;
  }
  if (OldProc) {
    try {
      return CallWindowProcW(OldProc, handle, msg, wParam, lParam);
    } catch (...) {
      return 0;
    }
  }
  return 0;
}

LRESULT TlvMainWnd::CallPrevWndProc(vcl::TMessage& message) {
  message.Result = CallPrevWndProc(CtrlHandle, message.Msg, message.WParam, message.LParam);
  return message.Result;
}

LRESULT TlvMainWnd::ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  vcl::TMessage m{msg, wParam, lParam, 0};
  Dispatch(m);
  return m.Result;
}

void TlvMainWnd::Dispatch(vcl::TMessage& message) {
  struct TDepth {
    TlvMainWnd* w;
    explicit TDepth(TlvMainWnd* wnd) : w(wnd) { ++w->ProcDepth; }
    ~TDepth() {
      if (--w->ProcDepth == 0 && w->FreePending) delete w;
    }
  } depth(this);
  lvWndProc(message);
}

void FreeLvWrapper(TlvMainWnd*& wnd) {
  TlvMainWnd* w = wnd;
  wnd = nullptr;
  if (!w || w->FreePending) return;
  if (w->ProcDepth > 0) {
    // Its procedure is still on the stack: the window is let go now (a new wrapper may take it at once), the
    // object goes when that procedure returns.
    w->ReleaseWindow();
    w->FreePending = true;
    return;
  }
  delete w;
}

void TlvMainWnd::DetachOnDestroy(vcl::TMessage& message, bool scrollWrapper) {
  if (SkinData) {
    StopTimer(SkinData);
    HideGlow(SkinData->GlowID, false);
  }
  if (SkinData && SkinData->OwnerControl())
    if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl()))
      for (int i = 0; i < win->ControlCount(); ++i)
        if (auto* sb = dynamic_cast<vcl::TSpeedButton*>(win->Controls(i))) sb->Perform(WM_DESTROY, 0, 0);
  const HWND handle = CtrlHandle;
  if (HasPrevProc()) {
    TlvMainWnd* self = this;
    try {
      if (SkinData && SkinData->OwnerControl()) {
        if (scrollWrapper) {
          auto* sw = static_cast<TlvScrollWnd*>(this);
          UninitializeLVScroll(handle, false, false, sw);
        } else {
          UninitializeLVWnd(handle, false, false, self);
        }
        SendMessageW(handle, message.Msg, message.WParam, message.LParam);
      } else {
        // The window's own procedure sees its end first; then it gets itself back.
        const LRESULT r = CallPrevWndProc(message);
        if (r == 0) {
          if (scrollWrapper) {
            auto* sw = static_cast<TlvScrollWnd*>(this);
            UninitializeLVScroll(handle, false, false, sw);
          } else {
            UninitializeLVWnd(handle, false, false, self);
          }
        }
      }
    } catch (...) {
      message.Result = 1;
      throw;
    }
    message.Result = 1;
    return;
  }
  message.Result = SendMessageW(handle, message.Msg, message.WParam, message.LParam);
}

void TlvMainWnd::lvWndProc(vcl::TMessage& message) {
  const HWND handle = CtrlHandle;
  switch (message.Msg) {
    case WM_CREATE:
    case WM_NCCREATE:
      CallPrevWndProc(message);
      if (SkinData) SkinData->InitCommonProp();
      return;
    case WM_DESTROY:
    case WM_NCDESTROY:
      if (!Destroyed)
        DetachOnDestroy(message, false);
      else
        CallPrevWndProc(message);
      return;
    case WM_SIZE:
      if (SkinData) SkinData->BGChanged = true;
      break;
    case WM_SETTEXT: {
      CallPrevWndProc(message);
      const int n = GetWindowTextLengthW(handle);
      std::wstring t(static_cast<size_t>(std::max(0, n)) + 1, L'\0');
      GetWindowTextW(handle, t.data(), n + 1);
      t.resize(static_cast<size_t>(std::max(0, n)));
      Caption = t;
      return;
    }
    case WM_UPDATEUISTATE:
      return;
    case WM_MOUSEMOVE:
      if (DefaultManager && !DefaultManager->ComponentState().Contains(vcl::csDesigning) && IsWindowEnabled(handle) &&
          DefaultManager->ActiveControl() != handle)
        DefaultManager->SetActiveControl(handle);
      break;
    case WM_PRINT:
      message.Result = SendMessageW(handle, WM_PAINT, message.WParam, message.LParam);
      return;
    default:
      break;
  }
  // Second stage.
  if (!SkinActive()) {
    CallPrevWndProc(message);
    return;
  }
  if (message.Msg != SM_LUMICMD) {
    CallPrevWndProc(message);
    return;
  }
  TsSkinManager* own = SkinData->SkinManager();
  const bool ownManager = reinterpret_cast<LPARAM>(own) == message.LParam;
  switch (message.WParamHi()) {
    case LVC_SETNEWSKIN:
      if (ownManager) {
        SkinData->UpdateIndexes(true);
        SkinData->BGChanged = true;
        LumiBroadCastCheck(SkinData->OwnerControl(), handle, message);
      }
      CallPrevWndProc(message);
      return;
    case LVC_REMOVESKIN:
      if (ownManager) RestoreStdParams();
      CallPrevWndProc(message);
      return;
    case LVC_REFRESH:
      if (!ownManager) {
        CallPrevWndProc(message);
        return;
      }
      SkinData->UpdateIndexes(true);
      SkinData->BGChanged = true;
      SkinData->SetUpdatingFlag(false);
      if (!InAnimationProcess) {
        const bool visible = SkinData->OwnerControl() ? SkinData->OwnerControl()->Visible() : IsWindowVisible(handle);
        if (visible) SendMessageW(handle, WM_PAINT, 0, 0);
      }
      LumiBroadCastCheck(SkinData->OwnerControl(), handle, message);
      return;
    case LVC_ENDPARENTUPDATE:
      if (SkinData->UpdatingFlag()) {
        if (!InUpdating(SkinData, true)) {
          SendMessageW(handle, WM_NCPAINT, 0, 0);
          RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) SetParentUpdated(win);
        return;
      }
      CallPrevWndProc(message);
      return;
    case LVC_CTRLHANDLED:
      message.Result = 1;
      return;
    case LVC_PREPARING:
      message.Result = GetUpdating(SkinData) ? 1 : 0;
      return;
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
      if (SkinData->OwnerControl())
        CommonMessage(message, SkinData);
      else
        CallPrevWndProc(message);
      return;
    case LVC_GETCONTROLCOLOR:
      CallPrevWndProc(message);
      if (message.Result == 0) message.Result = static_cast<LRESULT>(GetBGColor(SkinData, 0, handle));
      return;
    case LVC_PREPARECACHE:
      PrepareCache(SkinData, handle, false);
      CallPrevWndProc(message);
      return;
    case LVC_GETBG:
      InitBGInfo(SkinData, reinterpret_cast<TlvBGInfo*>(message.LParam), 0, handle);
      return;
    case LVC_GETSKINDATA:
      message.Result = reinterpret_cast<LRESULT>(SkinData);
      return;
    case LVC_PRINTING:
      if (message.LParam)
        SkinData->CtrlSkinState |= LVCS_PRINTING;
      else
        SkinData->CtrlSkinState &= static_cast<unsigned short>(~LVCS_PRINTING);
      SkinData->PrintDC = reinterpret_cast<HDC>(message.LParam);
      CallPrevWndProc(message);
      return;
    case LVC_GETAPPLICATION:
      message.Result = reinterpret_cast<LRESULT>(vcl::Application);
      return;
    default:
      if (!CommonMessage(message, SkinData)) CallPrevWndProc(message);
      return;
  }
}

bool TlvMainWnd::GiveProcBack() {
  if (OldWndProc) {
    if (SkinData) {
      if (auto* provider = dynamic_cast<TsCustomSkinProvider*>(SkinData->OwnerObject())) {
        if (provider->Form) provider->Form->WindowProc = OldWndProc;
      } else if (SkinData->OwnerControl()) {
        SkinData->OwnerControl()->WindowProc = OldWndProc;
      }
    }
    OldWndProc = vcl::TWndMethod();
    return true;
  }
  if (!OldProc) return true;
  if (CtrlHandle && IsWindow(CtrlHandle) &&
      reinterpret_cast<WNDPROC>(GetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC)) == NewWndProcInstance) {
    SetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldProc));
    if (StubWrapper(CtrlHandle) == this) RemovePropW(CtrlHandle, kStubProp);
    RemovePropW(CtrlHandle, kStubPrevProp);
    OldProc = nullptr;
    NewWndProcInstance = nullptr;
    return true;
  }
  if (CtrlHandle && IsWindow(CtrlHandle)) {
    // Another party's procedure sits on top and still calls the stub: the stub forwards to what this wrapper
    // replaced from now on, so the chain stays whole whatever happens to the wrapper.
    SetPropW(CtrlHandle, kStubPrevProp, reinterpret_cast<HANDLE>(OldProc));
    if (StubWrapper(CtrlHandle) == this) RemovePropW(CtrlHandle, kStubProp);
  }
  return false;
}

void TlvMainWnd::ReleaseWindow() {
  if (Destroyed) return;
  if (SkinData) {
    if (SkinManager) {
      if (SkinData->OwnerControl() && !OldCtrlStyle.Empty()) SkinData->OwnerControl()->SetControlStyle(OldCtrlStyle);
      GiveProcBack();
      RestoreStdParams();
      // The system measures and draws its own frame and bars again.
      if (CtrlHandle && IsWindow(CtrlHandle) && IsWindowVisible(CtrlHandle)) Lv_RedrawNonClient(CtrlHandle, true);
      if (Lv_SetWindowTheme && CtrlHandle && IsWindow(CtrlHandle)) {
        auto* provider = dynamic_cast<TsCustomSkinProvider*>(SkinData->OwnerObject());
        if (!provider && SkinData->COC != COC_TsListView) Lv_SetWindowTheme(CtrlHandle, nullptr, nullptr);
      }
    } else {
      // Made without a manager (the default one serves): the window is given back all the same.
      GiveProcBack();
      RestoreStdParams();
      if (CtrlHandle && IsWindow(CtrlHandle) && IsWindowVisible(CtrlHandle)) Lv_RedrawNonClient(CtrlHandle, true);
    }
    Destroyed = true;
  } else {
    GiveProcBack();
  }
}

TlvWndDC::TlvWndDC(HWND wnd, HDC given, bool windowDC) : Wnd(wnd), DC(given), Own(false), Saved(0) {
  if (!DC) {
    DC = windowDC ? GetWindowDC(wnd) : GetDC(wnd);
    Own = true;
  }
  if (DC) Saved = SaveDC(DC);
}

TlvWndDC::~TlvWndDC() {
  if (!DC) return;
  if (Saved) RestoreDC(DC, Saved);
  if (Own) ReleaseDC(Wnd, DC);
}

bool TlvMainWnd::SetTextLocked(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (!IsWindowVisible(h)) return false;
  lvwrap::RedrawGuarded(h, [&] { TlvMainWnd::lvWndProc(message); });
  SkinData->BGChanged = true;
  return true;
}

void TlvMainWnd::PaintThroughErase() {
  InvalidateRect(CtrlHandle, nullptr, TRUE);
  PAINTSTRUCT ps;
  BeginPaint(CtrlHandle, &ps);
  EndPaint(CtrlHandle, &ps);
}

void TlvMainWnd::PaintInside(const vcl::TMessage& message, const std::function<void()>& paint) {
  PAINTSTRUCT ps;
  if (!message.WParam) BeginPaint(CtrlHandle, &ps);
  paint();
  if (!message.WParam) EndPaint(CtrlHandle, &ps);
}

void TlvMainWnd::CopyCacheBorder(HDC given, int w, int h, int band) {
  vcl::TBitmap* cache = SkinData ? SkinData->CacheBmp() : nullptr;
  if (!cache) return;
  TlvWndDC dc(CtrlHandle, given, true);
  GdiFlush();
  BitBltBorder(dc.DC, 0, 0, w, h, cache->Canvas()->Handle(), 0, 0, band);
}

bool TlvMainWnd::PaintMessage(vcl::TMessage& message, const std::function<void(HDC)>& paint,
                              const std::function<void(HDC)>& ncPaint) {
  const auto dc = reinterpret_cast<HDC>(message.WParam);
  switch (message.Msg) {
    case WM_SETTEXT:
      if (!SetTextLocked(message)) return false;
      SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
      return true;
    case WM_PAINT:
      if (dc)
        paint(dc);
      else
        PaintThroughErase();
      return true;
    case WM_ERASEBKGND:
      paint(dc);
      message.Result = 1;
      return true;
    case WM_NCPAINT:
      ncPaint(nullptr);
      message.Result = 0;
      return true;
    case WM_PRINT:
      paint(dc);
      ncPaint(dc);
      return true;
    case WM_UPDATEUISTATE:
      message.Result = 1;
      return true;
    default:
      return false;
  }
}

bool TlvMainWnd::ControlUnpaintable(vcl::TControl* control) {
  return control && (control->ComponentState().Contains(vcl::csDestroying) ||
                     (control->Parent() && control->Parent()->ControlState().Contains(vcl::csCreating)));
}

bool TlvMainWnd::CacheStaleFor(HDC dc) {
  const bool stale = SkinData->HalfVisible || SkinData->BGChanged;
  if (RepaintIfMoved(SkinData)) {
    RECT clip;
    GetClipBox(dc, &clip);
    SkinData->HalfVisible = clip.right - clip.left != WndSize.cx || clip.bottom - clip.top != WndSize.cy;
  } else {
    SkinData->HalfVisible = false;
  }
  return stale;
}

void TlvMainWnd::PaintPrinted(const vcl::TMessage& message, const std::function<void()>& print) {
  PaintInside(message, [&] {
    if (!GetUpdating(SkinData)) print();
  });
}

void TlvMainWnd::PaintClientEdge(const std::function<int()>& prepare) {
  if (!(GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) || GetUpdating(SkinData)) return;
  const int band = prepare();
  if (vcl::TBitmap* cache = SkinData->CacheBmp()) CopyCacheBorder(nullptr, cache->Width(), cache->Height(), band);
}

bool TlvMainWnd::RefreshPlainCache(vcl::TRect& clientRect) {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->BGChanged) return false;
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  clientRect = vcl::TRect(cr);
  lvwrap::SizedCache(SkinData, WndSize.cx, WndSize.cy);
  ::PrepareCache(SkinData, CtrlHandle, false);
  UpdateWndCorners(SkinData, 0, this);
  SkinData->BGChanged = false;
  return true;
}

void TlvMainWnd::StaleIfTransparent() {
  TsSkinManager* m = SkinData->SkinManager();
  if (lvwrap::ValidSection(m, SkinData->SkinIndex) &&
      m->gd[static_cast<size_t>(SkinData->SkinIndex)].Props[0].Transparency)
    SkinData->BGChanged = true;
}

bool TlvMainWnd::AnswerQuery(vcl::TMessage& message) {
  switch (message.WParamHi()) {
    case LVC_CTRLHANDLED:
      message.Result = 1;
      return true;
    case LVC_GETAPPLICATION:
      message.Result = reinterpret_cast<LRESULT>(vcl::Application);
      return true;
    default:
      return false;
  }
}

bool TlvMainWnd::ControlCommand(vcl::TMessage& message, vcl::TControl* control) {
  switch (message.WParamHi()) {
    case LVC_SETNEWSKIN:
    case LVC_REFRESH:
      TlvMainWnd::lvWndProc(message);
      LumiBroadCastCheck(control, CtrlHandle, message);
      return true;
    case LVC_REMOVESKIN:
      SkinData->SkinIndex = -1;
      control->SetControlStyle(control->ControlStyle() - vcl::csOpaque);
      return false;
    default:
      return AnswerQuery(message);
  }
}

bool TlvMainWnd::ChildNotice(vcl::TMessage& message, vcl::TWinControl* control) {
  const WORD what = LOWORD(message.WParam);
  if (what != WM_CREATE && what != WM_DESTROY) return false;
  TlvMainWnd::lvWndProc(message);
  if (what == WM_CREATE && control) AddToAdapter(control);
  return true;
}

TlvMainWnd::~TlvMainWnd() {
  ReleaseWindow();
  if (SkinData) {
    if (OwnSkinData) {
      delete SkinData;
    }
    SkinData = nullptr;
  }
  if (CtrlHandle && IsWindow(CtrlHandle)) {
    if (GetPropW(CtrlHandle, kWrapperProp) == this) RemovePropW(CtrlHandle, kWrapperProp);
    if (StubWrapper(CtrlHandle) == this) {
      // Still in the chain under another party: forward from now on.
      if (OldProc) SetPropW(CtrlHandle, kStubPrevProp, reinterpret_cast<HANDLE>(OldProc));
      RemovePropW(CtrlHandle, kStubProp);
    }
  }
  SkinManager = nullptr;
}

void InitializeLVWnd(TlvMainWnd* wnd, HWND handle) {
  wnd->DontRepaint = false;
  wnd->CtrlHandle = handle;
  SetPropW(handle, kWrapperProp, wnd);
  TsCommonData* sd = wnd->SkinData;
  if (auto* provider = sd ? dynamic_cast<TsCustomSkinProvider*>(sd->OwnerObject()) : nullptr; provider && provider->Form) {
    wnd->OldWndProc = provider->Form->WindowProc;
    provider->Form->WindowProc = vcl::MakeWndMethod(wnd, &TlvMainWnd::Dispatch);
  } else if (sd && sd->OwnerControl()) {
    wnd->OldWndProc = sd->OwnerControl()->WindowProc;
    sd->OwnerControl()->WindowProc = vcl::MakeWndMethod(wnd, &TlvMainWnd::Dispatch);
  } else {
    SetPropW(handle, kStubProp, wnd);
    RemovePropW(handle, kStubPrevProp);
    wnd->NewWndProcInstance = &WrapperStub;
    wnd->OldProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WrapperStub)));
  }
}

void UninitializeLVWnd(HWND handle, bool freeWrapper, bool repaint, TlvMainWnd*& wnd) {
  if (!wnd) return;
  if (!wnd->Destroyed) {
    const bool back = wnd->GiveProcBack();
    wnd->RestoreStdParams();
    if (handle && IsWindowVisible(handle)) Lv_RedrawNonClient(handle, repaint);
    if (wnd->OwnSkinData && wnd->SkinData) wnd->SkinData->ClearLinks();
    wnd->Destroyed = back;
  }
  if (freeWrapper) {
    if (wnd->Destroyed) {
      wnd->OldProc = nullptr;
      wnd->OldWndProc = vcl::TWndMethod();
    }
    FreeLvWrapper(wnd);
  }
}

void RefreshScrolls(TsScrollWndData* skinData, TlvScrollWnd*& sw) {
  if (!skinData) return;
  auto* owner = dynamic_cast<vcl::TWinControl*>(skinData->OwnerControl());
  if (!owner) return;
  const auto state = owner->ComponentState();
  if (state.Contains(vcl::csLoading) || state.Contains(vcl::csDestroying) || state.Contains(vcl::csDesigning)) return;
  if (skinData->Skinned()) {
    if (Lv_UninitializeFlatSB && owner->HandleAllocated()) Lv_UninitializeFlatSB(owner->Handle());
    if (sw && sw->Destroyed) {
      FreeLvWrapper(sw);
    }
    if (!sw) sw = NewWrapper<TlvScrollWnd>(owner->Handle(), skinData, skinData->SkinManager(), TlvSkinParams(), true);
  } else {
    if (sw) {
      FreeLvWrapper(sw);
    }
    if (Lv_InitializeFlatSB && owner->HandleAllocated()) Lv_InitializeFlatSB(owner->Handle());
  }
}

void RefreshEditScrolls(TsScrollWndData* skinData, TlvScrollWnd*& sw) {
  if (!skinData) return;
  auto* owner = dynamic_cast<vcl::TWinControl*>(skinData->OwnerControl());
  if (skinData->Skinned()) {
    if (!owner) return;
    if (sw && sw->Destroyed) {
      FreeLvWrapper(sw);
    }
    if (!sw) sw = NewWrapper<TlvEditWnd>(owner->Handle(), skinData, skinData->SkinManager(), TlvSkinParams(), true);
  } else if (sw) {
    FreeLvWrapper(sw);
  }
}

void UpdateScrolls(TlvScrollWnd* sw, bool repaint) {
  if (!sw || !sw->CtrlHandle || !IsWindowVisible(sw->CtrlHandle)) return;
  if (sw->SkinData && GetUpdating(sw->SkinData)) return;
  if (!sw->sBarHorz || !sw->sBarVert) return;
  sw->sBarHorz->ReadInfo(sw->CtrlHandle);
  sw->sBarVert->ReadInfo(sw->CtrlHandle);
  if (repaint && !InAnimationProcess) lv_NCDraw(sw, sw->CtrlHandle, -1, nullptr);
}

void InitCtrlData(HWND handle, HWND& parentWnd, vcl::TRect& wndRect, vcl::TRect& parentRect, vcl::TSize& wndSize,
                  vcl::TPoint& wndPos) {
  parentWnd = handle ? GetParent(handle) : nullptr;
  RECT r{}, pr{};
  if (handle) GetWindowRect(handle, &r);
  if (parentWnd) GetWindowRect(parentWnd, &pr);
  wndRect = vcl::TRect(r.left, r.top, r.right, r.bottom);
  parentRect = vcl::TRect(pr.left, pr.top, pr.right, pr.bottom);
  wndSize = vcl::TSize{r.right - r.left, r.bottom - r.top};
  POINT p{r.left, r.top};
  if (parentWnd) ScreenToClient(parentWnd, &p);
  wndPos = vcl::TPoint(p.x, p.y);
}

void UpdateWndCorners(TsCommonData* skinData, int state, TlvMainWnd* wnd) {
  if (!skinData || !wnd || wnd->DlgMode) return;
  TsSkinManager* m = skinData->SkinManager();
  if (!m || skinData->BorderIndex < 0 || !m->IsValidImgIndex(skinData->BorderIndex)) return;
  vcl::TBitmap* cache = skinData->CacheBmp();
  if (!cache || cache->Empty() || wnd->WndSize.cx < 2 || wnd->WndSize.cy < 2) return;
  TCacheInfo ci = GetParentCacheHwnd(wnd->CtrlHandle);
  std::uint32_t fill = 0;
  bool useFill = false;
  if (ci.Ready && ci.Bmp) {
    ci.X += wnd->WndPos.X;
    ci.Y += wnd->WndPos.Y;
  } else {
    const vcl::TColor c = vcl::ColorToRGB(ci.FillColor);
    useFill = c != 0xFF00FF;
    fill = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  const TsMaskData& md = m->ma[static_cast<size_t>(skinData->BorderIndex)];
  // The fields the corners need; an image with a bitmap of its own and no count is three states over all of it.
  struct {
    int ImageCount, MaskType, WL, WT, WR, WB;
    vcl::TRect R;
  } mk{md.ImageCount, md.MaskType, md.WL, md.WT, md.WR, md.WB, md.R};
  vcl::TBitmap* own = md.Bmp;
  int w = WidthOfImage(md), h = HeightOfImage(md);
  if (mk.ImageCount == 0 && own) {
    mk.MaskType = 1;
    mk.ImageCount = 3;
    mk.R = vcl::TRect(0, 0, own->Width(), own->Height());
    w = own->Width() / 3;
    h = own->Height() / 2;
  }
  if (w == 0 || h == 0) return;
  state = std::max(0, std::min(state, mk.ImageCount - 1));
  vcl::TBitmap* src = own ? own : m->MasterBitmap.get();
  if (!src || src->Empty()) return;
  const int fx = mk.R.Left + w * state;
  const int bottomY = mk.MaskType == 0 ? mk.R.Bottom : mk.R.Top + h;
  src->SetPixelFormat(vcl::pf32bit);
  auto copyCorner = [&](int sx, int sy, int cw, int chh, int dx, int dy) {
    for (int y = 0; y < chh; ++y) {
      const int syy = sy + y, dyy = dy + y;
      if (syy < 0 || syy >= src->Height() || dyy < 0 || dyy >= cache->Height()) continue;
      auto* sl = static_cast<const std::uint32_t*>(src->ScanLine(syy));
      auto* dl = static_cast<std::uint32_t*>(cache->ScanLine(dyy));
      for (int x = 0; x < cw; ++x) {
        const int sxx = sx + x, dxx = dx + x;
        if (sxx < 0 || sxx >= src->Width() || dxx < 0 || dxx >= cache->Width()) continue;
        if ((sl[sxx] & 0xFFFFFF) != 0xFF00FF) continue;
        if (ci.Ready && ci.Bmp) {
          const int px = ci.X + dxx, py = ci.Y + dyy;
          if (px < 0 || py < 0 || px >= ci.Bmp->Width() || py >= ci.Bmp->Height() ||
              ci.Bmp->PixelFormat() != vcl::pf32bit)
            continue;
          dl[dxx] = static_cast<const std::uint32_t*>(ci.Bmp->ScanLine(py))[px];
        } else if (useFill) {
          dl[dxx] = fill | 0xFF000000u;
        }
      }
    }
  };
  const int cx = wnd->WndSize.cx, cy = wnd->WndSize.cy;
  copyCorner(fx, mk.R.Top, mk.WL, mk.WT, 0, 0);
  copyCorner(fx + w - mk.WR, mk.R.Top, mk.WR, mk.WT, cx - mk.WR, 0);
  copyCorner(fx, bottomY - mk.WB, mk.WL, mk.WB, 0, cy - mk.WB);
  copyCorner(fx + w - mk.WR, bottomY - mk.WB, mk.WR, mk.WB, cx - mk.WR, cy - mk.WB);
}

HFONT lv_GetSysFont(int fontType) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return nullptr;
  const LOGFONTW* lf = &ncm.lfMessageFont;
  switch (fontType) {
    case 1:
      lf = &ncm.lfCaptionFont;
      break;
    case 2:
      lf = &ncm.lfSmCaptionFont;
      break;
    case 3:
      lf = &ncm.lfMenuFont;
      break;
    case 4:
      lf = &ncm.lfStatusFont;
      break;
    default:
      break;
  }
  return CreateFontIndirectW(lf);
}

void LoadSysFont(vcl::TCanvas* canvas, int fontType) {
  if (!canvas) return;
  HFONT f = lv_GetSysFont(fontType);
  if (!f) return;
  canvas->Font()->SetHandle(f);
  SelectObject(canvas->Handle(), canvas->Font()->Handle());
}

void LoadCtrlFont(TlvMainWnd* wnd) {
  if (!wnd || !wnd->SkinData || !wnd->SkinData->CacheBmp()) return;
  vcl::TCanvas* canvas = wnd->SkinData->CacheBmp()->Canvas();
  if (vcl::TControl* c = wnd->SkinData->OwnerControl()) {
    canvas->Font()->Assign(c->Font());
  } else if (auto f = reinterpret_cast<HFONT>(SendMessageW(wnd->CtrlHandle, WM_GETFONT, 0, 0))) {
    LOGFONTW lf{};
    if (GetObjectW(f, sizeof(lf), &lf)) {
      if (lf.lfCharSet == ANSI_CHARSET && std::wstring(lf.lfFaceName) != L"MS Shell Dlg")
        lf.lfCharSet = DEFAULT_CHARSET;
      canvas->Font()->SetHandle(CreateFontIndirectW(&lf));
    }
  } else {
    LoadSysFont(canvas, 0);
    return;
  }
  SelectObject(canvas->Handle(), canvas->Font()->Handle());
}

void LumiBroadCastCheck(vcl::TControl* control, HWND handle, vcl::TMessage& message) {
  if (auto* win = dynamic_cast<vcl::TWinControl*>(control))
    LumiBroadCast(win, message);
  else if (!control && handle)
    LumiBroadCast(handle, message);
}

bool MayBeHot(TsCommonData* skinData, bool isEdit) {
  if (!skinData) return false;
  TsSkinManager* m = skinData->SkinManager();
  if (!m || !m->IsValidSkinIndex(skinData->SkinIndex) || !m->IsValidImgIndex(skinData->BorderIndex)) return false;
  if (isEdit && sNoHotEdits.Contains(skinData->COC) && !lv_AllowHotEdits) return false;
  if (isEdit && m->Options()->NoMouseHover()) return false;
  return m->ma[static_cast<size_t>(skinData->BorderIndex)].ImageCount > 1 ||
         m->gd[static_cast<size_t>(skinData->SkinIndex)].States > 1;
}

int TryGetIntProp(rtl::TObject* obj, const rtl::String& propName) {
  if (!obj || !HasProperty(obj, propName)) return 0;
  return static_cast<int>(GetIntProp(obj, propName));
}

int TryGetColorProp(rtl::TObject* obj, const rtl::String& propName) {
  if (!obj || !HasProperty(obj, propName)) return 0;
  return vcl::ColorToRGB(static_cast<vcl::TColor>(GetIntProp(obj, propName)));
}

void TryChangeIntProp(rtl::TObject* obj, const rtl::String& propName, vcl::TColor value) {
  if (obj && HasProperty(obj, propName)) SetIntProp(obj, propName, value);
}
