// Text layout: wrapping at 600 dots per inch, tags, hyphenation, heights and the split of text that does not fit.
#include "report/model/qvxDrawText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace {

constexpr double K = 6.25;

class LayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    font.SetName(L"Tahoma");
    font.SetSize(9);  // 75 measuring pixels: a text height of exactly 12 report units
    font.SetColor(vcl::clBlack);
    font.SetStyle({});
  }

  // Lays text out in a box width x height (report units) with the options given.
  void Layout(const rtl::String& text, double width, double height = 1000, bool wordWrap = true, bool tags = false,
              bool wordBreak = false, int rotation = 0, bool firstParaBreak = false) {
    dt.SetFont(&font);
    dt.SetOptions(wordWrap, tags, false, wordBreak, true, true, rotation);
    vcl::TRect box(0, 0, static_cast<int>(width), static_cast<int>(height));
    dt.SetDimensions(1, 1, 1, box, box);
    dt.SetGaps(paragraphGap, 0, lineSpacing);
    dt.SetText(text, firstParaBreak);
  }
  // Width of s on the measuring canvas, in report units.
  double Width(const rtl::String& s, vcl::TFontStyles style = {}) {
    dt.SetFont(&font);
    dt.Canvas()->Font()->SetStyle(style);
    double w = dt.Canvas()->TextWidth(s) / K;
    dt.Canvas()->Font()->SetStyle({});
    return w;
  }
  std::vector<rtl::String> Lines() {
    std::vector<rtl::String> out;
    for (int i = 0; i < dt.Lines().Count(); ++i) out.push_back(dt.Lines().Get(i));
    return out;
  }

  TqvxDrawText dt;
  vcl::TFont font;
  double paragraphGap = 0;
  double lineSpacing = 2;
};

using LineList = std::vector<rtl::String>;

TEST_F(LayoutTest, EmptyTextHasNoLinesAndNoSize) {
  Layout(L"", 100);
  EXPECT_EQ(dt.Lines().Count(), 0);
  EXPECT_EQ(dt.CalcHeight(), 0);
  EXPECT_EQ(dt.CalcWidth(), 0);
  EXPECT_EQ(dt.GetWrappedText(), L"");
}

