// A speed button painted again on its own (outside its parent's painting) must not cover the graphic controls that
// lie over it, and must not bring up those it covers. With Lale, Deniz and no skin ("plain").
// Screenshots: $TAVREL_SHOTS/overlaps_<skin>_<when>.png.
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/png.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;

namespace {

using namespace ctltest;

class Overlaps : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override {
    Application->Initialize();
    SetCursorPos(1200, 1000);
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 420, 300);
    if (GetParam()) {
      manager = Create<TsSkinManager>(form);
      manager->SetIsDefault(true);
      manager->SetSkinDirectory(skintest::SkinsSource());
      manager->SetSkinName(GetParam());
      manager->SetActive(true);
      ASSERT_TRUE(manager->CommonSkinData->Active);
    }
  }
  void TearDown() override { form->Free(); }
  std::string Name() const {
    if (!GetParam()) return "plain";
    std::string r;
    for (const wchar_t* p = GetParam(); *p; ++p) r.push_back(static_cast<char>(*p));
    return r;
  }
  void Settle(TsCommonData* fading = nullptr) {
    testutil::PumpUntil([&] {
      MSG msg;
      return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && (!fading || !TimerIsActive(fading));
    });
  }
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Skins, Overlaps, ::testing::Values(L"Lale", L"Deniz", nullptr),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                           if (!info.param) return std::string("plain");
                           std::string r;
                           for (const wchar_t* p = info.param; *p; ++p) r.push_back(static_cast<char>(*p));
                           return r;
                         });

TEST_P(Overlaps, ASpeedButtonRepaintedAloneKeepsTheControlsAboveItOnTop) {
  auto* panel = Create<TsPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(20, 20, 360, 200);
  // Below the button (made before it), its corner under the button's top-left.
  auto* below = Create<Block>(form);
  below->Colour = static_cast<TColor>(0x00A000);
  below->SetParent(panel);
  below->SetBounds(0, 0, 40, 30);
  auto* button = Create<TsSpeedButton>(form);
  button->SetParent(panel);
  button->SetBounds(20, 20, 140, 44);
  button->SetCaption(L"Kaydet");
  // Above the button: one with its top-left corner inside it, one with its bottom-right corner inside it, and one
  // lying across its top and bottom edges with both corners outside.
  auto* above = Create<Block>(form);
  above->Colour = static_cast<TColor>(0x00C8FF);
  above->SetParent(panel);
  above->SetBounds(120, 44, 70, 40);
  auto* aboveLeft = Create<Block>(form);
  aboveLeft->Colour = static_cast<TColor>(0xC83200);
  aboveLeft->SetParent(panel);
  aboveLeft->SetBounds(4, 30, 30, 30);
  auto* across = Create<Block>(form);
  across->Colour = static_cast<TColor>(0x8000FF);
  across->SetParent(panel);
  across->SetBounds(60, 10, 20, 70);
  form->Show();
  Settle();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Settle();
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    Shot shot(panel->Handle());
    shot.Save("overlaps_" + Name() + "_" + when);
    // Where the blocks above overlap the button, the blocks show.
    EXPECT_EQ(shot.at(130, 54), Rgb(above->Colour));
    EXPECT_EQ(shot.at(157, 60), Rgb(above->Colour));
    EXPECT_EQ(shot.at(30, 50), Rgb(aboveLeft->Colour));
    EXPECT_EQ(shot.at(70, 40), Rgb(across->Colour));
    // Where the block below is covered by the button, the button shows.
    EXPECT_NE(shot.at(30, 25), Rgb(below->Colour));
    EXPECT_EQ(shot.at(10, 10), Rgb(below->Colour));
  };
  check("painted");
  // The button alone, as a state change or a property does it.
  button->SkinData()->BGChanged = true;
  button->GraphRepaint();
  Settle();
  check("alone");
  if (GetParam()) {
    // The button's own picture holds the blocks above it, at their places, and not the one below.
    TBitmap* cache = button->SkinData()->CacheBmp();
    ASSERT_NE(cache, nullptr);
    auto px = [&](int x, int y) { return static_cast<std::uint32_t*>(cache->ScanLine(y))[x] & 0xFFFFFFu; };
    EXPECT_EQ(px(130 - 20, 54 - 20), Rgb(above->Colour));
    EXPECT_EQ(px(30 - 20, 50 - 20), Rgb(aboveLeft->Colour));
    EXPECT_EQ(px(70 - 20, 40 - 20), Rgb(across->Colour));
    EXPECT_NE(px(30 - 20, 25 - 20), Rgb(below->Colour));
    // Hovered and back, faded: still under the blocks once the fade has ended.
    button->Perform(CM_MOUSEENTER, 0, 0);
    Settle(button->SkinData());
    button->Perform(CM_MOUSELEAVE, 0, 0);
    Settle(button->SkinData());
    button->SkinData()->BGChanged = true;
    button->GraphRepaint();
    Settle();
    check("hovered");
  }
}
