// The markup layout: a table of markup texts with the rows and runs each must give, then fonts, link colours and
// link bounds. Runs are recorded as the layout draws them; a row is the runs drawn at one height, joined by "|",
// each marked "*" when bold, "/" when italic and "_" when underlined.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "skin/controls/sHtmlParse.h"
#include "skin/render/sGraphUtils.h"

namespace {

struct DrawnRun {
  std::wstring Text;
  vcl::TPoint At;
  bool Bold, Italic, Underline;
  int Size;
  vcl::TColor Color;
  std::wstring Face;
};

class Markup : public ::testing::Test {
 protected:
  void SetUp() override {
    bmp = CreateBmp32(600, 300);
    bmp->Canvas()->Font()->SetName(L"Tahoma");
    bmp->Canvas()->Font()->SetSize(10);
    bmp->Canvas()->Font()->SetColor(vcl::clBlack);
    bmp->Canvas()->Brush()->SetStyle(vcl::bsClear);
  }
  // Lays text out in (0, 0, right, 0) and draws it.
  vcl::TRect Lay(const std::wstring& text, int right = 0, int pressed = -1, int hot = -1) {
    html = std::make_unique<TsHtml>();
    runs.clear();
    html->OnDrawRun = [this](const rtl::String& t, vcl::TPoint at, vcl::TFont* f) {
      runs.push_back({t, at, f->Style().Contains(vcl::fsBold), f->Style().Contains(vcl::fsItalic),
                      f->Style().Contains(vcl::fsUnderline), f->Size(), f->Color(), f->Name()});
    };
    html->Init(bmp.get(), text, pressed, hot, vcl::Rect(0, 0, right, 0));
    return html->HTMLText(links, false);
  }
  // The rows, top to bottom, by the height each run's row starts at (runs are bottom-aligned in their row, so the
  // row is told by the pen's row, which the layout reports through the run's top for single-font rows).
  std::vector<std::wstring> Rows() {
    std::map<int, std::wstring> byY;
    for (const DrawnRun& r : runs) {
      std::wstring& row = byY[r.At.Y];
      if (!row.empty()) row += L"|";
      row += (r.Bold ? L"*" : L"") + std::wstring(r.Italic ? L"/" : L"") + (r.Underline ? L"_" : L"") + r.Text;
    }
    std::vector<std::wstring> out;
    for (auto& [y, row] : byY) out.push_back(row);
    return out;
  }
  int Width(const std::wstring& s) { return bmp->Canvas()->TextWidth(s); }

  std::unique_ptr<vcl::TBitmap> bmp;
  std::unique_ptr<TsHtml> html;
  std::vector<DrawnRun> runs;
  TlvLinks links;
};

std::string Narrow(const std::wstring& s) {
  std::string r;
  for (wchar_t c : s) r.push_back(c < 128 ? static_cast<char>(c) : '?');
  return r;
}

struct Case {
  const wchar_t* Text;
  std::vector<std::wstring> Rows;
};

}  // namespace

TEST_F(Markup, TextsGiveTheirRowsAndRuns) {
  const Case cases[] = {
      {L"plain text", {L"plain text"}},
      {L"a<<b", {L"a|<b"}},
      {L"a<b", {L"a|b"}},
      {L"x<XYZ>y", {L"x|<XYZ>y"}},
      {L"&Eacute;", {L"\u00C9"}},
      {L"&#201;", {L"\u00C9"}},
      {L"&eacute;", {L"\u00E9"}},
      {L"&EACUTE;", {L"&EACUTE;"}},
      {L"&amp", {L"&amp"}},
      {L"&am p;", {L"&am p;"}},
      {L"a&amp;b", {L"a|&|b"}},
      {L"&trade;&#153;", {L"\u2122|\u2122"}},
      {L"&#39;&#96;&#180;", {L"'|`|\u00B4"}},
      {L"&AElig;&aelig;&Oslash;&uuml;", {L"\u00C6|\u00E6|\u00D8|\u00FC"}},
      {L"&#0201;", {L"&#0201;"}},
      {L"&;", {L"&;"}},
      {L"one<br>two", {L"one", L"two"}},
      {L"one<BR/>two<p>three", {L"one", L"two", L"three"}},
      {L"<br>after an empty row", {L"after an empty row"}},
      {L"line\r\nbreaks\nignored", {L"linebreaksignored"}},
      {L"<b>bold</b> plain", {L"*bold| plain"}},
      {L"<i>it</i><u>un</u>", {L"/it|_un"}},
      {L"<b>a</br>b", {L"*a|b"}},
      {L"<b>a</body>b", {L"*a|b"}},
      {L"<B>upper</B>", {L"*upper"}},
      {L"<b >not a tag", {L"<b >not a tag"}},
      {L"</q>x", {L"</q>x"}},
      {L"<font color=red>r</font>k", {L"r|k"}},
      {L"go <a href=\"http://x.y/z\">here</a> now", {L"go |here| now"}},
      {L"unclosed <font size=12>font", {L"unclosed |font"}},
      {L"</font></a>x", {L"x"}},
  };
  for (const Case& c : cases) {
    Lay(c.Text);
    EXPECT_EQ(Rows(), c.Rows) << Narrow(c.Text);
  }
}

