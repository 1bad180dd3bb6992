// Text drawing: where the laid-out lines land on a bitmap for each alignment, rotation and scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/vcl/bitmap.h"
#include "report/model/qvxDrawText.h"

namespace {

struct Ink {
  int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when nothing was drawn
  bool Empty() const { return left < 0; }
};

class DrawTest : public ::testing::Test {
protected:
  void SetUp() override {
    bmp = std::make_unique<vcl::TBitmap>(400, 320, vcl::pf32bit);
    font.SetName(L"Tahoma");
    font.SetSize(9);
    font.SetColor(vcl::clBlack);
    Clear();
  }
  void Clear() {
    bmp->Canvas()->Brush()->SetColor(vcl::clWhite);
    bmp->Canvas()->FillRect(vcl::TRect(0, 0, 400, 320));
  }
  void Draw(const rtl::String& text, vcl::TRect box, TqvxHAlign h = haLeft, TqvxVAlign v = vaTop, int rotation = 0,
            bool tags = false, double scale = 1, bool wysiwyg = true) {
    dt.SetFont(&font);
    dt.SetOptions(wordWrap, tags, false, false, true, wysiwyg, rotation);
    vcl::TRect unscaled(0, 0, static_cast<int>(box.Width() / scale), static_cast<int>(box.Height() / scale));
    dt.SetDimensions(scale, scale, 1, unscaled, box);
    dt.SetGaps(paragraphGap, 0, lineSpacing);
    dt.SetText(text);
    dt.DrawText(bmp->Canvas(), h, v);
    GdiFlush();
  }
  const rtl::Byte* Pixel(int x, int y) {
    return static_cast<const rtl::Byte*>(bmp->ScanLine(y)) + 4 * x;  // B G R A
  }
  bool Dark(int x, int y) {
    const rtl::Byte* p = Pixel(x, y);
    return p[0] + p[1] + p[2] < 384;
  }
  bool Red(int x, int y) {
    const rtl::Byte* p = Pixel(x, y);
    return p[2] > 150 && p[1] < 100 && p[0] < 100;
  }
  Ink InkIn(int top = 0, int bottom = 319) {
    Ink ink;
    for (int y = top; y <= bottom; ++y)
      for (int x = 0; x < 400; ++x) {
        if (!Dark(x, y)) continue;
        if (ink.left < 0 || x < ink.left) ink.left = x;
        if (x > ink.right) ink.right = x;
        if (ink.top < 0) ink.top = y;
        ink.bottom = y;
      }
    return ink;
  }
  // First columns of the runs of inked columns in rows top..bottom.
  std::vector<int> GlyphStarts(int top, int bottom) {
    std::vector<int> starts;
    bool prev = false;
    for (int x = 0; x < 400; ++x) {
      bool any = false;
      for (int y = top; y <= bottom && !any; ++y) any = Dark(x, y);
      if (any && !prev) starts.push_back(x);
      prev = any;
    }
    return starts;
  }
  int DeviceWidth(const rtl::String& s, int height = 12) {
    vcl::TBitmap b(10, 10, vcl::pf32bit);
    b.Canvas()->Font()->Assign(&font);
    b.Canvas()->Font()->SetHeight(-height);
    return b.Canvas()->TextWidth(s);
  }

