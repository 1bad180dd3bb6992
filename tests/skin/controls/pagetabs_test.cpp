// The page control's tabs beyond captions: pictures from an image list, fixed sizes for captions turned across the
// strip, tabs the owner draws, a tab that opens a menu, and the hot tab fading in and back. Each with Lale, Deniz
// (tab sections added to copies of their option files) and with no skin at all ("plain"), where the platform's
// look stays. Screenshots: $TAVREL_SHOTS/pagetabs_<what>_<skin>.png.
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <climits>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/png.h"
#include "skin/controls/sPageControl.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sAnimations.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "tests/common/paths.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using namespace skintest;
using namespace ctltest;

namespace {

// The pictures: colours no test skin paints a tab with.
const TColor kGlyphColours[3] = {0x0000FF, 0x00A000, 0xFF0000};

class PageTabs : public ExtraSectionsTest {
 protected:
  void SetUp() override {
    MakeSkinsAndForm([](const std::wstring& name) { return TabSections(name == L"Lale" ? kLaleTabs : kDenizTabs); },
                     560, 420);
    images = Create<TImageList>(form);
    images->SetWidth(16);
    images->SetHeight(16);
    for (TColor c : kGlyphColours) {
      TBitmap b(16, 16, pf24bit);
      b.Canvas()->Brush()->SetColor(c);
      b.Canvas()->FillRect(Rect(0, 0, 16, 16));
      images->Add(&b, nullptr);
    }
    form->Show();
    Application->ProcessMessages();
  }
  const TabColours& Colours() const { return IsLale() ? kLaleTabs : kDenizTabs; }
  TsPageControl* MakePages(TTabPosition side, int n, const TRect& bounds) {
    auto* pc = Create<TsPageControl>(form);
    pc->SetParent(form);
    pc->SetTabPosition(side);
    pc->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    for (int i = 0; i < n; ++i) {
      auto* sheet = Create<TsTabSheet>(form);
      sheet->SetPageControl(pc);
      sheet->SetCaption(i == 0 ? L"Öğrenci" : i == 1 ? L"Veli" : L"Görüşme");
    }
    pc->SetActivePageIndex(0);
    pc->SetShowFocus(false);
    return pc;
  }
  // The form as the screen shows it once everything has painted.
  Shot FormShot() {
    Application->ProcessMessages();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    return Shot(form->Handle());
  }
  // A tab's rectangle in the form's client coordinates.
  TRect TabOnForm(TsPageControl* pc, int tab) {
    TRect r = pc->TabRect(tab);
    return TRect(r.Left + pc->Left(), r.Top + pc->Top(), r.Right + pc->Left(), r.Bottom + pc->Top());
  }
  static LPARAM At(const TRect& r) {
    return MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  TImageList* images = nullptr;
};

}  // namespace

TEST_P(PageTabs, PicturesStandBeforeTheCaptionsOnEverySide) {
  TsPageControl* top = MakePages(tpTop, 3, Rect(10, 10, 330, 190));
  TsPageControl* left = MakePages(tpLeft, 3, Rect(10, 200, 330, 400));
  Activate();
  // The longest caption: short ones keep the platform's least tab width.
  const int plainWidth = top->TabRect(2).Width();
  const int plainLength = left->TabRect(2).Height();
  for (TsPageControl* pc : {top, left}) {
    pc->SetImages(images);
    for (int i = 0; i < 3; ++i) pc->Pages(i)->SetImageIndex(i);
  }
  // The platform measures the tabs with room for their pictures.
  ASSERT_TRUE(WaitFor([&] { return top->TabRect(2).Width() >= plainWidth + 16; }))
      << plainWidth << " -> " << top->TabRect(2).Width();
  EXPECT_GE(left->TabRect(2).Height(), plainLength + 16);
  Shot shot = FormShot();
  shot.Save("pagetabs_glyphs_" + Name());
  for (TsPageControl* pc : {top, left}) {
    SCOPED_TRACE(pc == top ? "top" : "left");
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      const TRect tab = TabOnForm(pc, i);
      const TRect around(tab.Left - 3, tab.Top - 3, tab.Right + 3, tab.Bottom + 3);
      TRect b;
      // The whole picture shows, once, inside its tab; on the side the active tab, enlarged and painted last,
      // may cover one column of a picture in the outer row.
      const int count = shot.Count(around, Rgb(kGlyphColours[i]), &b);
      const bool mayBeCovered = Skinned() && pc == left && i != 0;
      EXPECT_GE(count, mayBeCovered ? 16 * 15 : 256);
      EXPECT_LE(count, 256);
      EXPECT_GE(b.Width(), mayBeCovered ? 15 : 16);
      EXPECT_LE(b.Width(), 16);
      EXPECT_EQ(b.Height(), 16);
      if (pc == top) {
        // Before the caption: in the tab's left half, the caption to its right.
        EXPECT_LT(b.Right, (tab.Left + tab.Right) / 2 + 4);
        EXPECT_GE(b.Left, tab.Left);
      } else if (Skinned()) {
        // Read downwards: the caption above, the picture at the bottom.
        EXPECT_GT(b.Top, (tab.Top + tab.Bottom) / 2 - 4);
        EXPECT_LE(b.Bottom, tab.Bottom);
      }
    }
  }
  // Without the list the pictures go and the tabs shrink back.
  top->SetImages(nullptr);
  ASSERT_TRUE(WaitFor([&] { return top->TabRect(2).Width() == plainWidth; }));
  Shot after = FormShot();
  EXPECT_EQ(after.Count(TabOnForm(top, 0), Rgb(kGlyphColours[0])), 0);
}

