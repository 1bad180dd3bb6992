#include "platform/rtl/strings.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"

using namespace rtl;

TEST(Strings, TrimRemovesControlCharactersAndBlanks) {
  EXPECT_EQ(Trim(L" \t a b \r\n"), L"a b");
  EXPECT_EQ(TrimLeft(L"  a "), L"a ");
  EXPECT_EQ(TrimRight(L"  a "), L"  a");
  EXPECT_EQ(Trim(L"   "), L"");
  EXPECT_EQ(Trim(L"\u00A0x\u00A0"), L"\u00A0x\u00A0");  // only codes up to 32
}

TEST(Strings, QuotingDoublesTheQuoteAndReadsItBack) {
  EXPECT_EQ(QuotedStr(L"O'Neil"), L"'O''Neil'");
  EXPECT_EQ(QuotedStr(L""), L"''");
  EXPECT_EQ(AnsiQuotedStr(L"a\"b", L'"'), L"\"a\"\"b\"");
  const wchar_t* p = L"'it''s' rest";
  EXPECT_EQ(AnsiExtractQuotedStr(p, L'\''), L"it's");
  EXPECT_STREQ(p, L" rest");
  EXPECT_EQ(AnsiDequotedStr(L"'it''s'", L'\''), L"it's");
  EXPECT_EQ(AnsiDequotedStr(L"plain", L'\''), L"plain");
  EXPECT_EQ(AnsiDequotedStr(L"'a' 'b'", L'\''), L"'a' 'b'");
  EXPECT_EQ(AnsiDequotedStr(L"'open", L'\''), L"'open");
}

TEST(Strings, OneBasedPositions) {
  EXPECT_EQ(Pos(L"b", L"abcb"), 2);
  EXPECT_EQ(Pos(L"x", L"abc"), 0);
  EXPECT_EQ(Pos(L"", L"abc"), 0);
  EXPECT_EQ(PosEx(L"b", L"abcb", 3), 4);
  EXPECT_EQ(PosEx(L"b", L"abcb", 0), 0);
  EXPECT_EQ(PosEx(L"b", L"abcb", 9), 0);

  struct CopyCase {
    int index, count;
    const wchar_t* expected;
  } copies[] = {{1, 2, L"ab"}, {2, 100, L"bcd"}, {0, 2, L"ab"}, {-5, 1, L"a"}, {5, 1, L""}, {4, 1, L"d"}, {2, -1, L""}};
  for (const auto& c : copies) EXPECT_EQ(Copy(L"abcd", c.index, c.count), c.expected) << c.index << "," << c.count;

  String s = L"abcdef";
  Delete(s, 2, 2);
  EXPECT_EQ(s, L"adef");
  Delete(s, 0, 2);  // nothing below 1
  EXPECT_EQ(s, L"adef");
  Delete(s, 3, 100);
  EXPECT_EQ(s, L"ad");
  Insert(L"XY", s, 2);
  EXPECT_EQ(s, L"aXYd");
  Insert(L"!", s, 99);
  EXPECT_EQ(s, L"aXYd!");
  Insert(L"<", s, -3);
  EXPECT_EQ(s, L"<aXYd!");
  EXPECT_EQ(LastDelimiter(L"\\.", L"C:\\a.b\\c.txt"), 9);
  EXPECT_EQ(StringOfChar(L'-', 3), L"---");
  EXPECT_EQ(StringOfChar(L'-', -1), L"");
}

// CI runs this under LC_ALL=tr_TR.UTF-8: the ordinal functions must not follow the Turkish rules.
TEST(Strings, OrdinalCaseIgnoresTheLocale) {
  EXPECT_EQ(UpperCase(L"resim"), L"RESIM");
  EXPECT_EQ(LowerCase(L"IF"), L"if");
  EXPECT_EQ(UpperCase(L"çiğ"), L"çIğ");  // non-ASCII letters untouched
  EXPECT_TRUE(SameText(L"Begin", L"BEGIN"));
  EXPECT_FALSE(SameText(L"i", L"\u0130"));
  EXPECT_EQ(CompareText(L"abc", L"ABD") < 0, true);
  EXPECT_EQ(CompareText(L"b", L"A") > 0, true);
  EXPECT_EQ(CompareStr(L"a", L"B") > 0, true);  // ordinal: lower case after upper case
  EXPECT_EQ(CompareStr(L"ab", L"ab"), 0);
  EXPECT_LT(CompareStr(L"ab", L"abc"), 0);
}

TEST(Strings, LocaleCaseFollowsTheNamedLocale) {
  EXPECT_EQ(AnsiUpperCase(L"i", L"tr-TR"), L"\u0130");
  EXPECT_EQ(AnsiUpperCase(L"\u0131", L"tr-TR"), L"I");
  EXPECT_EQ(AnsiLowerCase(L"I", L"tr-TR"), L"\u0131");
  EXPECT_EQ(AnsiLowerCase(L"\u0130STANBUL", L"tr-TR"), L"istanbul");
  EXPECT_EQ(AnsiUpperCase(L"i", L"en-US"), L"I");
  EXPECT_EQ(AnsiUpperCase(L"çağlar şölen", L"en-US"), L"ÇAĞLAR ŞÖLEN");
  EXPECT_EQ(AnsiCompareText(L"istanbul", L"\u0130STANBUL", L"tr-TR"), 0);
  EXPECT_NE(AnsiCompareText(L"\u0131", L"i", L"tr-TR"), 0);
  EXPECT_EQ(AnsiCompareText(L"Öğrenci", L"ÖĞRENCİ", L"tr-TR"), 0);
  EXPECT_LT(AnsiCompareText(L"a", L"B", L"en-US"), 0);  // linguistic, not ordinal
}

