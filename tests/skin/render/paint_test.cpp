// Section painting of a test skin into bitmaps, checked at chosen pixels: nine-slice borders at several sizes,
// transparent corners, textures, gradients, transparency, glyphs (greyed, blended, clipped) and text with contour
// and glow; and the edge cases of the pixel routines underneath. A composite picture is written beside the PNG
// suite (painted.png) for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>

#include "painttest.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sBlur.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sBorders.h"
#include "skin/render/sGradientPaint.h"
#include "skin/render/sItem32.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "tests/common/paths.h"

using namespace painttest;

namespace {

TCacheInfo ReadyOn(vcl::TBitmap* parent) {
  TCacheInfo ci;
  ci.Bmp = parent;
  ci.Ready = true;
  ci.FillColor = 0xFF00FF;
  return ci;
}

TCacheInfo FillWith(std::int32_t colour) {
  TCacheInfo ci;
  ci.FillColor = colour;
  return ci;
}

int CountRgb(vcl::TBitmap* b, std::uint32_t rgb) {
  int n = 0;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) n += Rgb(Px(b, x, y)) == rgb;
  return n;
}

}  // namespace

TEST(NineSlice, BordersAtSeveralSizes) {
  TestSkin skin;
  for (auto [w, h] : {std::pair{40, 30}, {100, 60}, {9, 9}, {6, 6}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    auto bmp = Filled(w, h, 0xFF102030);
    DrawSkinRect(bmp.get(), vcl::Rect(0, 0, w, h), EmptyCI, skin.Mask(kMaskedBorder), 0, false);
    const int m = std::min(4, w / 2);  // the margins shrink to share a rectangle smaller than both
    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {m - 1, m - 1}})
      EXPECT_EQ(Rgb(Px(bmp.get(), x, y)), CornerColour(0)) << x << "," << y;
    if (w > 8) {
      EXPECT_EQ(Rgb(Px(bmp.get(), w / 2, 0)), 0x0000FFu);      // top side
      EXPECT_EQ(Rgb(Px(bmp.get(), w / 2, h - 1)), 0x0000FFu);  // bottom side
      EXPECT_EQ(Rgb(Px(bmp.get(), 0, h / 2)), 0x0000FFu);      // left side
      // Frame 0's white mask leaves the centre to what was there: (d * 255 + s) shr 8 with the green source.
      EXPECT_EQ(Px(bmp.get(), w / 2, h / 2), 0xFF0F202Fu);
    }
    // The pressed state takes frame 1 with an opaque centre; a state past the frames the last one.
    DrawSkinRect(bmp.get(), vcl::Rect(0, 0, w, h), EmptyCI, skin.Mask(kMaskedBorder), 1, false);
    EXPECT_EQ(Rgb(Px(bmp.get(), 0, 0)), CornerColour(1));
    if (w > 8) {
      EXPECT_EQ(Rgb(Px(bmp.get(), w / 2, h / 2)), 0x00FF00u);
    }
    DrawSkinRect(bmp.get(), vcl::Rect(0, 0, w, h), EmptyCI, skin.Mask(kMaskedBorder), 7, false);
    EXPECT_EQ(Rgb(Px(bmp.get(), w - 1, h - 1)), CornerColour(2));
  }
}

TEST(NineSlice, ActiveOnlyAndMarginSharing) {
  TestSkin skin;
  TsMaskData md = {};
  md.R = skin.Mask(kMaskedBorder).R;
  md.ImageCount = 3;
  md.MaskType = 1;
  md.Manager = skin.Get();
  md.DrawMode = BDM_ACTIVEONLY | BDM_FILL;
  md.WL = md.WT = md.WR = md.WB = 4;
  auto bmp = Filled(20, 20, 0xFF102030);
  DrawSkinRect(bmp.get(), vcl::Rect(0, 0, 20, 20), EmptyCI, md, 0, false);
  EXPECT_EQ(CountRgb(bmp.get(), 0x102030), 400);  // state 0 paints nothing
  // Left 8 and right 7 in a 10-pixel row: a deficit of 5 leaves 6 and 4. The right corner piece comes from the
  // frame's column 12 on (corner colour); columns 4 and 5 of the frame are its side (blue).
  md.DrawMode = BDM_FILL;
  md.WL = 8;
  md.WR = 7;
  auto row = Filled(10, 20, 0xFF102030);
  DrawSkinRect(row.get(), vcl::Rect(0, 0, 10, 20), EmptyCI, md, 1, false);
  EXPECT_EQ(Rgb(Px(row.get(), 3, 0)), CornerColour(1));
  EXPECT_EQ(Rgb(Px(row.get(), 5, 0)), 0x0000FFu);
  EXPECT_EQ(Rgb(Px(row.get(), 6, 0)), CornerColour(1));
  EXPECT_EQ(Rgb(Px(row.get(), 9, 0)), CornerColour(1));
}

