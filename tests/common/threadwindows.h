#pragma once
// The calling thread's windows as a test counts them (the visible ones, the layered ones), and a window's layered
// alpha: what the animation and popup tests check after a cover or a fade has come and gone.
#include "platform/rtl/win.h"

namespace testutil {

// The thread's windows for which has(window) holds.
inline int ThreadWindowsWith(BOOL (*has)(HWND)) {
  struct Count {
    BOOL (*has)(HWND);
    int n;
  } count{has, 0};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Count*>(p);
        if (c->has(w)) ++c->n;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

inline int VisibleWindowsOfThread() { return ThreadWindowsWith([](HWND w) { return IsWindowVisible(w); }); }

inline int LayeredWindowsOfThread() {
  return ThreadWindowsWith([](HWND w) -> BOOL { return (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; });
}

// The window's alpha while it is layered with one; -1 otherwise.
inline int LayeredAlpha(HWND w) {
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED) || !GetLayeredWindowAttributes(w, nullptr, &alpha, &flags))
    return -1;
  return (flags & LWA_ALPHA) ? alpha : -1;
}

}  // namespace testutil
