// Recolouring a loaded skin by hue, saturation and brightness: every stored colour changes as the colour routines
// change it, colours marked -1 stay -1, and each recolouring leaves alone what it must (the palette and shadow under
// brightness, the close buttons' glyphs under hue with BIKEEPHUE).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/vcl/application.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sGraphUtils.h"
#include "skintest.h"

using namespace skintest;

namespace {

struct Loaded {
  std::unique_ptr<TempSkinDir> dir;
  std::unique_ptr<vcl::TComponent> owner;
  TsSkinManager* m = nullptr;
};

Loaded Load(int hue, int saturation, int brightness, const std::string& extraGlobal = "") {
  Loaded l;
  l.dir = std::make_unique<TempSkinDir>();
  l.dir->AddFolder(L"Lale");
  if (!extraGlobal.empty()) {
    std::vector<rtl::Byte> bytes = SourceBytes(L"Lale\\Options.dat");
    std::string text(bytes.begin(), bytes.end());
    text.insert(text.find("\r\n") + 2, extraGlobal + "\r\n");
    l.dir->Write(L"Lale\\Options.dat", text);
  }
  l.owner = std::make_unique<vcl::TComponent>(nullptr);
  l.m = vcl::Create<TsSkinManager>(l.owner.get());
  l.m->SetSkinDirectory(l.dir->Path());
  l.m->SetHueOffset(hue);
  l.m->SetSaturation(saturation);
  l.m->SetBrightness(brightness);
  l.m->SetSkinName(L"Lale");
  return l;
}

std::uint32_t Pixel(vcl::TBitmap* bmp, int x, int y) {
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  EXPECT_TRUE(InitLine(bmp, line0, delta));
  return PixelAt(line0, delta, x, y)->C;
}

using ColourFn = std::function<std::int32_t(std::int32_t)>;
using PixelFn = std::function<std::uint32_t(std::uint32_t)>;

struct Expectation {
  ColourFn colour;
  PixelFn pixel;
  bool gradientsAlways;
  bool paletteAndShadow;
  // What happens to the gradients of states without a gradient percent when they are not recoloured with the rest.
  ColourFn gradientOtherwise = [](std::int32_t c) { return c; };
};

void Check(TsSkinManager* base, TsSkinManager* got, const Expectation& e) {
  auto map = [&](std::int32_t c) { return c < 0 ? c : e.colour(c); };
  ASSERT_EQ(base->gd.size(), got->gd.size());
  for (size_t i = 0; i < base->gd.size(); ++i) {
    const TsGeneralData &b = base->gd[i], &g = got->gd[i];
    SCOPED_TRACE(b.ClassName);
    for (size_t s = 0; s < 3; ++s) {
      const TsGenState &bs = b.Props[s], &gs = g.Props[s];
      EXPECT_EQ(gs.Color, map(bs.Color));
      EXPECT_EQ(gs.GlowColor, map(bs.GlowColor));
      EXPECT_EQ(gs.FontColor.Color, map(bs.FontColor.Color));
      EXPECT_EQ(gs.FontColor.Left, map(bs.FontColor.Left));
      EXPECT_EQ(gs.FontColor.Top, map(bs.FontColor.Top));
      EXPECT_EQ(gs.FontColor.Bottom, map(bs.FontColor.Bottom));
      ASSERT_EQ(gs.GradientArray.size(), bs.GradientArray.size());
      const bool gradients = e.gradientsAlways || bs.GradientPercent > 0;
      for (size_t p = 0; p < bs.GradientArray.size(); ++p) {
        const ColourFn& fn = gradients ? ColourFn(map) : e.gradientOtherwise;
        EXPECT_EQ(gs.GradientArray[p].Color1, fn(bs.GradientArray[p].Color1));
        EXPECT_EQ(gs.GradientArray[p].Color2, fn(bs.GradientArray[p].Color2));
      }
    }
  }
  for (int i = 0; i < lvPaletteSize; ++i) {
    const bool changes = e.paletteAndShadow && ChangeableColors.Contains(i);
    EXPECT_EQ(got->Palette[static_cast<size_t>(i)],
              changes ? map(base->Palette[static_cast<size_t>(i)]) : base->Palette[static_cast<size_t>(i)])
        << "palette " << i;
  }
  EXPECT_EQ(got->CommonSkinData->Shadow1Color,
            e.paletteAndShadow ? map(base->CommonSkinData->Shadow1Color) : base->CommonSkinData->Shadow1Color);
  // The master bitmap: a button face, an edit frame and a key-coloured corner.
  for (auto [x, y] : {std::pair{10, 10}, std::pair{30, 21}, std::pair{0, 0}, std::pair{127, 63}}) {
    const std::uint32_t before = Pixel(base->MasterBitmap.get(), x, y);
    const bool key = (before & 0xFFFFFF) == 0xFF00FF;
    EXPECT_EQ(Pixel(got->MasterBitmap.get(), x, y), key ? before : e.pixel(before)) << x << "," << y;
  }
}

TsColor_ AsPixel(std::uint32_t v) {
  TsColor_ p;
  p.C = v;
  return p;
}

}  // namespace

