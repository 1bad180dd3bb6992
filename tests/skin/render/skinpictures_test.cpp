// The two test skins as loaded from their folders, painted: buttons in their three states at several sizes, an
// edit, a panel with its pattern and a form with its external tile, captions in the section's font colour. Checked
// at chosen pixels (corner shape, fixed nine-slice corners at every size, state colours) and written beside the PNG
// suite (lale.png, deniz.png) for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "painttest.h"
#include "platform/vcl/application.h"
#include "platform/vcl/component.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "tests/common/paths.h"

using namespace painttest;

namespace {

constexpr std::uint32_t kParent = 0x3060A0;

void Save(vcl::TBitmap* pic, const std::string& name) {
  const char* dir = std::getenv("TAVREL_FIXTURES");
  if (!dir) return;
  vcl::TPngPixels out;
  out.Width = pic->Width();
  out.Height = pic->Height();
  for (int y = 0; y < out.Height; ++y)
    for (int x = 0; x < out.Width; ++x) out.Pixels.push_back(Px(pic, x, y) | 0xFF000000u);
  vcl::WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/" + name), vcl::EncodePng(out));
}

}  // namespace

TEST(TestSkinPictures, EachSkinPaintsItsOwnCornersStatesAndTextures) {
  vcl::Application->Initialize();
  struct Case {
    const wchar_t* skin;
    const char* file;
    bool roundCorners;  // Lale's border masks key out their corner pixels, Deniz's are square
  } cases[] = {{L"Lale", "lale.png", true}, {L"Deniz", "deniz.png", false}};
  std::uint32_t buttonCentre[2] = {};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file));
    vcl::TComponent owner(nullptr);
    auto* m = vcl::Create<TsSkinManager>(&owner);
    m->SetSkinDirectory(testutil::SourceFile(std::string("tests/skin/skins")));
    m->SetSkinName(c.skin);
    ASSERT_TRUE(m->CommonSkinData->Active);
    const int button = m->GetSkinIndex(L"BUTTON"), edit = m->GetSkinIndex(L"EDIT");
    const int panel = m->GetSkinIndex(L"PANEL"), form = m->GetSkinIndex(L"FORM");
    ASSERT_GE(button, 0);
    ASSERT_GE(edit, 0);

    auto parent = Filled(480, 240, kParent);
    auto pic = Filled(480, 240, kParent);
    TCacheInfo ci;
    ci.Bmp = parent.get();
    ci.Ready = true;
    ci.FillColor = 0xFF00FF;
    auto paint = [&](int section, int state, vcl::TRect r) {
      PaintItem(section, ci, true, state, r, r.TopLeft(), pic.get(), m);
    };
    // Buttons: three states in a row, at three sizes.
    const vcl::TSize sizes[] = {{24, 20}, {75, 25}, {150, 56}};
    int y = 10;
    for (const vcl::TSize& s : sizes) {
      for (int state = 0; state < 3; ++state)
        paint(button, state, vcl::Rect(10 + state * 160, y, 10 + state * 160 + s.cx, y + s.cy));
      y += s.cy + 10;
    }
    paint(edit, 0, vcl::Rect(10, 140, 160, 162));
    paint(edit, 1, vcl::Rect(10, 170, 160, 192));
    if (panel >= 0) paint(panel, 0, vcl::Rect(170, 140, 320, 230));
    if (form >= 0) paint(form, 0, vcl::Rect(330, 140, 470, 230));
    pic->Canvas()->Font()->SetName(L"Tahoma");
    pic->Canvas()->Font()->SetHeight(-13);
    for (int state = 0; state < 2; ++state) {
      vcl::TRect tr(10 + state * 160, y - 66 + 2, 10 + state * 160 + 150, y - 10);
      WriteTextEx(pic->Canvas(), L"Kaydet", true, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE, button, state == 1, m);
    }
    vcl::TRect er(14, 140, 160, 162);
    WriteTextEx(pic->Canvas(), L"İğdır Şube", true, er, DT_LEFT | DT_VCENTER | DT_SINGLELINE, edit, false, m);
    pic->Dormant();
    Save(pic.get(), c.file);

    // The corner: shows the parent through a rounded skin, the skin's own border on a square one.
    EXPECT_EQ(Rgb(Px(pic.get(), 10, 10)) == kParent, c.roundCorners);
    EXPECT_EQ(Rgb(Px(pic.get(), 160 + 10, 10)) == kParent, c.roundCorners);
    // Nine-slice corners stay the same at every size; the centre takes the state's look.
    const int tops[] = {10, 40, 75};
    for (int i = 1; i < 3; ++i) {
      EXPECT_EQ(Px(pic.get(), 12, tops[i] + 2), Px(pic.get(), 12, tops[0] + 2)) << "size " << i;
      EXPECT_EQ(Px(pic.get(), 10 + sizes[i].cx - 3, tops[i] + sizes[i].cy - 3),
                Px(pic.get(), 10 + sizes[0].cx - 3, tops[0] + sizes[0].cy - 3))
          << "size " << i;
    }
    const std::uint32_t normal = Rgb(Px(pic.get(), 10 + 75, 75 + 10));
    const std::uint32_t hot = Rgb(Px(pic.get(), 170 + 75, 75 + 10));
    const std::uint32_t pressed = Rgb(Px(pic.get(), 330 + 75, 75 + 10));
    EXPECT_NE(normal, hot);
    EXPECT_NE(normal, pressed);
    EXPECT_NE(normal, kParent);
    buttonCentre[c.roundCorners ? 0 : 1] = normal;
    // The edit's inside is its section's colour.
    const std::int32_t editColour = m->gd[static_cast<size_t>(edit)].Props[0].Color;
    EXPECT_EQ(
        Rgb(Px(pic.get(), 140, 151)),
        static_cast<std::uint32_t>(((editColour & 0xFF) << 16) | (editColour & 0xFF00) | ((editColour >> 16) & 0xFF)));
  }
  // The two skins look different.
  EXPECT_NE(buttonCentre[0], buttonCentre[1]);
}
