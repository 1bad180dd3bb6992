// Image strips and bitmap drawing: cells cut from strips, the grey of disabled images, bitmaps drawn keyed on their
// transparent colour, and graphics drawn as a report shows them, each looked at pixel by pixel.
#include "report/model/qvxGraphics.h"

#include <gtest/gtest.h>

#include "platform/vcl/colors.h"
#include "report/model/qvxClass.h"

namespace {

constexpr vcl::TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

// A w x h bitmap of one colour with the cells of another in its left half.
vcl::TBitmap* TwoColours(int w, int h, vcl::TColor left, vcl::TColor right) {
  auto* b = new vcl::TBitmap(w, h, vcl::pf24bit);
  b->Canvas()->Brush()->SetColor(right);
  b->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  b->Canvas()->Brush()->SetColor(left);
  b->Canvas()->FillRect(vcl::TRect(0, 0, w / 2, h));
  return b;
}

vcl::TBitmap* Canvas(int w, int h, vcl::TColor color) {
  auto* b = new vcl::TBitmap(w, h, vcl::pf24bit);
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  return b;
}

}  // namespace

TEST(QvxImageStrips, CellsThatFitWholeBecomeImages) {
  struct Case {
    int w, h, dx, dy, images;
  } cases[] = {
      {400, 16, 16, 16, 25},  // the preview's strip
      {40, 20, 16, 16, 2},    // the cut-off column and row are left out
      {64, 64, 32, 32, 4},    // two rows
      {10, 10, 16, 16, 0},
  };
  for (const Case& c : cases) {
    std::unique_ptr<vcl::TBitmap> strip(TwoColours(c.w, c.h, kRed, kWhite));
    vcl::TImageList list(nullptr, c.dx, c.dy), grey(nullptr, c.dx, c.dy);
    qvxAssignImages(strip.get(), c.dx, c.dy, &list, &grey);
    EXPECT_EQ(list.Count(), c.images) << c.w << "x" << c.h;
    EXPECT_EQ(grey.Count(), c.images) << c.w << "x" << c.h;
  }
}

TEST(QvxImageStrips, ImagesAreMaskedWithTheirBottomLeftPixel) {
  // Two cells: the first red on white (its bottom-left pixel white), the second blue.
  std::unique_ptr<vcl::TBitmap> strip(Canvas(32, 16, kBlue));
  strip->Canvas()->Brush()->SetColor(kWhite);
  strip->Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
  strip->Canvas()->Brush()->SetColor(kRed);
  strip->Canvas()->FillRect(vcl::TRect(4, 4, 12, 12));
  vcl::TImageList list(nullptr, 16, 16), grey(nullptr, 16, 16);
  qvxAssignImages(strip.get(), 16, 16, &list, &grey);
  ASSERT_EQ(list.Count(), 2);

  std::unique_ptr<vcl::TBitmap> target(Canvas(16, 16, kGreen));
  list.Draw(target->Canvas(), 0, 0, 0);
  EXPECT_EQ(target->Canvas()->Pixels(8, 8), kRed);
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), kGreen) << "the cell's white is its transparent colour";
  grey.Draw(target->Canvas(), 0, 0, 0);
  // Red (255, 0, 0): (255 div 3) / 3 = 28.33, rounded 28, plus 150.
  EXPECT_EQ(target->Canvas()->Pixels(8, 8), static_cast<vcl::TColor>(RGB(178, 178, 178)));
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), kGreen);
}

TEST(QvxImageStrips, DisabledGrey) {
  struct Case {
    int r, g, b, grey;
  } cases[] = {
      {0, 0, 0, 150}, {255, 255, 255, 235}, {30, 60, 90, 170}, {10, 10, 11, 153}, {1, 1, 2, 150},
  };
  for (const Case& c : cases) {
    vcl::TBitmap b(1, 1, vcl::pf24bit);
    b.Canvas()->SetPixels(0, 0, static_cast<vcl::TColor>(RGB(c.r, c.g, c.b)));
    qvxMakeDisabledImage(&b);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), static_cast<vcl::TColor>(RGB(c.grey, c.grey, c.grey)))
        << c.r << "," << c.g << "," << c.b;
  }
}

