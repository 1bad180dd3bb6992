#include "skin/core/services/sDialogs.h"

#include <array>
#include <vector>

#include "platform/vcl/application.h"

TsMessageDlgHandler sMessageDlgHandler;
int DlgLeft = -1;
int DlgTop = -1;
std::function<void(int helpContext)> sApplicationHelpContext;

namespace {

const std::array<rtl::String, 5>& Captions() {
  static const std::array<rtl::String, 5> captions{L"Warning", L"Error", L"Information", L"Confirm", L""};
  return captions;
}

void CALLBACK MsgBoxCallback(LPHELPINFO helpInfo) {
  if (helpInfo && helpInfo->dwContextId != 0 && sApplicationHelpContext)
    sApplicationHelpContext(static_cast<int>(helpInfo->dwContextId));
}

// Until the dialog skinning places the box at (DlgLeft, DlgTop), a hook of this thread moves it there once it has
// placed itself.
thread_local HHOOK t_placeHook = nullptr;

LRESULT CALLBACK PlaceBox(int code, WPARAM wParam, LPARAM lParam) {
  auto* ret = reinterpret_cast<CWPRETSTRUCT*>(lParam);
  HHOOK hook = t_placeHook;
  if (code == HC_ACTION && ret && ret->message == WM_INITDIALOG) {
    RECT r;
    GetWindowRect(ret->hwnd, &r);
    SetWindowPos(ret->hwnd, nullptr, DlgLeft >= 0 ? DlgLeft : r.left, DlgTop >= 0 ? DlgTop : r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    t_placeHook = nullptr;
    const LRESULT result = CallNextHookEx(hook, code, wParam, lParam);
    UnhookWindowsHookEx(hook);
    return result;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

// The thread's enabled, visible top-level windows are disabled while the box runs, and only those are enabled
// again afterwards.
BOOL CALLBACK DisableOne(HWND wnd, LPARAM list) {
  if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
    EnableWindow(wnd, FALSE);
  }
  return TRUE;
}

}  // namespace

const rtl::String& sDialogCaption(vcl::TMsgDlgType dlgType) {
  const auto i = static_cast<size_t>(dlgType);
  return Captions()[i < Captions().size() ? i : Captions().size() - 1];
}

unsigned sMessageDlgStyle(vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons b) {
  unsigned style = 0;
  switch (dlgType) {
    case vcl::mtWarning: style = MB_ICONWARNING; break;
    case vcl::mtError: style = MB_ICONERROR; break;
    case vcl::mtInformation: style = MB_ICONINFORMATION; break;
    case vcl::mtConfirmation: style = MB_ICONQUESTION; break;
    default: break;
  }
  if (b.Contains(vcl::mbOK))
    style |= b.Contains(vcl::mbCancel) ? MB_OKCANCEL : MB_OK;
  else if (b.Contains(vcl::mbAbort) || b.Contains(vcl::mbIgnore))
    style |= MB_ABORTRETRYIGNORE;
  else if (b.Contains(vcl::mbYes) || b.Contains(vcl::mbNo))
    style |= b.Contains(vcl::mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if (b.Contains(vcl::mbRetry))
    style |= MB_RETRYCANCEL;
  else
    style |= MB_OK;
  if (b.Contains(vcl::mbHelp)) style |= MB_HELP;
  return style;
}

int sMessageDlgPosHelp(const rtl::String& caption, const rtl::String& msg, vcl::TMsgDlgType dlgType,
                       vcl::TMsgDlgButtons buttons, int helpCtx, int x, int y, const rtl::String&) {
  const rtl::String& shown = caption.empty() ? sDialogCaption(dlgType) : caption;
  DlgLeft = x;
  DlgTop = y;
  if ((x >= 0 || y >= 0) && !t_placeHook)
    t_placeHook = SetWindowsHookExW(WH_CALLWNDPROCRET, &PlaceBox, nullptr, GetCurrentThreadId());
  MSGBOXPARAMSW params{};
  params.cbSize = sizeof(params);
  params.dwContextHelpId = static_cast<DWORD_PTR>(helpCtx);
  params.dwStyle = sMessageDlgStyle(dlgType, buttons);
  params.lpszCaption = shown.c_str();
  params.lpszText = msg.c_str();
  params.hwndOwner = vcl::DialogOwnerWindow();
  params.lpfnMsgBoxCallback = &MsgBoxCallback;
  HWND active = GetActiveWindow();
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&disabled));
  const int answer = MessageBoxIndirectW(&params);
  for (HWND w : disabled)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  if (active && IsWindow(active)) {
    SetFocus(nullptr);
    SetActiveWindow(active);
    SetFocus(active);
  }
  if (t_placeHook) {  // the box never came up
    UnhookWindowsHookEx(t_placeHook);
    t_placeHook = nullptr;
  }
  DlgLeft = -1;
  DlgTop = -1;
  return answer;
}

int sMessageDlg(const rtl::String& text, vcl::TMsgDlgType dlgType, vcl::TMsgDlgButtons buttons, int helpCtx) {
  if (sMessageDlgHandler) return sMessageDlgHandler(text, dlgType, buttons);
  return sMessageDlgPosHelp(rtl::String(), text, dlgType, buttons, helpCtx, -1, -1, rtl::String());
}

void sShowMessage(const rtl::String& text) {
  if (sMessageDlgHandler) {
    sMessageDlgHandler(text, vcl::mtCustom, vcl::TMsgDlgButtons{vcl::mbOK});
    return;
  }
  vcl::ShowMessage(text);
}
