// A hint whose OnShowHint handler supplies a frame: the balloon takes the frame's size (plus the template's client
// margins) and shows the frame's controls, windowed and graphic, opaque inside the text area; the frame stays the
// handler's and is left without a window afterwards. Skinned controls on the frame take the balloon's body as what
// lies behind them, skinned balloon or not. Screenshots: $TAVREL_SHOTS/hintframe.png,
// hintframe_body_<skinned|template>.png (over white).
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/lvAlphaHints.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sSkinManager.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

namespace {

using namespace ctltest;

// Opaque and within the rounding of the premultiplication.
bool OpaqueNear(std::uint32_t p, std::uint32_t rgb) {
  if ((p >> 24) != 255) return false;
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > 2) return false;
  return true;
}

// The balloon's sections (one green, one blue, no border mask) and the clear section a panel without bevels paints from.
const char kSections[] =
    "\r\n[HINTFRAME]\r\nCOLOR=$00C800\r\nTRANSPARENCY=0\r\nFONTCOLOR=$000000\r\n"
    "\r\n[HINTFRAMEB]\r\nCOLOR=$C80000\r\nTRANSPARENCY=0\r\nFONTCOLOR=$000000\r\n"
    "\r\n[TRANSPARENT]\r\nCOLOR=$FF00FF\r\nTRANSPARENCY=100\r\n";

}  // namespace

TEST(HintFrame, TheHandlersFrameIsTheBalloonsContent) {
  vcl::Application->Initialize();
  auto owner = std::make_unique<vcl::TForm>(nullptr);
  auto* frame = new vcl::TPanel(owner.get());
  frame->SetBounds(0, 0, 90, 40);
  auto* inner = new vcl::TPanel(owner.get());
  inner->SetParent(frame);
  inner->SetBounds(4, 4, 30, 24);
  inner->SetBevelOuter(vcl::bvNone);
  inner->SetColor(static_cast<vcl::TColor>(0x00A000));
  auto* block = new Block(owner.get());
  block->SetParent(frame);
  block->SetBounds(50, 6, 20, 20);
  block->Colour = static_cast<vcl::TColor>(0xC80000);

  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  int asked = 0;
  hints.OnShowHint = [&](rtl::String&, bool& canShow, TlvHintInfo&, vcl::TWinControl*& f) {
    ++asked;
    canShow = true;
    f = frame;
  };
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci", 0);
  ASSERT_TRUE(hints.HintVisible());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(hints.HintFrame(), frame);
  vcl::TBitmap* b = hints.HintWindow()->AlphaBmp();
  ASSERT_NE(b, nullptr);
  const TlvBordersSizes* m = DefaultTemplate()->ImageDefault()->ClientMargins();
  EXPECT_EQ(b->Width(), 90 + m->Left() + m->Right());
  EXPECT_EQ(b->Height(), 40 + m->Top() + m->Bottom());
  // The windowed control and the graphic one, each opaque in its own colour at its place in the text area.
  const int ox = m->Left(), oy = m->Top();
  EXPECT_TRUE(OpaqueNear(Argb(b, ox + 4 + 10, oy + 4 + 10), 0x00A000u));
  EXPECT_TRUE(OpaqueNear(Argb(b, ox + 50 + 10, oy + 6 + 10), 0x0000C8u));
  // The frame has no window left on the balloon's.
  EXPECT_FALSE(frame->HandleAllocated());
  EXPECT_EQ(frame->ParentWindow(), nullptr);
  SaveOverWhite(b, "hintframe");
  hints.HideAll();
  EXPECT_EQ(hints.HintFrame(), nullptr);
}

// A clear skinned panel on the frame shows the balloon's body where it stands, not the frame's own colour (the
// frame is never drawn on the balloon), with the balloon skinned or drawn from its template; the frame's window
// procedure is its own again afterwards.
class HintFrameBody : public ::testing::TestWithParam<bool> {};

TEST_P(HintFrameBody, AClearSkinnedControlShowsTheBalloonsBody) {
  const bool skinnedBalloon = GetParam();
  vcl::Application->Initialize();
  ActiveLale lale(kSections);
  TsSkinManager* manager = lale.manager;
  vcl::TForm* host = lale.host.get();
  ASSERT_TRUE(manager->Active());
  ASSERT_GE(manager->GetSkinIndex(L"TRANSPARENT"), 0);

  auto* frame = new vcl::TPanel(host);
  frame->SetBounds(0, 0, 90, 40);
  frame->SetColor(vcl::clRed);
  auto* clear = vcl::Create<TsPanel>(host);
  clear->SetParent(frame);
  clear->SetBevelOuter(vcl::bvNone);
  clear->SetBounds(6, 5, 40, 28);
  ASSERT_TRUE(clear->SkinData()->Skinned());
  const vcl::TWndMethod own = frame->WindowProc;

  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  hints.SetUseSkinData(skinnedBalloon);
  hints.SetSkinSection(L"HINTFRAME");
  ASSERT_EQ(hints.Skinned(), skinnedBalloon);
  hints.OnShowHint = [&](rtl::String&, bool& canShow, TlvHintInfo&, vcl::TWinControl*& f) {
    canShow = true;
    f = frame;
  };
  // Twice: the second balloon, skinned blue, is painted afresh, not from what the panel kept of the first.
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      hints.SetUseSkinData(true);
      hints.SetSkinSection(L"HINTFRAMEB");
    }
    const bool skinned = hints.Skinned();
    hints.ShowHint(vcl::TPoint(300 + 40 * round, 300), L"Öğrenci", 0);
    ASSERT_TRUE(hints.HintVisible());
    vcl::TBitmap* b = hints.HintWindow()->AlphaBmp();
    vcl::TBitmap* body = hints.HintWindow()->BodyBmp();
    ASSERT_NE(b, nullptr);
    ASSERT_NE(body, nullptr);
    ASSERT_EQ(body->Width(), b->Width());
    // Where the frame lies on the balloon.
    int ox, oy;
    if (skinned) {
      ox = hints.HintWindow()->SkinMargin(0) + 4;
      oy = hints.HintWindow()->SkinMargin(1) + 4;
    } else {
      const TlvBordersSizes* m = DefaultTemplate()->ImageDefault()->ClientMargins();
      ox = m->Left();
      oy = m->Top();
    }
    int checked = 0;
    for (int y = oy + 5; y < oy + 5 + 28; ++y)
      for (int x = ox + 6; x < ox + 6 + 40; ++x) {
        const std::uint32_t under = Argb(body, x, y) & 0xFFFFFFu;
        ASSERT_TRUE(OpaqueNear(Argb(b, x, y), under)) << round << ": " << x << "," << y << " " << std::hex
                                                       << Argb(b, x, y) << " body " << under;
        ++checked;
      }
    EXPECT_EQ(checked, 40 * 28);
    if (skinned) {
      EXPECT_TRUE(OpaqueNear(Argb(b, ox + 20, oy + 15), round == 0 ? 0x00C800u : 0x0000C8u));
    }
    EXPECT_FALSE(OpaqueNear(Argb(b, ox + 20, oy + 15), 0xFF0000u));
    EXPECT_TRUE(frame->WindowProc == own);
    if (round == 0) SaveOverWhite(b, skinnedBalloon ? "hintframe_body_skinned" : "hintframe_body_template");
    hints.HideAll();
  }
  manager->SetActive(false);
}

INSTANTIATE_TEST_SUITE_P(Balloons, HintFrameBody, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Skinned" : "Template");
                         });
