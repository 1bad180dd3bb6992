// Popup menus under each test skin: the items' measurements and their painting into a bitmap of our own against
// the skin's menu sections, keyboard choices in a real open popup (with a screenshot of it), and the platform's
// drawing back once the skin is removed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/png.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

namespace {

using formtest::Distance;
using formtest::Pixels;

// The screen under a window and 16 pixels around it, written to $TAVREL_SHOTS/<name>.png when the variable is set.
void SaveScreen(HWND wnd, const std::string& name) {
  RECT r = formtest::WindowRectOf(wnd);
  InflateRect(&r, 16, 16);
  formtest::SaveScreenRect(r, name);
}

struct SkinCase {
  const wchar_t* name;
  const char* file;
};

class SkinnedMenus : public ::testing::TestWithParam<SkinCase> {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    // Owned by the application, where the menu skinning looks for menus.
    form_ = new vcl::TForm(vcl::Application);
    form_->SetBounds(200, 60, 360, 240);
    manager_ = new TsSkinManager(form_);
    manager_->SetIsDefault(true);
    manager_->SetSkinDirectory(skintest::SkinsSource());
    manager_->SetSkinName(GetParam().name);
    menu_ = new vcl::TPopupMenu(form_);
    auto add = [&](vcl::TMenuItem* parent, const wchar_t* caption) {
      auto* item = new vcl::TMenuItem(form_);
      item->SetCaption(caption);
      item->OnClick = [this](rtl::TObject* s) { clicked_ = dynamic_cast<vcl::TMenuItem*>(s); };
      parent->Add(item);
      return item;
    };
    open_ = add(menu_->Items(), L"&A\u00e7\tCtrl+O");
    divider_ = add(menu_->Items(), L"-");
    checked_ = add(menu_->Items(), L"Kal\u0131n");
    checked_->SetChecked(true);
    disabled_ = add(menu_->Items(), L"Pasif");
    disabled_->SetEnabled(false);
    sub_ = add(menu_->Items(), L"Alt men\u00fc");
    one_ = add(sub_, L"Bir");
    add(sub_, L"\u0130ki");
    form_->Show();
    manager_->SetActive(true);
    ASSERT_TRUE(manager_->CommonSkinData->Active);
    menus_ = dynamic_cast<TsSkinMenus*>(manager_->SkinableMenus());
    ASSERT_NE(menus_, nullptr);
    // A menu made under a skin already in force is handed over by its user, as the skinned controls do.
    menus_->HookPopupMenu(menu_, true);
    section_ = manager_->GetSkinIndex(L"MENUITEM");
    ASSERT_TRUE(manager_->IsValidSkinIndex(section_));
  }
  void TearDown() override { delete form_; }

  COLORREF SectionColor(int state) const {
    return vcl::ColorToGdi(manager_->gd[static_cast<size_t>(section_)].Props[static_cast<size_t>(state)].Color);
  }
  MEASUREITEMSTRUCT Measure(vcl::TMenuItem* item) { return formtest::MeasureMenuItem(form_->Handle(), item); }
  // The item painted alone into a bitmap of its measured size.
  Pixels Draw(vcl::TMenuItem* item, UINT state, int width = 180) {
    return formtest::DrawMenuItem(form_->Handle(), item, state, width, menu_->Handle());
  }
  static bool OwnerDrawn(HMENU menu, int pos) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info) && (info.fType & MFT_OWNERDRAW);
  }

  vcl::TForm* form_ = nullptr;
  TsSkinManager* manager_ = nullptr;
  TsSkinMenus* menus_ = nullptr;
  vcl::TPopupMenu* menu_ = nullptr;
  vcl::TMenuItem *open_ = nullptr, *divider_ = nullptr, *checked_ = nullptr, *disabled_ = nullptr, *sub_ = nullptr,
                 *one_ = nullptr;
  vcl::TMenuItem* clicked_ = nullptr;
  int section_ = -1;
};

