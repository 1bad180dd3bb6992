#include "skin/core/services/sDialogHook.h"

#include "platform/vcl/forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"

HHOOK HookCallback = nullptr;
TlvDialogHooks lvDialogHooks;
TlvRTProviderFactory MakeRTSkinProvider = nullptr;
std::unique_ptr<std::vector<std::unique_ptr<TlvCustomDialogWnd>>> lvSupportedList;

namespace {
constexpr wchar_t kWrapperProp[] = L"LVSBSC";
}

constexpr wchar_t kDialogProp[] = L"LVSDLG";

TlvCustomDialogWnd::TlvCustomDialogWnd(HWND handle, TsSkinManager* manager) : CtrlHandle(handle), SkinManager(manager) {
  SkinData = std::make_unique<TsCommonData>(nullptr, true);
  if (manager) SkinData->SetSkinManager(manager);
  SkinData->FSWHandle = handle;
  if (!handle || !IsWindow(handle) || GetPropW(handle, kDialogProp)) return;
  SetPropW(handle, kDialogProp, this);
  OldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TlvCustomDialogWnd::Proc)));
}

TlvCustomDialogWnd::~TlvCustomDialogWnd() { Detach(); }

void TlvCustomDialogWnd::Detach() {
  if (!CtrlHandle || !OldProc) return;
  if (IsWindow(CtrlHandle)) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC)) == &TlvCustomDialogWnd::Proc)
      SetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldProc));
    if (GetPropW(CtrlHandle, kDialogProp) == this) RemovePropW(CtrlHandle, kDialogProp);
  }
  OldProc = nullptr;
}

LRESULT CALLBACK TlvCustomDialogWnd::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<TlvCustomDialogWnd*>(GetPropW(wnd, kDialogProp));
  if (!self || !self->OldProc) return DefWindowProcW(wnd, msg, wParam, lParam);
  WNDPROC old = self->OldProc;
  if (msg == WM_NCDESTROY) {
    // The window goes before its wrapper: hand it its own procedure back and forget it.
    self->Detach();
    self->Destroyed = true;
    self->CtrlHandle = nullptr;
  }
  return CallWindowProcW(old, wnd, msg, wParam, lParam);
}

LRESULT CALLBACK SkinHookCBT(int code, WPARAM wParam, LPARAM lParam) {
  // The next hook answers first, and its answer is ours: nothing here may veto a window.
  const LRESULT result = CallNextHookEx(HookCallback, code, wParam, lParam);
  if (lvDialogHooks.CBT)
    lvDialogHooks.CBT(code, wParam, lParam);
  else if (code == HCBT_ACTIVATE)
    AddSupportedForm(reinterpret_cast<HWND>(wParam));
  return result;
}

void ClearMnuArray() {
  if (lvDialogHooks.ClearMnuArray) lvDialogHooks.ClearMnuArray();
}

rtl::TStringList& ThirdPartySkipForms() {
  static rtl::TStringList list;
  if (list.Count() == 0) {
    list.SetCaseSensitive(true);
    for (const wchar_t* name : {L"TApplication", L"TfcPopup", L"TcxComboBoxPopupWindow", L"TcxCustomPopupWindow",
                                L"TdxPopupEditForm", L"TcxDateEditPopupWindow", L"TcxGridFilterPopup"})
      list.Add(name);
    list.SetSorted(true);
  }
  return list;
}

bool AddSupportedForm(HWND handle) {
  if (lvDialogHooks.AddSupportedForm) return lvDialogHooks.AddSupportedForm(handle, nullptr);
  if (!handle || !lvSupportedList || WndIsWrapped(handle)) return false;
  wchar_t name[256] = {};
  GetClassNameW(handle, name, 256);
  // Exact and case-sensitive, as the list is kept.
  for (int i = 0; i < ThirdPartySkipForms().Count(); ++i)
    if (ThirdPartySkipForms().Strings(i) == name) return false;
  if (rtl::String(name) != L"#32770") return false;
  if (DefaultManager && DefaultManager->OnSysDlgInit) {
    TlvSysDlgData data;
    data.WindowHandle = handle;
    bool allow = true;
    DefaultManager->OnSysDlgInit(data, allow);
    if (!allow) return false;
  }
  lvSupportedList->push_back(std::make_unique<TlvCustomDialogWnd>(handle, nullptr));
  return true;
}

bool WndIsWrapped(HWND handle) {
  return handle && (GetPropW(handle, kWrapperProp) || GetPropW(handle, kDialogProp));
}

void TlvCustomProvider::PrintHwndControls(HWND handle, HDC dc) {
  if (!handle || !dc) return;
  // GetWindow walks from the top of the Z order; the bottom one paints first.
  std::vector<HWND> children;
  for (HWND c = GetWindow(handle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    HWND child = *it;
    // The child's own visibility: a dialog about to be shown, or just hidden, has its controls printed all the same.
    if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&r), 2);
    const int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + r.left, org.y + r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    RestoreDC(dc, saved);
  }
}

void TlvCustomDialogWnd::PaintAll() {
  if (!CtrlHandle) return;
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  vcl::TBitmap* cache = SkinData->CacheBmp();
  cache->SetPixelFormat(vcl::pf32bit);
  cache->SetSize(wr.right - wr.left, wr.bottom - wr.top);
  // The frame as the system draws it; a skinned frame is painted by the dialog skinning over it.
  HDC dc = GetWindowDC(CtrlHandle);
  BitBlt(cache->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(CtrlHandle, dc);
}

int TlvCustomDialogWnd::OffsetX() {
  if (!CtrlHandle) return 0;
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  POINT p{0, 0};
  ClientToScreen(CtrlHandle, &p);
  return p.x - wr.left;
}

int TlvCustomDialogWnd::OffsetY() {
  if (!CtrlHandle) return 0;
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  POINT p{0, 0};
  ClientToScreen(CtrlHandle, &p);
  return p.y - wr.top;
}

int TlvCustomDialogWnd::CaptionHeight(bool) {
  if (!CtrlHandle) return 0;
  return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0;
}

void UpdateRgn(TlvCustomDialogWnd* dialogWnd, bool repaint) {
  if (!dialogWnd || !dialogWnd->CtrlHandle) return;
  // A system frame keeps its rectangular window: no region.
  SetWindowRgn(dialogWnd->CtrlHandle, nullptr, repaint);
}