TEST_P(PageTabs, TurnedCaptionsGetTabsSizedForThem) {
  TsPageControl* left = MakePages(tpLeft, 3, Rect(10, 10, 330, 200));
  TsPageControl* top = MakePages(tpTop, 3, Rect(10, 210, 540, 400));
  Activate();
  const TRect sideTab = left->TabRect(0), topTab = top->TabRect(0);
  ASSERT_GT(sideTab.Height(), sideTab.Width());
  left->SetRotateCaptions(true);
  top->SetRotateCaptions(true);
  EXPECT_EQ(left->TabWidth(), sideTab.Width());
  EXPECT_EQ(left->TabHeight(), std::max<int>(sideTab.Height(), 140));
  EXPECT_EQ(top->TabWidth(), topTab.Height());
  EXPECT_EQ(top->TabHeight(), std::max<int>(topTab.Width(), 140));
  // Side tabs now run across the strip (the caption reads across), top tabs stand upright.
  ASSERT_TRUE(WaitFor([&] { return left->TabRect(0).Width() >= 140 && top->TabRect(0).Height() >= 140; }))
      << left->TabRect(0).Width() << " " << top->TabRect(0).Height();
  EXPECT_LT(left->TabRect(0).Height(), 40);
  EXPECT_LT(top->TabRect(0).Width(), 40);
  // The sheets lie beside the wider strip.
  EXPECT_GE(left->Pages(0)->Left(), 140);
  EXPECT_GE(top->Pages(0)->Top(), 140);
  FormShot().Save("pagetabs_rotated_" + Name());
  left->SetRotateCaptions(false);
  EXPECT_EQ(left->TabWidth(), 0);
  EXPECT_EQ(left->TabHeight(), 0);
  ASSERT_TRUE(WaitFor([&] { return left->TabRect(0).Width() == sideTab.Width(); }));
  // A control without pages sizes its tabs from a 24-pixel square.
  TsPageControl* empty = MakePages(tpTop, 0, Rect(340, 10, 540, 200));
  empty->SetRotateCaptions(true);
  EXPECT_EQ(empty->TabWidth(), 24);
  EXPECT_EQ(empty->TabHeight(), 140);
}

