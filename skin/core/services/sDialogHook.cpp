#include "skin/core/services/sDialogHook.h"

#include "platform/vcl/forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/services/sSkinProvider.h"

HHOOK HookCallback = nullptr;
std::unique_ptr<std::vector<std::unique_ptr<TlvScrollWnd>>> lvSupportedList;

namespace {
constexpr wchar_t kWrapperProp[] = L"LVSBSC";
}

int GetScrollMetric(const TlvScrollBar* bar, int metric) {
  const bool horz = bar && bar->Horizontal;
  if (metric == SM_BTNSIZE) return GetSystemMetrics(horz ? SM_CXHSCROLL : SM_CYVSCROLL);
  return GetSystemMetrics(horz ? SM_CYHSCROLL : SM_CXVSCROLL);
}

TlvScrollWnd::TlvScrollWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData* skinData)
    : CtrlHandle(handle), SkinSection(params.SkinSection), SkinManager(manager), SkinData(skinData) {
  sBarHorz = std::make_unique<TlvScrollBar>();
  sBarHorz->Horizontal = true;
  sBarVert = std::make_unique<TlvScrollBar>();
  if (!handle || !IsWindow(handle) || GetPropW(handle, kWrapperProp)) return;
  const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
  sBarHorz->fScrollVisible = (style & WS_HSCROLL) ? 1 : 0;
  sBarVert->fScrollVisible = (style & WS_VSCROLL) ? 1 : 0;
  SetPropW(handle, kWrapperProp, this);
  OldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TlvScrollWnd::Proc)));
}

TlvScrollWnd::~TlvScrollWnd() { Detach(); }

void TlvScrollWnd::Detach() {
  if (!CtrlHandle || !OldProc) return;
  if (IsWindow(CtrlHandle)) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC)) == &TlvScrollWnd::Proc)
      SetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldProc));
    if (GetPropW(CtrlHandle, kWrapperProp) == this) RemovePropW(CtrlHandle, kWrapperProp);
  }
  OldProc = nullptr;
}

LRESULT TlvScrollWnd::CallOld(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(OldProc, CtrlHandle, msg, wParam, lParam);
}

LRESULT TlvScrollWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SM_LUMICMD && HIWORD(wParam) == LVC_GETLISTSW) return reinterpret_cast<LRESULT>(this);
  if (msg == WM_STYLECHANGED && wParam == static_cast<WPARAM>(GWL_STYLE)) {
    const auto* s = reinterpret_cast<const STYLESTRUCT*>(lParam);
    sBarHorz->fScrollVisible = (s->styleNew & WS_HSCROLL) ? 1 : 0;
    sBarVert->fScrollVisible = (s->styleNew & WS_VSCROLL) ? 1 : 0;
  }
  return CallOld(msg, wParam, lParam);
}

LRESULT CALLBACK TlvScrollWnd::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<TlvScrollWnd*>(GetPropW(wnd, kWrapperProp));
  if (!self || !self->OldProc) return DefWindowProcW(wnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window goes before its wrapper: hand it its own procedure back and forget it.
    WNDPROC old = self->OldProc;
    self->Detach();
    self->Destroyed = true;
    self->CtrlHandle = nullptr;
    return CallWindowProcW(old, wnd, msg, wParam, lParam);
  }
  return self->WndProc(msg, wParam, lParam);
}

LRESULT CALLBACK SkinHookCBT(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) AddSupportedForm(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(HookCallback, code, wParam, lParam);
}

void ClearMnuArray() {}

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
  if (!handle || !lvSupportedList || Lv_GetScrollWndFromHwnd(handle)) return false;
  wchar_t name[256] = {};
  GetClassNameW(handle, name, 256);
  // Exact and case-sensitive, as the list is kept.
  for (int i = 0; i < ThirdPartySkipForms().Count(); ++i)
    if (ThirdPartySkipForms().Strings(i) == name) return false;
  if (rtl::String(name) != L"#32770") return false;
  lvSupportedList->push_back(std::make_unique<TlvDialogWnd>(handle, nullptr));
  return true;
}

TlvScrollWnd* Lv_GetScrollWndFromHwnd(HWND handle) {
  if (!handle) return nullptr;
  return static_cast<TlvScrollWnd*>(GetPropW(handle, kWrapperProp));
}

