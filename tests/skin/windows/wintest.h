#pragma once
// Helpers of the window wrappers' tests: the test skins with scroll-bar sections of plain, distinct colours, a host
// window, screen pixels, waiting with a bound and screenshots.
#include <gtest/gtest.h>
#include <intrin.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/windows/lvSBUtils.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"

namespace wintest {

struct Rgb {
  int r, g, b;
  COLORREF ref() const { return RGB(r, g, b); }
};

// The scroll-bar colours each test skin gets.
struct ScrollColours {
  Rgb track1, track2, button, arrow, buttonHot, slider;
};
inline const ScrollColours kLale{{208, 64, 64}, {40, 160, 40}, {40, 40, 200},
                                 {255, 255, 0}, {90, 90, 240}, {230, 140, 20}};
inline const ScrollColours kDeniz{{120, 0, 120},   {0, 120, 120},   {90, 90, 90},
                                  {255, 255, 255}, {150, 150, 150}, {250, 250, 0}};

inline std::string Cv(Rgb c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%02X%02X%02X", c.b, c.g, c.r);
  return buf;
}

// The scroll-bar sections appended to a skin's options.
inline std::string ScrollSections(const ScrollColours& c) {
  std::string s = "\r\n";
  for (const char* n : {"SCROLLBAR1H", "SCROLLBAR1V"})
    s += std::string("[") + n + "]\r\nSTATES=1\r\nCOLOR=" + Cv(c.track1) + "\r\n\r\n";
  for (const char* n : {"SCROLLBAR2H", "SCROLLBAR2V"})
    s += std::string("[") + n + "]\r\nSTATES=1\r\nCOLOR=" + Cv(c.track2) + "\r\n\r\n";
  for (const char* n : {"SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM"})
    s += std::string("[") + n + "]\r\nSTATES=3\r\nCOLOR=" + Cv(c.button) + "\r\nHOTCOLOR=" + Cv(c.buttonHot) +
         "\r\nCOLOR2=" + Cv(c.buttonHot) + "\r\nFONTCOLOR=" + Cv(c.arrow) + "\r\nHOTFONTCOLOR=" + Cv(c.arrow) +
         "\r\nFONTCOLOR2=" + Cv(c.arrow) + "\r\n\r\n";
  for (const char* n : {"SCROLLSLIDERH", "SCROLLSLIDERV"})
    s += std::string("[") + n + "]\r\nSTATES=3\r\nCOLOR=" + Cv(c.slider) + "\r\nHOTCOLOR=" + Cv(c.slider) +
         "\r\nCOLOR2=" + Cv(c.slider) + "\r\n\r\n";
  return s;
}

// A skin folder with both test skins and their scroll-bar sections.
class ScrollSkins {
 public:
  ScrollSkins() {
    Add(L"Lale", kLale);
    Add(L"Deniz", kDeniz);
  }
  const std::wstring& Path() const { return dir_.Path(); }

 private:
  void Add(const std::wstring& name, const ScrollColours& c) {
    dir_.AddFolder(name);
    auto bytes = skintest::SourceBytes(name + L"\\Options.dat");
    const std::string extra = ScrollSections(c);
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    dir_.Write(name + L"\\Options.dat", bytes);
  }
  skintest::TempSkinDir dir_;
};

inline bool Near(COLORREF a, COLORREF b, int tolerance = 10) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// One screen pixel.
inline COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 1, 1);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, 1, 1, screen, x, y, SRCCOPY);
  const COLORREF c = GetPixel(mem, 0, 0);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return c;
}

inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Handles the thread's messages until cond holds; false after the bound.
inline bool PumpUntil(const std::function<bool()>& cond, unsigned boundMs = 20000) {
  const ULONGLONG end = GetTickCount64() + boundMs;
  for (;;) {
    Pump();
    if (cond()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Handles messages for a while (to show that something does not happen).
inline void PumpFor(unsigned ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// The screen under a window (and a margin), written to $TAVREL_SHOTS/<name>.png when the variable is set.
inline void SaveShot(HWND wnd, const std::string& name) {
  const char* dir = std::getenv("TAVREL_SHOTS");
  if (!dir || !wnd) return;
  RECT r{};
  GetWindowRect(wnd, &r);
  InflateRect(&r, 6, 6);
  const int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  vcl::TPngPixels out;
  out.Width = w;
  out.Height = h;
  const auto* px = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < w * h; ++i) out.Pixels.push_back(px[i] | 0xFF000000u);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  CreateDirectoryW(testutil::WindowsPath(dir).c_str(), nullptr);
  vcl::WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/" + name + ".png"), vcl::EncodePng(out));
}

namespace detail {
// Live entries of the process's GDI handle table, read where the system shares it with the process (the PEB's
// GdiSharedHandleTable: 64K entries of 24 bytes, the object type in byte 14). -1 when there is no such table.
inline long SharedTableCount() {
  auto* peb = reinterpret_cast<const BYTE*>(__readgsqword(0x60));
  if (!peb) return -1;
  auto* table = *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
  if (!table) return -1;
  long count = 0;
  for (int i = 0; i < 0x10000; ++i) count += table[static_cast<size_t>(i) * 24 + 14] != 0;
  return count;
}
}  // namespace detail

// The number of the process's GDI objects: GetGuiResources, or, where that is not implemented (it answers 0), the
// live entries of the shared handle table when creating and deleting brushes shows up there. -1: no way to count.
inline long GdiObjectCount() {
  const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (n) return static_cast<long>(n);
  const long before = detail::SharedTableCount();
  if (before < 0) return -1;
  HBRUSH probe[8];
  for (HBRUSH& b : probe) b = CreateSolidBrush(RGB(1, 2, 3));
  const long with = detail::SharedTableCount();
  for (HBRUSH b : probe) DeleteObject(b);
  const long after = detail::SharedTableCount();
  return with == before + 8 && after == before ? before : -1;
}

inline int VPos(HWND wnd, int bar = SB_VERT) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(wnd, bar, &si);
  return si.nPos;
}

inline SCROLLINFO Info(HWND wnd, int bar = SB_VERT) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(wnd, bar, &si);
  return si;
}

inline LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

// A plain top-level window with a white background to put the wrapped windows on.
inline HWND Host(int x, int y, int w, int h) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"wrapHost";
    RegisterClassExW(&wc);
    registered = true;
  }
  return CreateWindowExW(0, L"wrapHost", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// A default skin manager on owner, off, with Lale chosen from skinFolder: the test sets its options and switches it
// on.
inline TsSkinManager* LaleManager(vcl::TComponent* owner, const std::wstring& skinFolder) {
  auto* manager = vcl::Create<TsSkinManager>(owner);
  manager->SetIsDefault(true);
  manager->SetActive(false);
  manager->SetSkinDirectory(skinFolder);
  manager->SetSkinName(L"Lale");
  return manager;
}

// The application started with the cursor away from every window, and a host form of the application's carrying a
// LaleManager.
inline TsSkinManager* StartUnderLale(vcl::TForm*& hostForm, const std::wstring& skinFolder) {
  vcl::Application->Initialize();
  SetCursorPos(1270, 1010);
  hostForm = vcl::Create<vcl::TForm>(vcl::Application);
  return LaleManager(hostForm, skinFolder);
}

// A test under Lale from a folder of Skins switched on, the manager on a host form of the application's.
template <class Skins>
class UnderLale : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = StartUnderLale(hostForm, skins.Path());
    manager->SetActive(true);
  }
  void TearDown() override {
    hostForm->Free();
    Pump();
  }

  Skins skins;
  vcl::TForm* hostForm = nullptr;
  TsSkinManager* manager = nullptr;
};

// A multi-line text of n numbered lines.
inline std::wstring Lines(int n) {
  std::wstring s;
  for (int i = 1; i <= n; ++i) s += L"Satır " + std::to_wstring(i) + L" ığüşöç İ\r\n";
  return s;
}

}  // namespace wintest
