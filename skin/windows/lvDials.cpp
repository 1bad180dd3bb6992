// The thread hook's rules, the dialog provider with its control map, and the popup-menu window wrapper.
#include "skin/windows/lvDials.h"

#include <algorithm>
#include <cstdint>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sSectionPaint.h"
#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvDialogWnd.h"
#include "skin/windows/lvEditWnd.h"
#include "skin/windows/lvListViewWnd.h"
#include "skin/windows/lvBarWnd.h"
#include "skin/windows/lvBtnWnd.h"
#include "skin/windows/lvSpinWnd.h"
#include "skin/windows/lvTabWnd.h"
#include "skin/windows/lvTrackWnd.h"


bool RgnChanging = false;
namespace lvdials { bool biClicked = false; }
std::vector<TlvMnuWnd*> MnuArray;

namespace {

constexpr std::array<TlvWndClass, dckCount> MakeDlgCtrlTypes() {
  std::array<TlvWndClass, dckCount> t{};
  t[dckEdit] = &CreateWrapper<TlvEditWnd>;
  t[dckComboBox] = &CreateWrapper<TlvComboBoxWnd>;
  t[dckEdge] = &CreateWrapper<TlvEdgeWnd>;
  t[dckIcon] = &CreateWrapper<TlvIconWnd>;
  t[dckStatic] = &CreateWrapper<TlvStaticWnd>;
  t[dckTransPanel] = &CreateWrapper<TlvTransPanelWnd>;
  t[dckPanel] = &CreateWrapper<TlvPanelWnd>;
  t[dckGroupBox] = &CreateWrapper<TlvGroupBoxWnd>;
  t[dckCheckBox] = &CreateWrapper<TlvCheckBoxWnd>;
  t[dckBtn] = &CreateWrapper<TlvBtnWnd>;
  t[dckSizer] = &CreateWrapper<TlvSizerWnd>;
  t[dckTabControl] = &CreateWrapper<TlvTabControlWnd>;
  t[dckListView] = &CreateWrapper<TlvListViewWnd>;
  t[dckTreeView] = &CreateWrapper<TlvTreeViewWnd>;
  t[dckSpin] = &CreateWrapper<TlvSpinWnd>;
  t[dckTrack] = &CreateWrapper<TlvTrackWnd>;
  t[dckLink] = &CreateWrapper<TlvLinkWnd>;
  t[dckToolBar] = &CreateWrapper<TlvToolBarWnd>;
  t[dckContainer] = &CreateWrapper<TlvContainerWnd>;
  t[dckSearch] = &CreateWrapper<TlvSearchWnd>;
  return t;
}

rtl::String ClassNameOf(HWND h) {
  wchar_t name[256] = {};
  GetClassNameW(h, name, 256);
  return rtl::String(name);
}

// ASCII lower case: class names never follow the user's locale.
rtl::String AsciiLower(rtl::String s) {
  for (auto& c : s)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return s;
}

bool ApplicationGoing() {
  return !vcl::Application || vcl::Application->ComponentState().Contains(vcl::csDestroying);
}

}  // namespace

constinit std::array<TlvWndClass, dckCount> DlgCtrlTypes = MakeDlgCtrlTypes();

// ---- Hook and rules -------------------------------------------------------------------------------------------------

