// Menus in a visual style: the menu bar and the menus that open from it or pop up paint in the style's menu colours
// while a style other than the system's is active, and in the system's own colours again under the system style.
#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/styles.h"

using namespace vcl;

namespace {

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const String& caption) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

COLORREF Gdi(TColor c) { return ColorToGdi(c); }

// The colour of the brush a menu handle paints its background with; CLR_INVALID when it has none of its own.
COLORREF MenuBackground(HMENU menu) {
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_BACKGROUND;
  if (!GetMenuInfo(menu, &info) || !info.hbrBack) return CLR_INVALID;
  LOGBRUSH lb{};
  GetObjectW(info.hbrBack, sizeof(lb), &lb);
  return lb.lbColor;
}

class MenuStyle : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form_ = new TForm(nullptr);
    form_->SetBounds(40, 40, 420, 260);
    form_->SetCaption(L"Ana sayfa");
    menu_ = new TMainMenu(form_);
    TMenuItem* settings = AddItem(form_, menu_->Items(), L"Ayarlar");
    AddItem(form_, settings, L"Sabit Bilgiler");
    sub_ = settings;
    AddItem(form_, menu_->Items(), L"Yardım");
    form_->SetMenu(menu_);
  }
  void TearDown() override {
    TStyleManager::SetStyle(TStyleManager::kSystemStyleName);
    delete form_;
  }
  void ShowAndPaint() {
    form_->Show();
    Application->ProcessMessages();
    UpdateWindow(form_->Handle());
    Application->ProcessMessages();
  }
  // A pixel of the menu bar right of its last item, read from the window's own surface.
  COLORREF BarPixel() {
    MENUBARINFO mbi{};
    mbi.cbSize = sizeof(mbi);
    EXPECT_TRUE(GetMenuBarInfo(form_->Handle(), OBJID_MENU, 0, &mbi));
    RECT wr;
    GetWindowRect(form_->Handle(), &wr);
    HDC dc = GetWindowDC(form_->Handle());
    COLORREF c = GetPixel(dc, mbi.rcBar.right - wr.left - 6, (mbi.rcBar.top + mbi.rcBar.bottom) / 2 - wr.top);
    ReleaseDC(form_->Handle(), dc);
    return c;
  }
  TForm* form_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TMenuItem* sub_ = nullptr;
};

TEST_F(MenuStyle, BarAndSubmenusFollowTheStyleBothWays) {
  ShowAndPaint();
  const COLORREF systemBar = BarPixel();
  EXPECT_EQ(MenuBackground(menu_->Handle()), CLR_INVALID);

  TStyleManager::SetStyle(L"Sky");
  Application->ProcessMessages();
  UpdateWindow(form_->Handle());
  const COLORREF skyBar = Gdi(StyleServices().GetStyleColor(scMenuBar));
  const COLORREF skyMenu = Gdi(StyleServices().GetStyleColor(scMenu));
  ASSERT_NE(skyBar, systemBar);
  EXPECT_EQ(MenuBackground(menu_->Handle()), skyBar);
  EXPECT_EQ(MenuBackground(sub_->Handle()), skyMenu);
  EXPECT_EQ(BarPixel(), skyBar);

  // Items added later open in the style as well.
  TMenuItem* help = menu_->Items()->Items(1);
  AddItem(form_, help, L"Hakkında");
  EXPECT_EQ(MenuBackground(help->Handle()), skyMenu);

  TStyleManager::SetStyle(TStyleManager::kSystemStyleName);
  Application->ProcessMessages();
  UpdateWindow(form_->Handle());
  EXPECT_EQ(MenuBackground(menu_->Handle()), CLR_INVALID);
  EXPECT_EQ(MenuBackground(sub_->Handle()), CLR_INVALID);
  EXPECT_EQ(BarPixel(), systemBar);
}

// While the popup is open, reads a pixel of its background right of the item texts and closes it.
struct PopupProbe {
  static inline COLORREF seen = CLR_INVALID;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, id);
    RECT r;
    GetClientRect(popup, &r);
    HDC dc = GetDC(popup);
    seen = GetPixel(dc, r.right - 4, r.bottom / 2);
    ReleaseDC(popup, dc);
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EndMenu();
  }
};

TEST_F(MenuStyle, PopupMenuOpensInTheStyleActiveWhenItOpens) {
  ShowAndPaint();
  auto* popup = new TPopupMenu(form_);
  AddItem(form_, popup->Items(), L"Öğrenciyi Sil");
  AddItem(form_, popup->Items(), L"Yazdır");
  popup->Handle();  // made under the system style

  TStyleManager::SetStyle(L"Sky");
  PopupProbe::seen = CLR_INVALID;
  SetTimer(nullptr, 0, 50, &PopupProbe::Tick);
  SetForegroundWindow(form_->Handle());
  popup->Popup(100, 100);
  EXPECT_EQ(MenuBackground(popup->Handle()), Gdi(StyleServices().GetStyleColor(scMenu)));
  EXPECT_EQ(PopupProbe::seen, Gdi(StyleServices().GetStyleColor(scMenu)));
}

}  // namespace
