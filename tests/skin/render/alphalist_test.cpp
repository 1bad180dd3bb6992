// The alpha image list: items kept as their files' bytes, bitmaps at any size decoded, resampled and cached, frames
// drawn with their alpha, files recognised by their first bytes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "painttest.h"
#include "platform/vcl/application.h"
#include "platform/vcl/graphicfiles.h"
#include "skin/core/sButtonGlyphs.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/render/lvAlphaImageList.h"
#include "tests/common/paths.h"
#include "tests/common/tempdir.h"

using namespace painttest;

namespace {

std::wstring Suite(const std::string& name) {
  const char* dir = std::getenv("TAVREL_FIXTURES");
  return testutil::WindowsPath(std::string(dir ? dir : "pngsuite") + "/" + name);
}

}  // namespace

TEST(AlphaImageList, ImagesAtAnySizeFromTheFilesBytes) {
  vcl::Application->Initialize();
  TsAlphaImageList list(nullptr);
  list.AfterConstruction();
  ASSERT_TRUE(list.TryLoadFromFile(Suite("rgba8_n_9x7.png")));
  ASSERT_EQ(list.Items()->Count(), 1);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items()->Item(0)->OrigWidth, 9);
  // At the picture's own size: its pixels as the file has them.
  auto own = list.CreateBitmap32(0, 9, 7);
  ASSERT_TRUE(own);
  std::vector<rtl::Byte> expected = vcl::ReadWholeFile(Suite("rgba8_n_9x7.rgba"));
  const rtl::Byte* p = expected.data() + (2 * 9 + 3) * 4;
  EXPECT_EQ(Px(own.get(), 3, 2), (static_cast<std::uint32_t>(p[3]) << 24) | (p[0] << 16) | (p[1] << 8) | p[2]);
  // Another size is resampled once and then taken from the cache.
  auto big = list.CreateBitmap32(0, 18, 14);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->Width(), 18);
  ASSERT_TRUE(list.Items()->Item(0)->CacheBmp);
  vcl::TBitmap* cache = list.Items()->Item(0)->CacheBmp.get();
  auto again = list.CreateBitmap32(0, 18, 14);
  EXPECT_EQ(list.Items()->Item(0)->CacheBmp.get(), cache);
  EXPECT_EQ(Px(again.get(), 5, 5), Px(big.get(), 5, 5));
  // A frame past the strip's frames draws the last one.
  auto dest = Filled(40, 20, 0xFF000000);
  vcl::TSize frame = DrawAlphaImgList(&list, dest.get(), 0, 0, 0, 0, vcl::clNone, 7, 4, false);
  EXPECT_EQ(frame.cx, 4);
  EXPECT_FALSE(list.TryLoadFromFile(Suite("suite.txt")));
}

TEST(AlphaImageList, FormatsByTheirFirstBytes) {
  testutil::TempFolder dir(L"alpha");
  const std::wstring iconLike = dir.Path() + L"\\x.bmp", pngShort = dir.Path() + L"\\short.png";
  vcl::WriteWholeFile(iconLike, {0, 0, 1, 0, 1, 0, 16, 16, 0, 0});
  vcl::WriteWholeFile(pngShort, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A});
  TsImageFormat f;
  EXPECT_FALSE(GetImageFormat(iconLike, f));  // the icon magic, but not the extension
  EXPECT_FALSE(GetImageFormat(pngShort, f));  // nothing after the signature
  EXPECT_TRUE(GetImageFormat(Suite("p8_n_9x7.png"), f));
  EXPECT_EQ(f, ifPNG);
  auto opaque = Filled(3, 3, 0x00123456);
  Px(opaque.get(), 0, 2) = 0x00FF00FF;
  CorrectPixelFrmt(opaque.get());
  EXPECT_EQ(Px(opaque.get(), 1, 1), 0xFF123456u);
  EXPECT_EQ(Px(opaque.get(), 0, 2), 0x00FF00FFu);
}

TEST(ButtonGlyphs, BuiltInStripsAndGlyphFrames) {
  vcl::Application->Initialize();
  TsAlphaImageList* list = lvResImgList();
  ASSERT_EQ(list->Count(), 5);
  EXPECT_EQ(list->Width(), 48);
  auto strip = list->CreateBitmap32(3, 48, 16);  // "SE": three dots, the first at (3, 10) in every frame
  ASSERT_TRUE(strip);
  EXPECT_EQ(Px(strip.get(), 3, 10) >> 24, 255u);
  EXPECT_EQ(Px(strip.get(), 0, 0) >> 24, 0u);
  // A 32-bit glyph strip into a button's bitmap: frame 1 when hot.
  auto glyph = Filled(30, 10, 0xFF0000FF);
  for (int y = 0; y < 10; ++y)
    for (int x = 10; x < 20; ++x) Px(glyph.get(), x, y) = 0xFF00FF00;
  auto dst = Filled(10, 10, 0xFF000000);
  TlvDrawGlyphData data;
  data.Glyph = glyph.get();
  data.NumGlyphs = 3;
  data.CurrentState = 1;
  data.DstBmp = dst.get();
  data.ImgRect = vcl::Rect(0, 0, 10, 10);
  lvDrawGlyphEx(data);
  EXPECT_EQ(Rgb(Px(dst.get(), 5, 5)), 0x00FE00u);
  EXPECT_TRUE(ThirdPartySkipForms().IndexOf(L"TApplication") >= 0);
  EXPECT_EQ(ThirdPartySkipForms().IndexOf(L"tapplication"), -1);
}

