// A page control whose tabs do not fit: the platform's scroll arrows are painted from the skin's button section
// (the test skins have no up-down section) with arrows in its font colour, pressed while held, and they still
// scroll the strip; with no skin they are the platform's. Screenshots: Z:\tmp\skin26d_spin_<skin>.bmp.
#include <gtest/gtest.h>

#include "platform/rtl/win.h"
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sPageControl.h"
#include "skin/windows/lvSpinWnd.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using namespace skintest;

namespace {

using ctltest::Near;
using ctltest::WaitFor;

std::uint32_t Px(TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x] & 0xFFFFFF; }

// The window's client area as it is on the screen.
std::unique_ptr<TBitmap> Shot(HWND wnd) { return ctltest::ScreenClient(wnd); }

class TabSpin : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    dir.AddFolder(L"Lale");
    dir.AddFolder(L"Deniz");
    form = Create<TForm>(Application);
    form->SetBounds(60, 60, 360, 200);
    host = Create<TForm>(Application);
    manager = Create<TsSkinManager>(host);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetSkinDirectory(dir.Path());
    pc = Create<TsPageControl>(form);
    pc->SetParent(form);
    pc->SetBounds(10, 10, 220, 140);
    for (int i = 0; i < 10; ++i) {
      auto* sheet = Create<TsTabSheet>(form);
      sheet->SetPageControl(pc);
      sheet->SetCaption(L"Sayfa " + rtl::IntToStr(i + 1));
    }
    pc->SetActivePageIndex(0);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    if (form) form->Free();
    if (host) host->Free();
  }
  HWND Spin() const { return FindWindowExW(pc->Handle(), nullptr, UPDOWN_CLASSW, nullptr); }
  // The spin window's picture on the screen, once it has painted.
  std::unique_ptr<TBitmap> SpinShot() {
    RedrawWindow(pc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    return Shot(Spin());
  }

  TempSkinDir dir;
  TForm* form = nullptr;
  TForm* host = nullptr;
  TsSkinManager* manager = nullptr;
  TsPageControl* pc = nullptr;
};

}  // namespace

TEST_F(TabSpin, OverflowingTabsGetSkinnedArrowsThatStillScroll) {
  for (const wchar_t* skin : {L"Lale", L"Deniz", static_cast<const wchar_t*>(nullptr)}) {
    SCOPED_TRACE(skin ? "skinned" : "none");
    if (skin) {
      manager->SetSkinName(skin);
      manager->SetActive(true);
    } else {
      manager->SetActive(false);
    }
    Application->ProcessMessages();
    ASSERT_TRUE(WaitFor([&] { return Spin() != nullptr && IsWindowVisible(Spin()); }));
    HWND spin = Spin();
    if (!skin) {
      // The platform's own arrows: no wrapper left.
      EXPECT_TRUE(WaitFor([&] { return pc->SpinWnd() == nullptr; }));
      auto shot = SpinShot();
      ctltest::SaveOpaque(shot.get(), "spin_none");
      continue;
    }
    ASSERT_TRUE(WaitFor([&] { return pc->Skinned(); }));
    ASSERT_TRUE(WaitFor([&] { return pc->SpinWnd() && pc->SpinWnd()->CtrlHandle == spin; }));
    EXPECT_EQ(pc->SpinSection(), L"BUTTON");
    const int idx = manager->GetSkinIndex(L"BUTTON");
    ASSERT_GE(idx, 0);
    RECT cr;
    GetClientRect(spin, &cr);
    const int half = cr.right / 2, h = cr.bottom;
    ASSERT_GT(half, 12);
    ASSERT_GT(h, 12);
    // What the section paints for one half in a state, at a point between the border and the arrow.
    auto reference = [&](int state) {
      auto ref = CreateBmp32(half, h);
      PaintItem(idx, EmptyCI, true, state, TRect(0, 0, half, h), TPoint(0, 0), ref.get(), manager);
      return Px(ref.get(), 5, h / 2);
    };
    const TsGeneralData& gd = manager->gd[static_cast<size_t>(idx)];
    const std::uint32_t arrow = SwapRedBlue(ColorToRGB(gd.Props[0].FontColor.Color)) & 0xFFFFFF;
    auto shot = SpinShot();
    ctltest::SaveOpaque(shot.get(), "spin_" + ctltest::Narrow(skin));
    for (int part = 0; part < 2; ++part) {
      SCOPED_TRACE(part);
      EXPECT_TRUE(Near(Px(shot.get(), part * half + 5, h / 2), reference(0), 8));
      // The arrow's middle row in the font colour.
      int arrowPixels = 0;
      for (int x = part * half; x < (part + 1) * half; ++x)
        if (Near(Px(shot.get(), x, (h - 5) / 2 + 3), arrow, 8)) ++arrowPixels;
      EXPECT_GE(arrowPixels, 3);
    }
    // A press on the right arrow scrolls the strip and shows the half pressed until the release.
    const int firstLeft = pc->TabRect(0).Left;
    const LPARAM at = MAKELPARAM(half + half / 2, h - 4);
    SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_TRUE(WaitFor([&] { return pc->TabRect(0).Left < firstLeft; }));
    if (reference(2) != reference(0)) {
      EXPECT_TRUE(WaitFor([&] {
        auto s = SpinShot();
        return Near(Px(s.get(), half + 5, h / 2), reference(2), 8);
      }));
    }
    // Released, the half under the mouse is hot; the mouse gone, it is normal again.
    SendMessageW(spin, WM_LBUTTONUP, 0, at);
    if (reference(1) != reference(0)) {
      EXPECT_TRUE(WaitFor([&] {
        auto s = SpinShot();
        return Near(Px(s.get(), half + 5, h / 2), reference(1), 8);
      }));
    }
    SendMessageW(spin, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(WaitFor([&] {
      auto s = SpinShot();
      return Near(Px(s.get(), half + 5, h / 2), reference(0), 8);
    }));
    // Back to the first tab for the next skin.
    SendMessageW(pc->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    Application->ProcessMessages();
  }
}

TEST_F(TabSpin, WithoutShowUpDownTheArrowsGo) {
  manager->SetSkinName(L"Lale");
  manager->SetActive(true);
  Application->ProcessMessages();
  ASSERT_TRUE(WaitFor([&] { return pc->Skinned(); }));
  ASSERT_TRUE(WaitFor([&] { return Spin() != nullptr && pc->SpinWnd() != nullptr; }));
  pc->SetShowUpDown(false);
  EXPECT_TRUE(WaitFor([&] { return Spin() == nullptr; }));
  EXPECT_EQ(pc->SpinWnd(), nullptr);
  EXPECT_FALSE(pc->ShowUpDown());
}
