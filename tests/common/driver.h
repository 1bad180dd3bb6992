#pragma once
// Playing the user from a second thread while the program's own thread runs its message loop: finding the
// program's windows, typing into edits, pressing buttons, choosing menu items and answering message boxes. Every
// step that waits, waits for what it checks (wait.h), never for a fixed time.
#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "tests/common/wait.h"

namespace testutil {

inline std::wstring Text(HWND wnd) {
  wchar_t buf[1024] = {};
  DWORD_PTR length = 0;
  // Sent with a timeout: the window's thread may be busy in a modal loop of its own.
  if (!SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &length))
    return std::wstring();
  return std::wstring(buf, length);
}

inline std::wstring ClassOf(HWND wnd) {
  wchar_t buf[256] = {};
  GetClassNameW(wnd, buf, 256);
  return buf;
}

// Waits until the program's thread has handled every message posted to it before this call (the clicks, keys and
// menu choices sent so far, and what their handlers posted in turn before it ran): the way to check that something
// did NOT happen without a fixed sleep. False when the thread did not get there within the bound.
inline bool Settle(int timeoutMs = kWaitMs) {
  // Twice: a handler of the first round may post work of its own.
  for (int round = 0; round < 2; ++round) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    vcl::Application->Post([done] { *done = true; });
    if (!WaitUntil([&] { return done->load(); }, timeoutMs)) return false;
  }
  return true;
}

// The visible top-level windows of this process.
inline std::vector<HWND> TopWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

inline HWND FindTop(const std::wstring& caption) {
  for (HWND w : TopWindows())
    if (Text(w) == caption) return w;
  return nullptr;
}

inline HWND WaitTop(const std::wstring& caption, int timeoutMs = kWaitMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTop(caption)) != nullptr; }, timeoutMs);
  return found;
}

// A message box of this process (a system dialog window).
inline HWND FindBox() {
  for (HWND w : TopWindows())
    if (ClassOf(w) == L"#32770") return w;
  return nullptr;
}

inline HWND WaitBox(int timeoutMs = kWaitMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindBox()) != nullptr; }, timeoutMs);
  return found;
}

inline std::wstring BoxText(HWND box) {
  HWND label = GetDlgItem(box, 0xFFFF);
  return label ? Text(label) : std::wstring();
}

// Presses the box's button with the id (IDOK, IDYES, IDNO, IDCANCEL) and waits until the box is gone.
inline bool Answer(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// A child window at any depth with the caption.
inline HWND FindChild(HWND parent, const std::wstring& caption) {
  struct Search {
    std::wstring caption;
    HWND found;
  } s{caption, nullptr};
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (Text(w) != s->caption) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The edits of a window in their order on screen, top to bottom.
inline std::vector<HWND> Edits(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) -> BOOL {
        std::wstring cls = ClassOf(w);
        if (cls.find(L"Edit") != std::wstring::npos || cls.find(L"EDIT") != std::wstring::npos)
          reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  return found;
}

inline void Type(HWND edit, const std::wstring& text) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &r);
}

inline void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

// Chooses the menu item at the path of positions (top-level position first) of the window's menu.
inline bool ChooseMenu(HWND frame, std::initializer_list<int> path) {
  HMENU menu = GetMenu(frame);
  UINT id = 0;
  size_t depth = 0;
  for (int pos : path) {
    if (!menu) return false;
    if (++depth == path.size()) {
      id = GetMenuItemID(menu, pos);
    } else {
      menu = GetSubMenu(menu, pos);
    }
  }
  if (id == 0 || id == static_cast<UINT>(-1)) return false;
  return PostMessageW(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0) != 0;
}

inline std::wstring MenuCaption(HWND frame, std::initializer_list<int> path) {
  HMENU menu = GetMenu(frame);
  size_t depth = 0;
  for (int pos : path) {
    if (!menu) return std::wstring();
    if (++depth == path.size()) {
      wchar_t buf[256] = {};
      GetMenuStringW(menu, pos, buf, 256, MF_BYPOSITION);
      return buf;
    }
    menu = GetSubMenu(menu, pos);
  }
  return std::wstring();
}

// The visible MDI children of the frame.
inline std::vector<HWND> MdiChildren(HWND frame) {
  std::vector<HWND> found;
  HWND client = FindWindowExW(frame, nullptr, L"MDICLIENT", nullptr);
  if (!client) return found;
  for (HWND w = GetWindow(client, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w)) found.push_back(w);
  return found;
}

inline std::vector<HWND> MdiChildrenCaptioned(HWND frame, const std::wstring& caption) {
  std::vector<HWND> found;
  for (HWND w : MdiChildren(frame))
    if (Text(w) == caption) found.push_back(w);
  return found;
}

}  // namespace testutil
