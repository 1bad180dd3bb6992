// The skinned menu line while the system tracks it: the item it tracks is drawn in the item section's active look
// (shot: $TAVREL_SHOTS/menu_line_hot.png).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/png.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;

namespace {

// The menu-line test waits longer than the frame tests.
bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 10000) { return formtest::WaitFor(cond, boundMs); }

using formtest::SaveScreenAsIs;

class MenuLine : public formtest::FormsUnderAManager {
 protected:
  void SetUp() override {
    Application->Initialize();
    StartManager(SkinsSource());
  }
};

}  // namespace

// The item the system tracks on the menu line (keyboard menu mode, moved by the arrow keys from inside the menu's
// own loop through a timer) is drawn in the item section's active look, and normal again when the loop ends.
TEST_F(MenuLine, TheTrackedItemIsDrawnInTheItemsActiveLook) {
  TForm* f = NewForm(160, 120, 460, 300);
  formtest::SetFileMenuLine(f);
  TsSkinProvider* sp = Skin(f);
  Activate({sp});
  ASSERT_TRUE(sp->MenuPresent());
  const int section = manager->GetSkinIndex(L"MENUITEM");
  ASSERT_TRUE(manager->IsValidSkinIndex(section));
  static struct Run {
    TsSkinProvider* sp;
    HWND wnd;
    COLORREF hot;
    int step;
    std::vector<int> seen;  // HotMenuPos at each step
    bool otherNormal;
    DWORD start;
  } run;
  run = Run{sp,    f->Handle(),   ColorToGdi(manager->gd[static_cast<size_t>(section)].Props[1].Color), 0, {},
            false, GetTickCount()};
  auto hotAt = [](int pos) {
    RECT r{};
    if (!GetMenuItemRect(run.wnd, GetMenu(run.wnd), static_cast<UINT>(pos), &r)) return false;
    HDC screen = GetDC(nullptr);
    const bool hot = GetPixel(screen, r.left + 2, r.top + 2) == run.hot;
    ReleaseDC(nullptr, screen);
    return hot;
  };
  static bool (*hotAtFn)(int);
  hotAtFn = +hotAt;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    if (GetTickCount() - run.start > 20000) {
      run.step = 99;
      EndMenu();
      return;
    }
    if (run.step == 0 && run.sp->HotMenuPos == 0 && hotAtFn(0)) {
      run.seen.push_back(run.sp->HotMenuPos);
      PostMessageW(run.wnd, WM_KEYDOWN, VK_RIGHT, 0);
      run.step = 1;
    } else if (run.step == 1 && run.sp->HotMenuPos == 1 && hotAtFn(1)) {
      run.seen.push_back(run.sp->HotMenuPos);
      run.otherNormal = !hotAtFn(0);
      SaveScreenAsIs(run.wnd, "menu_line_hot");
      run.step = 2;
      EndMenu();
    }
  });
  PostMessageW(f->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  const bool ended = WaitFor([&] { return run.step >= 2 && sp->HotMenuPos == -1; }, 25000);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(ended) << run.step;
  EXPECT_EQ(run.step, 2);
  EXPECT_EQ(run.seen, (std::vector<int>{0, 1}));
  EXPECT_TRUE(run.otherNormal);
  // After the loop no item keeps the active look.
  EXPECT_TRUE(WaitFor([&] { return !hotAtFn(0) && !hotAtFn(1); }));
}
