#include "platform/rtl/textconv.h"

#include <gtest/gtest.h>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/win.h"

using namespace rtl;

TEST(TextConv, Utf8RoundTrip) {
  const String text = L"Öğrenci İşleri ıİşŞ €\U0001F600";
  std::string utf8 = StringToUTF8(text);
  EXPECT_EQ(utf8.substr(0, 3), "\xC3\x96\xC4");
  EXPECT_EQ(UTF8ToString(utf8), text);
  EXPECT_EQ(UTF8ToString(std::string()), L"");
  // Broken bytes become the replacement character instead of failing.
  EXPECT_EQ(UTF8ToString(std::string("a\xFF"
                                     "b")),
            L"a\uFFFDb");
  EXPECT_TRUE(HasUTF8BOM("\xEF\xBB\xBFx"));
  EXPECT_EQ(StripUTF8BOM("\xEF\xBB\xBFx"), "x");
  EXPECT_EQ(StripUTF8BOM("x"), "x");
}

TEST(TextConv, TurkishCodePage) {
  const String text = L"ğüşıöçĞÜŞİÖÇ";
  std::string bytes = StringToAnsi(text, 1254);
  EXPECT_EQ(bytes, "\xF0\xFC\xFE\xFD\xF6\xE7\xD0\xDC\xDE\xDD\xD6\xC7");
  EXPECT_EQ(AnsiToString(bytes, 1254), text);
  EXPECT_EQ(StringToAnsi(L"\u4E2D", 1254), "?");
}

TEST(TextConv, CodePageFromCharset) {
  EXPECT_EQ(CharsetToCodePage(TURKISH_CHARSET), 1254u);
  EXPECT_EQ(CharsetToCodePage(ANSI_CHARSET), 1252u);
  EXPECT_EQ(CharsetToCodePage(RUSSIAN_CHARSET), 1251u);
  EXPECT_EQ(CharsetToCodePage(DEFAULT_CHARSET), AnsiCodePage());
}

TEST(FormatSettingsTest, ReadFromANamedLocale) {
  TFormatSettings tr = TFormatSettings::FromLocale(L"tr-TR");
  EXPECT_EQ(tr.DecimalSeparator, L',');
  EXPECT_EQ(tr.ThousandSeparator, L'.');
  EXPECT_EQ(tr.DateSeparator, L'.');
  EXPECT_EQ(tr.ShortDateFormat, L"dd.MM.yyyy");
  EXPECT_EQ(tr.LongMonthNames[0], L"Ocak");
  EXPECT_EQ(tr.LongDayNames[0], L"Pazar");  // index 0 is Sunday
  EXPECT_EQ(tr.LongDayNames[1], L"Pazartesi");
  EXPECT_EQ(tr.LongTimeFormat.find(L'H'), String::npos);  // the 24-hour "H" is translated to "h"

  TFormatSettings us = TFormatSettings::FromLocale(L"en-US");
  EXPECT_EQ(us.DecimalSeparator, L'.');
  EXPECT_EQ(us.LongDayNames[6], L"Saturday");
  EXPECT_NE(us.LongTimeFormat.find(L"AMPM"), String::npos);  // "tt" becomes the AM/PM specifier

  TFormatSettings inv = TFormatSettings::Invariant();
  EXPECT_EQ(inv.DecimalSeparator, L'.');
  EXPECT_EQ(inv.ShortMonthNames[11], L"Dec");
}