void lvSkinHookCBT(int code, WPARAM wParam, LPARAM lParam) {
  if (ApplicationGoing()) return;
  if (code == HCBT_ACTIVATE) {
    lvAddSupportedForm(reinterpret_cast<HWND>(wParam), nullptr);
  } else if (code == HCBT_CREATEWND && wParam) {
    const HWND wnd = reinterpret_cast<HWND>(wParam);
    const auto* cbt = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
    const CREATESTRUCTW* cs = cbt ? cbt->lpcs : nullptr;
    if (!cs) return;
    const auto cls = reinterpret_cast<ULONG_PTR>(cs->lpszClass);
    if (cls == 0x8000) {
      if (DefaultManager && DefaultManager->Active() && DefaultManager->SkinnedPopups() && !WndIsWrapped(wnd)) {
        if (std::none_of(MnuArray.begin(), MnuArray.end(), [](TlvMnuWnd* w) { return w && !w->Destroyed; }))
          lvClearMnuArray();
        TlvSkinParams params;
        params.SkinSection = L"MAINMENU";
        MnuArray.push_back(NewWrapper<TlvMnuWnd>(wnd, nullptr, DefaultManager, params, false));
        MnuArray.back()->CtrlHandle = wnd;
      }
    } else if (cls == 0x8002) {
      lvAddSupportedForm(wnd, cs);
    } else if (cls >= 0x10000) {
      if (rtl::String(cs->lpszClass) == L"TPUtilWindow" || !cs->dwExStyle || !cs->style) return;
      vcl::TCustomForm* main = vcl::Application->MainForm();
      if (main && (!main->HandleAllocated() || main->Handle() == wnd)) return;
      if (GetParent(wnd)) return;
      lvAddSupportedForm(wnd, cs);
    }
  }
}

TlvDialogWnd* FindFormInList(HWND handle) {
  if (!lvSupportedList || ApplicationGoing() || !handle) return nullptr;
  for (const auto& e : *lvSupportedList)
    if (auto* d = dynamic_cast<TlvDialogWnd*>(e.get()); d && !d->TlvCustomDialogWnd::Destroyed && d->CtrlHandle == handle) return d;
  return nullptr;
}

vcl::TCustomForm* FindFormOnScreen(HWND handle) {
  if (!vcl::Screen || !handle) return nullptr;
  for (int i = vcl::Screen->FormCount() - 1; i >= 0; --i) {
    vcl::TCustomForm* f = vcl::Screen->Forms(i);
    if (!f || f->ComponentState().Contains(vcl::csDestroying) || !f->HandleAllocated()) continue;
    if (f->Handle() == handle) return f;
  }
  return nullptr;
}

int VisibleDlgCount() {
  int n = 0;
  if (!lvSupportedList) return 0;
  for (const auto& e : *lvSupportedList) {
    auto* d = dynamic_cast<TlvDialogWnd*>(e.get());
    if (d && !d->TlvCustomDialogWnd::Destroyed && d->CtrlHandle && IsWindowVisible(d->CtrlHandle)) ++n;
  }
  return n;
}

bool ControlExists(HWND handle, const rtl::String& name) {
  for (HWND c = GetTopWindow(handle); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (AsciiLower(ClassNameOf(c)) == name) return true;
    if (ControlExists(c, name)) return true;
  }
  return false;
}

void SweepDestroyedDialogs() {
  if (!lvSupportedList) return;
  // A dialog whose window is gone keeps nothing alive: its wrappers already gave their windows back.
  for (auto& e : *lvSupportedList)
    if (auto* d = dynamic_cast<TlvDialogWnd*>(e.get()); d && d->TlvCustomDialogWnd::Destroyed) e.reset();
}

