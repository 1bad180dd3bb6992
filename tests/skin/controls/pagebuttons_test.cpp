// The page control's tabs as buttons (Style) and its close buttons' fades. Flat button tabs paint from the skin's
// tool-button section, keep their size when down and show the hot look under the mouse; a close button's hover
// and press fade on their own tab while every other tab stays as it is. With Lale, Deniz (tab and tool-button
// sections added to copies of their option files) and with no skin ("plain"). Screenshots:
// $TAVREL_SHOTS/pagebuttons_<what>_<skin>.png.
#include <gtest/gtest.h>

#include "platform/rtl/win.h"
#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/png.h"
#include "skin/controls/sPageControl.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "tests/common/paths.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using namespace skintest;
using namespace ctltest;

namespace {

struct Colours {
  TColor Tab, TabHot, TabActive, Tool, ToolHot, ToolDown, Font;
};
const Colours kLale{0xD8B4F0, 0xE8D2FA, 0xFFFFFF, 0x50C8A0, 0x78E6C8, 0x287850, 0x28144A};
const Colours kDeniz{0xF0D2B4, 0xFAE6D2, 0xFFFFF8, 0x3CA0DC, 0x64C8F0, 0x1E5A8C, 0x46280A};

std::string Sections(const Colours& c) {
  auto hex = [](TColor v) { return "$" + Narrow(rtl::IntToHex(v, 6)); };
  auto section = [&](const char* name, TColor n, TColor h, TColor d) {
    return std::string("\r\n[") + name + "]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=" + hex(n) + "\r\nHOTCOLOR=" + hex(h) +
           "\r\nCOLOR2=" + hex(d) + "\r\nFONTCOLOR=" + hex(c.Font) + "\r\nHOTFONTCOLOR=" + hex(c.Font) +
           "\r\nFONTCOLOR2=" + hex(c.Font) + "\r\nTRANSPARENCY=0\r\n";
  };
  std::string s = section("TABTOP", c.Tab, c.TabHot, c.TabActive) + section("TOOLBUTTON", c.Tool, c.ToolHot, c.ToolDown);
  for (const char* side : {"TABBOTTOM", "TABLEFT", "TABRIGHT"})
    s += std::string("\r\n[") + side + "]\r\nPARENTCLASS=TABTOP\r\n";
  return s;
}

class PageButtons : public ExtraSectionsTest {
 protected:
  void SetUp() override {
    SetCursorPos(1200, 1000);
    MakeSkinsAndForm([](const std::wstring& name) { return Sections(name == L"Lale" ? kLale : kDeniz); }, 520, 320);
    form->Show();
    Application->ProcessMessages();
  }
  const Colours& Looks() const { return IsLale() ? kLale : kDeniz; }
  TsPageControl* MakePages(TTabStyle style) {
    auto* pc = Create<TsPageControl>(form);
    pc->SetParent(form);
    pc->SetStyle(style);
    pc->SetHotTrack(true);
    pc->SetBounds(10, 10, 460, 220);
    for (int i = 0; i < 3; ++i) {
      auto* sheet = Create<TsTabSheet>(form);
      sheet->SetPageControl(pc);
      sheet->SetCaption(i == 0 ? L"Öğrenci" : i == 1 ? L"Veli" : L"Görüşme");
    }
    pc->SetActivePageIndex(0);
    pc->SetShowFocus(false);
    return pc;
  }
  void Settle(TsPageControl* pc) {
    Application->ProcessMessages();
    RedrawWindow(pc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
  }
  static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
  // Unskinned, the pixel at p (control coordinates) of a button tab in look (0 up, 1 hot, 2 down): the visual
  // style's push button or tool button when the window has a style, else the classic faces.
  static std::uint32_t PlainButtonPixel(TsPageControl* pc, int tab, int look, POINT p) {
    const TRect r = pc->TabRect(tab);
    auto bmp = CreateBmp32(r.Width(), r.Height());
    HDC dc = bmp->Canvas()->Handle();
    RECT all{0, 0, r.Width(), r.Height()};
    HBRUSH face = CreateSolidBrush(ColorToGdi(ColorToRGB(pc->Color())));
    FillRect(dc, &all, face);
    DeleteObject(face);
    const bool flat = pc->Style() == tsFlatButtons;
    if (HTHEME theme = OpenThemeData(pc->Handle(), flat ? VSCLASS_TOOLBAR : VSCLASS_BUTTON)) {
      const int state = flat ? static_cast<int>(look == 0 ? TS_NORMAL : look == 1 ? TS_HOT : TS_PRESSED)
                             : static_cast<int>(look == 0 ? PBS_NORMAL : look == 1 ? PBS_HOT : PBS_PRESSED);
      const int part = flat ? static_cast<int>(TP_BUTTON) : static_cast<int>(BP_PUSHBUTTON);
      DrawThemeBackground(theme, dc, part, state, &all, nullptr);
      CloseThemeData(theme);
    } else if (flat && look == 2) {
      // Down: the light fill inside a sunken edge; otherwise the control's colour.
      HBRUSH light = CreateSolidBrush(GetSysColor(COLOR_3DLIGHT));
      FillRect(dc, &all, light);
      DeleteObject(light);
    }
    GdiFlush();
    return Pixel(bmp.get(), p.x - r.Left, p.y - r.Top);
  }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Skins, PageButtons, ::testing::Values(L"Lale", L"Deniz", nullptr),
                         ExtraSectionsTest::CaseName);

TEST_P(PageButtons, FlatButtonTabsAreToolButtonsThatKeepTheirSize) {
  TsPageControl* pc = MakePages(tsFlatButtons);
  Activate();
  Settle(pc);
  const LONG_PTR ws = GetWindowLongPtrW(pc->Handle(), GWL_STYLE);
  EXPECT_EQ(ws & (TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK), TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK);
  // A button that is down does not grow over its neighbours.
  EXPECT_EQ(pc->SkinTabRect(0, true), pc->TabRect(0));
  const TRect active = pc->TabRect(0), other = pc->TabRect(2), hover = pc->TabRect(1);
  // Inside each button, off its caption.
  auto probe = [](const TRect& r) { return POINT{r.Left + 4, (r.Top + r.Bottom) / 2}; };
  auto pixel = [&](const TRect& r) {
    const POINT p = probe(r);
    return Shot(pc->Handle()).at(p.x, p.y);
  };
  if (Skinned()) {
    EXPECT_TRUE(Near(pixel(active), Rgb(Looks().ToolDown), 2));
    EXPECT_TRUE(Near(pixel(other), Rgb(Looks().Tool), 2));
    EXPECT_TRUE(Near(pixel(hover), Rgb(Looks().Tool), 2));
  } else {
    // The control draws its button tabs itself.
    EXPECT_TRUE(Near(pixel(active), PlainButtonPixel(pc, 0, 2, probe(active)), 2));
    EXPECT_TRUE(Near(pixel(other), PlainButtonPixel(pc, 2, 0, probe(other)), 2));
  }
  // Under the mouse: the hot look, on that button alone.
  const std::uint32_t otherBefore = pixel(other);
  pc->Perform(WM_MOUSEMOVE, 0, At(probe(hover).x, probe(hover).y));
  EXPECT_EQ(pc->CurItem(), 1);
  EXPECT_TRUE(WaitFor([&] { return !pc->TabFading(); }));
  Application->ProcessMessages();
  if (Skinned()) EXPECT_TRUE(Near(pixel(hover), Rgb(Looks().ToolHot), 2));
  EXPECT_EQ(pixel(other), otherBefore);
  Shot(form->Handle()).Save("pagebuttons_flat_" + Name());
  // Tabs again: the active tab grows once more.
  pc->SetStyle(tsTabs);
  Settle(pc);
  EXPECT_EQ(GetWindowLongPtrW(pc->Handle(), GWL_STYLE) & TCS_BUTTONS, 0);
  if (Skinned()) EXPECT_NE(pc->SkinTabRect(0, true), pc->TabRect(0));
}

TEST_P(PageButtons, RaisedButtonTabsAreTheSkinsButtons) {
  TsPageControl* pc = MakePages(tsButtons);
  Activate();
  Settle(pc);
  EXPECT_EQ(GetWindowLongPtrW(pc->Handle(), GWL_STYLE) & (TCS_BUTTONS | TCS_FLATBUTTONS), TCS_BUTTONS);
  EXPECT_EQ(pc->SkinTabRect(0, true), pc->TabRect(0));
  const TRect other = pc->TabRect(2);
  const POINT p{other.Left + 6, (other.Top + other.Bottom) / 2};
  const std::uint32_t px = Shot(pc->Handle()).at(p.x, p.y);
  if (Skinned()) {
    // The button section (a gradient with a border mask), not the tab section; the button that is down in its
    // own, darker state.
    ASSERT_TRUE(manager->IsValidSkinIndex(manager->GetSkinIndex(L"BUTTON")));
    EXPECT_FALSE(Near(px, Rgb(Looks().Tab), 8));
    const TRect down = pc->TabRect(0);
    const std::uint32_t dpx = Shot(pc->Handle()).at(down.Left + 6, (down.Top + down.Bottom) / 2);
    EXPECT_FALSE(Near(dpx, Rgb(Looks().TabActive), 8));
    auto brightness = [](std::uint32_t v) { return (v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF); };
    EXPECT_LT(brightness(dpx) + 30, brightness(px));
  } else {
    // Off the captions, inside the buttons' faces.
    const POINT op{other.Left + 3, p.y};
    EXPECT_TRUE(Near(Shot(pc->Handle()).at(op.x, op.y), PlainButtonPixel(pc, 2, 0, op), 2));
    const TRect down = pc->TabRect(0);
    const POINT dp{down.Left + 3, (down.Top + down.Bottom) / 2};
    EXPECT_TRUE(Near(Shot(pc->Handle()).at(dp.x, dp.y), PlainButtonPixel(pc, 0, 2, dp), 2));
  }
  Shot(form->Handle()).Save("pagebuttons_raised_" + Name());
}

TEST_P(PageButtons, ACloseButtonsHoverAndPressFadeOnItsTabAlone) {
  if (!Skinned()) GTEST_SKIP() << "without a skin the tab is painted again at once";
  TsPageControl* pc = MakePages(tsTabs);
  pc->SetShowCloseBtns(true);
  Activate();
  Settle(pc);
  const TRect btn = pc->CloseBtnRect(1);
  ASSERT_FALSE(btn.Width() <= 0 || btn.Height() <= 0);
  const TRect neighbour = pc->TabRect(2);
  const TRect neighbourInside(neighbour.Left + 4, neighbour.Top + 4, neighbour.Right - 4, neighbour.Bottom - 2);
  const std::uint64_t neighbourLook = Shot(pc->Handle()).Digest(neighbourInside);
  const std::uint64_t idleLook = Shot(pc->Handle()).Digest(btn);
  auto follow = [&](std::set<std::uint64_t>& looks) {
    EXPECT_TRUE(WaitFor([&] {
      Shot s(pc->Handle());
      looks.insert(s.Digest(btn));
      EXPECT_EQ(s.Digest(neighbourInside), neighbourLook);
      return !pc->TabFading();
    }));
    looks.insert(Shot(pc->Handle()).Digest(btn));
  };
  auto* page = static_cast<TsTabSheet*>(pc->Pages(1));
  // The mouse comes onto the tab first, then onto its button.
  pc->Perform(WM_MOUSEMOVE, 0, At(pc->TabRect(1).Left + 3, (btn.Top + btn.Bottom) / 2));
  EXPECT_TRUE(WaitFor([&] { return !pc->TabFading(); }));
  pc->Perform(WM_MOUSEMOVE, 0, At((btn.Left + btn.Right) / 2, (btn.Top + btn.Bottom) / 2));
  EXPECT_EQ(pc->HoveredBtnIndex(), 1);
  ASSERT_NE(page->AnimTimer, nullptr);
  EXPECT_TRUE(pc->TabFading());
  std::set<std::uint64_t> hoverLooks;
  follow(hoverLooks);
  const std::uint64_t hotLook = Shot(pc->Handle()).Digest(btn);
  EXPECT_NE(hotLook, idleLook);
  EXPECT_GE(hoverLooks.size(), 2u);
  Shot(form->Handle()).Save("pagebuttons_closehot_" + Name());
  // Pressed: another fade to the pressed look; the page stays until the release.
  pc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At((btn.Left + btn.Right) / 2, (btn.Top + btn.Bottom) / 2));
  EXPECT_EQ(pc->PressedBtnIndex(), 1);
  EXPECT_TRUE(pc->TabFading());
  std::set<std::uint64_t> pressLooks;
  follow(pressLooks);
  EXPECT_NE(Shot(pc->Handle()).Digest(btn), hotLook);
  EXPECT_EQ(pc->PageCount(), 3);
  // Off the button (still on the tab): back to the plain hot tab, faded, with nothing pressed.
  pc->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(pc->TabRect(1).Left + 3, (btn.Top + btn.Bottom) / 2));
  EXPECT_EQ(pc->HoveredBtnIndex(), -1);
  EXPECT_EQ(pc->PressedBtnIndex(), -1);
  std::set<std::uint64_t> backLooks;
  follow(backLooks);
  // The cache keeps the look the fade ended on: a full repaint shows the same.
  const std::uint64_t end = Shot(pc->Handle()).Digest(btn);
  RedrawWindow(pc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Application->ProcessMessages();
  EXPECT_EQ(Shot(pc->Handle()).Digest(btn), end);
}

// Without a skin the control draws button tabs itself, up, hot and down: with the visual style's elements when its
// window has a style (Wine's own style is on in a new prefix), and in the classic look when the style is taken
// off the window.
TEST_P(PageButtons, UnskinnedButtonTabsFollowTheVisualStyleOrTheClassicLook) {
  if (Skinned()) GTEST_SKIP() << "the skin draws the buttons";
  for (TTabStyle style : {tsButtons, tsFlatButtons})
    for (bool classic : {false, true}) {
      SCOPED_TRACE(std::string(style == tsButtons ? "buttons" : "flat buttons") + (classic ? ", classic" : ""));
      TsPageControl* pc = MakePages(style);
      if (classic) {
        // No class of the style is named " ": the window has no style data.
        SetWindowTheme(pc->Handle(), L" ", L" ");
        HTHEME theme = OpenThemeData(pc->Handle(), VSCLASS_BUTTON);
        ASSERT_EQ(theme, nullptr);
      }
      Settle(pc);
      auto probe = [&](int tab) {
        const TRect r = pc->TabRect(tab);
        return POINT{r.Left + 3, (r.Top + r.Bottom) / 2};
      };
      auto shows = [&](int tab, int look) {
        const POINT p = probe(tab);
        return Near(Shot(pc->Handle()).at(p.x, p.y), PlainButtonPixel(pc, tab, look, p), 2);
      };
      EXPECT_TRUE(shows(0, 2));
      EXPECT_TRUE(shows(1, 0));
      EXPECT_TRUE(shows(2, 0));
      // Hot under the mouse (HotTrack is on), the others as they were.
      pc->Perform(WM_MOUSEMOVE, 0, At(probe(1).x, probe(1).y));
      EXPECT_EQ(pc->CurItem(), 1);
      EXPECT_TRUE(WaitFor([&] { return shows(1, 1); }));
      EXPECT_TRUE(shows(0, 2));
      EXPECT_TRUE(shows(2, 0));
      Shot(form->Handle()).Save(std::string("pagebuttons_plain_") + (style == tsButtons ? "raised" : "flat") +
                                (classic ? "_classic" : "_styled"));
      pc->Free();
    }
}

// A double click on a hot button tab puts the control's own look of that tab back (the system's handling of the
// second press may have drawn over it); here the screen under the tab is spoilt first, and the look must return
// without anything else painting the control.
TEST_P(PageButtons, ADoubleClickOnAHotButtonTabPaintsItAgain) {
  // Button tabs, flat button tabs, and a tab that acts as a button among plain tabs (it never becomes the page).
  for (TTabStyle style : {tsButtons, tsFlatButtons, tsTabs}) {
    SCOPED_TRACE(style == tsButtons ? "buttons" : style == tsFlatButtons ? "flat buttons" : "a button tab");
    TsPageControl* pc = MakePages(style);
    if (style == tsTabs) static_cast<TsTabSheet*>(pc->Pages(1))->SetTabType(ttButton);
    Activate();
    Settle(pc);
    const TRect r = pc->TabRect(1);
    const TRect inside(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3);
    pc->Perform(WM_MOUSEMOVE, 0, At(r.Left + 6, (r.Top + r.Bottom) / 2));
    ASSERT_EQ(pc->CurItem(), 1);
    EXPECT_TRUE(WaitFor([&] { return !pc->TabFading(); }));
    Settle(pc);
    const std::uint64_t hot = Shot(pc->Handle()).Digest(inside);
    HDC dc = GetDC(pc->Handle());
    RECT spoilt = r;
    FillRect(dc, &spoilt, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(pc->Handle(), dc);
    // The screen shows what is drawn into a window's DC once the system has passed it on.
    ASSERT_TRUE(WaitFor([&] { return Shot(pc->Handle()).Digest(inside) != hot; }));
    pc->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, At(r.Left + 6, (r.Top + r.Bottom) / 2));
    EXPECT_TRUE(WaitFor([&] { return Shot(pc->Handle()).Digest(inside) == hot; }));
    pc->Perform(WM_LBUTTONUP, 0, At(r.Left + 6, (r.Top + r.Bottom) / 2));
    EXPECT_EQ(pc->ActivePageIndex(), 0);
    pc->Free();
  }
}