namespace {

// The button of a combo edit as the glyph settings see it.
class TRecordingButton : public TsGlyphModeButton {
 public:
  bool Ready() const override { return ready; }
  int Blend() const override { return blend; }
  void SetBlend(int value) override { blend = value; }
  bool Grayed() const override { return grayed; }
  void SetGrayed(bool value) override { grayed = value; }
  rtl::String Hint() const override { return hint; }
  void SetHint(const rtl::String& value) override { hint = value; }
  void GlyphChanged(int w, int n) override {
    width = w;
    numGlyphs = n;
    ++changes;
  }
  bool ready = true;
  int blend = 0, width = 0, numGlyphs = 0, changes = 0;
  bool grayed = false;
  rtl::String hint;
};

}  // namespace

TEST(ButtonGlyphs, GlyphModeSizesFromItsListOrTheBuiltInOne) {
  vcl::Application->Initialize();
  vcl::TWinControl owner(nullptr);
  TsGlyphMode mode(&owner);
  TRecordingButton button;
  mode.Btn = &button;
  // Without images of its own: the built-in list, three frames of 16 x 16.
  EXPECT_EQ(mode.ImageCount(), 3);
  EXPECT_EQ(mode.Width(), 16);
  EXPECT_EQ(mode.Height(), 16);
  struct Case {
    int w, h, count, width;
  } cases[] = {{40, 16, 1, 40}, {64, 16, 4, 16}, {16, 16, 1, 16}, {20, 10, 2, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    auto* list = new vcl::TImageList(nullptr);
    list->SetWidth(c.w);
    list->SetHeight(c.h);
    vcl::TBitmap image;
    image.SetSize(c.w, c.h);
    list->Add(&image, nullptr);
    mode.SetImages(list);
    mode.SetImageIndex(0);
    EXPECT_EQ(mode.ImageCount(), c.count);
    EXPECT_EQ(mode.Width(), c.width);
    EXPECT_EQ(button.width, c.width + 2);
    EXPECT_EQ(button.numGlyphs, c.count);
    // An index the list does not hold falls back to the built-in glyphs.
    mode.SetImageIndex(5);
    EXPECT_EQ(mode.Width(), 16);
    mode.SetImageIndex(0);
    // A freed list is forgotten.
    delete list;
    EXPECT_EQ(mode.Images(), nullptr);
    EXPECT_EQ(button.width, 18);
  }
  // Blend and Grayed pass to a ready button only.
  mode.SetBlend(40);
  EXPECT_EQ(button.blend, 40);
  button.ready = false;
  mode.SetGrayed(true);
  EXPECT_FALSE(button.grayed);
  EXPECT_EQ(mode.Blend(), 0);
}

TEST(ButtonGlyphs, StandardOrderDisabledBlendAndEmptyAlpha) {
  vcl::Application->Initialize();
  // Three frames of 10 x 10: blue, green, red; alpha 255 unless asked otherwise.
  auto strip = [](std::uint32_t alpha) {
    auto g = Filled(30, 10, alpha | 0x0000FFu);
    for (int y = 0; y < 10; ++y)
      for (int x = 10; x < 30; ++x) Px(g.get(), x, y) = alpha | (x < 20 ? 0x00FF00u : 0xFF0000u);
    return g;
  };
  auto draw = [](vcl::TBitmap* glyph, int numGlyphs, int state, bool enabled, TsDisabledGlyphKind kind) {
    auto dst = Filled(10, 10, 0xFF000000);
    TlvDrawGlyphData data;
    data.Glyph = glyph;
    data.NumGlyphs = numGlyphs;
    data.CurrentState = state;
    data.Enabled = enabled;
    data.DisabledGlyphKind = kind;
    data.DstBmp = dst.get();
    data.ImgRect = vcl::Rect(0, 0, 10, 10);
    lvDrawGlyphEx(data);
    return Rgb(Px(dst.get(), 5, 5));
  };
  auto g = strip(0xFF000000u);
  EXPECT_EQ(draw(g.get(), 3, 2, true, {}), 0xFE0000u);
  // A disabled glyph with dgBlended is drawn half transparent over black, even with Blend 0 (into a button's
  // cache as onto a canvas or from an alpha image list).
  auto g2 = strip(0xFF000000u);
  const std::uint32_t half = draw(g2.get(), 3, 0, false, TsDisabledGlyphKind{dgBlended});
  EXPECT_GT(half & 0xFF, 0x60u);
  EXPECT_LT(half & 0xFF, 0xA0u);
  // In the platform's glyph order a hot button with two frames shows frame 0, a disabled one frame 1.
  {
    TsSkinManager manager(nullptr);
    ASSERT_EQ(DefaultManager, &manager);
    manager.Options()->SetStdGlyphsOrder(true);
    auto two = strip(0xFF000000u);
    EXPECT_EQ(draw(two.get(), 2, 1, true, {}), 0x0000FEu);
    EXPECT_EQ(draw(two.get(), 2, 0, false, {}), 0x00FE00u);
    EXPECT_EQ(draw(two.get(), 3, 2, true, {}), 0xFE0000u);
  }
  EXPECT_EQ(DefaultManager, nullptr);
  // All alpha bytes 0: an opaque glyph, drawn as 24-bit glyphs are (the bottom-left pixel's colour left out).
  auto g3 = strip(0);
  Px(g3.get(), 0, 9) = 0x00123456u;
  EXPECT_EQ(draw(g3.get(), 3, 0, true, {}), 0x0000FFu);
  EXPECT_EQ(g3->PixelFormat(), vcl::pf24bit);
}