TEST(NineSlice, TransparentCornersShowTheParentOnlyWhenAsked) {
  TestSkin skin;
  auto parent = Filled(30, 30, 0xFF00ABCD);
  auto bmp = Filled(20, 20, 0xFF111111);
  TCacheInfo ci = ReadyOn(parent.get());
  DrawSkinRect(bmp.get(), vcl::Rect(0, 0, 20, 20), ci, skin.Mask(kKeyBorder), 0, false);
  EXPECT_EQ(Px(bmp.get(), 0, 0), 0xFF111111u);  // the key pixel is left alone
  EXPECT_EQ(Rgb(Px(bmp.get(), 1, 0)), 0xFF0000u);
  DrawSkinRect(bmp.get(), vcl::Rect(0, 0, 20, 20), ci, skin.Mask(kKeyBorder), 0, true);
  EXPECT_EQ(Rgb(Px(bmp.get(), 0, 0)), 0x00ABCDu);  // now the parent shows through
  EXPECT_EQ(Rgb(Px(bmp.get(), 10, 0)), 0xFFFF00u);
  EXPECT_EQ(Rgb(Px(bmp.get(), 10, 10)), 0x808080u);
  // The 32-bit painter always takes the parent, alpha included.
  auto bmp32 = Filled(20, 20, 0x00000000);
  DrawSkinRect32(bmp32.get(), vcl::Rect(0, 0, 20, 20), ci, skin.Mask(kKeyBorder), 0);
  EXPECT_EQ(Px(bmp32.get(), 0, 0), 0xFF00ABCDu);
}

TEST(SectionPainting, TransparencyGradientTextureAndState) {
  TestSkin skin;
  auto bmp = Filled(40, 20, 0);
  // Half transparent black over white that is only known as a colour: $7F7F7F.
  PaintItemBG(kHalf, FillWith(0xFFFFFF), 0, vcl::Rect(0, 0, 10, 10), vcl::TPoint(), bmp.get(), skin.Get());
  EXPECT_EQ(Px(bmp.get(), 5, 5), 0xFF7F7F7Fu);
  // Fully transparent over a ready parent: the parent's pixels, whatever the state colour.
  auto parent = Filled(60, 60, 0xFF345678);
  Px(parent.get(), 3, 7) = 0xFF010203;
  PaintItemBG(kClear, ReadyOn(parent.get()), 0, vcl::Rect(10, 0, 20, 10), vcl::TPoint(3, 7), bmp.get(), skin.Get());
  EXPECT_EQ(Px(bmp.get(), 10, 0), 0xFF010203u);
  EXPECT_EQ(Px(bmp.get(), 15, 5), 0xFF345678u);
  // A vertical gradient from red at the top to blue at the bottom.
  auto grad = Filled(8, 11, 0);
  PaintItemBG(kGradient, EmptyCI, 0, vcl::Rect(0, 0, 8, 11), vcl::TPoint(), grad.get(), skin.Get());
  EXPECT_EQ(Px(grad.get(), 3, 0), 0xFFFF0000u);
  EXPECT_EQ(Px(grad.get(), 3, 10), 0xFF0000FFu);
  EXPECT_EQ(Px(grad.get(), 3, 5), 0xFF7F007Fu);  // Trunc of 127.5 both ways
  // A tiled checker texture.
  auto tex = Filled(10, 10, 0);
  PaintItemBG(kTextured, EmptyCI, 0, vcl::Rect(0, 0, 10, 10), vcl::TPoint(), tex.get(), skin.Get());
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(Rgb(Px(tex.get(), x, y)), ((x % 4 + y % 4) % 2) ? 0xFFFFFFu : 0u);
  // The hot state, and a state past the section's: the last one (at most 2).
  auto st = Filled(4, 4, 0);
  PaintItemBG(kPlain, EmptyCI, 1, vcl::Rect(0, 0, 4, 4), vcl::TPoint(), st.get(), skin.Get());
  EXPECT_EQ(Rgb(Px(st.get(), 0, 0)), 0xFFFF00u);
  PaintItemBG(kPlain, EmptyCI, 5, vcl::Rect(0, 0, 4, 4), vcl::TPoint(), st.get(), skin.Get());
  EXPECT_EQ(Rgb(Px(st.get(), 0, 0)), 0xFF0000u);
  // A custom colour ignores transparency, texture and gradient.
  PaintItemBG(kGradient, EmptyCI, 0, vcl::Rect(0, 0, 8, 11), vcl::TPoint(), grad.get(), skin.Get(), -1, -1, 0x00FF00);
  EXPECT_EQ(Px(grad.get(), 3, 10), 0xFF00FF00u);
  // PaintItem: background, then the border; a rectangle past the bitmap paints nothing.
  auto item = Filled(30, 20, 0xFF000000);
  PaintItem(kBordered, EmptyCI, true, 0, vcl::Rect(0, 0, 30, 20), vcl::TPoint(), item.get(), skin.Get());
  EXPECT_EQ(Rgb(Px(item.get(), 0, 0)), CornerColour(0));
  EXPECT_EQ(Rgb(Px(item.get(), 15, 10)), 0xBFC0BFu);  // the section colour under the white mask
  auto untouched = Filled(30, 20, 0xFF000000);
  PaintItem(kBordered, EmptyCI, true, 0, vcl::Rect(0, 0, 31, 20), vcl::TPoint(), untouched.get(), skin.Get());
  EXPECT_EQ(CountRgb(untouched.get(), 0), 600);
}