bool lvAddSupportedForm(HWND handle, const CREATESTRUCTW* createStruct) {
  if (!DefaultManager || ApplicationGoing() || !handle || WndIsWrapped(handle)) return false;
  SweepDestroyedDialogs();
  rtl::String cls;
  if (createStruct && reinterpret_cast<ULONG_PTR>(createStruct->lpszClass) >= 0x10000 && createStruct->lpszClass[0])
    cls = createStruct->lpszClass;
  else if (createStruct && reinterpret_cast<ULONG_PTR>(createStruct->lpszClass) == 0x8002)
    cls = L"#32770";
  else
    cls = ClassNameOf(handle);
  const LONG_PTR style = createStruct ? createStruct->style : GetWindowLongPtrW(handle, GWL_STYLE);
  if ((style & WS_POPUP) && !(style & WS_BORDER)) return false;
  if (FindFormInList(handle)) return false;
  if (vcl::TCustomForm* form = FindFormOnScreen(handle)) {
    if (form->Tag() & 0x100) return false;
    if (form->ComponentState().Contains(vcl::csLoading)) return true;
    for (int i = 0; i < ThirdPartySkipForms().Count(); ++i)
      if (ThirdPartySkipForms().Strings(i) == cls) return false;
    const TlvSkinningRule rule = cls == L"TMessageForm" ? srStdDialogs : srStdForms;
    if (!DefaultManager->SkinningRules().Contains(rule)) return false;
    // The run-time provider belongs to the form layer; without it linked in, forms keep their look.
    if (!MakeRTSkinProvider) return false;
    TsCustomSkinProvider* sp = MakeRTSkinProvider(form);
    return sp != nullptr;
  }
  if (cls != L"#32770" && cls != L"NativeHWNDHost") return true;
  if (GetParent(handle)) return true;
  if (!DefaultManager->SkinningRules().Contains(srStdDialogs)) return false;
  if (VisibleDlgCount() > lv_DialogsLevel - 1 && !ControlExists(handle, L"toolbarwindow32")) return false;
  if (DefaultManager->OnSysDlgInit) {
    TlvSysDlgData data;
    data.WindowHandle = handle;
    bool allow = true;
    DefaultManager->OnSysDlgInit(data, allow);
    if (!allow) return false;
  }
  if (!DefaultManager->Active() || !lvSupportedList) return true;
  TlvDialogWnd* wnd = nullptr;
  InitDialog(handle, wnd);
  if (!wnd) return true;
  auto provider = std::make_unique<TlvProvider>();
  provider->ListSW = wnd;
  wnd->Provider = provider.get();
  provider->CtrlHandle = handle;
  TlvProvider* p = provider.get();
  wnd->OwnedProvider = std::move(provider);
  lvSupportedList->push_back(std::unique_ptr<TlvCustomDialogWnd>(wnd));
  if (!p->InitSkin(handle)) {
    for (auto& e : *lvSupportedList)
      if (e.get() == wnd) e.reset();
  }
  return true;
}

void InitDialog(HWND handle, TlvDialogWnd*& wnd) {
  if (DefaultManager && DefaultManager->Active()) {
    if (Lv_UninitializeFlatSB) Lv_UninitializeFlatSB(handle);
    if (wnd && wnd->Destroyed) {
      delete wnd;
      wnd = nullptr;
    }
    if (!wnd) {
      TlvSkinParams params;
      params.SkinSection = L"DIALOG";
      wnd = NewWrapper<TlvDialogWnd>(handle, nullptr, DefaultManager, params, false);
    }
  } else {
    delete wnd;
    wnd = nullptr;
    if (Lv_InitializeFlatSB) Lv_InitializeFlatSB(handle);
  }
}

void BroadCastHwnd(HWND handle, const vcl::TMessage& message) {
  for (HWND c = GetTopWindow(handle); c; c = GetWindow(c, GW_HWNDNEXT))
    SendMessageW(c, message.Msg, message.WParam, message.LParam);
}

// ---- Provider -------------------------------------------------------------------------------------------------------

void TlvProvider::InitForm(vcl::TCustomForm* form) {
  if (form && MakeRTSkinProvider) {
    sp = MakeRTSkinProvider(form);
    CtrlHandle = form->Handle();
  }
}

bool TlvProvider::InitSkin(HWND handle) {
  CtrlHandle = handle;
  if (!DefaultManager || !DefaultManager->Active() || !ListSW) return true;
  if (DlgLeft != -1 || DlgTop != -1)
    SetWindowPos(handle, nullptr, DlgLeft, DlgTop, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
  if (!InitHwndControls(handle)) return false;
  ListSW->InitParams();
  SendAMessage(handle, LVC_SETNEWSKIN, reinterpret_cast<LPARAM>(DefaultManager));
  return true;
}

bool TlvProvider::InitHwndControls(HWND handle) {
  for (HWND c = GetTopWindow(handle); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!InitHwndControls(c)) return false;
    if ((GetWindowLongPtrW(c, GWL_STYLE) & WS_CHILD) && !AddControl(c)) return false;
  }
  return true;
}