  std::unique_ptr<vcl::TBitmap> bmp;
  vcl::TFont font;
  TqvxDrawText dt;
  bool wordWrap = true;
  double paragraphGap = 0;
  double lineSpacing = 2;
};

TEST_F(DrawTest, HorizontalAlignmentPlacesTheLineInTheBox) {
  const vcl::TRect box(50, 10, 350, 60);
  Draw(L"HHHH", box, haLeft);
  Ink left = InkIn();
  ASSERT_FALSE(left.Empty());
  EXPECT_GE(left.left, 50);
  EXPECT_LE(left.left, 52);

  Clear();
  Draw(L"HHHH", box, haRight);
  Ink right = InkIn();
  EXPECT_LE(right.right, 349);
  EXPECT_GE(right.right, 346);
  EXPECT_EQ(right.right - right.left, left.right - left.left);

  Clear();
  Draw(L"HHHH", box, haCenter);
  Ink centre = InkIn();
  EXPECT_NEAR((centre.left + centre.right) / 2.0, 200, 2);
}

TEST_F(DrawTest, ParagraphGapIndentsTheFirstLineOnly) {
  paragraphGap = 30;
  Draw(L"HHH HHH HHH", vcl::TRect(50, 10, 250, 200), haLeft);
  Ink first = InkIn(10, 23), second = InkIn(24, 40);
  ASSERT_FALSE(first.Empty());
  EXPECT_GE(first.left, 80);
  EXPECT_LE(first.left, 82);
  EXPECT_TRUE(second.Empty());  // the text fits one line
}

TEST_F(DrawTest, JustifiedLineSpreadsTheFreeSpaceOverItsBlanks) {
  const int natural = DeviceWidth(L"H H H H");
  const int step = DeviceWidth(L"H ");
  const vcl::TRect box(20, 10, 20 + natural + 10, 200);
  Draw(L"H H H H WWWWWWWWWWWWWWWWWWWW", box, haBlock);
  ASSERT_EQ(dt.Lines().Get(0), L"H H H H");
  const std::vector<int> starts = GlyphStarts(10, 22);
  ASSERT_EQ(starts.size(), 4u);
  EXPECT_EQ(starts[1] - starts[0], step + 4);
  EXPECT_EQ(starts[2] - starts[1], step + 3);
  EXPECT_EQ(starts[3] - starts[2], step + 3);
}

TEST_F(DrawTest, LastLineOfAJustifiedParagraphIsNotStretched) {
  const rtl::String text = L"aa bb cc dd ee ff gg hh ii jj kk";
  const vcl::TRect box(20, 10, 120, 200);
  Draw(text, box, haLeft);
  const int n = dt.Lines().Count();
  ASSERT_GE(n, 2);
  const int lastTop = 10 + 14 * (n - 1);
  Ink plainFirst = InkIn(10, 23), plainLast = InkIn(lastTop, lastTop + 13);
  Clear();
  Draw(text, box, haBlock);
  Ink first = InkIn(10, 23), last = InkIn(lastTop, lastTop + 13);
  EXPECT_GT(first.right, plainFirst.right);
  EXPECT_GE(first.right, 116);
  EXPECT_EQ(last.left, plainLast.left);
  EXPECT_EQ(last.right, plainLast.right);
}

TEST_F(DrawTest, JustifiedLineWithoutBlanksIsDrawnLeftAligned) {
  Draw(L"WWWWWWWWWWWWWWWWWW", vcl::TRect(20, 10, 90, 200), haBlock);
  ASSERT_GE(dt.Lines().Count(), 2);
  Ink first = InkIn(10, 23);
  EXPECT_LE(first.left, 22);
}

TEST_F(DrawTest, VerticalAlignmentMovesTheBlockByTheFreeHeight) {
  // Three lines of 12 + 2: 42 pixels in a box of 72 leave 30 free.
  const vcl::TRect box(20, 10, 300, 82);
  Draw(L"H\r\nH\r\nH", box, haLeft, vaTop);
  const int top = InkIn().top;
  Clear();
  Draw(L"H\r\nH\r\nH", box, haLeft, vaCenter);
  EXPECT_EQ(InkIn().top - top, 15);
  Clear();
  Draw(L"H\r\nH\r\nH", box, haLeft, vaBottom);
  EXPECT_EQ(InkIn().top - top, 30);
}

TEST_F(DrawTest, LinesStepByLineHeight) {
  Draw(L"H\r\nH", vcl::TRect(20, 10, 300, 100));
  Ink first = InkIn(10, 23), second = InkIn(24, 60);
  EXPECT_EQ(second.top - first.top, 14);
}

TEST_F(DrawTest, WysiwygKeepsTheMeasuredWidthAtAnyZoom) {
  const rtl::String text = L"mmmmmmmmmmmmmmmm";
  dt.SetFont(&font);
  const int wm = dt.Canvas()->TextWidth(text);
  for (double scale : {1.0, 2.0, 1.5}) {
    Clear();
    Draw(text, vcl::TRect(10, 10, 390, 100), haLeft, vaTop, 0, false, scale);
    Ink ink = InkIn();
    const double target = wm / 6.25 * scale;
    // The ink lacks the side bearings of the first and last glyph.
    EXPECT_LE(ink.right - ink.left + 1, target + 1) << scale;
    EXPECT_GE(ink.right - ink.left + 1, target - 7) << scale;
  }
  // Without correction the device keeps its own advances.
  Clear();
  Draw(text, vcl::TRect(10, 10, 390, 100), haLeft, vaTop, 0, false, 2, false);
  Ink ink = InkIn();
  EXPECT_LE(ink.right - ink.left + 1, DeviceWidth(text, 24));
  EXPECT_GE(ink.right - ink.left + 1, DeviceWidth(text, 24) - 7);
}

TEST_F(DrawTest, QuarterTurnRunsUpwardFromTheBottomLeft) {
  wordWrap = false;
  Draw(L"HHHHHHHH", vcl::TRect(50, 10, 150, 300), haLeft, vaTop, 90);
  Ink ink = InkIn();
  ASSERT_FALSE(ink.Empty());
  EXPECT_GT(ink.bottom - ink.top, 3 * (ink.right - ink.left));
  EXPECT_GE(ink.bottom, 290);
  EXPECT_LE(ink.bottom, 299);
  EXPECT_GE(ink.left, 50);
  EXPECT_LT(ink.right, 50 + 16);
}

TEST_F(DrawTest, QuarterTurnLinesAdvanceToTheRight) {
  wordWrap = false;
  Draw(L"HHHH\r\nHHHH", vcl::TRect(50, 10, 150, 300), haLeft, vaTop, 90);
  Ink ink = InkIn();
  EXPECT_GE(ink.right - ink.left, 14 + 5);
  EXPECT_LT(ink.right, 50 + 30);
}

TEST_F(DrawTest, HalfTurnDrawsFromTheBottomRight) {
  wordWrap = false;
  Draw(L"HHHH", vcl::TRect(50, 10, 350, 60), haLeft, vaTop, 180);
  Ink ink = InkIn();
  ASSERT_FALSE(ink.Empty());
  EXPECT_LE(ink.right, 350);
  EXPECT_GE(ink.right, 345);
  EXPECT_GE(ink.bottom, 45);
}

TEST_F(DrawTest, SubscriptIsDrawnLower) {
  font.SetSize(18);  // big enough for the smaller glyphs to draw solid pixels
  Draw(L"HHH", vcl::TRect(20, 10, 300, 100), haLeft, vaTop, 0, true);
  const int normal = InkIn().bottom;
  Clear();
  Draw(L"<sub>HHH</sub>", vcl::TRect(20, 10, 300, 100), haLeft, vaTop, 0, true);
  Ink sub = InkIn();
  EXPECT_GT(sub.bottom, normal) << sub.top << " " << sub.bottom;
}

TEST_F(DrawTest, ColourTagsColourTheirRunAndCarryToTheNextLine) {
  Draw(L"HH<font color=\"#FF0000\">HH\r\nHH</font>HH", vcl::TRect(20, 10, 300, 100), haLeft, vaTop, 0, true);
  auto redIn = [this](int x0, int x1, int y0, int y1) {
    int count = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) count += Red(x, y);
    return count;
  };
  const int hh = DeviceWidth(L"HH");
  EXPECT_EQ(redIn(20, 20 + hh - 2, 10, 23), 0);
  EXPECT_GT(redIn(20 + hh + 1, 20 + 2 * hh, 10, 23), 0);
  EXPECT_GT(redIn(20, 20 + hh - 2, 24, 37), 0);
  EXPECT_EQ(redIn(20 + hh + 1, 20 + 2 * hh, 24, 37), 0);
  EXPECT_GT(InkIn(24, 37).right, 20 + hh + 2);

