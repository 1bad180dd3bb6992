#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/graphicsobjects.h"

using namespace vcl;

TEST(Colors, MarkerAndSystemValues) {
  EXPECT_EQ(clNone, 536870911);
  EXPECT_EQ(clDefault, 536870912);
  EXPECT_EQ(clBtnFace, -16777201);
  EXPECT_EQ(static_cast<unsigned>(clScrollBar), 0xFF000000u);
  EXPECT_EQ(static_cast<unsigned>(clBackground), 0xFF000001u);
  EXPECT_EQ(static_cast<unsigned>(clMenuBar), 0xFF00001Eu);
}

TEST(Colors, FiftyTwoNamesInTableOrderAndEachRoundTrips) {
  std::vector<rtl::String> names;
  GetColorValues([&](const rtl::String& n) { names.push_back(n); });
  ASSERT_EQ(names.size(), 52u);
  EXPECT_EQ(names.front(), L"clBlack");
  EXPECT_EQ(names[16], L"clMoneyGreen");
  EXPECT_EQ(names[29], L"clDefault");
  EXPECT_EQ(names[45], L"clNone");
  EXPECT_EQ(names.back(), L"clWindowText");
  for (const auto& n : names) {
    TColor c = 0;
    ASSERT_TRUE(IdentToColor(n, c)) << n;
    EXPECT_EQ(ColorToString(c), n);
    EXPECT_EQ(StringToColor(n), c);
  }
}

TEST(Colors, StringConversions) {
  struct Case {
    const wchar_t* text;
    TColor color;
  } cases[] = {
      {L"clRed", clRed},         {L"CLRED", clRed},          {L"clbtnface", clBtnFace}, {L"255", 255},
      {L"$00123456", 0x123456},  {L"-16777201", clBtnFace},  {L"0x10", 16},             {L"$FF00000F", clBtnFace},
  };
  for (const auto& c : cases) EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
  EXPECT_EQ(ColorToString(0x123456), L"$00123456");
  EXPECT_EQ(ColorToString(clRed), L"clRed");
  for (const wchar_t* bad : {L"", L"clPink", L"12ab", L"$", L"99999999999"})
    EXPECT_THROW(StringToColor(bad), rtl::EConvertError) << bad;
}

TEST(Colors, IdentsIgnoreOnlyAsciiCaseUnderTurkishRules) {
  TColor c = 0;
  // A dotted capital I must not match "clInfoBk"'s "i" (and a dotless i must not either).
  EXPECT_FALSE(IdentToColor(L"clİnfoBk", c));
  EXPECT_FALSE(IdentToColor(L"clınfoBk", c));
  EXPECT_TRUE(IdentToColor(L"CLINFOBK", c));
  EXPECT_EQ(c, clInfoBk);
}

TEST(Colors, ColorToRGBResolvesSystemColours) {
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(static_cast<unsigned>(ColorToRGB(clBtnFace)), static_cast<unsigned>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToGdi(clNone), 0xFFFFFFu);
}

TEST(Charsets, NamesBothWays) {
  rtl::String name;
  ASSERT_TRUE(CharsetToIdent(DEFAULT_CHARSET, name));
  EXPECT_EQ(name, L"DEFAULT_CHARSET");
  int charset = 0;
  ASSERT_TRUE(IdentToCharset(L"turkish_charset", charset));
  EXPECT_EQ(charset, 162);
  EXPECT_FALSE(IdentToCharset(L"KLINGON_CHARSET", charset));
  EXPECT_FALSE(CharsetToIdent(3, name));
}