TEST_P(PageTabs, OwnerDrawnTabsAreWhatTheHandlerDraws) {
  TsPageControl* pc = MakePages(tpTop, 3, Rect(10, 10, 400, 200));
  struct Call {
    int Tab;
    TRect R;
    bool Active;
  };
  std::vector<Call> calls;
  pc->OnDrawTab = [&](TPageControl* control, int tab, const TRect& r, bool active) {
    calls.push_back({tab, r, active});
    TCanvas* c = control->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(kGlyphColours[tab % 3]);
    c->FillRect(Rect(r.Left + 4, r.Top + 4, r.Right - 4, r.Bottom - 4));
  };
  pc->SetOwnerDraw(true);
  Activate();
  Shot shot = FormShot();
  shot.Save("pagetabs_ownerdraw_" + Name());
  std::set<int> drawn;
  for (const Call& c : calls) drawn.insert(c.Tab);
  EXPECT_EQ(drawn, (std::set<int>{0, 1, 2}));
  for (const Call& c : calls)
    if (c.Tab == 0) EXPECT_TRUE(c.Active);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TRect tab = TabOnForm(pc, i);
    const POINT mid{(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2};
    EXPECT_EQ(shot.at(mid.x, mid.y), Rgb(kGlyphColours[i]));
  }
  // The owner's drawing replaces the caption: no other colour in the middle row of a tab's painted area.
  if (Skinned()) {
    const TRect tab = TabOnForm(pc, 1);
    EXPECT_EQ(shot.Count(Rect(tab.Left + 5, tab.Top + 5, tab.Right - 5, tab.Bottom - 5), Rgb(kGlyphColours[1])),
              (tab.Width() - 10) * (tab.Height() - 10));
  }
}

TEST_P(PageTabs, AMenuTabOpensItsMenuBesideItselfAndLeavesThePageShown) {
  TsPageControl* pc = MakePages(tpTop, 3, Rect(10, 10, 400, 200));
  auto* menu = Create<TPopupMenu>(form);
  for (const wchar_t* caption : {L"Yeni öğrenci", L"İçe aktar"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  auto* menuPage = static_cast<TsTabSheet*>(pc->Pages(2));
  menuPage->SetTabType(ttMenu);
  menuPage->SetTabMenu(menu);
  EXPECT_EQ(menuPage->TabSkin(), L"MENUBTN");
  Activate();
  FormShot();
  const TRect tab = pc->TabRect(2);
  // While the menu runs (modally) a timer looks at it and closes it.
  static int seenDropped;
  static RECT seenMenu;
  static TsPageControl* seenControl;
  static std::string shotName;
  shotName = "pagetabs_menu_" + Name();
  seenDropped = -2;
  seenMenu = RECT{};
  seenControl = pc;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    seenDropped = seenControl->DroppedDown();
    GetWindowRect(popup, &seenMenu);
    Shot(GetParent(seenControl->Handle())).Save(shotName);
    EndMenu();
  });
  const unsigned start = GetTickCount();
  pc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(tab));
  KillTimer(nullptr, timer);
  EXPECT_LT(GetTickCount() - start, 15000u);
  EXPECT_EQ(seenDropped, 2);
  POINT corner{tab.Left, tab.Bottom - 2};
  ClientToScreen(pc->Handle(), &corner);
  EXPECT_EQ(seenMenu.left, corner.x);
  EXPECT_EQ(seenMenu.top, corner.y);
  pc->Perform(WM_LBUTTONUP, 0, At(tab));
  EXPECT_EQ(pc->DroppedDown(), -1);
  EXPECT_EQ(pc->CurItem(), -1);
  // The menu tab never becomes the shown page.
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  // A menu tab without a menu does nothing.
  menuPage->SetTabMenu(nullptr);
  pc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(tab));
  pc->Perform(WM_LBUTTONUP, 0, At(tab));
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  EXPECT_EQ(pc->DroppedDown(), -1);
}

