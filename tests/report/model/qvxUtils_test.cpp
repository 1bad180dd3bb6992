#include "report/model/qvxUtils.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/component.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"

using rtl::String;

TEST(QvxBracketScanner, Cases) {
  struct Case {
    String text, open, close;
    int start;
    String result;
    int i, j;
  } cases[] = {
      {L"[a]", L"[", L"]", 1, L"a", 1, 3},
      {L"[Copy('a]b', 1, 2)] x", L"[", L"]", 1, L"Copy('a]b', 1, 2)", 1, 19},
      {L"[a [b] c]", L"[", L"]", 1, L"a [b] c", 1, 9},
      {L"<%x%>", L"<%", L"%>", 1, L"x", 1, 5},
      {L"ab[c]", L"[", L"]", 1, L"", 1, 1},
      {L"ab[c]", L"[", L"]", 3, L"c", 3, 5},
      {L"[abc", L"[", L"]", 1, L"ab", 1, 4},
      {L"[a [b c]", L"[", L"]", 1, L"a [b c", 1, 8},
      {L"[\"it's ]\"]", L"[", L"]", 1, L"\"it's ]\"", 1, 10},
      {L"['say \"]\"']", L"[", L"]", 1, L"'say \"]\"'", 1, 11},
      {L"]a]", L"[", L"]", 1, L"", 1, 1},
      {L"", L"[", L"]", 1, L"", 1, 1},
      {L"[a]", L"[", L"]", 9, L"", 9, 9},
  };
  for (const Case& c : cases) {
    int i = c.start, j = 0;
    EXPECT_EQ(qvxGetBrackedVariableW(c.text, c.open, c.close, i, j), c.result) << c.text;
    EXPECT_EQ(i, c.i) << c.text;
    EXPECT_EQ(j, c.j) << c.text;
  }
}

TEST(QvxPageNumbers, Ranges) {
  struct Case {
    String text;
    int total;
    std::vector<String> pages;
  } cases[] = {
      {L"1,3,5-12", 20, {L"1", L"3", L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"12"}},
      {L"7-", 9, {L"7", L"8", L"9"}},
      {L"3 - 1", 9, {}},
      {L"", 9, {}},
      {L" 2 , 4 ", 9, {L"2", L"4"}},
      {L"5-3", 9, {}},
      {L"1-2,2", 9, {L"1", L"2", L"2"}},
  };
  rtl::TStringList list;
  for (const Case& c : cases) {
    qvxParsePageNumbers(c.text, list, c.total);
    EXPECT_EQ(list.ToVector(), c.pages) << c.text;
  }
  for (const String bad : {L"1,,2", L"-3", L",1", L"1,", L"a"}) {
    EXPECT_THROW(qvxParsePageNumbers(bad, list, 5), rtl::EConvertError) << bad;
  }
  EXPECT_THROW(qvxParsePageNumbers(L"2,x", list, 5), rtl::EConvertError);
  EXPECT_EQ(list.ToVector(), std::vector<String>{L"2"});
}

class QvxFloat : public ::testing::TestWithParam<wchar_t> {
 protected:
  void SetUp() override {
    kept_ = rtl::FormatSettings.DecimalSeparator;
    rtl::FormatSettings.DecimalSeparator = GetParam();
  }
  void TearDown() override { rtl::FormatSettings.DecimalSeparator = kept_; }
  wchar_t kept_ = L'.';
};

TEST_P(QvxFloat, ReadsCommaAndPointAlike) {
  EXPECT_DOUBLE_EQ(qvxStrToFloat(L"1 234,5"), 1234.5);
  EXPECT_DOUBLE_EQ(qvxStrToFloat(L"1234.5"), 1234.5);
  EXPECT_DOUBLE_EQ(qvxStrToFloat(L"-0,25"), -0.25);
  EXPECT_THROW(qvxStrToFloat(L"1,2,3"), rtl::EConvertError);
  EXPECT_THROW(qvxStrToFloat(L"abc"), rtl::EConvertError);
  EXPECT_EQ(qvxFloatToStr(3), L"3");
  EXPECT_EQ(qvxFloatToStr(2.5), String(L"2") + GetParam() + L"50");
  EXPECT_DOUBLE_EQ(qvxStrToFloat(qvxFloatToStr(2.5)), 2.5);
}

INSTANTIATE_TEST_SUITE_P(Separators, QvxFloat, ::testing::Values(L',', L'.'));