TlvCtrlMapRow ControlMapRow(HWND handle) {
  TlvCtrlMapRow row;
  const rtl::String cls = AsciiLower(ClassNameOf(handle));
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_EXSTYLE));
  auto set = [&](TlvDlgCtrlKind k, const wchar_t* s, bool lift = false) {
    row.Kind = k;
    row.Section = s;
    row.LiftPaintBan = lift;
  };
  if (cls == L"static") {
    if ((style & 3) == 3 || (style & 0x0E) == 0x0E)
      (exStyle & WS_EX_STATICEDGE) ? set(dckEdge, L"EDIT") : set(dckIcon, L"");
    else if (!((style & 0x0D) == 0x0D || (style & 0x1F) == 5 || (style & 0x1F) == 6 || (style & 0x1F) == 11))
      set(dckStatic, L"");
  } else if (cls == L"#32770") {
    set(dckTransPanel, L"");
  } else if (cls == L"tpanel") {
    set(dckPanel, L"CHECKBOX");
  } else if (cls == L"tsilentpaintpanel") {
    set(dckPanel, L"GROUPBOX");
  } else if (cls == L"edit") {
    row.LiftPaintBan = true;
    if (IsWindowVisible(handle)) set(dckEdit, L"EDIT", true);
  } else if ((cls == L"button" && (style & 0x0B) != 0x0B) || cls == L"tbutton") {
    if ((style & 7) == 7)
      set(dckGroupBox, L"GROUPBOX");
    else if ((style & 3) == 3 || (style & 2) == 2 || (style & 5) == 5 || (style & 9) == 9 || (style & 4) == 4)
      set(dckCheckBox, L"");
    else
      set(dckBtn, L"");
  } else if (cls == L"combobox" || cls == L"comboboxex32") {
    set(dckComboBox, L"COMBOBOX", true);
  } else if (cls == L"combolbox") {
    set(dckEdit, L"COMBOBOX", true);
  } else if (cls == L"scrollbar") {
    if (style & 0x10) set(dckSizer, L"");
  } else if (cls == L"systabcontrol32") {
    if (!(style & 0x2000)) set(dckTabControl, L"PAGECONTROL");
  } else if (cls == L"syslistview32") {
    set(dckListView, L"EDIT");
  } else if (cls == L"msctls_updown32") {
    set(dckSpin, L"SPEEDBUTTON_SMALL");
  } else if (cls == L"msctls_trackbar32") {
    set(dckTrack, L"TRACKBAR");
  } else if (cls == L"listbox") {
    set(dckEdit, L"EDIT", true);
  } else if (cls == L"link window" || cls == L"syslink") {
    set(dckLink, L"");
  } else if (cls == L"toolbarwindow32") {
    set(dckToolBar, (style & 0x200) ? L"BAR" : L"CHECKBOX");
  } else if (cls == L"systreeview32") {
    set(dckTreeView, L"EDIT");
  } else if (cls == L"shbrowseforfolder") {
    set(dckTransPanel, L"");
  } else if (cls == L"rebarwindow32" || cls == L"msctls_progress32" || cls == L"universalsearchband" ||
             cls == L"address band root" || cls == L"workerw" || cls == L"search box" || cls == L"travelband" ||
             cls == L"breadcrumb parent") {
    if (IsWindowVisible(handle)) set(dckContainer, L"");
  } else if (cls == L"directuihwnd") {
    RECT r;
    GetWindowRect(handle, &r);
    if (r.bottom - r.top == 24) set(dckSearch, L"");
  }
  return row;
}