TEST_P(SkinnedMenus, ItemsAreMeasuredAndPaintedFromTheSkin) {
  HMENU h = menu_->Handle();
  for (int i = 0; i < GetMenuItemCount(h); ++i) EXPECT_TRUE(OwnerDrawn(h, i)) << i;
  EXPECT_TRUE(OwnerDrawn(sub_->Handle(), 0));

  // Heights: a divider is 2 pixels; an item holds its text and the image column with the margins.
  EXPECT_EQ(Measure(divider_).itemHeight, 2u);
  const MEASUREITEMSTRUCT normal = Measure(checked_);
  EXPECT_GE(normal.itemHeight, static_cast<UINT>(16 + 2 * menus_->Margin() + 2));
  EXPECT_GT(Measure(open_).itemWidth, normal.itemWidth);  // the shortcut text after the tab takes room

  // Background in the item section's normal and selected colours (the right end holds no text).
  const Pixels idle = Draw(checked_, 0);
  const Pixels hot = Draw(checked_, ODS_SELECTED);
  const int y = idle.h / 2;
  EXPECT_LE(Distance(idle.At(idle.w - 4, 1), SectionColor(0)), 6);
  EXPECT_LE(Distance(hot.At(hot.w - 4, 1), SectionColor(1)), 6);

  // The check mark sits in the image column; an unchecked item leaves that column plain.
  auto columnInk = [&](const Pixels& p, COLORREF bg) {
    int n = 0;
    for (int yy = 0; yy < p.h; ++yy)
      for (int x = 0; x < 16 + 2 * menus_->Margin(); ++x) n += Distance(p.At(x, yy), bg) > 40;
    return n;
  };
  EXPECT_GT(columnInk(idle, SectionColor(0)), 4);
  EXPECT_EQ(columnInk(Draw(disabled_, 0), SectionColor(0)), 0);

  // Text: a disabled item is the item covered by the background at 0.4, so its darkest ink is lighter.
  auto strongest = [&](const Pixels& p) {
    int best = 0;
    for (int yy = 0; yy < p.h; ++yy)
      for (int x = 16 + 2 * menus_->Margin(); x < p.w; ++x) best = std::max(best, Distance(p.At(x, yy), SectionColor(0)));
    return best;
  };
  const int enabledInk = strongest(Draw(open_, 0)), disabledInk = strongest(Draw(disabled_, ODS_GRAYED));
  EXPECT_GT(enabledInk, 100);
  EXPECT_GT(disabledInk, 0);
  EXPECT_LT(disabledInk, enabledInk * 3 / 4);

  // The divider: a line in the skin's border colour along the item's top, the item's background below it.
  const Pixels div = Draw(divider_, 0);
  EXPECT_LE(Distance(div.At(div.w / 2, 0), vcl::ColorToGdi(manager_->Palette[pcBorder])), 6);
  EXPECT_LE(Distance(div.At(div.w / 2, 1), SectionColor(0)), 6);
  (void)y;

  // Sub-menu items are painted the same way.
  const Pixels subItem = Draw(one_, ODS_SELECTED);
  EXPECT_LE(Distance(subItem.At(subItem.w - 4, 1), SectionColor(1)), 6);
}

// Keys reach the open popup through the message queue; each step waits (with a bound) for what it needs.
struct KeyCase {
  std::vector<WORD> keys;
  const char* expect;  // "checked" or "sub"
};