TEST(QvxStreams, HexCrcAndCommaText) {
  rtl::TMemoryStream s;
  s.WriteBytes(std::string("\x00\x7F\xAB\xFF", 4));
  s.SetPosition(2);
  EXPECT_EQ(qvxStreamToString(s), L"007FABFF");

  rtl::TMemoryStream back;
  qvxStringToStream(L"007FABFF", back);
  back.SetPosition(0);
  EXPECT_EQ(back.ReadBytes(4), std::string("\x00\x7F\xAB\xFF", 4));

  rtl::TMemoryStream text;
  text.WriteBytes("123456789");
  text.SetPosition(3);
  EXPECT_EQ(qvxStreamCRC32(text), 0xCBF43926u);  // the standard check value
  EXPECT_EQ(text.Position(), 3);

  rtl::TStringList list;
  qvxSetCommaText(L"a;;b", list);
  EXPECT_EQ(list.ToVector(), (std::vector<String>{L"a", L"", L"b"}));
  qvxSetCommaText(L"a;", list);
  EXPECT_EQ(list.ToVector(), std::vector<String>{L"a"});
  qvxSetCommaText(L"x,y", list, L',');
  EXPECT_EQ(list.ToVector(), (std::vector<String>{L"x", L"y"}));
}

TEST(QvxErrors, SilentModes) {
  EXPECT_NO_THROW(qvxCommonErrorHandler(simSilent, L"quiet"));
  try {
    qvxCommonErrorHandler(simReThrow, L"boom");
    FAIL();
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"boom");
  }
}

TEST(QvxRectArea, Overlaps) {
  TqvxRectArea a(0, 0, 10, 10);
  TqvxRectArea touching(10, 0, 20, 10);
  TqvxRectArea over(5, 8, 15, 30);
  EXPECT_FALSE(a.InterceptsX(touching));
  EXPECT_EQ(a.InterceptX(touching), nullptr);
  EXPECT_TRUE(a.InterceptsX(over));
  std::unique_ptr<TqvxRectArea> x(a.InterceptX(over));
  EXPECT_EQ(x->X, 5);
  EXPECT_EQ(x->X1, 10);
  EXPECT_EQ(x->Y, 0);
  std::unique_ptr<TqvxRectArea> y(a.InterceptY(over));
  EXPECT_EQ(y->Y, 8);
  EXPECT_EQ(y->Y1, 10);
  EXPECT_FALSE(a.InterceptsY(TqvxRectArea(0, 10.00005L, 1, 20)));
}

TEST(QvxRectArea, OfAComponentOnItsPage) {
  // The engine's shift tree compares objects by where they stand on the page, not within their band.
  TqvxReportPage page(nullptr);
  page.SetDefaults();
  auto* band = new TqvxMasterData(&page);
  band->SetBounds(0, 100, 700, 40);
  auto* memo = new TqvxMemoView(band);
  memo->SetBounds(20, 5, 80, 18);
  const TqvxRectArea area(memo);
  EXPECT_DOUBLE_EQ(static_cast<double>(area.X), static_cast<double>(memo->AbsLeft()));
  EXPECT_DOUBLE_EQ(static_cast<double>(area.Y), static_cast<double>(band->AbsTop() + 5));
  EXPECT_DOUBLE_EQ(static_cast<double>(area.X1 - area.X), 80.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(area.Y1 - area.Y), 18.0);
  auto* below = new TqvxMemoView(band);
  below->SetBounds(40, 23, 80, 10);
  EXPECT_TRUE(area.InterceptsX(TqvxRectArea(below)));
  EXPECT_FALSE(area.InterceptsY(TqvxRectArea(below))) << "they only touch";
}

TEST(QvxFiles, TempFileAndAppPath) {
  const String name = qvxCreateTempFile(String());
  EXPECT_TRUE(rtl::FileExists(name));
  EXPECT_TRUE(rtl::StartsText(L"qv", rtl::ExtractFileName(name)));
  rtl::DeleteFile(name);
  const String folder = rtl::ExcludeTrailingPathDelimiter(rtl::GetTempPath());
  const String inFolder = qvxCreateTempFile(folder);
  EXPECT_TRUE(rtl::SameText(rtl::ExtractFilePath(inFolder), folder + L"\\"));
  rtl::DeleteFile(inFolder);
  EXPECT_TRUE(rtl::EndsText(L"report_model_tests.exe", GetAppFileName()));
  EXPECT_EQ(GetAppPath(), rtl::ExtractFilePath(GetAppFileName()));
}

TEST(QvxComponents, LookupByQualifiedName) {
  vcl::TComponent form(nullptr);
  form.SetName(L"QvxForm1");
  auto* child = new vcl::TComponent(&form);
  child->SetName(L"Table1");
  vcl::AddGlobalComponent(&form);
  EXPECT_EQ(qvxFindComponent(&form, L"Table1"), child);
  EXPECT_EQ(qvxFindComponent(nullptr, L"QvxForm1.Table1"), child);
  EXPECT_EQ(qvxFindComponent(nullptr, L"QvxForm1.Nothing"), nullptr);
  EXPECT_EQ(qvxFindComponent(nullptr, L"NoForm.Table1"), nullptr);
  EXPECT_EQ(qvxGetFullName(&form, child), L"Table1");
  EXPECT_EQ(qvxGetFullName(nullptr, nullptr), L"");
  EXPECT_EQ(qvxGetFullName(nullptr, &form), L"QvxForm1");
  vcl::RemoveGlobalComponent(&form);
}