TEST(Glyphs, FramesClippingLightAndGrey) {
  TestSkin skin;
  auto bmp = Filled(20, 12, 0xFF000000);
  DrawSkinGlyph(bmp.get(), vcl::TPoint(2, 2), 1, 1, skin.Mask(kGlyph), EmptyCI);
  EXPECT_EQ(Px(bmp.get(), 2, 2), 0xFF000000u);  // the ring is transparent
  EXPECT_EQ(Rgb(Px(bmp.get(), 3, 3)), GlyphColour(1));
  // Partly left of the bitmap: the glyph's columns 3 and on at x = 0, nothing of the next frame.
  auto clipped = Filled(20, 12, 0xFF000000);
  DrawSkinGlyph(clipped.get(), vcl::TPoint(-3, 0), 0, 1, skin.Mask(kGlyph), EmptyCI);
  EXPECT_EQ(Rgb(Px(clipped.get(), 0, 1)), GlyphColour(0));
  EXPECT_EQ(Rgb(Px(clipped.get(), 4, 1)), 0u);
  EXPECT_EQ(Rgb(Px(clipped.get(), 5, 1)), 0u);
  // Lighter: every mask weight grows by 100, so a third of the black under it stays.
  auto light = Filled(12, 12, 0xFF000000);
  DrawSkinGlyph(light.get(), vcl::TPoint(0, 0), 0, 2, skin.Mask(kGlyph), EmptyCI);
  EXPECT_EQ(Rgb(Px(light.get(), 3, 3)), 0x9B4E00u);  // (0xFF * 156) >> 8, (0x80 * 156) >> 8
  // A grey tint toward a colour, and the disabled look with the parent behind.
  auto src = Filled(4, 4, 0xFFFF0000);
  auto dst = Filled(4, 4, 0xFF000000);
  CopyBmp32(vcl::Rect(0, 0, 4, 4), vcl::Rect(0, 0, 4, 4), dst.get(), src.get(), EmptyCI, false, 0xFFFFFF, 0, false);
  EXPECT_EQ(Rgb(Px(dst.get(), 1, 1)), 0x545454u);  // grey 85, times 255/256
  auto disabled = Filled(4, 4, 0xFF000000);
  BmpDisabledKind(disabled.get(), TsDisabledKind{dkBlended}, nullptr, FillWith(0xFFFFFF), vcl::TPoint());
  EXPECT_EQ(Rgb(Px(disabled.get(), 0, 0)), 0x999999u);  // 40 % of black remains over white
}