  Clear();
  dt.SetUseMonoFont(true);
  Draw(L"<font color=red>HHHH", vcl::TRect(20, 10, 300, 100), haLeft, vaTop, 0, true);
  EXPECT_EQ(redIn(0, 399, 0, 100), 0);
  EXPECT_FALSE(InkIn().Empty());
}

TEST_F(DrawTest, ClippedTextStaysInTheBox) {
  wordWrap = false;
  Draw(L"HHHHHHHHHHHHHHHHHHHHHHHH", vcl::TRect(50, 10, 100, 30));
  Ink ink = InkIn();
  ASSERT_FALSE(ink.Empty());
  EXPECT_LT(ink.right, 100);
}

TEST_F(DrawTest, TurkishCharsetDrawsTheSameGlyphsAsTheDefaultOne) {
  const rtl::String text = L"\u015Eeker \u00C7i\u00E7ek \u011Eda\u011F \u0130zmir \u0131l\u0131k";
  const vcl::TRect box(20, 10, 380, 100);
  Draw(text, box, haBlock);
  const Ink plain = InkIn();
  ASSERT_FALSE(plain.Empty());
  std::vector<int> columns = GlyphStarts(10, 40);
  Clear();
  font.SetCharset(TURKISH_CHARSET);
  Draw(text, box, haBlock);
  const Ink turkish = InkIn();
  EXPECT_EQ(turkish.left, plain.left);
  EXPECT_EQ(turkish.right, plain.right);
  EXPECT_EQ(GlyphStarts(10, 40), columns);
}

TEST_F(DrawTest, NothingToDrawLeavesTheBitmapAlone) {
  Draw(L"", vcl::TRect(50, 10, 100, 30));
  EXPECT_TRUE(InkIn().Empty());
}

struct IncCase {
  int from, to, n;
  std::vector<int> expected;
};

TEST(IncArray, SpreadsIncrementsEvenlyFromTheMiddle) {
  const IncCase cases[] = {
      {0, 9, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {0, 9, 1, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
      {0, 9, 2, {0, 1, 0, 0, 0, 0, 1, 0, 0, 0}},
      {0, 3, 4, {1, 1, 1, 1}},
      {0, 3, 6, {2, 1, 2, 1}},
      {2, 4, 1, {0, 0, 1, 0, 0}},
  };
  for (const IncCase& c : cases) {
    std::vector<int> arr(c.expected.size(), 0);
    TqvxDrawText::IncArray(arr.data(), c.from, c.to, 1, c.n);
    EXPECT_EQ(arr, c.expected) << c.from << ".." << c.to << " n=" << c.n;
  }
  std::vector<int> down(4, 0);
  TqvxDrawText::IncArray(down.data(), 0, 3, -1, 1);
  EXPECT_EQ(down, (std::vector<int>{0, -1, 0, 0}));
}

}  // namespace