bool TlvProvider::AddControl(HWND handle) {
  if (!handle) return false;
  if (WndIsWrapped(handle)) return true;
  const TlvCtrlMapRow row = ControlMapRow(handle);
  if (row.LiftPaintBan && ListSW) ListSW->FWMPaintForbidden = false;
  if (row.Kind == dckCount || !DlgCtrlTypes[row.Kind]) return true;
  lvDlgMode = true;
  TlvSkinParams params;
  params.SkinSection = row.Section;
  TsSkinManager* m = ListSW && ListSW->SkinData ? ListSW->SkinData->SkinManager() : DefaultManager;
  bool repaint = true;
  if (row.Kind == dckEdit || row.Kind == dckComboBox)
    repaint = ListSW && ListSW->SkinData && ListSW->SkinData->CacheBmp() && !ListSW->SkinData->CacheBmp()->Empty();
  TlvMainWnd* w = DlgCtrlTypes[row.Kind](handle, nullptr, m, params, repaint);
  lvDlgMode = false;
  if (!w) return true;
  if (row.Kind == dckEdit || row.Kind == dckComboBox || row.Kind == dckListView || row.Kind == dckTreeView)
    w->DlgMode = true;
  if (row.Kind == dckSpin) static_cast<TlvSpinWnd*>(w)->lOffset = 2;
  lvSkinnedCtrls.push_back(w);
  InitCtrlData(handle, w->ParentWnd, w->WndRect, w->ParentRect, w->WndSize, w->WndPos);
  return true;
}

bool TlvProvider::PrintHwndControls(HWND handle, HDC dc) {
  for (HWND c = GetTopWindow(handle); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int saved = SaveDC(dc);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&r), 1);
    POINT org;
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - r.left, org.y - r.top, nullptr);
    const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
    if ((style & WS_CHILD) && (style & WS_VISIBLE)) {
      SendAMessage(c, LVC_PRINTING, reinterpret_cast<LPARAM>(dc));
      SendMessageW(c, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
      SendAMessage(c, LVC_PRINTING, 0);
    }
    PrintHwndControls(c, dc);
    RestoreDC(dc, saved);
  }
  return false;
}

void TlvProvider::SweepControls() {
  auto gone = [](TlvMainWnd* w) {
    if (w && w->Destroyed) {
      delete w;
      return true;
    }
    return !w;
  };
  lvSkinnedCtrls.erase(std::remove_if(lvSkinnedCtrls.begin(), lvSkinnedCtrls.end(), gone), lvSkinnedCtrls.end());
}

TlvProvider::~TlvProvider() {
  for (TlvMainWnd* w : lvSkinnedCtrls) delete w;
  lvSkinnedCtrls.clear();
  ListSW = nullptr;
}

// ---- Popup menus ----------------------------------------------------------------------------------------------------

void lvClearMnuArray() {
  std::vector<TlvMnuWnd*> all;
  all.swap(MnuArray);
  for (TlvMnuWnd* w : all) delete w;
}

TlvMnuWnd::~TlvMnuWnd() { GiveAlphaBack(); }

void TlvMnuWnd::GiveAlphaBack() {
  if (!Transparent) return;
  Transparent = false;
  if (Destroyed || !CtrlHandle || !IsWindow(CtrlHandle)) return;
  const LONG_PTR ex = GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE);
  if (ex & WS_EX_LAYERED) SetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}

void TlvMnuWnd::AfterCreation() {
  Transparent = false;
  RgnChanged = 0;
  Shown = false;
  bFlag = false;
  TlvScrollWnd::AfterCreation();
}

void TlvMnuWnd::PrepareCache() {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->BGChanged && SkinData->CacheBmp() && SkinData->CacheBmp()->Width() == WndSize.cx &&
      SkinData->CacheBmp()->Height() == WndSize.cy)
    return;
  if (!SkinData->CacheBmp()) SkinData->InitCacheBmp();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  cache->SetPixelFormat(vcl::pf32bit);
  cache->SetSize(std::max(1, WndSize.cx), std::max(1, WndSize.cy));
  PaintItem(SkinData, EmptyCI, false, 0, vcl::TRect(0, 0, WndSize.cx, WndSize.cy),
            vcl::TPoint(WndRect.Left - ParentRect.Left, WndRect.Top - ParentRect.Top), cache, false);
  UpdateWndCorners(SkinData, 0, this);
  SkinData->BGChanged = false;
}

void TlvMnuWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (message.Msg == WM_DESTROY || message.Msg == WM_NCDESTROY) {
    TlvScrollWnd::lvWndProc(message);
    Destroyed = true;
    RgnChanged = 0;
    bool alive = false;
    for (TlvMnuWnd* w : MnuArray)
      if (w && !w->Destroyed) {
        alive = true;
        if (w->CtrlHandle) RedrawWindow(w->CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      }
    // With the last menu window gone the records are freed when the next menu window comes (this wrapper is
    // still running here) or when the hook goes.
    (void)alive;
    // The menus still open were painted again above; whatever opens next says afresh who draws its items.
    lvCanHookMenu = false;
    return;
  }
  if (message.Msg == SM_LUMICMD) {
    switch (message.WParamHi()) {
      case LVC_CTRLHANDLED:
        message.Result = 1;
        return;
      case LVC_UPDATING:
        message.Result = RgnChanged;
        return;
      case LVC_DROPPEDDOWN:
        if (IsWindowVisible(h)) RgnChanged = 1;
        return;
      case LVC_GETAPPLICATION:
        message.Result = reinterpret_cast<LRESULT>(vcl::Application);
        return;
      default:
        return;
    }
  }
  // Only a popup whose items the skinned menus draw gets the skinned frame: over items the system draws, the
  // frame's background would hide their texts.
  if (Destroyed || !lvCanHookMenu || !SkinActive() || !DefaultManager || !DefaultManager->SkinnedPopups()) {
    GiveAlphaBack();
    TlvScrollWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_ERASEBKGND: {
      PrepareCache();
      HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : GetDC(h);
      vcl::TBitmap* cache = SkinData->CacheBmp();
      if (dc && cache)
        BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 3, 3, SRCCOPY);
      if (dc && !message.WParam) ReleaseDC(h, dc);
      RgnChanged = 0;
      message.Result = 1;
      return;
    }
    case WM_NCPAINT: {
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      vcl::TBitmap* image = nullptr;
      if (TsSkinableMenus* menus = DefaultManager->SkinableMenus()) image = menus->MenuBitmap(h);
      HDC dc = GetWindowDC(h);
      if (dc) {
        if (image && image->Height() == WndSize.cy &&
            (image->Width() == WndSize.cx || image->Width() == WndSize.cx - 6)) {
          BitBltBorder(dc, 0, 0, image->Width(), image->Height(), image->Canvas()->Handle(), 0, 0, 3);
        } else {
          PrepareCache();
          if (vcl::TBitmap* cache = SkinData->CacheBmp())
            BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, 3);
        }
        ReleaseDC(h, dc);
      }
      // Under composition the client may have been drawn before the window was made transparent.
      if (AeroIsEnabled() && !Shown) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      // The frame is on the window now: it may be seen, at the chosen alpha or opaque.
      const std::uint8_t alpha = DefaultManager->MenuSupport() ? DefaultManager->MenuSupport()->AlphaBlend() : 255;
      const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
      if (alpha < 255) {
        if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetLayeredWindowAttributes(h, 0x1FFFFFFF, alpha, LWA_ALPHA);
      } else if (ex & WS_EX_LAYERED) {
        SetWindowLongPtrW(h, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
      }
      Transparent = false;
      Shown = true;
      message.Result = 0;
      return;
    }
    case WM_WINDOWPOSCHANGING: {
      TlvScrollWnd::lvWndProc(message);
      const auto* wp = reinterpret_cast<const WINDOWPOS*>(message.LParam);
      // Kept invisible until its frame is painted, so the system's unskinned look never flashes up.
      if (!bFlag && wp && !(wp->flags & SWP_NOREDRAW) && (wp->flags & SWP_SHOWWINDOW) && !IsWindowVisible(h)) {
        bFlag = true;
        SetWindowLongPtrW(h, GWL_EXSTYLE, GetWindowLongPtrW(h, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(h, 0x1FFFFFFF, 0, LWA_ALPHA);
        Transparent = true;
        bFlag = false;
      }
      return;
    }
    default:
      TlvScrollWnd::lvWndProc(message);
  }
}