TEST(Text, ContourAndGlow) {
  TestSkin skin;
  auto bmp = Filled(120, 40, 0xFFFFFFFF);
  vcl::TCanvas* c = bmp->Canvas();
  c->Font()->SetName(L"Tahoma");
  c->Font()->SetHeight(-28);
  c->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
  vcl::TRect r(4, 2, 116, 38);
  WriteTextEx(c, L"IH", true, r, DT_LEFT | DT_TOP | DT_SINGLELINE, kPlain, true, skin.Get());
  bmp->Dormant();
  // Hot: the text in red, its left contour in green one pixel left of it.
  EXPECT_GT(CountRgb(bmp.get(), 0xFF0000), 20);
  EXPECT_GT(CountRgb(bmp.get(), 0x00FF00), 10);
  int greenLeftOfRed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x + 1 < 120; ++x)
      greenLeftOfRed += Rgb(Px(bmp.get(), x, y)) == 0x00FF00 && Rgb(Px(bmp.get(), x + 1, y)) == 0xFF0000;
  EXPECT_GT(greenLeftOfRed, 5);
  // A glow in blue around the text; the mask is kept and used again without being redrawn.
  auto glow = Filled(120, 40, 0xFFFFFFFF);
  glow->Canvas()->Font()->Assign(c->Font());
  vcl::TBitmap* mask = nullptr;
  lvDrawGlowForText(glow.get(), L"IH", r, DT_LEFT | DT_TOP | DT_SINGLELINE, 15, 3, 0xFF0000, mask);
  ASSERT_TRUE(mask);
  int bluish = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      std::uint32_t p = Px(glow.get(), x, y);
      bluish += (p & 0xFF) > ((p >> 16) & 0xFF) + 20;
    }
  EXPECT_GT(bluish, 100);
  vcl::TBitmap* before = mask;
  std::uint8_t first = static_cast<std::uint8_t*>(mask->ScanLine(10))[10];
  lvDrawGlowForText(glow.get(), L"other", r, DT_LEFT | DT_TOP | DT_SINGLELINE, 15, 3, 0xFF0000, mask);
  EXPECT_EQ(mask, before);
  EXPECT_EQ(static_cast<std::uint8_t*>(mask->ScanLine(10))[10], first);
  delete mask;
  // Text written into a 32-bit bitmap keeps a meaningful alpha.
  auto t32 = Filled(120, 40, 0x00000000);
  t32->Canvas()->Font()->Assign(c->Font());
  vcl::TRect r32 = r;
  WriteText32(t32.get(), L"IH", true, r32, DT_LEFT | DT_TOP | DT_SINGLELINE, kPlain, false, skin.Get());
  int opaque = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) opaque += (Px(t32.get(), x, y) >> 24) == 255;
  EXPECT_GT(opaque, 50);
  EXPECT_EQ(CutText(c, L"abcde", 0), L"");
}

