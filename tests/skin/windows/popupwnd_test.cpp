// A skinned popup-menu window stays transparent until its skinned frame is on it: the layered state and alpha are
// read from hooks on the menu window's own messages (when it is being shown, before and after its first frame
// paint) and its frame is read on the screen; without skinned popups it is never layered; a window whose skinned
// frame never comes (skinned popups turned off, or the wrapper freed, while it is being shown) is given back
// opaque; nothing stays layered once the menu is gone. A popup whose items the skinned menus do not draw is left to
// the system. The menus are real ones, driven from a timer inside the
// menu's own loop with a bound.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "skin/core/sMenuSupport.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/windows/lvDials.h"
#include "tests/common/threadwindows.h"
#include "wintest.h"

using namespace vcl;
using namespace wintest;

namespace {

const Rgb kMenuFrame{20, 170, 200};

class MenuSkins {
 public:
  MenuSkins() {
    dir_.AddFolder(L"Lale");
    auto bytes = skintest::SourceBytes(L"Lale\\Options.dat");
    const std::string extra = "\r\n[MAINMENU]\r\nSTATES=1\r\nCOLOR=" + Cv(kMenuFrame) + "\r\n\r\n";
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    dir_.Write(L"Lale\\Options.dat", bytes);
  }
  const std::wstring& Path() const { return dir_.Path(); }

