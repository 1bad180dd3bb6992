#include "platform/rtl/format.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/exceptions.h"
#include "tests/platform/rtl/fmtsettings.h"

using namespace rtl;
using rtltest::English;
using rtltest::Turkish;

namespace {

// Pins the global settings for a test and restores them afterwards.
class GlobalSettings : public ::testing::Test {
protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = English();
  }
  void TearDown() override { FormatSettings = saved_; }

private:
  TFormatSettings saved_;
};

}  // namespace

TEST(Format, DirectivesWithWidthAndPrecision) {
  const TFormatSettings en = English();
  struct Case {
    const wchar_t* fmt;
    TVarRec arg;
    const wchar_t* expected;
  } cases[] = {
      {L"%9.2f", 3.14159, L"     3.14"},
      {L"%9.2f", -1234.5, L" -1234.50"},
      {L"%-5d|", 42, L"42   |"},
      {L"%5d|", -42, L"  -42|"},
      {L"%.3d", 7, L"007"},
      {L"%.3d", -7, L"-007"},
      {L"%d", Int64(9000000000), L"9000000000"},
      {L"%x", 255, L"FF"},
      {L"%.4x", 255, L"00FF"},
      {L"%x", -1, L"FFFFFFFF"},
      {L"%u", -1, L"4294967295"},
      {L"%s", L"abc", L"abc"},
      {L"%.2s", L"abc", L"ab"},
      {L"%-6s|", L"ab", L"ab    |"},
      {L"%s", L'x', L"x"},
      {L"%f", 2.0, L"2.00"},
      {L"%.0f", 2.5, L"3"},
      {L"%.1f", 0.05, L"0.1"},
      {L"%n", 1234567.891, L"1,234,567.89"},
      {L"%.0n", -1234.0, L"-1,234"},
      {L"%m", 1234.5, L"$1,234.50"},
      {L"%m", -5.0, L"-$5.00"},
      {L"%e", 1234.5, L"1.23450000000000E+003"},
      {L"%.3e", 1234.5, L"1.23E+003"},
      {L"%g", 0.5, L"0.5"},
      {L"%g", 1e20, L"1E20"},
      {L"%d%%", 5, L"5%"},
      {L"%f", 3, L"3.00"},  // integers format as floating values
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.fmt, {c.arg}, en), c.expected) << c.fmt;
}

TEST(Format, IndexesAndStars) {
  const TFormatSettings en = English();
  EXPECT_EQ(Format(L"%1:s %0:s %s", {L"a", L"b"}, en), L"b a b");
  EXPECT_EQ(Format(L"%*d|", {4, 7}, en), L"   7|");
  EXPECT_EQ(Format(L"%-*d|", {3, 7}, en), L"7  |");
  EXPECT_EQ(Format(L"%.*f", {1, 2.25}, en), L"2.3");
  EXPECT_EQ(Format(L"%s has %d rows", {String(L"Öğrenci"), 3}, en), L"Öğrenci has 3 rows");
  std::vector<TVarRec> args{1, L"x"};
  EXPECT_EQ(Format(L"%d-%s", args, en), L"1-x");
  EXPECT_EQ(Format(L"no directives", {}, en), L"no directives");
}

TEST(Format, WrongOrMissingArgumentsRaise) {
  EXPECT_THROW(Format(L"%d", {1.5}), EConvertError);
  EXPECT_THROW(Format(L"%s", {5}), EConvertError);
  EXPECT_THROW(Format(L"%f", {L"x"}), EConvertError);
  EXPECT_THROW(Format(L"%d %d", {1}), EConvertError);
  EXPECT_THROW(Format(L"%", {1}), EConvertError);
  EXPECT_THROW(Format(L"%q", {1}), EConvertError);
}

TEST(Format, FixedPointUsesTheDecimalSeparatorOfTheSettings) {
  EXPECT_EQ(Format(L"%9.2f", {1234.567}, Turkish()), L"  1234,57");
  EXPECT_EQ(Format(L"%n", {1234.5}, Turkish()), L"1.234,50");
  EXPECT_EQ(Format(L"%m", {-1234.5}, Turkish()), L"-1.234,50 TL");
}

TEST(FloatToStr, FifteenSignificantDigits) {
  const TFormatSettings en = English();
  struct Case {
    double value;
    const wchar_t* expected;
  } cases[] = {
      {0.1 + 0.2, L"0.3"},
      {1.0 / 3, L"0.333333333333333"},
      {2.0 / 3, L"0.666666666666667"},
      {100, L"100"},
      {-2.5, L"-2.5"},
      {0, L"0"},
      {1e15, L"1E15"},
      {123456789012345, L"123456789012345"},
      {999999999999999, L"999999999999999"},
      {-42, L"-42"},
      {-0.0, L"0"},
      {1e-4, L"0.0001"},
      {1.5e-5, L"1.5E-5"},
      {1e20, L"1E20"},
      {-1.25e-10, L"-1.25E-10"},
      {12345.678, L"12345.678"},
      {1.7976931348623157e308, L"1.79769313486232E308"},
      {5e-324, L"4.94065645841247E-324"},
      {0.125, L"0.125"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value, en), c.expected) << c.value;
  EXPECT_EQ(FloatToStr(0.1 + 0.2, Turkish()), L"0,3");
  EXPECT_EQ(FloatToStr(INFINITY, en), L"INF");
  EXPECT_EQ(FloatToStr(NAN, en), L"NAN");
}