TEST(Strings, StringReplaceFlags) {
  EXPECT_EQ(StringReplace(L"a-b-c", L"-", L"+", 0), L"a+b-c");
  EXPECT_EQ(StringReplace(L"a-b-c", L"-", L"+", rfReplaceAll), L"a+b+c");
  EXPECT_EQ(StringReplace(L"Xx x", L"x", L"y", rfReplaceAll), L"Xy y");
  EXPECT_EQ(StringReplace(L"Xx x", L"x", L"y", rfReplaceAll | rfIgnoreCase), L"yy y");
  EXPECT_EQ(StringReplace(L"aaa", L"aa", L"a", rfReplaceAll), L"aa");
  EXPECT_EQ(StringReplace(L"abc", L"", L"z", rfReplaceAll), L"abc");
  EXPECT_EQ(StringReplace(L"Ağaç AĞAÇ", L"ağaç", L"-", rfReplaceAll | rfIgnoreCase), L"- -");
}

TEST(Strings, IntegerText) {
  EXPECT_EQ(IntToStr(-42), L"-42");
  EXPECT_EQ(IntToStr(Int64(9000000000)), L"9000000000");
  EXPECT_EQ(IntToHex(255, 4), L"00FF");
  EXPECT_EQ(IntToHex(-1, 2), L"FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 2), L"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(Byte(0xAB), 0), L"AB");
}

TEST(Strings, StrToIntAcceptsDecimalAndHexadecimal) {
  struct Case {
    const wchar_t* text;
    bool ok;
    Integer value;
  } cases[] = {
      {L"0", true, 0},
      {L"123", true, 123},
      {L"-123", true, -123},
      {L"+7", true, 7},
      {L"$FF", true, 255},
      {L"0xff", true, 255},
      {L"0X1A", true, 26},
      {L"-$10", true, -16},
      {L"$FFFFFFFF", true, -1},
      {L"2147483647", true, 2147483647},
      {L"-2147483648", true, INT32_MIN},
      {L"2147483648", false, 0},
      {L" 12", false, 0},
      {L"12 ", false, 0},
      {L"", false, 0},
      {L"$", false, 0},
      {L"0x", false, 0},
      {L"1.5", false, 0},
      {L"abc", false, 0},
      {L"$1FFFFFFFF", false, 0},
      {L"-", false, 0},
  };
  for (const auto& c : cases) {
    Integer v = 99;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_EQ(StrToInt(L"$FF"), 255);
  EXPECT_EQ(StrToIntDef(L"x", -5), -5);
  try {
    StrToInt(L"abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"'abc' is not a valid integer value");
  }
  EXPECT_THROW(StrToInt(L" 12"), EConvertError);
}

TEST(Strings, StrToInt64Range) {
  EXPECT_EQ(StrToInt64(L"9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64(L"-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64(L"4294967295"), 4294967295LL);
  EXPECT_EQ(StrToInt64(L"$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_THROW(StrToInt64(L"9223372036854775808"), EConvertError);
  EXPECT_EQ(StrToInt64Def(L"", 3), 3);
}

TEST(Strings, ValReportsTheOffendingPosition) {
  Integer i;
  int code;
  Val(L"  42", i, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(i, 42);
  Val(L"4x2", i, code);
  EXPECT_EQ(code, 2);
  Val(L"", i, code);
  EXPECT_EQ(code, 1);
  Int64 big;
  Val(L"$7FFFFFFFFFFFFFFF", big, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(big, INT64_MAX);
  double d;
  Val(L"1.5e2", d, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(d, 150.0);
  Val(L"1,5", d, code);  // source-code rules: the separator is always '.'
  EXPECT_EQ(code, 2);
}

TEST(Strings, Booleans) {
  EXPECT_EQ(BoolToStr(true), L"-1");
  EXPECT_EQ(BoolToStr(false), L"0");
  EXPECT_EQ(BoolToStr(true, true), L"True");
  EXPECT_TRUE(StrToBool(L"true"));
  EXPECT_TRUE(StrToBool(L"TRUE"));
  EXPECT_FALSE(StrToBool(L"0"));
  EXPECT_TRUE(StrToBool(L"-1"));
  EXPECT_THROW(StrToBool(L"evet"), EConvertError);
  EXPECT_TRUE(StrToBoolDef(L"?", true));
}

TEST(Strings, ValidIdentifiers) {
  struct Case {
    const wchar_t* text;
    bool dots;
    bool valid;
  } cases[] = {{L"abc", false, true},  {L"_a1", false, true}, {L"1a", false, false}, {L"", false, false},
               {L"a.b", false, false}, {L"a.b", true, true},  {L"a.", true, false},  {L".a", true, false},
               {L"öğr", false, false}, {L"a b", false, false}};
  for (const auto& c : cases) EXPECT_EQ(IsValidIdent(c.text, c.dots), c.valid) << c.text;
}

TEST(Strings, LineBreaksAndSplitting) {
  EXPECT_EQ(AdjustLineBreaks(L"a\nb\r\nc\rd"), L"a\r\nb\r\nc\r\nd");
  auto parts = SplitString(L"a,,b;c", L",;");
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[1], L"");
  EXPECT_EQ(parts[3], L"c");
}

TEST(Strings, LocaleCaseWithoutANameFollowsTheUser) {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
  bool turkish = name[0] == L't' && name[1] == L'r';
  EXPECT_EQ(AnsiUpperCase(L"i"), turkish ? L"\u0130" : L"I") << name;
  EXPECT_EQ(AnsiLowerCase(L"I"), turkish ? L"\u0131" : L"i") << name;
  EXPECT_EQ(UpperCase(L"i"), L"I");  // never the user's rules
  EXPECT_TRUE(AnsiSameText(L"Çiçek", L"ÇİÇEK") || !turkish);
}