TEST_P(SkinnedMenus, KeyboardChoosesInTheOpenSkinnedPopup) {
  const std::vector<KeyCase> cases = {{{VK_DOWN, VK_DOWN}, "checked"}, {{VK_UP, VK_RIGHT}, "sub"}};
  for (size_t c = 0; c < cases.size(); ++c) {
    SCOPED_TRACE(c);
    clicked_ = nullptr;
    static struct Run {
      const KeyCase* kc;
      HWND owner;
      size_t step;
      bool shot, failed;
      COLORREF hot;
      bool hotSeen;
      std::string name;
      std::chrono::steady_clock::time_point deadline;
    } run;
    run = Run{&cases[c], form_->Handle(), 0, c == 0, false, SectionColor(1), false,
              std::string("menu_") + GetParam().file, std::chrono::steady_clock::now() + std::chrono::seconds(30)};
    // The popup's own modal loop dispatches this timer.
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
      if (formtest::Overdue(run)) return;
      HWND popup = formtest::VisiblePopup(true);
      if (!popup) return;
      HMENU m = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
      if (run.step < run.kc->keys.size()) {
        // Each key only after the previous one was handled: the highlight moved.
        int hilite = -1;
        for (int i = 0; m && i < GetMenuItemCount(m); ++i)
          if (GetMenuState(m, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) hilite = i;
        static int lastHilite = -2;
        if (run.step > 0 && hilite == lastHilite) return;
        lastHilite = hilite;
        PostMessageW(run.owner, WM_KEYDOWN, run.kc->keys[run.step], 0);
        ++run.step;
        return;
      }
      // The last key is handled once an item of the popup on top is lit.
      HWND top = formtest::VisiblePopup();
      HMENU tm = reinterpret_cast<HMENU>(SendMessageW(top, MN_GETHMENU, 0, 0));
      int lit = -1;
      for (int i = 0; tm && i < GetMenuItemCount(tm); ++i)
        if (GetMenuState(tm, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) lit = i;
      if (lit < 0) return;
      if (std::string(run.kc->expect) == "sub" && top == popup) return;
      RECT ir{};
      if (GetMenuItemRect(nullptr, tm, static_cast<UINT>(lit), &ir)) {
        HDC screen = GetDC(nullptr);
        run.hotSeen = Distance(GetPixel(screen, ir.right - 6, ir.top + 2), run.hot) <= 12;
        ReleaseDC(nullptr, screen);
        if (!run.hotSeen) return;  // not painted yet
      }
      if (run.shot) {
        SaveScreen(popup, run.name);
        run.shot = false;
      }
      PostMessageW(run.owner, WM_KEYDOWN, VK_RETURN, 0);
      run.step = 1000;
    });
    menu_->Popup(240, 90);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(run.failed);
    EXPECT_TRUE(run.hotSeen);
    EXPECT_EQ(clicked_, std::string(cases[c].expect) == "sub" ? one_ : checked_);
  }
}

TEST_P(SkinnedMenus, RemovingTheSkinGivesTheMenusBackToThePlatform) {
  HMENU h = menu_->Handle();
  ASSERT_TRUE(OwnerDrawn(h, 0));
  // An application's own handler is left alone by the hooking and by the unhooking.
  auto* own = new vcl::TMenuItem(form_);
  own->SetCaption(L"Kendi");
  bool ownDrawn = false;
  own->OnAdvancedDrawItem = [&](rtl::TObject*, vcl::TCanvas*, const vcl::TRect&, UINT) { ownDrawn = true; };
  menu_->Items()->Add(own);
  manager_->SkinableMenus()->HookPopupMenu(menu_, true);
  EXPECT_EQ(own->DrawHandlersOwner(), nullptr);

  manager_->SetActive(false);
  ASSERT_FALSE(manager_->CommonSkinData->Active);
  h = menu_->Handle();
  for (vcl::TMenuItem* i : {open_, checked_, disabled_, sub_, one_}) {
    EXPECT_FALSE(i->OnAdvancedDrawItem) << i->Caption().size();
    EXPECT_EQ(i->DrawHandlersOwner(), nullptr);
  }
  EXPECT_FALSE(OwnerDrawn(h, 0));
  EXPECT_FALSE(OwnerDrawn(h, 2));
  EXPECT_FALSE(OwnerDrawn(sub_->Handle(), 0));
  EXPECT_TRUE(own->OnAdvancedDrawItem);
  EXPECT_TRUE(OwnerDrawn(h, GetMenuItemCount(h) - 1));

  // Back on: the skin's painting returns.
  manager_->SetActive(true);
  ASSERT_TRUE(manager_->CommonSkinData->Active);
  EXPECT_TRUE(OwnerDrawn(menu_->Handle(), 0));
  EXPECT_EQ(checked_->DrawHandlersOwner(), static_cast<const void*>(menus_));
  (void)ownDrawn;
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedMenus,
                         ::testing::Values(SkinCase{L"Lale", "lale"}, SkinCase{L"Deniz", "deniz"}),
                         [](const ::testing::TestParamInfo<SkinCase>& info) { return std::string(info.param.file); });

}  // namespace
