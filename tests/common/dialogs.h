#pragma once
// Answering the modal boxes and dialogs a test's own thread opens. A modal loop does not return until the box is
// answered, so the answer comes from a timer of the thread, whose ticks the box's own loop dispatches.
#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/rtl/win.h"

namespace testutil {

// Calls fn on every tick of a timer of this thread while the object lives (also inside modal loops).
class EveryTick {
 public:
  explicit EveryTick(std::function<void()> fn, UINT intervalMs = 30) {
    id_ = SetTimer(nullptr, 0, intervalMs, &Tick);
    Handlers()[id_] = std::move(fn);
  }
  ~EveryTick() {
    KillTimer(nullptr, id_);
    Handlers().erase(id_);
  }
  EveryTick(const EveryTick&) = delete;
  EveryTick& operator=(const EveryTick&) = delete;

 private:
  static std::map<UINT_PTR, std::function<void()>>& Handlers() {
    thread_local std::map<UINT_PTR, std::function<void()>> handlers;
    return handlers;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Handlers().find(id);
    if (it == Handlers().end()) return;
    auto fn = it->second;  // the handler may open a box whose loop ticks again
    fn();
  }
  UINT_PTR id_ = 0;
};

inline std::wstring WindowText(HWND wnd) {
  wchar_t buf[1024] = {};
  GetWindowTextW(wnd, buf, 1024);
  return buf;
}

inline bool IsSystemDialog(HWND wnd) {
  wchar_t cls[32] = {};
  GetClassNameW(wnd, cls, 32);
  return wcscmp(cls, L"#32770") == 0;
}

// Answers every system dialog (message box, file dialog: a visible #32770 window) this thread shows while the
// object lives, each once: types fileName into a file dialog's name box when one is given, then presses the
// button. Only dialogs captioned expectCaption when that is given. Remembers the caption and text of the last one.
class DialogAnswer {
 public:
  explicit DialogAnswer(int button, std::wstring fileName = std::wstring(), std::wstring expectCaption = std::wstring())
      : button_(button),
        fileName_(std::move(fileName)),
        expectCaption_(std::move(expectCaption)),
        timer_([this] { EnumThreadWindows(GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(this)); }) {}

  // How many dialogs were answered, and the caption and text of the last one.
  int seen = 0;
  std::wstring caption, text;

 private:
  static BOOL CALLBACK Find(HWND wnd, LPARAM self) {
    auto* me = reinterpret_cast<DialogAnswer*>(self);
    if (!IsSystemDialog(wnd) || !IsWindowVisible(wnd) || me->answered_.count(wnd)) return TRUE;
    std::wstring cap = WindowText(wnd);
    if (!me->expectCaption_.empty() && cap != me->expectCaption_) return TRUE;
    me->answered_.insert(wnd);
    me->caption = cap;
    HWND label = GetDlgItem(wnd, 0xFFFF);
    me->text = label ? WindowText(label) : std::wstring();
    ++me->seen;
    if (!me->fileName_.empty()) {
      // The file-name box of the open dialog: a combo box whose edit takes the text, or a plain edit.
      HWND name = GetDlgItem(wnd, 0x47C);
      if (!name) name = GetDlgItem(wnd, 0x480);
      SetWindowTextW(name, me->fileName_.c_str());
      if (HWND edit = FindWindowExW(name, nullptr, L"Edit", nullptr)) SetWindowTextW(edit, me->fileName_.c_str());
    }
    // A click on the button itself, as a person makes it.
    if (HWND b = GetDlgItem(wnd, me->button_))
      PostMessageW(b, BM_CLICK, 0, 0);
    else
      PostMessageW(wnd, WM_COMMAND, static_cast<WPARAM>(me->button_), 0);
    return FALSE;
  }

  int button_;
  std::wstring fileName_, expectCaption_;
  std::set<HWND> answered_;
  EveryTick timer_;
};

}  // namespace testutil