TEST_F(Markup, WrappingBreaksAtBlanksInsideTheArea) {
  // Room for "alpha beta" (bold "beta" too) but not for the blank and "gamma" after it.
  const int fits = Width(L"alpha beta") + 8;
  struct WrapCase {
    const wchar_t* Text;
    int Right;
    std::vector<std::wstring> Rows;
  };
  const WrapCase cases[] = {
      {L"alpha beta gamma", 0, {L"alpha beta gamma"}},
      {L"alpha beta gamma", fits, {L"alpha|beta", L"gamma"}},
      {L"alpha   beta gamma", fits, {L"alpha|beta", L"gamma"}},
      {L"alpha <b>beta gamma</b>", fits, {L"alpha |*beta", L"*gamma"}},
      {L"alpha beta gamma delta epsilon", Width(L"gamma delta") + 2, {L"alpha|beta", L"gamma|delta", L"epsilon"}},
      // A word wider than the whole area gets a row of its own.
      {L"a enormouslylongword b", Width(L"enormously"), {L"a", L"enormouslylongword", L"b"}},
  };
  for (const WrapCase& c : cases) {
    Lay(c.Text, c.Right);
    EXPECT_EQ(Rows(), c.Rows) << Narrow(c.Text) << " in " << c.Right;
  }
  // Unwrapped, the extent is the natural one.
  const vcl::TRect natural = Lay(L"alpha beta gamma");
  EXPECT_EQ(natural.Width(), Width(L"alpha beta gamma"));
  EXPECT_EQ(natural.Height(), bmp->Canvas()->TextHeight(L"alpha beta gamma"));
  // Wrapped: as wide as the widest row, three rows of text for "alpha|beta", "gamma".
  const vcl::TRect wrapped = Lay(L"alpha beta gamma", fits);
  EXPECT_LE(wrapped.Width(), fits + Width(L" "));
  EXPECT_GT(wrapped.Height(), natural.Height());
}

TEST_F(Markup, FontTagsChangeAndRestoreTheFont) {
  Lay(L"<font size=+2>big</font>n<font size=-3>s</font><font size=x>e</font><font size=+q>k</font>");
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].Size, 12);
  EXPECT_EQ(runs[1].Size, 10);
  EXPECT_EQ(runs[2].Size, 7);
  EXPECT_EQ(runs[3].Size, 8);
  EXPECT_EQ(runs[4].Size, 10);  // a relative size that is no number leaves the size alone
  Lay(L"<font color=#FF0000>a</font><font color=red>b</font><font color=00FF00>c</font><font color=\"navy\">d"
      L"</font><font color=zz>e</font>");
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].Color, vcl::clRed);
  EXPECT_EQ(runs[1].Color, vcl::clRed);
  EXPECT_EQ(runs[2].Color, 0x00FF00);
  EXPECT_EQ(runs[3].Color, 0x800000);
  EXPECT_EQ(runs[4].Color, 0x000000);
  Lay(L"<font face=\"Courier New\" size=14>c</font>t");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].Face, L"COURIER NEW");
  EXPECT_EQ(runs[0].Size, 14);
  EXPECT_EQ(runs[1].Face, L"Tahoma");
}

TEST_F(Markup, LinksTakeTheirColoursAndBounds) {
  const std::wstring text = L"see <a href='http://example.org/a'>first</a> and <A HREF=\"mailto:x@y\">second</a>";
  Lay(text);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].URL, L"http://example.org/a");
  EXPECT_EQ(links[1].URL, L"mailto:x@y");
  const int h = bmp->Canvas()->TextHeight(L"X");
  EXPECT_EQ(links[0].Bounds.Left, Width(L"see "));
  EXPECT_EQ(links[0].Bounds.Right, Width(L"see ") + Width(L"first"));
  EXPECT_EQ(links[0].Bounds.Top, 0);
  EXPECT_EQ(links[0].Bounds.Bottom, h);
  // Without a manager: blue, underlined only when hot or pressed; pressed and hot at once is red.
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[1].Color, vcl::clBlue);
  EXPECT_FALSE(runs[1].Underline);
  EXPECT_EQ(runs[2].Color, vcl::clBlack);
  Lay(text, 0, -1, 1);
  EXPECT_EQ(runs[3].Color, vcl::clBlue);
  EXPECT_TRUE(runs[3].Underline);
  EXPECT_FALSE(runs[1].Underline);
  Lay(text, 0, 0, 0);
  EXPECT_EQ(runs[1].Color, vcl::clRed);
  EXPECT_TRUE(runs[1].Underline);
  // A link that wraps ends on the row it reaches.
  Lay(L"<a href=x>one two three</a>", Width(L"one two") + 2);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].Bounds.Left, 0);
  EXPECT_EQ(links[0].Bounds.Top, 0);
  EXPECT_EQ(links[0].Bounds.Bottom, h);
  EXPECT_EQ(links[0].Bounds.Right, Width(L"three") + Width(L" "));
}

TEST_F(Markup, MeasuringDrawsNothingAndGivesTheSameExtent) {
  const std::wstring text = L"<b>Bold</b> and <font size=+4>big</font><br>second row &copy;";
  html = std::make_unique<TsHtml>();
  int drawn = 0;
  html->OnDrawRun = [&](const rtl::String&, vcl::TPoint, vcl::TFont*) { ++drawn; };
  html->Init(bmp.get(), text, -1, -1, vcl::Rect(0, 0, 0, 0));
  const vcl::TRect measured = html->HTMLText(links, true);
  EXPECT_EQ(drawn, 0);
  const vcl::TRect drawnRect = Lay(text);
  EXPECT_EQ(measured, drawnRect);
  EXPECT_GT(measured.Height(), 2 * bmp->Canvas()->TextHeight(L"X"));
}
