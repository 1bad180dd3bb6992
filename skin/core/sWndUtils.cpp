#include "skin/core/sWndUtils.h"

#include <uxtheme.h>

HMODULE uxthemeLib = nullptr;
TSetWindowTheme Lv_SetWindowTheme = nullptr;
TSHGetFileInfoW lvSHGetFileInfo = nullptr;

namespace {
HMODULE shellLib = nullptr;

// The visual-style entry is bound when the program starts and the library let go when it ends.
struct TThemeLibrary {
  TThemeLibrary() {
    uxthemeLib = LoadLibraryW(L"uxtheme.dll");
    if (uxthemeLib)
      Lv_SetWindowTheme = reinterpret_cast<TSetWindowTheme>(
          reinterpret_cast<void*>(GetProcAddress(uxthemeLib, "SetWindowTheme")));
    InitSysProc();
  }
  ~TThemeLibrary() {
    Lv_SetWindowTheme = nullptr;
    if (uxthemeLib) FreeLibrary(uxthemeLib);
    uxthemeLib = nullptr;
    lvSHGetFileInfo = nullptr;
    if (shellLib) FreeLibrary(shellLib);
    shellLib = nullptr;
  }
} themeLibrary;

int themesState = -1;  // -1 not asked yet
}  // namespace

rtl::String GetWndClassName(HWND handle) {
  wchar_t buf[128];
  int n = GetClassNameW(handle, buf, 128);
  if (n <= 0) return rtl::String();
  if (n > 127) n = 127;
  return rtl::String(buf, static_cast<size_t>(n));
}

vcl::TRect lvClientRect(HWND handle) {
  RECT wr{}, cr{};
  if (!handle || !GetWindowRect(handle, &wr) || !GetClientRect(handle, &cr)) return vcl::TRect();
  POINT p{0, 0};
  ClientToScreen(handle, &p);
  int x = p.x - wr.left, y = p.y - wr.top;
  return vcl::TRect(x, y, x + cr.right, y + cr.bottom);
}

int GetAlignShift(vcl::TWinControl* control, vcl::TAlign align, bool graphCtrlsToo) {
  if (!control) return 0;
  bool vertical = align == vcl::alTop || align == vcl::alBottom;
  bool horizontal = align == vcl::alLeft || align == vcl::alRight;
  if (!vertical && !horizontal) return 0;
  int sum = 0;
  for (int i = 0; i < control->ControlCount(); ++i) {
    vcl::TControl* child = control->Controls(i);
    if (!child || !child->Visible() || child->Align() != align) continue;
    if (!child->IsWindowed() && !graphCtrlsToo) continue;
    sum += vertical ? child->Height() : child->Width();
  }
  return sum;
}

namespace {
struct TWorkSearch {
  POINT p;
  RECT found;
  bool ok;
};

BOOL CALLBACK FindWork(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* s = reinterpret_cast<TWorkSearch*>(data);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(monitor, &mi) && PtInRect(&mi.rcWork, s->p)) {
    s->found = mi.rcWork;
    s->ok = true;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

vcl::TRect lvWorkRect(const vcl::TPoint& p) {
  TWorkSearch s{{p.X, p.Y}, {}, false};
  EnumDisplayMonitors(nullptr, nullptr, FindWork, reinterpret_cast<LPARAM>(&s));
  return s.ok ? vcl::TRect(s.found) : vcl::TRect(0, 0, 0, 0);
}

vcl::TRect lvWorkRect(vcl::TCustomForm* form) {
  HMONITOR monitor = form && form->HandleAllocated() ? MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTONEAREST)
                                                     : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!monitor || !GetMonitorInfoW(monitor, &mi)) return vcl::TRect(0, 0, 0, 0);
  return vcl::TRect(mi.rcWork);
}

void SetRedraw(HWND handle, int value) { SendMessageW(handle, WM_SETREDRAW, static_cast<WPARAM>(value), 0); }

vcl::TPoint lvMousePos() {
  POINT p{0, 0};
  GetCursorPos(&p);
  return vcl::TPoint(p.x, p.y);
}

bool lvThemesEnabled() {
  if (themesState < 0) themesState = IsThemeActive() && IsAppThemed() ? 1 : 0;
  return themesState == 1;
}

void InitSysProc() {
  if (lvSHGetFileInfo) return;
  if (!shellLib) shellLib = LoadLibraryW(L"shell32.dll");
  if (shellLib)
    lvSHGetFileInfo =
        reinterpret_cast<TSHGetFileInfoW>(reinterpret_cast<void*>(GetProcAddress(shellLib, "SHGetFileInfoW")));
}