TEST(PixelRoutines, EdgeCases) {
  // An opaque 255 over 0 gives 254; alpha 0 leaves the destination.
  auto s = Filled(2, 1, 0xFFFFFFFF);
  Px(s.get(), 1, 0) = 0x00FFFFFF;
  auto d = Filled(2, 1, 0x00000000);
  CopyBmp32(vcl::Rect(0, 0, 2, 1), vcl::Rect(0, 0, 2, 1), d.get(), s.get(), EmptyCI, false, vcl::clNone, 0, false);
  EXPECT_EQ(Px(d.get(), 0, 0), 0xFFFEFEFEu);
  EXPECT_EQ(Px(d.get(), 1, 0), 0x00000000u);
  // Blend 0.25: destination 0 and source 200 give 150.
  auto bs = Filled(1, 1, 0xFFC8C8C8);
  auto bd = Filled(1, 1, 0xFF000000);
  BlendTransRectangle(bd.get(), 0, 0, bs.get(), vcl::Rect(0, 0, 0, 0), 0.25);
  EXPECT_EQ(Rgb(Px(bd.get(), 0, 0)), 0x969696u);
  // SumBitmaps with blend 0 gives the source in B, G, R and keeps the destination's alpha.
  auto ss = Filled(2, 2, 0x11223344);
  auto sd = Filled(2, 2, 0x99AABBCC);
  SumBitmaps(sd.get(), ss.get(), 0);
  EXPECT_EQ(Px(sd.get(), 1, 1), 0x99223344u);
  // A texture of 4 x 4 tiled over 2.5 tiles covers all; a stretched top strip leaves what is below.
  TestSkin skin;
  auto tile = Filled(10, 10, 0);
  vcl::TRect r(0, 0, 10, 10);
  TileBitmap(tile->Canvas(), r, nullptr, skin.Mask(kTexture), fmTiled);
  EXPECT_EQ(r, vcl::TRect(-1, -1, -1, -1));
  vcl::TRect strip(0, 0, 10, 10);
  TileBitmap(tile->Canvas(), strip, nullptr, skin.Mask(kTexture), fmStretchHorzTop);
  EXPECT_EQ(strip, vcl::TRect(0, 4, 10, 10));
  // The kernel of radius 5: nine equal weights.
  TKernel k;
  MakeGaussianKernel(k, 5, 255, 1);
  EXPECT_EQ(k.Size, 4);
  EXPECT_NEAR(k.At(0), 1.0 / 9, 1e-6);
  EXPECT_NEAR(k.At(4), 1.0 / 9, 1e-6);
  // Box halving averages pixel pairs; mirrored at the left edge.
  auto wide = CreateBmp32(100, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x) Px(wide.get(), x, y) = x % 2 ? 0xFF000000u : 0xFFC8C8C8u;
  vcl::TBitmap half;
  Stretch(wide.get(), &half, 50, 25, ftBox);
  ASSERT_EQ(half.Width(), 50);
  EXPECT_EQ(Rgb(Px(&half, 10, 3)), 0x646464u);
  // QBlur keeps a transparent bitmap transparent.
  auto clear = Filled(5, 5, 0);
  QBlur(clear.get());
  EXPECT_EQ(CountRgb(clear.get(), 0), 25);
  EXPECT_EQ(Px(clear.get(), 2, 2), 0u);
  // Two vertical pieces of 50 on 100 rows: row 50 starts the second band.
  TsGradArray two;
  PrepareGradArray(L"255;65280;50;0;0;65280;16711680;50;0;0", two);
  auto g = Filled(3, 100, 0);
  PaintGrad(g.get(), vcl::Rect(0, 0, 3, 100), two);
  EXPECT_EQ(Px(g.get(), 1, 0), 0xFFFF0000u);
  EXPECT_EQ(Px(g.get(), 1, 50), 0xFF00FF00u);
  EXPECT_EQ(Px(g.get(), 1, 99), 0xFF0000FFu);
  // Fills clip; premultiplying turns $00FFFFFF into 0 and halves a half-opaque red.
  auto f = Filled(4, 4, 0);
  FillRect32(f.get(), vcl::Rect(-5, -5, 50, 50), 0x0000FF, 200);
  EXPECT_EQ(Px(f.get(), 3, 3), 0xC8FF0000u);
  Px(f.get(), 0, 0) = 0x00FFFFFF;
  Px(f.get(), 1, 0) = 0x80FF0000;
  UpdateAlpha(f.get());
  EXPECT_EQ(Px(f.get(), 0, 0), 0u);
  EXPECT_EQ(Px(f.get(), 1, 0), 0x807F0000u);
  // Regions: no key pixels, the full rectangle; all key pixels, empty.
  HRGN rgn;
  GetRgnFromBmp(rgn, f.get(), 0xFF00FF);
  RECT box;
  EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION);
  DeleteObject(rgn);
  auto keys = Filled(3, 3, 0x00FF00FF);
  GetRgnFromBmp(rgn, keys.get(), 0xFF00FF);
  EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
  DeleteObject(rgn);
  // Glyph layout without a caption: no spacing.
  vcl::TPoint pos;
  vcl::TRect text;
  CalcButtonLayout(vcl::Rect(0, 0, 80, 24), vcl::TPoint(16, 16), vcl::TSize(0, 0), blGlyphLeft, vcl::taCenter, -1, 4,
                   pos, text, 0, vcl::taVerticalCenter);
  EXPECT_EQ(pos.X, 32);
  EXPECT_EQ(pos.Y, 4);
  // Nested bevel frames: R ends two pixels in.
  auto bevel = Filled(20, 20, 0);
  vcl::TRect br(0, 0, 20, 20);
  int width = 2;
  DrawRectangleOnDC(bevel->Canvas()->Handle(), br, 0xFFFFFF, width, 0x000000);
  EXPECT_EQ(br, vcl::TRect(2, 2, 18, 18));
  EXPECT_EQ(width, 0);
}

