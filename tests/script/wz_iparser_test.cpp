#include "script/wz_iparser.h"

#include <gtest/gtest.h>

using rtl::String;

namespace {

TwzParser& WithText(TwzParser& p, const String& text) {
  p.SetText(text);
  return p;
}

// The settings the DizizOzazoz grammar gives the scanner.
void BasicSettings(TwzParser& p) {
  p.CommentLine1 = L"'";
  p.CommentLine2 = L"rem";
  p.SetCommentBlock1(L"/\\,\\/");
  p.SetCommentBlock2(L"/\\,\\/");
  p.StringQuotes = L"\"";
  p.HexSequence = L"0x";
  p.SkipEOL = false;
  p.SkipChar = L"_";
}

}  // namespace

TEST(WzParser, DefaultsAndComments) {
  TwzParser p;
  EXPECT_EQ(p.CommentLine1, L"//");
  EXPECT_EQ(p.CommentBlock2(), L"(*,*)");
  EXPECT_EQ(p.HexSequence, L"$");
  WithText(p, L"abc{comment}def (* two\r\nlines *) ghi // rest\r\njkl");
  EXPECT_EQ(p.GetIdent(), L"abc");
  EXPECT_EQ(p.GetIdent(), L"def");
  EXPECT_EQ(p.GetIdent(), L"ghi");
  EXPECT_EQ(p.GetIdent(), L"jkl");
  EXPECT_EQ(p.GetIdent(), L"");

  // An opener at the very last character is no comment.
  WithText(p, L"a {");
  EXPECT_EQ(p.GetIdent(), L"a");
  p.SkipSpaces();
  EXPECT_EQ(p.GetChar(), L"{");

  // An unterminated block comment runs to the end and no token follows.
  WithText(p, L"a { never closed");
  EXPECT_EQ(p.GetIdent(), L"a");
  EXPECT_EQ(p.GetIdent(), L"");
  EXPECT_EQ(p.GetNumber(), L"");
  EXPECT_EQ(p.GetString(), L"");
  EXPECT_EQ(p.Position(), p.Size() + 1);
  WithText(p, L"(*");
  p.SkipSpaces();
  EXPECT_EQ(p.Position(), 3);
  WithText(p, L"(*)");
  p.SkipSpaces();
  EXPECT_EQ(p.Position(), 4);
}

TEST(WzParser, Tokens) {
  struct Case {
    const wchar_t* text;
    String (TwzParser::*reader)();
    const wchar_t* token;
    int positionAfter;
  } cases[] = {
      {L"  name_1 x", &TwzParser::GetIdent, L"name_1", 9},
      {L"1abc", &TwzParser::GetIdent, L"", 1},
      {L"\x00D6\x011F" L"renci:", &TwzParser::GetIdent, L"\x00D6\x011F" L"renci", 8},
      {L"12..5", &TwzParser::GetNumber, L"12", 3},
      {L"1.5e+3x", &TwzParser::GetNumber, L"1.5e+3", 7},
      {L"2e5", &TwzParser::GetNumber, L"2e5", 4},
      {L"2e", &TwzParser::GetNumber, L"2", 2},
      {L"2.x", &TwzParser::GetNumber, L"2", 2},
      {L"$1Fz", &TwzParser::GetNumber, L"$1F", 4},
      {L"$", &TwzParser::GetNumber, L"", 1},
      {L"-5", &TwzParser::GetNumber, L"", 1},
      {L"'it''s'", &TwzParser::GetString, L"'it's'", 8},
      {L"'a'#13#10'b' x", &TwzParser::GetString, L"'a\r\nb'", 13},
      {L"#$41#66", &TwzParser::GetString, L"'AB'", 8},
      {L"''", &TwzParser::GetString, L"''", 3},
      {L"#", &TwzParser::GetString, L"", 1},
      {L"'abc", &TwzParser::GetString, L"", 1},
      {L"'ab\r\ncd'", &TwzParser::GetString, L"", 1},
      {L"'ab'#", &TwzParser::GetString, L"'ab'", 5},
      {L"'tab\there'", &TwzParser::GetString, L"'tab\there'", 11},
      {L"#99999999999999999999", &TwzParser::GetString, L"'\xFFFF'", 22},
      {L"<", &TwzParser::GetChar, L"<", 2},
      {L"_", &TwzParser::GetChar, L"_", 2},
      {L"a", &TwzParser::GetChar, L"", 1},
      {L"\x00E7", &TwzParser::GetChar, L"", 1},
  };
  for (const auto& c : cases) {
    TwzParser p;
    p.SetText(c.text);
    EXPECT_EQ((p.*c.reader)(), c.token) << c.text;
    EXPECT_EQ(p.Position(), c.positionAfter) << c.text;
  }
}

