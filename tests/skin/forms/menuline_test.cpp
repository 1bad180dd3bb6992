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

using namespace vcl;
using namespace skintest;

namespace {

bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 10000) {
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > boundMs) return false;
    Application->ProcessMessages();
    Sleep(5);
  }
  return true;
}

void SaveScreen(HWND wnd, const std::string& name) {
  const char* dir = std::getenv("TAVREL_SHOTS");
  if (!dir) return;
  RECT r{};
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  auto bmp = CreateBmp32(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  TPngPixels out;
  out.Width = w;
  out.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.Pixels.push_back(static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] | 0xFF000000u);
  CreateDirectoryW(testutil::WindowsPath(dir).c_str(), nullptr);
  WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/" + name + ".png"), EncodePng(out));
}

class MenuLine : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    host = Create<TForm>(Application);
    manager = Create<TsSkinManager>(host);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetSkinDirectory(SkinsSource());
    manager->SetSkinName(L"Lale");
  }
  void TearDown() override {
    if (manager) manager->SetActive(false);
    for (TForm* f : forms) f->Free();
    if (host) host->Free();
  }
  TForm* NewForm(int x, int y, int w, int h) {
    auto* f = Create<TForm>(Application);
    f->SetBounds(x, y, w, h);
    f->SetCaption(L"\u00c7izelge");
    f->HandleNeeded();
    forms.push_back(f);
    return f;
  }
  TsSkinProvider* Skin(TForm* f) {
    auto* sp = Create<TsSkinProvider>(f);
    f->Show();
    SetForegroundWindow(f->Handle());
    SetActiveWindow(f->Handle());
    return sp;
  }
  void Activate(std::vector<TsSkinProvider*> providers) {
    manager->SetActive(true);
    for (TsSkinProvider* sp : providers)
      ASSERT_TRUE(WaitFor([&] {
        TBitmap* cache = sp->SkinData()->CacheBmp();
        return sp->SkinData()->Skinned(true) && sp->SystemMenu && cache && cache->Width() == sp->Form->Width() &&
               !sp->SkinData()->BGChanged;
      }));
  }

  TForm* host = nullptr;
  TsSkinManager* manager = nullptr;
  std::vector<TForm*> forms;
};

}  // namespace

// The item the system tracks on the menu line (keyboard menu mode, moved by the arrow keys from inside the menu's
// own loop through a timer) is drawn in the item section's active look, and normal again when the loop ends.
TEST_F(MenuLine, TheTrackedItemIsDrawnInTheItemsActiveLook) {
  TForm* f = NewForm(160, 120, 460, 300);
  auto* menu = new TMainMenu(f);
  for (const wchar_t* caption : {L"&Dosya", L"D\u00fczen", L"Yard\u0131m"}) {
    auto* top = new TMenuItem(f);
    top->SetCaption(caption);
    auto* sub = new TMenuItem(f);
    sub->SetCaption(L"A\u00e7");
    top->Add(sub);
    menu->Items()->Add(top);
  }
  f->SetMenu(menu);
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
      SaveScreen(run.wnd, "menu_line_hot");
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
