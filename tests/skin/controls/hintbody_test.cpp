// A skinned hint whose section is wholly transparent and has a border mask shows nothing of the section but the
// mask's own picture, laid out in nine parts over the balloon: clear where the picture holds the key colour, opaque
// elsewhere, with the text over it. Screenshot: $TAVREL_SHOTS/hintbody_Lale.png (over white).
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/png.h"
#include "skin/controls/lvAlphaHints.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

namespace {

using namespace ctltest;

// The section: clear, green if it were ever painted, framed by the button's mask of Lale's master picture.
const char kHintSection[] =
    "\r\n[HINTBODY]\r\nCOLOR=$00FF00\r\nTRANSPARENCY=100\r\nFONTCOLOR=$000000\r\n"
    "BORDERSMASK=^0000,0000,0060,0020,0005,0005,0005,0005,3,0,0,0\r\n"
    "\r\n[HINTSOLID]\r\nCOLOR=$00FF00\r\nTRANSPARENCY=0\r\nFONTCOLOR=$000000\r\n"
    "BORDERSMASK=^0000,0000,0060,0020,0005,0005,0005,0005,3,0,0,0\r\n";

}  // namespace

TEST(HintBody, AClearSectionWithABorderMaskShowsTheMasksPictureOnly) {
  vcl::Application->Initialize();
  ActiveLale lale(kHintSection);
  TsSkinManager* manager = lale.manager;
  ASSERT_TRUE(manager->Active());
  const int idx = manager->GetSkinIndex(L"HINTBODY");
  ASSERT_GE(idx, 0);
  const TsGeneralData& gd = manager->gd[static_cast<size_t>(idx)];
  ASSERT_EQ(gd.Props[0].Transparency, 100);
  ASSERT_TRUE(manager->IsValidImgIndex(gd.BorderIndex));
  const TsMaskData& md = manager->ma[static_cast<size_t>(gd.BorderIndex)];
  // The mask's first frame as 32-bit pixels.
  const int fw = md.R.Width() / md.ImageCount, fh = md.R.Height() / (md.MaskType + 1);
  auto frame = CreateBmp32(fw, fh);
  vcl::TBitmap* picture = md.Bmp ? md.Bmp : manager->MasterBitmap.get();
  ASSERT_NE(picture, nullptr);
  BitBlt(frame->Canvas()->Handle(), 0, 0, fw, fh, picture->Canvas()->Handle(), md.R.Left, md.R.Top, SRCCOPY);
  GdiFlush();
  auto framePx = [&](int x, int y) { return Argb(frame.get(), x, y) & 0xFFFFFFu; };

  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  hints.SetUseSkinData(true);
  hints.SetSkinSection(L"HINTBODY");
  ASSERT_TRUE(hints.Skinned());
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci numarası", 0);
  ASSERT_TRUE(hints.HintVisible());
  vcl::TBitmap* b = hints.HintWindow()->AlphaBmp();
  ASSERT_NE(b, nullptr);
  const int w = b->Width(), h = b->Height();
  ASSERT_GT(w, 2 * fw);
  int clear = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = Argb(b, x, y);
      // Clear or opaque, never the section's green.
      ASSERT_TRUE(p == 0 || (p >> 24) == 255) << x << "," << y;
      ASSERT_NE(p & 0xFFFFFF, 0x00FF00u) << x << "," << y;
      if (p == 0) ++clear;
    }
  // The four corners are the frame's corners: keyed pixels clear, the rest the picture's own colour.
  for (auto [bx, by, fx, fy] : {std::tuple{0, 0, 0, 0}, std::tuple{w - 5, 0, fw - 5, 0}, std::tuple{0, h - 5, 0, fh - 5},
                                std::tuple{w - 5, h - 5, fw - 5, fh - 5}})
    for (int dy = 0; dy < 5; ++dy)
      for (int dx = 0; dx < 5; ++dx) {
        const std::uint32_t want = framePx(fx + dx, fy + dy);
        const std::uint32_t got = Argb(b, bx + dx, by + dy);
        if (want == 0xFF00FF)
          EXPECT_EQ(got, 0u) << bx + dx << "," << by + dy;
        else
          EXPECT_TRUE(Near(got, want) && (got >> 24) == 255) << bx + dx << "," << by + dy;
      }
  EXPECT_GT(clear, 0);
  // Inside, off the text, the picture's inside (the first tile of the middle part).
  EXPECT_TRUE(Near(Argb(b, 5, 5), framePx(5, 5)));
  SaveOverWhite(b, "hintbody_Lale");
  hints.HideAll();
  // The same mask on an opaque section keeps the section's own body: its green shows inside.
  hints.SetSkinSection(L"HINTSOLID");
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci numarası", 0);
  b = hints.HintWindow()->AlphaBmp();
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(Near(Argb(b, 6, b->Height() / 2), 0x00FF00u));
  hints.HideAll();
  manager->SetActive(false);
}