TEST(SkinRecolor, HueSaturationAndBrightnessChangeTheStoredColours) {
  vcl::Application->Initialize();
  BoxCatcher boxes;
  Loaded base = Load(0, 0, 0);
  ASSERT_TRUE(base.m->CommonSkinData->Active);

  struct Case {
    const char* what;
    int hue, saturation, brightness;
    Expectation expect;
  };
  auto hue = [](int d) {
    return Expectation{[d](std::int32_t c) { return ChangeHue(d, c); },
                       [d](std::uint32_t p) { return ChangeHue(d, AsPixel(p)).C; }, false, true};
  };
  auto saturation = [](int v) {
    return Expectation{[v](std::int32_t c) { return ChangeSaturation(c, v); },
                       [v](std::uint32_t p) { return ChangeSaturation(v, AsPixel(p)).C; }, true, true};
  };
  auto brightness = [](int d) {
    return Expectation{[d](std::int32_t c) { return ChangeBrightness(c, d); },
                       [d](std::uint32_t p) {
                         TsColor_ c = AsPixel(p);
                         ChangeColorBrightness(c, d);
                         return c.C;
                       },
                       true, false};
  };
  const Case cases[] = {
      {"hue +120", 120, 0, 0, hue(120)},
      {"hue -30", -30, 0, 0, hue(-30)},
      {"hue 400 (more than a turn)", 400, 0, 0, hue(400)},
      {"saturation 50: 127 steps", 0, 50, 0, saturation(127)},
      {"saturation 200: limited to 255", 0, 200, 0, saturation(255)},
      {"saturation -100: -254 steps (2.55 is not exact)", 0, -100, 0, saturation(-254)},
      {"brightness +40", 0, 0, 40, brightness(40)},
      {"brightness -25", 0, 0, -25, brightness(-25)},
      {"brightness 150: kept at 100", 0, 0, 150, brightness(100)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Loaded got = Load(c.hue, c.saturation, c.brightness);
    EXPECT_EQ(got.m->Brightness(), std::clamp(c.brightness, -100, 100));
    Check(base.m, got.m, c.expect);
  }

  // Hue first, then saturation.
  {
    SCOPED_TRACE("hue 60 then saturation 20");
    Loaded got = Load(60, 20, 0);
    Check(base.m, got.m,
          Expectation{[](std::int32_t c) { return ChangeSaturation(ChangeHue(60, c), 51); },
                      [](std::uint32_t p) { return ChangeSaturation(51, ChangeHue(60, AsPixel(p))).C; }, false, true,
                      [](std::int32_t c) { return ChangeSaturation(c, 51); }});
  }
  // Nothing to do: the skin as in the file.
  Loaded same = Load(0, 0, 0);
  EXPECT_EQ(FirstDifference(Describe(base.m), Describe(same.m)), L"");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(SkinRecolor, ExternalImagesAndTheCloseButtonsGlyph) {
  vcl::Application->Initialize();
  BoxCatcher boxes;
  Loaded base = Load(0, 0, 0);
  const int close = base.m->ConstData.MaskCloseBtn;
  ASSERT_TRUE(base.m->IsValidImgIndex(close));
  vcl::TBitmap* glyph = base.m->ma[static_cast<size_t>(close)].Bmp;
  // A pixel of the cross in the first frame.
  const std::uint32_t cross = Pixel(glyph, 3, 3);
  ASSERT_EQ(cross >> 24, 0xFFu);

  Loaded rotated = Load(90, 0, 0);
  EXPECT_EQ(Pixel(rotated.m->ma[static_cast<size_t>(close)].Bmp, 3, 3), ChangeHue(90, AsPixel(cross)).C);
  // BIKEEPHUE keeps the close buttons' colours (by bitmap, as this glyph has its own).
  Loaded kept = Load(90, 0, 0, "BIKEEPHUE=2");
  EXPECT_EQ(Pixel(kept.m->ma[static_cast<size_t>(close)].Bmp, 3, 3), cross);
  EXPECT_NE(Pixel(kept.m->MasterBitmap.get(), 10, 10), Pixel(base.m->MasterBitmap.get(), 10, 10));

  // Brightening an external picture of a newer skin premultiplies it again.
  Loaded bright = Load(0, 0, 30);
  vcl::TBitmap raw;
  LoadBmpFromPngFile(&raw, SkinsSource() + L"\\Lale\\TITLEBTN.PNG");
  TsColor_ expected = AsPixel(Pixel(&raw, 3, 3));
  ChangeColorBrightness(expected, 30);
  expected.R = static_cast<std::uint8_t>(expected.R * expected.A >> 8);
  expected.G = static_cast<std::uint8_t>(expected.G * expected.A >> 8);
  expected.B = static_cast<std::uint8_t>(expected.B * expected.A >> 8);
  EXPECT_EQ(Pixel(bright.m->ma[static_cast<size_t>(close)].Bmp, 3, 3), expected.C);
}

TEST(SkinRecolor, ChangingAValueReloadsTheSkinInForce) {
  vcl::Application->Initialize();
  BoxCatcher boxes;
  Loaded preset = Load(45, 10, -10);
  Loaded later = Load(0, 0, 0);
  int changes = 0;
  later.m->OnAfterChange = [&](rtl::TObject*) { ++changes; };
  later.m->SetHueOffset(45);
  later.m->SetSaturation(10);
  later.m->SetBrightness(-10);
  later.m->SetBrightness(-10);  // unchanged: nothing happens
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(later.m->CommonSkinData->Active);
  EXPECT_EQ(FirstDifference(Describe(preset.m), Describe(later.m)), L"");
}

TEST(SkinColours, RoutinesAtTheirEdges) {
  EXPECT_EQ(MixColors(0x0000FF, 0xFF0000, 0.5), 0x7F007F);
  // Pure red turned by 120 degrees is pure green; a grey has no hue to turn.
  EXPECT_EQ(ChangeHue(120, AsPixel(0x00FF0000)).C, 0x0000FF00u);
  EXPECT_EQ(ChangeHue(77, AsPixel(0x40808080)).C, 0x40808080u);
  EXPECT_EQ(ChangeHue(120, 0x0000FF), 0x00FF00);  // as colour values: red to green
  EXPECT_EQ(ChangeHue(0, 0x12345678), 0x12345678);
  // A hue of 10 turned back by 30 is 340.
  TsColor_ h10 = ChangeHue(10, AsPixel(0x00FF0000));
  TsColor_ h340 = ChangeHue(-30, h10);
  EXPECT_EQ(h340.C, ChangeHue(340, AsPixel(0x00FF0000)).C);
  EXPECT_EQ(ChangeSaturation(0x7F123456, 0), 0x7F123456);
  EXPECT_EQ(ChangeBrightness(0x7F123456, 0), 0x7F123456);
  EXPECT_EQ(ChangeBrightness(0x00123456, 300), 0x00FFFFFF);
  EXPECT_EQ(ChangeBrightness(0x00123456, -300), 0);
  // Saturation pulls toward the average or pushes away from it.
  EXPECT_EQ(ChangeSaturation(-255, AsPixel(0x00FF0000)).C, 0x00555555u);
  auto bmp = CreateBmp32(2, 1);
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  ASSERT_TRUE(InitLine(bmp.get(), line0, delta));
  EXPECT_EQ(delta, 0);
  PixelAt(line0, delta, 0, 0)->C = 0x00FF00FF;
  PixelAt(line0, delta, 1, 0)->C = 0xFFFF00FF;
  ChangeBitmapPixels(bmp.get(), ChangeColorHUE, 90, 0xFF00FF);
  EXPECT_EQ(PixelAt(line0, delta, 0, 0)->C, 0x00FF00FFu);
  EXPECT_NE(PixelAt(line0, delta, 1, 0)->C, 0xFFFF00FFu);
  PixelAt(line0, delta, 0, 0)->C = 0x00FFFFFF;
  PixelAt(line0, delta, 1, 0)->C = 0x80FF0000;
  UpdateAlpha(bmp.get());
  EXPECT_EQ(PixelAt(line0, delta, 0, 0)->C, 0u);
  EXPECT_EQ(PixelAt(line0, delta, 1, 0)->C, 0x807F0000u);
}