TEST_P(PageTabs, AHotTabFadesInAndBackAlone) {
  if (!Skinned()) GTEST_SKIP() << "the platform paints its own hot tabs";
  TsPageControl* pc = MakePages(tpTop, 3, Rect(10, 10, 400, 200));
  Activate();
  FormShot();
  const TRect tab = pc->TabRect(1);
  // Off the caption, inside the tab.
  const POINT probe{tab.Left + 3, (tab.Top + tab.Bottom) / 2};
  const TRect other = pc->TabRect(2);
  const POINT otherProbe{other.Right - 4, (other.Top + other.Bottom) / 2};
  auto pixel = [&](POINT p) { return Shot(pc->Handle()).at(p.x, p.y); };
  ASSERT_TRUE(Near(pixel(probe), Rgb(Colours().Normal), 2));
  const std::uint32_t otherBefore = pixel(otherProbe);
  auto follow = [&](std::set<std::uint32_t>& seen) {
    EXPECT_TRUE(WaitFor([&] {
      seen.insert(pixel(probe));
      // No other tab fades or changes meanwhile.
      EXPECT_EQ(pixel(otherProbe), otherBefore);
      return !pc->TabFading();
    }));
    seen.insert(pixel(probe));
  };
  pc->Perform(WM_MOUSEMOVE, 0, At(tab));
  EXPECT_EQ(pc->CurItem(), 1);
  // The fade runs on the tab's own timer.
  auto* page = static_cast<TsTabSheet*>(pc->Pages(1));
  ASSERT_NE(page->AnimTimer, nullptr);
  EXPECT_TRUE(pc->TabFading());
  std::set<std::uint32_t> in;
  follow(in);
  EXPECT_TRUE(Near(pixel(probe), Rgb(Colours().Hot), 2));
  // Steps between the two looks were shown.
  EXPECT_GE(in.size(), 3u);
  // Away from the tabs: back to the normal look, also faded.
  pc->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(pc->Width() / 2, pc->Height() - 20));
  EXPECT_EQ(pc->CurItem(), -1);
  EXPECT_TRUE(pc->TabFading());
  std::set<std::uint32_t> out;
  follow(out);
  EXPECT_TRUE(Near(pixel(probe), Rgb(Colours().Normal), 2));
  EXPECT_GE(out.size(), 3u);
  // The cache holds the same look, so a full repaint shows no jump.
  EXPECT_TRUE(Near(Shot(pc->Handle()).at(probe.x, probe.y), Rgb(Colours().Normal), 2));
  RedrawWindow(pc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(Near(pixel(probe), Rgb(Colours().Normal), 2));
  // A page switch stops every fade and frees the timers.
  pc->Perform(WM_MOUSEMOVE, 0, At(tab));
  pc->SetActivePageIndex(1);
  EXPECT_FALSE(pc->TabFading());
  EXPECT_EQ(page->AnimTimer, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Skins, PageTabs, ::testing::Values(L"Lale", L"Deniz", nullptr),
                         ExtraSectionsTest::CaseName);

TEST_P(PageTabs, ASwitchedPageFadesInUnlessTheSwitchIsRefused) {
  if (!Skinned()) GTEST_SKIP() << "the platform switches pages without a fade";
  TsPageControl* pc = MakePages(tpTop, 3, Rect(10, 10, 400, 200));
  manager->AnimEffects()->PageChange()->SetActive(true);
  manager->AnimEffects()->PageChange()->SetTime(120);
  manager->Effects()->SetAllowAnimation(true);
  Activate();
  FormShot();
  auto click = [&](int tab) {
    const TRect r = pc->TabRect(tab);
    pc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(r));
    pc->Perform(WM_LBUTTONUP, 0, At(r));
    Application->ProcessMessages();
  };
  // A state no animation leaves behind.
  lvLastAnimFrames = -1;
  click(1);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_GE(lvLastAnimFrames, 2);
  EXPECT_EQ(ow, nullptr);
  EXPECT_FALSE(pc->SkinData()->UpdatingFlag());
  // After the fade the screen holds the new page's look: its tab is the active one.
  const TRect tab = pc->TabRect(1);
  EXPECT_TRUE(WaitFor([&] {
    return Near(Shot(pc->Handle()).at(tab.Left + 3, (tab.Top + tab.Bottom) / 2), Rgb(Colours().Active), 2);
  }));
  // Refused: nothing switches, nothing stays frozen.
  pc->OnChanging = [](rtl::TObject*, bool& allow) { allow = false; };
  lvLastAnimFrames = -1;
  click(2);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_EQ(lvLastAnimFrames, -1);
  EXPECT_EQ(ow, nullptr);
  EXPECT_FALSE(pc->SkinData()->UpdatingFlag());
  pc->OnChanging = nullptr;
  // Without AllowAnimSwitching the page changes at once.
  pc->SetAllowAnimSwitching(false);
  click(2);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_EQ(lvLastAnimFrames, -1);
  FormShot().Save("pagetabs_switched_" + Name());
}