TEST_F(LayoutTest, EmptySourceLineBecomesOneBlankParagraph) {
  Layout(L"a\r\n\r\nb", 100);
  EXPECT_EQ(Lines(), (LineList{L"a", L" ", L"b"}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(dt.LineFlags(i), 3) << i;
  EXPECT_EQ(dt.PlainText(), L"a\r\n \r\nb\r\n");
}

TEST_F(LayoutTest, WrapsAtBlanksAndMarksParagraphEnds) {
  Layout(L"aaa bbb ccc", Width(L"aaa bbb") + 1);
  EXPECT_EQ(Lines(), (LineList{L"aaa bbb", L"ccc"}));
  EXPECT_EQ(dt.LineFlags(0), qvxParaStart);
  EXPECT_EQ(dt.LineFlags(1), qvxParaEnd);
  EXPECT_EQ(dt.GetWrappedText(), L"aaa bbb\r\nccc\r\n");
}

TEST_F(LayoutTest, MiddleLinesHaveNoParagraphFlags) {
  Layout(L"aaa bbb ccc", Width(L"aaa") + 1);
  EXPECT_EQ(Lines(), (LineList{L"aaa", L"bbb", L"ccc"}));
  EXPECT_EQ(dt.LineFlags(1), 0);
}

TEST_F(LayoutTest, WordWrapOffKeepsLongLines) {
  Layout(L"aaa bbb ccc", 5, 1000, false);
  EXPECT_EQ(Lines(), (LineList{L"aaa bbb ccc"}));
}

TEST_F(LayoutTest, LongWordBreaksBetweenCharactersWithoutLosingAny) {
  const double w = Width(L"abcd") + 0.5;
  Layout(L"abcdefghijkl", w);
  rtl::String joined;
  for (auto& l : Lines()) {
    EXPECT_LE(Width(l), w + 0.01) << l;
    joined += l;
  }
  EXPECT_GT(dt.Lines().Count(), 2);
  EXPECT_EQ(joined, L"abcdefghijkl");
}

TEST_F(LayoutTest, CharacterWiderThanTheBoxGetsALineOfItsOwn) {
  Layout(L"WMW", 1);
  EXPECT_EQ(Lines(), (LineList{L"W", L"M", L"W"}));
}

TEST_F(LayoutTest, TurkishTextWrapsAtBlanksAndIsNeverHyphenated) {
  const rtl::String text = L"\u00D6\u011Frenci g\u00F6r\u00FC\u015Fmesi \u0130\u015Flendi \u0131\u015F\u0131k";
  for (bool wordBreak : {false, true}) {
    Layout(text, Width(L"\u00D6\u011Frenci g\u00F6r\u00FC\u015Fm"), 1000, true, false, wordBreak);
    EXPECT_EQ(Lines(),
              (LineList{L"\u00D6\u011Frenci", L"g\u00F6r\u00FC\u015Fmesi", L"\u0130\u015Flendi \u0131\u015F\u0131k"}))
        << wordBreak;
  }
}

TEST_F(LayoutTest, TurkishCharsetMeasuresLikeTheDefaultOne) {
  const rtl::String text = L"\u015Eeker \u00C7i\u00E7ek \u011Eda\u011F \u0130zmir \u0131l\u0131k \u00F6\u00FC";
  const double w = Width(L"\u015Eeker \u00C7i\u00E7ek") + 1;
  Layout(text, w);
  const auto plain = Lines();
  font.SetCharset(TURKISH_CHARSET);
  Layout(text, w);
  EXPECT_EQ(Lines(), plain);
  EXPECT_EQ(Lines()[0], L"\u015Eeker \u00C7i\u00E7ek");
}

TEST_F(LayoutTest, LineLongerThanTheWorkBlockIsKeptWhole) {
  const rtl::String longLine(40000, L'a');
  Layout(longLine + L"\r\nb c", 50);
  ASSERT_EQ(dt.Lines().Count(), 2);
  EXPECT_EQ(dt.Lines().Get(0), longLine);
  EXPECT_EQ(dt.Lines().Get(1), L"b c");
}

TEST_F(LayoutTest, TabsStayInTheLine) {
  Layout(L"a\tb\tc", 200);
  EXPECT_EQ(Lines(), (LineList{L"a\tb\tc"}));
}

TEST_F(LayoutTest, ParagraphGapNarrowsOnlyTheFirstLine) {
  paragraphGap = 20;
  const double w = Width(L"aaa bbb") + 1;
  Layout(L"aaa bbb ccc ddd", w);
  EXPECT_EQ(Lines(), (LineList{L"aaa", L"bbb ccc", L"ddd"}));
  // A continued paragraph has no indent.
  Layout(L"aaa bbb ccc ddd", w, 1000, true, false, false, 0, true);
  EXPECT_EQ(Lines(), (LineList{L"aaa bbb", L"ccc ddd"}));
}

TEST_F(LayoutTest, QuarterTurnsWrapToTheBoxHeight) {
  const double w = Width(L"aaa bbb") + 1;
  dt.SetFont(&font);
  for (int rotation : {90, 270, 0}) {
    dt.SetOptions(true, false, false, false, true, true, rotation);
    dt.SetDimensions(1, 1, 1, vcl::TRect(0, 0, 1000, static_cast<int>(w)), vcl::TRect(0, 0, 1000, static_cast<int>(w)));
    dt.SetGaps(0, 0, 2);
    dt.SetText(L"aaa bbb ccc");
    EXPECT_EQ(dt.Lines().Count(), rotation == 0 ? 1 : 2) << rotation;
  }
}

TEST_F(LayoutTest, HeightsFollowLineSpacing) {
  Layout(L"a\r\nb\r\nc", 100);
  EXPECT_DOUBLE_EQ(dt.TextHeight(), 12);
  EXPECT_DOUBLE_EQ(dt.LineHeight(), 14);
  EXPECT_DOUBLE_EQ(dt.CalcHeight(), 42);
  lineSpacing = -2;
  Layout(L"a\r\nb\r\nc", 100);
  EXPECT_DOUBLE_EQ(dt.CalcHeight(), 10 * 3 + 2);
}

TEST_F(LayoutTest, WidthIsTheWidestLinePlusIndent) {
  Layout(L"ab\r\nabcdef", 1000);
  EXPECT_NEAR(dt.CalcWidth(), Width(L"abcdef"), 0.01);
  paragraphGap = 10;
  Layout(L"ab\r\nabcdef", 1000);
  // The indent is rounded in measuring units: R(62.5) = 62.
  EXPECT_NEAR(dt.CalcWidth(), Width(L"abcdef") + 62 / K, 0.01);
}

TEST_F(LayoutTest, BoxOfNLineHeightsMinusOneHoldsNLines) {
  lineSpacing = 3;  // line height 15
  Layout(L"1\r\n2\r\n3\r\n4\r\n5", 100, 44);
  EXPECT_DOUBLE_EQ(dt.UnusedSpace(), 0.0001);
  bool paraBreak = true;
  EXPECT_EQ(dt.GetOutBoundsText(paraBreak), L"4\r\n5\r\n");
  EXPECT_FALSE(paraBreak);
  EXPECT_EQ(dt.Lines().Count(), 3);
  EXPECT_EQ(dt.GetInBoundsText(), L"1\r\n2\r\n3\r\n");
  Layout(L"1\r\n2", 100, 50);
  EXPECT_DOUBLE_EQ(dt.UnusedSpace(), 51 - 30);
  EXPECT_EQ(dt.GetOutBoundsText(paraBreak), L"");
}

TEST_F(LayoutTest, NothingFitsInATooLowBox) {
  Layout(L"one\r\ntwo", 100, 5);
  EXPECT_EQ(dt.UnusedSpace(), 0);
  bool paraBreak = true;
  EXPECT_EQ(dt.GetOutBoundsText(paraBreak), L"one\r\ntwo\r\n");
  EXPECT_FALSE(paraBreak);
  EXPECT_EQ(dt.Lines().Count(), 0);
}

TEST_F(LayoutTest, SplitInsideAParagraphStartsWithTheNextWord) {
  Layout(L"one two three four", Width(L"three") + 1, 27);  // two lines of 14 fit
  bool paraBreak = false;
  EXPECT_EQ(dt.GetOutBoundsText(paraBreak), L"three four\r\n");
  EXPECT_TRUE(paraBreak);
  EXPECT_EQ(dt.GetInBoundsText(), L"one two");
}

TEST_F(LayoutTest, SplitOfABrokenWordLosesNoCharacter) {
  const double w = Width(L"abcd") + 0.5;
  Layout(L"abcdefghijkl", w, 13);  // one line fits
  ASSERT_GT(dt.Lines().Count(), 1);
  const rtl::String first = dt.Lines().Get(0);
  bool paraBreak = false;
  const rtl::String rest = dt.GetOutBoundsText(paraBreak);
  EXPECT_EQ(dt.Lines().Count(), 1);
  EXPECT_TRUE(paraBreak);
  EXPECT_EQ(dt.GetInBoundsText() + rest, L"abcdefghijkl\r\n");
  EXPECT_EQ(dt.GetInBoundsText(), first);
}

TEST_F(LayoutTest, SplitWithTagsRestoresTheFormatting) {
  const double w = Width(L"three", {vcl::fsBold, vcl::fsItalic, vcl::fsUnderline}) + 1;
  Layout(L"one <font color=\"#102030\"><u><i><b>two three</b></i></u>", w, 13, true, true);
  bool paraBreak = false;
  EXPECT_EQ(dt.GetOutBoundsText(paraBreak), L"<font color=\"#102030\"><u><i><b>two three</b></i></u>\r\n");
  // The kept part ends with the opening tags, which format nothing there.
  EXPECT_EQ(dt.GetInBoundsText(), L"one <font color=\"#102030\"><u><i><b>");
  // Plain formatting still names the colour.
  Layout(L"aaa bbb", Width(L"aaa") + 1, 13, true, true);
  EXPECT_EQ(dt.GetOutBoundsText(paraBreak), L"<font color=\"#000000\">bbb\r\n");
}

TEST_F(LayoutTest, ParaBreakFlagsClearStartAndEnd) {
  Layout(L"aaa bbb", Width(L"aaa") + 1);
  dt.SetParaBreaks(true, true);
  EXPECT_EQ(dt.LineFlags(0), 0);
  EXPECT_EQ(dt.LineFlags(1), 0);
}

// --- Tags --------------------------------------------------------------------------------------------------------

TEST_F(LayoutTest, BoldTagFormatsItsCharacters) {
  Layout(L"a <b>bold</b> word", 1000, 1000, true, true);
  ASSERT_EQ(Lines(), (LineList{L"a bold word"}));
  TqvxHTMLTags* tags = dt.HTMLTags().Items(0);
  ASSERT_EQ(tags->Count(), 11);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(tags->Items(i)->Style.Contains(vcl::fsBold), i >= 2 && i <= 5) << i;
  EXPECT_FALSE(tags->Items(2)->Default);
  EXPECT_TRUE(tags->Items(3)->Default);
  EXPECT_FALSE(tags->Items(6)->Default);
  EXPECT_EQ(tags->Items(2)->Position, 6);  // after "a <b>"
  Layout(L"a <b>bold</b> word", 1000);
  EXPECT_EQ(Lines(), (LineList{L"a <b>bold</b> word"}));
}

struct TagCase {
  const wchar_t* text;
  const wchar_t* shown;
  vcl::TColor color;  // of the last character
};

class TagCases : public LayoutTest, public ::testing::WithParamInterface<TagCase> {};

TEST_P(TagCases, ScanAsExpected) {
  Layout(GetParam().text, 1000, 1000, true, true);
  ASSERT_EQ(dt.Lines().Count(), 1);
  EXPECT_EQ(dt.Lines().Get(0), GetParam().shown);
  TqvxHTMLTags* tags = dt.HTMLTags().Items(0);
  EXPECT_EQ(tags->Items(tags->Count() - 1)->Color, GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(Layout, TagCases,
                         ::testing::Values(TagCase{L"<font color=\"#FF0000\">x", L"x", 0x0000FF},
                                           TagCase{L"<FONT COLOR = \"#00ff80\">x", L"x", 0x80FF00},
                                           TagCase{L"<font color=red>x", L"x", vcl::clRed},
                                           TagCase{L"<font color=red>x</font>y", L"xy", vcl::clBlack},
                                           TagCase{L"<font color=nosuch>x", L"<font color=nosuch>x", vcl::clBlack},
                                           TagCase{L"<abc>x<abcd>", L"<abc>x<abcd>", vcl::clBlack},
                                           TagCase{L"< b>x", L"< b>x", vcl::clBlack},
                                           TagCase{L"<B>x</B>", L"x", vcl::clBlack},
                                           TagCase{L"<b>", L" ", vcl::clBlack}));

TEST_F(LayoutTest, BadHexColourRaises) {
  EXPECT_THROW(Layout(L"<font color=\"#GG0000\">x", 1000, 1000, true, true), rtl::EConvertError);
}

TEST_F(LayoutTest, StylesSubAndSuperscript) {
  Layout(L"<i>i</i><u>u</u><strike>s</strike>x<sub>2</sub><sup>3</sup>n", 1000, 1000, true, true);
  ASSERT_EQ(Lines(), (LineList{L"iusx23n"}));
  TqvxHTMLTags* t = dt.HTMLTags().Items(0);
  EXPECT_EQ(t->Items(0)->Style, vcl::TFontStyles{vcl::fsItalic});
  EXPECT_EQ(t->Items(1)->Style, vcl::TFontStyles{vcl::fsUnderline});
  EXPECT_EQ(t->Items(2)->Style, vcl::TFontStyles{vcl::fsStrikeOut});
  EXPECT_EQ(t->Items(3)->Style, vcl::TFontStyles{});
  EXPECT_EQ(t->Items(4)->Size, 6);  // 9 / 1.5
  EXPECT_EQ(t->Items(4)->AddY, 1);
  EXPECT_EQ(t->Items(4)->SubType, ssSubscript);
  EXPECT_TRUE(t->Items(4)->Small);
  EXPECT_EQ(t->Items(5)->AddY, 0);
  EXPECT_EQ(t->Items(5)->SubType, ssSuperscript);
  EXPECT_EQ(t->Items(6)->Size, 9);
  EXPECT_FALSE(t->Items(6)->Small);
}

TEST_F(LayoutTest, SmallCharactersMeasureTwoThirds) {
  Layout(L"mmmm", 1000, 1000, true, true);
  const double normal = dt.CalcWidth();
  (void)normal;
  // Wrapping uses the two-thirds advances: four small m fit where three normal ones do.
  const double w = Width(L"mmm") + 0.5;
  Layout(L"<sub>mmmm</sub>", w, 1000, true, true);
  EXPECT_EQ(dt.Lines().Count(), 1);
  Layout(L"mmmm", w, 1000, true, true);
  EXPECT_EQ(dt.Lines().Count(), 2);
}

TEST_F(LayoutTest, NoWrapSpanBlanksAreNotBreaks) {
  const double w = Width(L"aa bb") + 1;
  Layout(L"aa bb cc dd", w, 1000, true, true);
  EXPECT_EQ(Lines(), (LineList{L"aa bb", L"cc dd"}));
  Layout(L"aa <nowrap>bb cc</nowrap> dd", w, 1000, true, true);
  EXPECT_EQ(Lines()[0], L"aa");
  EXPECT_EQ(Lines()[1].substr(0, 2), L"bb");
  EXPECT_NE(Lines()[1], L"bb");
}

TEST_F(LayoutTest, BoldTextWrapsWiderThanPlain) {
  const double w = Width(L"iiiiiiii iiiiiiii") + 0.5;
  Layout(L"iiiiiiii iiiiiiii", w, 1000, true, true);
  EXPECT_EQ(dt.Lines().Count(), 1);
  if (Width(L"iiiiiiii iiiiiiii", {vcl::fsBold}) > w) {
    Layout(L"<b>iiiiiiii iiiiiiii</b>", w, 1000, true, true);
    EXPECT_EQ(dt.Lines().Count(), 2);
  }
}

TEST_F(LayoutTest, DeleteTagsRemovesOnlyRecognisedTags) {
  EXPECT_EQ(dt.DeleteTags(L"a <b>b</b> <abc> <font color=red>c</font>"), L"a b <abc> c");
  EXPECT_EQ(dt.DeleteTags(L"<b></b>"), L"");
}

// --- Hyphenation -------------------------------------------------------------------------------------------------

TEST(Hyphenation, BreakPositionsKeepAVowelAndTwoLettersOnEachSide) {
  EXPECT_EQ(TqvxDrawText::BreakRussianWord(L"\u043C\u043E\u043B\u043E\u043A\u043E"), (std::vector<int>{2, 4}));
  // A doubled consonant before a vowel is split between its letters.
  EXPECT_EQ(TqvxDrawText::BreakRussianWord(L"\u0432\u0430\u043D\u043D\u0430"), (std::vector<int>{3}));
  EXPECT_TRUE(TqvxDrawText::BreakRussianWord(L"\u0434\u043E\u043C").empty());
  EXPECT_TRUE(TqvxDrawText::BreakRussianWord(L"\u00F6\u011Frenci").empty());
  EXPECT_TRUE(TqvxDrawText::BreakRussianWord(L"information").empty());
}

TEST(Hyphenation, BreakWordTakesTheLongestPrefixBeforeTheBreak) {
  const rtl::String s = L"x \u043C\u043E\u043B\u043E\u043A\u043E.";
  EXPECT_EQ(TqvxDrawText::BreakWord(s, 3, 8), L"\u043C\u043E\u043B\u043E");
  EXPECT_EQ(TqvxDrawText::BreakWord(s, 3, 6), L"\u043C\u043E");
  EXPECT_EQ(TqvxDrawText::BreakWord(s, 3, 4), L"");
}

TEST_F(LayoutTest, WordBreakHyphenatesCyrillicWords) {
  const rtl::String word = L"\u043C\u043E\u043B\u043E\u043A\u043E";
  // Each box lies halfway between the hyphenated piece that must fit and the longer one that must not.
  const double w = (Width(L"\u043C\u043E\u043B\u043E-") + Width(word)) / 2;
  Layout(word, w, 1000, true, false, true);
  EXPECT_EQ(Lines(), (LineList{L"\u043C\u043E\u043B\u043E-", L"\u043A\u043E"}));
  Layout(L"aa " + word, (Width(L"aa \u043C\u043E-") + Width(L"aa \u043C\u043E\u043B\u043E-")) / 2, 1000, true,
         false, true);
  EXPECT_EQ(Lines(), (LineList{L"aa \u043C\u043E-", L"\u043B\u043E\u043A\u043E"}));
  // The split keeps the hyphen with the text that fits.
  Layout(word, w, 13, true, false, true);
  bool paraBreak = false;
  EXPECT_EQ(dt.GetOutBoundsText(paraBreak), L"\u043A\u043E\r\n");
  EXPECT_EQ(dt.GetInBoundsText(), L"\u043C\u043E\u043B\u043E-");
}

// --- The lock ----------------------------------------------------------------------------------------------------

TEST_F(LayoutTest, LockHoldsTheSharedSectionAgainstOtherThreads) {
  TqvxDrawText other;
  dt.Lock();
  std::atomic<int> entered{-1};
  std::thread t([&] {
    entered = GraphCS.TryEnter() ? 1 : 0;
    if (entered == 1) GraphCS.Release();
  });
  t.join();
  EXPECT_EQ(entered, 0);
  // The lock nests on the holder's thread and is shared by every layout object.
  other.Lock();
  other.Unlock();
  dt.Unlock();
  std::thread t2([&] {
    entered = GraphCS.TryEnter() ? 1 : 0;
    if (entered == 1) GraphCS.Release();
  });
  t2.join();
  EXPECT_EQ(entered, 1);
}

TEST(ProcessLayout, IsOneObject) {
  ASSERT_NE(qvxDrawText(), nullptr);
  EXPECT_EQ(qvxDrawText(), qvxDrawText());
  EXPECT_EQ(qvxDrawText()->DefPPI(), 600);
  EXPECT_EQ(qvxDrawText()->ScrPPI(), 96);
}

}  // namespace