TEST(QvxBitmaps, DrawTransparentLeavesTheTransparentColour) {
  std::unique_ptr<vcl::TBitmap> glyph(TwoColours(8, 8, kWhite, kRed));  // bottom-left white: transparent
  std::unique_ptr<vcl::TBitmap> target(Canvas(20, 20, kBlue));
  qvxDrawTransparent(target->Canvas(), 4, 4, glyph.get());
  EXPECT_EQ(target->Canvas()->Pixels(5, 5), kBlue);
  EXPECT_EQ(target->Canvas()->Pixels(10, 10), kRed);
  EXPECT_EQ(target->Canvas()->Pixels(15, 15), kBlue) << "outside the bitmap";
  qvxDrawTransparent(target->Canvas(), 0, 0, nullptr);  // nothing
}

TEST(QvxBitmaps, TransparentBitmapStretchedShowsWhatIsBeneath) {
  for (bool useDIB : {false, true}) {
    SCOPED_TRACE(useDIB ? "through a device-independent copy" : "from the bitmap");
    std::unique_ptr<vcl::TBitmap> picture(TwoColours(4, 4, kGreen, kRed));
    std::unique_ptr<vcl::TBitmap> target(Canvas(20, 20, kBlue));
    qvxDrawTransparentBitmap(target->Canvas(), vcl::TRect(2, 2, 18, 18), picture.get(), useDIB, kGreen);
    EXPECT_EQ(target->Canvas()->Pixels(5, 10), kBlue) << "green is transparent";
    EXPECT_EQ(target->Canvas()->Pixels(14, 10), kRed);
    EXPECT_EQ(target->Canvas()->Pixels(1, 1), kBlue);
    EXPECT_EQ(target->Canvas()->Pixels(19, 19), kBlue);
  }
}

TEST(QvxBitmaps, PlainStretchedCopies) {
  std::unique_ptr<vcl::TBitmap> picture(TwoColours(4, 4, kGreen, kRed));
  std::unique_ptr<vcl::TBitmap> screen(Canvas(20, 20, kBlue)), paper(Canvas(20, 20, kBlue));
  DrawBitmap(screen->Canvas()->Handle(), vcl::TRect(0, 0, 16, 16), picture.get());
  PrintBitmap(paper->Canvas()->Handle(), vcl::TRect(0, 0, 16, 16), picture.get());
  for (vcl::TBitmap* b : {screen.get(), paper.get()}) {
    EXPECT_EQ(b->Canvas()->Pixels(3, 8), kGreen);
    EXPECT_EQ(b->Canvas()->Pixels(12, 8), kRed);
    EXPECT_EQ(b->Canvas()->Pixels(17, 17), kBlue);
  }
}

TEST(QvxBitmaps, GraphicsAsAReportDrawsThem) {
  struct Case {
    bool forPrinter, smooth, transparent;
    vcl::TColor transparentColor;
    vcl::TColor left;  // what shows where the picture is green
  } cases[] = {
      {false, false, false, clTransparent, kGreen},  // drawn directly
      {false, false, true, kGreen, kBlue},           // a keyed bitmap, directly
      {false, true, false, clTransparent, kGreen},   // smoothed through a bitmap
      {false, true, true, kGreen, kBlue},           {true, false, false, clTransparent, kGreen},  // for paper
      {true, false, true, kGreen, kBlue},           {true, true, true, kRed, kGreen},  // keyed on the other colour
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "printer " << c.forPrinter << ", smooth " << c.smooth << ", transparent "
                                    << c.transparent);
    std::unique_ptr<vcl::TBitmap> picture(TwoColours(4, 4, kGreen, kRed));
    std::unique_ptr<vcl::TBitmap> target(Canvas(20, 20, kBlue));
    qvxDrawGraphic(target->Canvas(), vcl::TRect(2, 2, 18, 18), picture.get(), c.forPrinter, c.smooth, c.transparent,
                   c.transparentColor);
    EXPECT_EQ(target->Canvas()->Pixels(5, 10), c.left);
    EXPECT_EQ(target->Canvas()->Pixels(14, 10), c.transparentColor == kRed ? kBlue : kRed);
    EXPECT_EQ(target->Canvas()->Pixels(1, 1), kBlue);
  }
}