TEST(FloatToStr, FloatToStrFFormats) {
  const TFormatSettings en = English();
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2, en), L"1.235E+03");
  // Seventeen digits show the value's exact decimal expansion, rounded.
  EXPECT_EQ(FloatToStrF(0.1, ffGeneral, 17, 0, en), L"0.10000000000000001");
  EXPECT_EQ(FloatToStrF(2.0 / 3, ffGeneral, 17, 0, en), L"0.66666666666666663");
  EXPECT_EQ(FloatToStrF(-0.00123, ffExponent, 3, 0, en), L"-1.23E-3");
  EXPECT_EQ(FloatToStrF(1234.5, ffFixed, 15, 2, en), L"1234.50");
  EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2, en), L"0.00");  // no "-0.00"
  EXPECT_EQ(FloatToStrF(1234567.125, ffNumber, 15, 1, en), L"1,234,567.1");
  EXPECT_EQ(FloatToStrF(12.5, ffCurrency, 15, 2, Turkish()), L"12,50 TL");
  EXPECT_EQ(FloatToStrF(123456.0, ffFixed, 3, 2, en), L"1.23E5");
  EXPECT_EQ(FloatToStrF(0.5, ffGeneral, 15, 0, en), L"0.5");
}

TEST(StrToFloat, UsesTheDecimalSeparator) {
  const TFormatSettings tr = Turkish();
  struct Case {
    const wchar_t* text;
    bool ok;
    double value;
  } cases[] = {
      {L"3,14", true, 3.14}, {L" -2,5 ", true, -2.5}, {L"1E3", true, 1000}, {L"1,5e-2", true, 0.015},
      {L"+7", true, 7},      {L",5", true, 0.5},      {L"5,", true, 5},     {L"3.14", false, 0},
      {L"", false, 0},       {L"abc", false, 0},      {L"1e", false, 0},    {L"1.000,5", false, 0},
      {L",", false, 0},      {L"1e999", false, 0},
  };
  for (const auto& c : cases) {
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v, tr), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_DOUBLE_EQ(StrToFloat(L"3.14", English()), 3.14);
  EXPECT_DOUBLE_EQ(StrToFloatDef(L"x", 1.5, tr), 1.5);
  try {
    StrToFloat(L"x", tr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"'x' is not a valid floating point value");
  }
}

TEST(FormatFloat, Placeholders) {
  const TFormatSettings en = English();
  struct Case {
    const wchar_t* fmt;
    double value;
    const wchar_t* expected;
  } cases[] = {
      {L"0.00", 3.14159, L"3.14"},
      {L"0.00", 1.005, L"1.01"},  // decimal rounding of the 15-digit value, as users expect
      {L"#.##", 0.5, L".5"},
      {L"0.##", 2, L"2"},
      {L"0.0#", 2.5, L"2.5"},
      {L"0.0#", 2.567, L"2.57"},
      {L"#,##0.00", 1234567.891, L"1,234,567.89"},
      {L"#,##0", -1234, L"-1,234"},
      {L"#,##0", 12, L"12"},
      {L"000", 7, L"007"},
      {L"0", 1234.5, L"1235"},
      {L"0", -0.4, L"0"},
      {L"#", 0, L""},
      {L"0.00 'TL'", 5, L"5.00 TL"},
      {L"\"No: \"0", 12, L"No: 12"},
      {L"0.00;(0.00)", -5, L"(5.00)"},
      {L"0.00;(0.00);'zero'", 0, L"zero"},
      {L"0.00;;'zero'", 0.001, L"zero"},
      {L"0.00;;'zero'", -3, L"-3.00"},
      {L"0.00E+00", 1234.5, L"1.23E+03"},
      {L"0.###E-0", 0.00012345, L"1.235E-4"},
      {L"00.0e+0", 12345, L"12.3e+3"},
      {L"000-00", 12345, L"123-45"},
      {L"", 0.1 + 0.2, L"0.3"},
      {L"0%", 50, L"50%"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.fmt, c.value, en), c.expected) << c.fmt << " " << c.value;
  EXPECT_EQ(FormatFloat(L"#,##0.00", 1234.5, Turkish()), L"1.234,50");
}

TEST_F(GlobalSettings, GlobalSettingsCanBeOverridden) {
  EXPECT_EQ(FloatToStr(1.5), L"1.5");
  FormatSettings.DecimalSeparator = L',';
  EXPECT_EQ(FloatToStr(1.5), L"1,5");
  EXPECT_DOUBLE_EQ(StrToFloat(L"1,5"), 1.5);
  EXPECT_EQ(Format(L"%.1f", {1.25}), L"1,3");
}

TEST_F(GlobalSettings, Currency) {
  EXPECT_EQ(CurrToStr(1.23456), L"1.2346");
  EXPECT_EQ(CurrToStr(10), L"10");
  EXPECT_DOUBLE_EQ(StrToCurr(L"2.71828"), 2.7183);
}

TEST_F(GlobalSettings, EditMasks) {
  FormatSettings.DateSeparator = L'.';
  EXPECT_EQ(FormatMaskText(L"!90/90/0000;1;_", L"01.02.2024"), L"01.02.2024");
  EXPECT_EQ(FormatMaskText(L"(000) 000-0000;0;_", L"5321234567"), L"(532) 123-4567");
  EXPECT_EQ(FormatMaskText(L">LL;0;_", L"ab"), L"AB");
  EXPECT_EQ(FormatMaskText(L"000\\-00;0;_", L"123"), L"123-  ");
}