TEST(WzParser, BackslashStrings) {
  TwzParser p;
  p.StringQuotes = L"\"";
  p.SpecStrChar = true;
  p.HexSequence = L"0x";
  EXPECT_EQ(WithText(p, L"\"\\x41\\n\\R\\q\\\\\"").GetString(), L"'A\n\rq\\'");
  EXPECT_EQ(WithText(p, L"\"a\\\"b\"").GetString(), L"'a\"b'");
  // A backslash before the only closing quote leaves the string open.
  EXPECT_EQ(WithText(p, L"\"abc\\\"").GetString(), L"");
  EXPECT_EQ(p.Position(), 1);
  EXPECT_EQ(WithText(p, L"\"abc\\").GetString(), L"");
  EXPECT_EQ(WithText(p, L"\"\\x\"").GetString(), L"''");
  EXPECT_EQ(WithText(p, L"0x1F 0X1F").GetNumber(), L"$1F");
  EXPECT_EQ(p.GetNumber(), L"0");
}

TEST(WzParser, Keywords) {
  TwzParser p;
  p.AddKeyword(L"begin");
  p.AddKeyword(L"end");
  p.AddKeyword(L"if");
  EXPECT_TRUE(p.IsKeyWord(L"BEGIN"));
  EXPECT_TRUE(p.IsKeyWord(L"If"));
  EXPECT_FALSE(p.IsKeyWord(L"beginx"));
  // A keyword is no identifier, but it is consumed.
  EXPECT_EQ(WithText(p, L"BEGIN x").GetIdent(), L"");
  EXPECT_EQ(p.Position(), 6);
  EXPECT_EQ(WithText(p, L"BEGIN x").GetWord(), L"BEGIN");
  // Ordinal case rules: the capital dotted I never matches.
  EXPECT_FALSE(p.IsKeyWord(L"\x0130" L"F"));
  p.CaseSensitive = true;
  EXPECT_EQ(WithText(p, L"BEGIN").GetIdent(), L"BEGIN");
  EXPECT_EQ(WithText(p, L"begin").GetIdent(), L"");
  p.Clear();
  EXPECT_FALSE(p.CaseSensitive);
  EXPECT_TRUE(p.Keywords().empty());
}