 private:
  skintest::TempSkinDir dir_;
};

// What one menu showed; -1 for an alpha means "not layered".
struct Seen {
  int atShow = -2, beforePaint = -2, afterPaint = -2;
  bool everLayered = false, visible = false, framed = false;
};

enum class MidShow { None, PopupsOff, FreeWrapper };

struct PopupRun {
  Seen seen;
  MidShow mid = MidShow::None;
  bool expectFramed = false;
  TsSkinManager* manager = nullptr;
  HHOOK before = nullptr, after = nullptr;
  ULONGLONG deadline = 0;
};
PopupRun* gRun = nullptr;

bool IsMenuWindow(HWND w) {
  wchar_t cls[16] = {};
  return w && GetClassNameW(w, cls, 16) && std::wstring(cls) == L"#32768";
}

int AlphaOf(HWND w) {
  if (!(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED)) return -1;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(w, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return 255;
  return alpha;
}

void Note(HWND w) {
  if (AlphaOf(w) >= 0) gRun->seen.everLayered = true;
}

LRESULT CALLBACK Before(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && gRun && m && IsMenuWindow(m->hwnd)) {
    Note(m->hwnd);
    if (m->message == WM_NCPAINT && gRun->seen.beforePaint == -2) gRun->seen.beforePaint = AlphaOf(m->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK After(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && gRun && m && IsMenuWindow(m->hwnd)) {
    Note(m->hwnd);
    PopupRun& r = *gRun;
    if (m->message == WM_WINDOWPOSCHANGING && r.seen.atShow == -2) {
      const auto* wp = reinterpret_cast<const WINDOWPOS*>(m->lParam);
      if (wp && (wp->flags & SWP_SHOWWINDOW)) {
        r.seen.atShow = AlphaOf(m->hwnd);
        if (r.mid == MidShow::PopupsOff) r.manager->SetSkinnedPopups(false);
        if (r.mid == MidShow::FreeWrapper) lvClearMnuArray();
      }
    }
    if (m->message == WM_NCPAINT && r.seen.afterPaint == -2) r.seen.afterPaint = AlphaOf(m->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  PopupRun& r = *gRun;
  HWND m = FindWindowW(L"#32768", nullptr);
  if (m && IsWindowVisible(m) && r.seen.afterPaint != -2) {
    r.seen.visible = true;
    RedrawWindow(m, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    RECT wr{};
    GetWindowRect(m, &wr);
    r.seen.framed = Near(ScreenPixel(wr.left + 1, wr.top + 1), kMenuFrame.ref()) &&
                    Near(ScreenPixel(wr.right - 2, wr.bottom - 2), kMenuFrame.ref());
    if (r.seen.framed == r.expectFramed) {
      SaveShot(m, r.expectFramed ? "popup_frame_skinned" : "popup_frame_given_back");
      KillTimer(nullptr, id);
      EndMenu();
      return;
    }
  }
  if (GetTickCount64() > r.deadline) {
    KillTimer(nullptr, id);
    EndMenu();
  }
}

using testutil::LayeredWindowsOfThread;

}  // namespace

class PopupWindows : public UnderLale<MenuSkins> {
 protected:
  // skinnedItems: the popup stands for one whose items the skinned menus draw (they say so while measuring).
  Seen Open(HWND owner, MidShow mid, bool expectFramed, bool skinnedItems) {
    PopupRun run;
    run.mid = mid;
    run.expectFramed = expectFramed;
    run.manager = manager;
    run.deadline = GetTickCount64() + 15000;
    gRun = &run;
    run.before = SetWindowsHookExW(WH_CALLWNDPROC, Before, nullptr, GetCurrentThreadId());
    run.after = SetWindowsHookExW(WH_CALLWNDPROCRET, After, nullptr, GetCurrentThreadId());
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Birinci");
    AppendMenuW(menu, MF_STRING, 2, L"\u0130kinci");
    SetForegroundWindow(owner);
    const UINT_PTR t = SetTimer(nullptr, 0, 50, &Drive);
    lvCanHookMenu = skinnedItems;
    TrackPopupMenu(menu, TPM_RETURNCMD, 200, 200, 0, owner, nullptr);
    KillTimer(nullptr, t);
    UnhookWindowsHookEx(run.before);
    UnhookWindowsHookEx(run.after);
    DestroyMenu(menu);
    gRun = nullptr;
    return run.seen;
  }

};

// Alphas: -1 not layered; -2 the moment never came; -3 either (the wrapper may give the alpha back on an earlier
// message than the paint).
TEST_F(PopupWindows, AreTransparentUntilTheirSkinnedFrameIsPainted) {
  struct Case {
    const char* name;
    bool popups;
    int menuAlpha;
    MidShow mid;
    int atShow, beforePaint, afterPaint;
    bool layeredAtAll, framed;
    bool skinnedItems = true;
  };
  const Case cases[] = {
      {"skinned", true, 255, MidShow::None, 0, 0, -1, true, true},
      {"skinned, the menus' own alpha", true, 200, MidShow::None, 0, 0, 200, true, true},
      {"skinned popups off", false, 255, MidShow::None, -1, -1, -1, false, false},
      {"turned off while shown", true, 255, MidShow::PopupsOff, 0, -3, -1, true, false},
      {"wrapper freed while shown", true, 255, MidShow::FreeWrapper, 0, -1, -1, true, false},
      {"items the system draws", true, 255, MidShow::None, -1, -1, -1, false, false, false},
  };
  HWND owner = Host(20, 20, 200, 100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    manager->SetSkinnedPopups(c.popups);
    manager->MenuSupport()->SetAlphaBlend(static_cast<std::uint8_t>(c.menuAlpha));
    const Seen s = Open(owner, c.mid, c.framed, c.skinnedItems);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.atShow, c.atShow);
    if (c.beforePaint != -3) {
      EXPECT_EQ(s.beforePaint, c.beforePaint);
    }
    EXPECT_EQ(s.afterPaint, c.afterPaint);
    EXPECT_EQ(s.everLayered, c.layeredAtAll);
    EXPECT_EQ(s.framed, c.framed);
    // The menu is gone: no window of this thread is left layered.
    EXPECT_EQ(LayeredWindowsOfThread(), 0);
    // The window's going (its wrapper there to see it) ends the skinned menus' say.
    if (c.popups && c.mid != MidShow::FreeWrapper) {
      EXPECT_FALSE(lvCanHookMenu);
    }
    manager->SetSkinnedPopups(true);
  }
  manager->MenuSupport()->SetAlphaBlend(255);
  DestroyWindow(owner);
}
