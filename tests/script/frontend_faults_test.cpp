// Faults of the compiler's front end kept out: text left after a program that is a run of statements is an
// error rather than silently dropped, and a comment opener made of letters is a whole word (in any case where the
// language has none) rather than the start of any identifier beginning with those letters.
#include <gtest/gtest.h>

#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_ibasic.h"
#include "script/wz_icpp.h"
#include "script/wz_ijs.h"
#include "script/wz_iparser.h"
#include "script/wz_ipascal.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

const wchar_t* const kPascal = L"ZuvizaVuruze";
const wchar_t* const kCpp = L"R++Aradod";
const wchar_t* const kBasic = L"DizizOzazoz";
const wchar_t* const kJs = L"JScript";

class FrontEndFaults : public ::testing::Test {
 protected:
  FrontEndFaults() {
    script.AddRTTI();
    script.SetAddedBy(this);
    script.AddMethod(L"procedure Print(v: Variant)",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       out += rtl::VarToStr(caller->GetVParam(0)) + L";";
                       return Variant::Null();
                     });
    script.SetAddedBy(nullptr);
  }

  // What the program printed, or the compile error with its place.
  String Run(const wchar_t* language, const String& text) {
    out.clear();
    script.ClearItems(nullptr);
    script.SetSyntaxType(language);
    script.SetText(text);
    if (!script.Compile()) return L"compile error: " + script.ErrorMsg() + L" at " + script.ErrorPos();
    script.Execute();
    return out;
  }

  TwzScript script;
  String out;
};

struct Case {
  const wchar_t* language;
  const wchar_t* source;
  const wchar_t* result;
};

TEST_F(FrontEndFaults, TextAfterARunOfStatementsIsAnError) {
  const Case cases[] = {
      {kJs, L"Print(1) ) Print(2)", L"compile error: Statement expected at 1:10"},
      {kJs, L"Print(1);\r\nPrint(2);\r\n  }\r\nPrint(3);", L"compile error: Statement expected at 3:3"},
      {kJs, L"Print(1) // done\r\n/* nothing\r\n more */ \r\n\r\n  ", L"1;"},
      {kJs, L"", L""},
      {kBasic, L"Print(1)\r\n)\r\nPrint(2)\r\n", L"compile error: Statement expected at 2:1"},
      {kBasic, L"Print(1)\r\nEnd If\r\nPrint(2)\r\n", L"compile error: Statement expected at 2:1"},
      {kBasic, L"Print(1)\r\n' done\r\nrem nothing more\r\n\r\n   \r\n", L"1;"},
      {kBasic, L"Print(1)", L"1;"},
      // These programs end with their own closing token; what follows it stays outside the program.
      {kPascal, L"begin Print(1) end. Print(2) )", L"1;"},
      {kCpp, L"{ Print(1); } Print(2); )", L"1;"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.language, c.source), c.result) << c.language << ": " << c.source;
}

// A unit is translated like a program: its dropped text fails the including program, naming the unit.
TEST_F(FrontEndFaults, TextAfterAUnitIsAnError) {
  script.SetOnGetUnit([](TwzScript*, const String&, String& text) { text = L"shared = 4\r\n) lost = 5\r\n"; });
  EXPECT_EQ(Run(kBasic, L"Imports \"u.vb\"\r\nPrint(shared)\r\n"), L"compile error: Statement expected at 2:1");
  EXPECT_EQ(script.ErrorUnit(), L"u.vb");
}

TEST_F(FrontEndFaults, WordCommentOpenerIsAWholeWordInAnyCase) {
  const Case cases[] = {
      {kBasic, L"remainder = 7 : Print(remainder)\r\nremark = 1 : Print(remark + 1)\r\n", L"7;2;"},
      {kBasic, L"Rem one\r\nREM two\r\nPrint(1) Rem three\r\nPrint(2) rem four\r\nrem\r\nPrint(3) ' five\r\n",
       L"1;2;3;"},
      {kBasic, L"Print(1)\r\nRem Print(2)\r\nPrint(3)\r\n", L"1;3;"},
      // The other languages' openers are unchanged.
      {kPascal, L"begin { a } (* b *) Print(1); // c\r\n Print(2) end.", L"1;2;"},
      {kCpp, L"// a\r\n{ /* b */ Print(1); // c\r\n Print(2); }", L"1;2;"},
      {kJs, L"// a\r\n/* b */ Print(1); // c\r\nPrint(2)", L"1;2;"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.language, c.source), c.result) << c.language << ": " << c.source;
}

// A chain of operators is a tree as deep as it is long: a very long one is refused as too deep (it overflowed the
// stack when typed, evaluated or freed), a long one short of that still compiles and runs.
TEST_F(FrontEndFaults, LongOperatorChainsAreRefusedNotCrashed) {
  auto chain = [](int terms) {
    String text = L"var a: Integer; begin a := 1";
    for (int i = 1; i < terms; ++i) text += L" + 1";
    return text + L"; Print(a) end.";
  };
  EXPECT_EQ(Run(kPascal, chain(900)), L"900;");
  EXPECT_EQ(Run(kPascal, chain(10000)).rfind(L"compile error: Nesting too deep at 1:", 0), 0u);
  EXPECT_EQ(Run(kPascal, chain(2)), L"2;");
}

TEST(FrontEndScanner, WordCommentOpenerFollowsTheLanguagesCase) {
  TwzParser p;
  p.CommentLine1 = L"rem";
  p.CaseSensitive = true;
  p.SetText(L"REM x\r\nrem x\r\ny");
  EXPECT_EQ(p.GetIdent(), L"REM");
  EXPECT_EQ(p.GetIdent(), L"x");
  EXPECT_EQ(p.GetIdent(), L"y");

  // A punctuation opener needs no word boundary: "//" right after an identifier still opens a comment.
  TwzParser q;
  q.SetText(L"a//b\r\nc");
  EXPECT_EQ(q.GetIdent(), L"a");
  EXPECT_EQ(q.GetIdent(), L"c");
}

}  // namespace
