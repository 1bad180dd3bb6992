#include "skin/forms/sDwmEffects.h"

#include <dwmapi.h>

HMODULE InitDwmApi() {
  static HMODULE dwm = LoadLibraryW(L"DWMAPI.DLL");
  return dwm;
}

HRESULT SetBlurBehindWindow(HWND handle, bool enable, HRGN rgn) {
  using Fn = HRESULT(WINAPI*)(HWND, const DWM_BLURBEHIND*);
  static Fn fn = [] {
    HMODULE dwm = InitDwmApi();
    return dwm ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmEnableBlurBehindWindow")))
               : nullptr;
  }();
  HRESULT hr = E_NOTIMPL;
  if (fn) {
    DWM_BLURBEHIND bb{};
    bb.dwFlags = DWM_BB_ENABLE | (rgn ? DWM_BB_BLURREGION : 0);
    bb.fEnable = enable ? TRUE : FALSE;
    bb.hRgnBlur = rgn;
    bb.fTransitionOnMaximized = FALSE;
    hr = fn(handle, &bb);
  }
  if (rgn) DeleteObject(rgn);
  return hr;
}