void TlvProvider::PrintHwndControls(HWND handle, HDC dc) {
  if (!handle || !dc) return;
  // GetWindow walks from the top of the Z order; the bottom one paints first.
  std::vector<HWND> children;
  for (HWND c = GetWindow(handle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    HWND child = *it;
    if (!IsWindowVisible(child)) continue;
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

TlvDialogWnd::TlvDialogWnd(HWND handle, TsSkinManager* manager)
    : TlvScrollWnd(handle, TlvSkinParams{L"DIALOG", nullptr}, manager, nullptr) {
  SkinData = std::make_unique<TsCommonData>(nullptr, true);
  if (manager) SkinData->SetSkinManager(manager);
  SkinData->FSWHandle = handle;
  TlvScrollWnd::SkinData = SkinData.get();
}

TlvDialogWnd::~TlvDialogWnd() { Detach(); }

void TlvDialogWnd::PaintAll() {
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

int TlvDialogWnd::OffsetX() {
  if (!CtrlHandle) return 0;
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  POINT p{0, 0};
  ClientToScreen(CtrlHandle, &p);
  return p.x - wr.left;
}

int TlvDialogWnd::OffsetY() {
  if (!CtrlHandle) return 0;
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  POINT p{0, 0};
  ClientToScreen(CtrlHandle, &p);
  return p.y - wr.top;
}

int TlvDialogWnd::CaptionHeight(bool) {
  if (!CtrlHandle) return 0;
  return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0;
}

void UpdateRgn(TlvDialogWnd* dialogWnd, bool repaint) {
  if (!dialogWnd || !dialogWnd->CtrlHandle) return;
  // A system frame keeps its rectangular window: no region.
  SetWindowRgn(dialogWnd->CtrlHandle, nullptr, repaint);
}

TlvComboListWnd* TlvComboListWnd::CreateEx(HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aSkinManager,
                                           const rtl::String& skinSection, bool repaint, bool simply) {
  auto* w = new TlvComboListWnd(aHandle, TlvSkinParams{skinSection, nullptr}, aSkinManager, aSkinData);
  w->Simply = simply;
  if (aHandle && !simply) {
    RECT r;
    GetWindowRect(aHandle, &r);
    SetWindowPos(aHandle, nullptr, 0, 0, r.right - r.left + 1, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (repaint && aHandle) RedrawWindow(aHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
  return w;
}

void UninitializeACScroll(HWND handle, bool free, bool repaint, TlvScrollWnd*& sw) {
  if (!sw) return;
  sw->Detach();
  sw->sBarHorz.reset();
  sw->sBarVert.reset();
  if (repaint && handle && IsWindowVisible(handle))
    RedrawWindow(handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
  if (free) {
    delete sw;
    sw = nullptr;
  }
}

TlvSpinWnd::TlvSpinWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData* skinData)
    : TlvScrollWnd(handle, params, manager, skinData) {
  HWND parent;
  vcl::TRect wr, pr;
  vcl::TSize size;
  InitCtrlData(handle, parent, wr, pr, size, WndPos);
}

LRESULT TlvSpinWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SM_LUMICMD && HIWORD(wParam) == LVC_REFRESH) {
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
  }
  if (msg == WM_PAINT && wParam) {
    // Painting into a given DC: the window prints itself there.
    CallOld(WM_PRINTCLIENT, wParam, PRF_CLIENT | PRF_ERASEBKGND);
    return 0;
  }
  return TlvScrollWnd::WndProc(msg, wParam, lParam);
}

void InitCtrlData(HWND handle, HWND& parentHandle, vcl::TRect& wndRect, vcl::TRect& parentRect, vcl::TSize& wndSize,
                  vcl::TPoint& wndPos) {
  parentHandle = handle ? GetParent(handle) : nullptr;
  RECT r{}, pr{};
  if (handle) GetWindowRect(handle, &r);
  if (parentHandle) GetWindowRect(parentHandle, &pr);
  wndRect = vcl::TRect(r.left, r.top, r.right, r.bottom);
  parentRect = vcl::TRect(pr.left, pr.top, pr.right, pr.bottom);
  wndSize = vcl::TSize{r.right - r.left, r.bottom - r.top};
  POINT p{r.left, r.top};
  if (parentHandle) ScreenToClient(parentHandle, &p);
  wndPos = vcl::TPoint(p.x, p.y);
}

const std::array<TlvSide, 4> lvTabSides = {asTop, asBottom, asLeft, asRight};