TEST(WzParser, SignificantLineEndsAndContinuation) {
  TwzParser p;
  BasicSettings(p);
  WithText(p, L"a _\r\n b\r\nc");
  EXPECT_EQ(p.GetIdent(), L"a");
  EXPECT_EQ(p.GetIdent(), L"b");
  EXPECT_TRUE(p.GetEOL());
  EXPECT_EQ(p.GetIdent(), L"c");
  EXPECT_FALSE(p.GetEOL());

  // An underscore after white space continues the line, even where it starts an identifier.
  WithText(p, L"a _b");
  EXPECT_EQ(p.GetIdent(), L"a");
  EXPECT_EQ(p.GetIdent(), L"b");

  // Continuations in a row, on one line or over many, never pile up on the stack.
  String many = L"a";
  for (int i = 0; i < 300000; ++i) many += L" _";
  many += L"\r\nb";
  for (int i = 0; i < 300000; ++i) many += L" _\r\n";
  many += L"c\r\nd";
  WithText(p, many);
  EXPECT_EQ(p.GetIdent(), L"a");
  EXPECT_EQ(p.GetIdent(), L"b");
  EXPECT_EQ(p.GetIdent(), L"c");
  EXPECT_TRUE(p.GetEOL());
  EXPECT_EQ(p.GetIdent(), L"d");
  WithText(p, L"x _ _\r\n\r\n y");
  EXPECT_EQ(p.GetIdent(), L"x");
  EXPECT_FALSE(p.GetEOL());
  EXPECT_EQ(p.GetIdent(), L"y");

  // A comment after code leaves the line end; a whole-line comment goes with its line.
  WithText(p, L"x ' note\r\ny");
  EXPECT_EQ(p.GetIdent(), L"x");
  EXPECT_TRUE(p.GetEOL());
  WithText(p, L"' whole line\r\ny");
  EXPECT_EQ(p.GetIdent(), L"y");

  // "rem" starts a comment only as a whole word, and in any case since the language has none.
  WithText(p, L"x remove x REM note\r\nRem\r\nrem_x");
  EXPECT_EQ(p.GetIdent(), L"x");
  EXPECT_EQ(p.GetIdent(), L"remove");
  EXPECT_EQ(p.GetIdent(), L"x");
  EXPECT_TRUE(p.GetEOL());
  EXPECT_EQ(p.GetIdent(), L"rem_x");
  EXPECT_EQ(WithText(p, L"/\\ block \\/ z").GetIdent(), L"z");
}

TEST(WzParser, CharsetsAndCommentPairs) {
  TwzParser p;
  p.ConstructCharset(L"abc");
  EXPECT_EQ(WithText(p, L"abcd").GetIdent(), L"abc");
  EXPECT_EQ(WithText(p, L"\x00E7" L"ab").GetIdent(), L"\x00E7" L"ab");
  p.SetCommentBlock1(L"\"<!\", \"!>\"");
  EXPECT_EQ(WithText(p, L"<! x !> a").GetIdent(), L"a");
  p.SetCommentBlock1(L"");
  p.SetCommentBlock2(L"");
  EXPECT_EQ(WithText(p, L"{a").GetIdent(), L"");
}

TEST(WzParser, FieldReferences) {
  TwzParser p;
  // Read after the opening '<': up to the bracket that closes it, quotes and nested brackets respected.
  WithText(p, L"Table.\"Field>\"> + 1");
  EXPECT_EQ(p.GetFRString(), L"Table.\"Field>\"");
  EXPECT_EQ(p.GetChar(), L">");
  EXPECT_EQ(WithText(p, L"a<b>[c]'>'>").GetFRString(), L"a<b>[c]'>'");
  EXPECT_EQ(WithText(p, L"never closed").GetFRString(), L"never closed");
  EXPECT_EQ(p.Position(), p.Size() + 1);
}

TEST(WzParser, Positions) {
  TwzParser p;
  p.SetText(L"ab\ncd\r\n\r\nx");
  struct Case {
    int position;
    const wchar_t* xy;
  } cases[] = {{1, L"1:1"}, {3, L"1:3"}, {4, L"2:1"},  {6, L"2:3"},
               {7, L"2:4"}, {8, L"3:1"}, {10, L"4:1"}, {11, L"4:2"}};
  for (const auto& c : cases) {
    p.SetPosition(c.position);
    EXPECT_EQ(p.GetXYPosition(), c.xy) << c.position;
  }
  EXPECT_EQ(p.GetPlainPosition({1, 1}), 1);
  EXPECT_EQ(p.GetPlainPosition({1, 2}), 4);
  EXPECT_EQ(p.GetPlainPosition({2, 4}), 11);
  EXPECT_EQ(p.GetPlainPosition({1, 5}), -1);
  EXPECT_EQ(p.GetPlainPosition({1, 0}), -1);
  p.SetText(L"");
  EXPECT_EQ(p.GetXYPosition(), L"1:1");
}