TEST(RegionBorders, CornerKeyPixelsLeaveTheRegionAndFillingIsAsked) {
  TestSkin skin;
  auto bmp = Filled(20, 20, 0xFF000000);
  HRGN region = CreateRectRgn(0, 0, 20, 20);
  PaintRgnBorder(bmp.get(), region, false, skin.Mask(kKeyBorder), 0);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 1, 0));
  EXPECT_TRUE(PtInRegion(region, 10, 10));
  EXPECT_EQ(Rgb(Px(bmp.get(), 1, 0)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(bmp.get(), 10, 0)), 0xFFFF00u);
  EXPECT_EQ(Px(bmp.get(), 10, 10), 0xFF000000u);  // no filling asked: the centre stays
  DeleteObject(region);
  PaintRgnBorder(bmp.get(), nullptr, true, skin.Mask(kKeyBorder), 0);
  EXPECT_EQ(Rgb(Px(bmp.get(), 10, 10)), 0x808080u);
}

TEST(Items32, PremultipliedOnlyWhenTheItemCoversTheBitmap) {
  TestSkin skin;
  auto whole = Filled(8, 8, 0);
  PaintItem32(kPlain, true, 0, vcl::Rect(0, 0, 8, 8), vcl::TPoint(), whole.get(), skin.Get());
  EXPECT_EQ(Px(whole.get(), 3, 3), 0xFFFE0000u);
  auto part = Filled(8, 8, 0);
  PaintItem32(kPlain, true, 0, vcl::Rect(0, 0, 4, 4), vcl::TPoint(), part.get(), skin.Get());
  EXPECT_EQ(Px(part.get(), 1, 1), 0xFFFF0000u);
  auto clear = Filled(8, 8, 0x12345678);
  PaintItemBG32(kClear, 0, vcl::Rect(0, 0, 4, 4), clear.get(), skin.Get());
  EXPECT_EQ(Px(clear.get(), 1, 1), 0x12345678u);
}

TEST(Picture, CompositeForALook) {
  TestSkin skin;
  auto pic = Filled(420, 160, 0xFFE8E8E8);
  auto parent = Filled(420, 160, 0xFF3060A0);
  TCacheInfo ci = ReadyOn(parent.get());
  PaintItem(kBordered, ci, true, 0, vcl::Rect(10, 10, 90, 60), vcl::TPoint(10, 10), pic.get(), skin.Get());
  PaintItem(kBordered, ci, true, 1, vcl::Rect(100, 10, 140, 40), vcl::TPoint(100, 10), pic.get(), skin.Get());
  PaintItem(kKeyed, ci, true, 0, vcl::Rect(150, 10, 230, 60), vcl::TPoint(150, 10), pic.get(), skin.Get());
  PaintItemBG(kGradient, ci, 0, vcl::Rect(240, 10, 300, 70), vcl::TPoint(240, 10), pic.get(), skin.Get());
  PaintItemBG(kTextured, ci, 0, vcl::Rect(310, 10, 350, 50), vcl::TPoint(310, 10), pic.get(), skin.Get());
  PaintItemBG(kHalf, ci, 0, vcl::Rect(360, 10, 410, 60), vcl::TPoint(360, 10), pic.get(), skin.Get());
  for (int s = 0; s < 3; ++s) DrawSkinGlyph(pic.get(), vcl::TPoint(10 + 12 * s, 80), s, 1, skin.Mask(kGlyph), ci);
  DrawSkinGlyph(pic.get(), vcl::TPoint(50, 80), 0, 2, skin.Mask(kGlyph), ci);
  pic->Canvas()->Font()->SetName(L"Tahoma");
  pic->Canvas()->Font()->SetHeight(-22);
  vcl::TRect tr(80, 90, 400, 150);
  vcl::TBitmap* mask = nullptr;
  lvDrawGlowForText(pic.get(), L"Öğrenci Şube", tr, DT_LEFT | DT_TOP | DT_SINGLELINE, 15, 4, 0x00A5FF, mask);
  delete mask;
  WriteTextEx(pic->Canvas(), L"Öğrenci Şube", true, tr, DT_LEFT | DT_TOP | DT_SINGLELINE, kPlain, true, skin.Get());
  pic->Dormant();
  vcl::TPngPixels out;
  out.Width = pic->Width();
  out.Height = pic->Height();
  for (int y = 0; y < out.Height; ++y)
    for (int x = 0; x < out.Width; ++x) out.Pixels.push_back(Px(pic.get(), x, y) | 0xFF000000u);
  const char* dir = std::getenv("TAVREL_FIXTURES");
  if (dir) vcl::WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/painted.png"), vcl::EncodePng(out));
  EXPECT_EQ(Rgb(Px(pic.get(), 10, 10)), CornerColour(0));
}
