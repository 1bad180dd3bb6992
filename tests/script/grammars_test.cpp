// The R++Aradod, DizizOzazoz and JScript languages: whole programs compiled from text and run, with what they
// print; the rules that set each language apart; and broken programs answering the grammar's message and place.
#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_hostclasses.h"
#include "script/wz_ibasic.h"
#include "script/wz_icpp.h"
#include "script/wz_ijs.h"
#include "script/wz_itools.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace wzgrammartest {

class TTally : public rtl::TPersistent {
  VCL_CLASS(TTally, rtl::TPersistent)
public:
  ~TTally() override { ++Destroyed; }
  static inline int Destroyed = 0;
  int Count = 0;
  String Caption;
};

VCL_REGISTER(TTally) {
  cls.Prop(L"Count", &TTally::Count);
  cls.Prop(L"Caption", &TTally::Caption);
}

}  // namespace wzgrammartest

using wzgrammartest::TTally;

namespace {

const wchar_t* const kCpp = L"R++Aradod";
const wchar_t* const kBasic = L"DizizOzazoz";
const wchar_t* const kJs = L"JScript";

class ScriptLanguages : public ::testing::Test {
 protected:
  ScriptLanguages() {
    script.AddRTTI();
    // Added by the fixture, so that clearing what a compile left behind keeps them.
    script.SetAddedBy(this);
    script.AddMethod(L"procedure Print(v: Variant)",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       out += rtl::VarToStr(caller->GetVParam(0)) + L";";
                       return Variant::Null();
                     });
    script.AddMethod(L"procedure Fail(msg: String)",
                     [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) -> Variant {
                       throw rtl::EConvertError(caller->GetVParam(0).AsString());
                     });
    // What the class bindings give every report's program: objects are freed through TObject.Free.
    if (TwzClassVariable* objectClass = script.AddClass(vcl::GetClass(L"TObject"), String()))
      objectClass->AddMethod(L"procedure Free",
                             [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
                               delete instance;
                               return Variant::Null();
                             });
    script.AddClass(vcl::GetClass(L"TPersistent"), L"TObject");
    tallyClass = script.AddClass(TTally::StaticClass(), L"TPersistent");
    if (tallyClass)
      tallyClass->AddConstructor(L"constructor Create",
                                 [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, Variant&) {
                                   return Variant::FromObject(instance);
                                 });
    script.AddObject(L"Tally", &tally);
    script.SetAddedBy(nullptr);
  }

  // Compiles and runs; what the program printed, or the compile error with its place.
  String Run(const wchar_t* language, const String& text) {
    out.clear();
    script.ClearItems(nullptr);
    script.SetSyntaxType(language);
    script.SetText(text);
    if (!script.Compile()) return L"compile error: " + script.ErrorMsg() + L" at " + script.ErrorPos();
    script.Execute();
    return out;
  }

  // The compile error with its place; empty when the text compiles.
  String Error(const wchar_t* language, const String& text) {
    script.ClearItems(nullptr);
    script.SetSyntaxType(language);
    script.SetText(text);
    if (script.Compile()) return String();
    return script.ErrorMsg() + L" at " + script.ErrorPos();
  }

  TTally tally;
  TwzScript script;
  TwzClassVariable* tallyClass = nullptr;
  String out;
};

struct ProgramCase {
  const wchar_t* language;
  const wchar_t* name;
  const wchar_t* source;
  const wchar_t* printed;
};

TEST_F(ScriptLanguages, ProgramsRunEndToEnd) {
  const ProgramCase cases[] = {
      // --- R++Aradod ---
      {kCpp, L"operators",
       L"{ Print(1 + 2 * 3); Print((1 + 2) * 3); Print(7 % 3); Print(7 div 2); Print(-5 + 2); Print(1 << 4);\r\n"
       L"  Print(256 >> 2); Print(6 ^ 3); Print((1 < 2) && (2 > 3)); Print((1 < 2) || (2 > 3)); Print(!(1 == 2));\r\n"
       L"  Print(1 != 1); Print(2 >= 2); Print(3 <= 2); Print(0x1F); Print(2 in [1, 2..5]); }",
       L"7;9;1;3;-3;16;64;5;False;True;True;False;True;False;31;True;"},
      {kCpp, L"declarations, routines and compound assignments",
       L"#define K 10\r\n"
       L"int total = 1;\r\n"
       L"int twice(int x) { return x * 2; }\r\n"
       L"void addTo(int &acc, int n = 3) { acc += n; }\r\n"
       L"{\r\n"
       L"  addTo(total, 4); Print(total); Print(twice(total) + K); addTo(total); Print(total);\r\n"
       L"  int i; i = 3; i++; Print(i); i--; i *= 4; Print(i); i -= 2; Print(i);\r\n"
       L"  float f = 1.5; f /= 2; Print(f == 0.75);\r\n"
       L"}",
       L"5;20;8;4;12;10;True;"},
      {kCpp, L"statements",
       L"{\r\n"
       L"  int i, s = 0;\r\n"
       L"  for (i = 1; i <= 10; i++) { if (i == 3) continue; if (i == 6) break; s += i; }\r\n"
       L"  Print(s);\r\n"
       L"  i = 0; while (i < 100) { i++; if (i >= 4) break; } Print(i);\r\n"
       L"  i = 0; do i += 2; while (i < 5); Print(i);\r\n"
       L"  for (i = 1; i <= 4; i++) switch (i) { case 1: Print(\"one\"); case 2, 3: Print(\"two-three\");\r\n"
       L"    default: Print(\"other\"); }\r\n"
       L"  if (s > 100) Print(\"big\"); else Print(\"small\");\r\n"
       L"  for (int k = 3, j = 0; k > 0; k--, j++) Print(k * 10 + j);\r\n"
       L"  ;\r\n"
       L"}",
       L"12;4;6;one;two-three;two-three;other;small;30;21;12;"},
      {kCpp, L"strings, comments and arrays",
       L"// a line comment\r\n"
       L"string s = \"a\\\"b\";\r\n"
       L"int a[3]; int m[2][3];\r\n"
       L"{ /* a block\r\n comment */ Print(s); Print(\"x\\\\y\" + \"z\"); Print(\"it's\");\r\n"
       L"  a[0] = 5; m[1][2] = 7; Print(a[0] + m[1][2]); Print(s[2]); }",
       L"a\"b;x\\yz;it's;12;\";"},
      {kCpp, L"try except and finally",
       L"{ try { Print(\"in\"); Fail(\"boom\"); Print(\"no\"); } except { Print(ExceptionMessage); }\r\n"
       L"  try { Print(\"body\"); } finally { Print(\"fin\"); } }",
       L"in;boom;body;fin;"},
      {kCpp, L"host object", L"{ Tally.Count = 4; Tally.Count += 3; Tally.Caption = \"t\"; Print(Tally.Count); }",
       L"7;"},
      {kCpp, L"include of no units and a void function called first",
       L"void show() { Print(\"s\"); }\r\n{ show(); show(); }", L"s;s;"},

      // --- DizizOzazoz ---
      {kBasic, L"operators and undeclared variants",
       L"Dim a As Integer, b\r\n"
       L"a = 7 : b = 2\r\n"
       L"Print(a \\ b) : Print(a Mod b) : Print(a / b = 3.5)\r\n"
       L"Print(\"x\" & b & \"y\")\r\n"
       L"Print(a <> b) : Print(Not (a = b)) : Print((a > b) And (a < b)) : Print((a > b) Or (a < b))\r\n"
       L"c = a + b    ' undeclared: a variant\r\n"
       L"Print(c) : Print(0x10) : Print(-a)\r\n",
       L"3;1;True;x2y;True;True;False;True;9;16;-7;"},
      {kBasic, L"routines",
       L"Sub AddTo(ByRef acc, ByVal n As Integer)\r\n"
       L"  acc = acc + n\r\n"
       L"End Sub\r\n"
       L"Function Twice(x As Integer) As Integer\r\n"
       L"  Return x * 2\r\n"
       L"End Function\r\n"
       L"Function Early(x)\r\n"
       L"  If x > 0 Then Return \"pos\"\r\n"
       L"  Return \"neg\"\r\n"
       L"End Function\r\n"
       L"t = 1\r\n"
       L"AddTo(t, 4)\r\n"
       L"Print(t) : Print(Twice(t)) : Print(Early(1)) : Print(Early(-1))\r\n",
       L"5;10;pos;neg;"},
      {kBasic, L"for, if and select",
       L"s = 0\r\n"
       L"For i = 1 To 10\r\n"
       L"  If i = 3 Then Continue\r\n"
       L"  If i = 6 Then Break\r\n"
       L"  s += i\r\n"
       L"Next\r\n"
       L"Print(s)\r\n"
       L"For i = 10 To 1 Step -4\r\n"
       L"  Print(i)\r\n"
       L"Next\r\n"
       L"For i = 1 To 4\r\n"
       L"  If i = 1 Then\r\n"
       L"    Print(\"one\")\r\n"
       L"  ElseIf i = 2 Then\r\n"
       L"    Print(\"two\")\r\n"
       L"  ElseIf i = 3 Then\r\n"
       L"    Print(\"three\")\r\n"
       L"  Else\r\n"
       L"    Print(\"many\")\r\n"
       L"  End If\r\n"
       L"  Select Case i\r\n"
       L"    Case 1: Print(\"s1\")\r\n"
       L"    Case 2, 3:\r\n"
       L"      Print(\"s23\")\r\n"
       L"    Case Else: Print(\"s-else\")\r\n"
       L"  End Select\r\n"
       L"Next\r\n",
       L"12;10;6;2;one;s1;two;s23;three;s23;many;s-else;"},
      {kBasic, L"do, while, try, with and continued lines",
       L"i = 0\r\n"
       L"Do\r\n"
       L"  i = i + 2\r\n"
       L"Loop Until i > 5\r\n"
       L"Print(i)\r\n"
       L"i = 0\r\n"
       L"Do\r\n"
       L"  i = i + 1\r\n"
       L"Loop While i < 3\r\n"
       L"Print(i)\r\n"
       L"While i > 0\r\n"
       L"  i = i - 1\r\n"
       L"Wend\r\n"
       L"Print(i)\r\n"
       L"Try\r\n"
       L"  Fail(\"boom\")\r\n"
       L"  Print(\"no\")\r\n"
       L"Catch\r\n"
       L"  Print(ExceptionMessage)\r\n"
       L"End Try\r\n"
       L"Try\r\n"
       L"  Print(\"body\")\r\n"
       L"Finally\r\n"
       L"  Print(\"fin\")\r\n"
       L"End Try\r\n"
       L"With Tally\r\n"
       L"  Count = 2\r\n"
       L"  Set Caption = \"c\"\r\n"
       L"End With\r\n"
       L"x = 1 + _\r\n"
       L"    2\r\n"
       L"rem a comment line\r\n"
       L"Print(x) : Print(Tally.Count) : Print(Tally.Caption) : Print(\"say \"\"hi\"\"\")\r\n",
       L"6;3;0;boom;body;fin;3;2;c;say \"hi\";"},

      {kBasic, L"arrays and comments",
       L"Dim a[3] As Integer, m[2, 2]\r\n"
       L"a[0] = 1 : a[2] = 5 : m[1, 1] = \"x\"  ' a comment after statements\r\n"
       L"/\\ a block comment /\\ Print(a[0] + a[2]) : Print(m[1, 1])\r\n",
       L"6;x;"},

      // --- JScript ---
      {kJs, L"arrays", L"var a[3], m[2, 2]; a[2] = 7; m[1, 0] = a[2] * 2; Print(m[1, 0])", L"14;"},
      {kJs, L"operators and undeclared variants",
       L"var a = 7, b = 2\r\n"
       L"Print(a % b); Print(a << 2); Print(a >> 1); Print(a ^ b); Print((a == 7) && (b != 2)); Print((a == 7) || (b "
       L"!= 2))\r\n"
       L"Print(!(a < b)); Print(0xff); c = a * b; Print(c); Print(\"tab\\x41\\\\\")\r\n",
       L"1;28;3;5;False;True;True;255;14;tabA\\;"},
      {kJs, L"functions",
       L"function twice(x) { return x * 2; }\r\n"
       L"function addTo(&acc, n) { acc += n }\r\n"
       L"function sign(x) { if (x < 0) return \"neg\"; return \"pos\"; }\r\n"
       L"t = 1; addTo(t, 4); Print(t); Print(twice(t)); Print(sign(-2)); Print(sign(2))\r\n",
       L"5;10;neg;pos;"},
      {kJs, L"statements",
       L"var s = 0\r\n"
       L"for (var i = 1; i <= 10; i++) { if (i == 3) continue; if (i == 6) break; s += i }\r\n"
       L"Print(s)\r\n"
       L"i = 0; while (i < 100) { i++; if (i >= 4) break }\r\n"
       L"Print(i)\r\n"
       L"i = 0; do { i += 2 } while (i < 5); Print(i)\r\n"
       L"for (i = 1; i <= 4; i++) switch (i) { case 1: Print(\"one\") case 2, 3: Print(\"two-three\") "
       L"default: Print(\"other\") }\r\n"
       L"if (s > 100) Print(\"big\") else Print(\"small\")\r\n"
       L"try { Fail(\"boom\") } except Print(ExceptionMessage)\r\n"
       L"try Print(\"body\") finally Print(\"fin\")\r\n"
       L"with (Tally) { Count = 9 }\r\n"
       L"/* a block\r\n comment */ Print(Tally.Count) // a line comment\r\n"
       L"{ Print(\"block\"); }\r\n",
       L"12;4;6;one;two-three;two-three;other;small;boom;body;fin;9;block;"},
  };
  for (const ProgramCase& c : cases) EXPECT_EQ(Run(c.language, c.source), c.printed) << c.language << ": " << c.name;
}

// Keywords of a case-insensitive language match in any case, under the ordinal rules ("IF" is "if" even where
// the user's locale lowers "I" to a dotless letter); R++Aradod knows its keywords in lower case only.
TEST_F(ScriptLanguages, KeywordCase) {
  EXPECT_EQ(Run(kBasic,
                L"IF 1 = 1 THEN PRINT(\"a\")\r\nif 1 = 1 then print(\"b\")\r\nIf 1 = 1 Then\r\n"
                L"  Print(\"c\")\r\nELSEIF 1 = 2 THEN\r\nEND IF\r\nWHILE 0 = 1\r\nWEND\r\n"),
            L"a;b;c;");
  EXPECT_EQ(Run(kJs,
                L"IF (1 == 1) PRINT(\"a\"); If (1 == 1) print(\"b\"); WHILE (1 == 2) {} "
                L"FUNCTION F() { RETURN 5 } Print(f())"),
            L"a;b;5;");
  EXPECT_EQ(Run(kCpp, L"{ if (1 == 1) Print(\"a\"); }"), L"a;");
  // Upper case "IF" is an identifier here: a call of "IF", after which a semicolon is missing.
  EXPECT_EQ(Error(kCpp, L"{ IF (1 == 1) Print(\"a\"); }"), L"';' expected at 1:15");
  EXPECT_EQ(Error(kCpp, L"{ If (1 == 1) Print(\"a\"); }"), L"';' expected at 1:15");
  // Identifiers still compare ignoring case, as everywhere in the engine.
  EXPECT_EQ(Run(kCpp, L"int Index;\r\n{ INDEX = 4; Print(index); }"), L"4;");
}

// DizizOzazoz ends statements at line ends; JScript and R++Aradod treat them as white space.
TEST_F(ScriptLanguages, LineEnds) {
  EXPECT_EQ(Error(kBasic, L"x = 1 y = 2"), L"End of line expected at 1:7");
  EXPECT_EQ(Run(kBasic, L"x = 1 +\r\n2\r\nPrint(x)"), L"compile error: End of line expected at 1:7");
  EXPECT_EQ(Run(kJs, L"x = 1 +\r\n2\r\nPrint(x)"), L"3;");
  EXPECT_EQ(Run(kCpp, L"int x;\r\n{\r\nx = 1 +\r\n2;\r\nPrint(x);\r\n}"), L"3;");
  EXPECT_EQ(Run(kBasic, L"\r\n\r\nPrint(1)\r\n\r\nPrint(2)\r\n\r\n"), L"1;2;");
}

// Operators that are spelled differently from ZuvizaVuruze, and characters that mean something else.
TEST_F(ScriptLanguages, OperatorsThatDiffer) {
  // "&" concatenates in DizizOzazoz (numbers become text), "\" divides integers, "/" does not.
  EXPECT_EQ(Run(kBasic, L"Print(1 & 2) : Print(9 \\ 4) : Print(9 / 4 = 2.25)"), L"3;2;True;");
  // "==" compares, a single "=" only assigns; "!=" is the inequality.
  EXPECT_EQ(Error(kJs, L"if (1 = 1) x = 1"), L"')' expected at 1:7");
  EXPECT_EQ(Run(kJs, L"Print(1 != 2); Print(!(1 != 2))"), L"True;False;");
  // The two characters of "<<", "<=", "!=" and "==" must stand together.
  EXPECT_EQ(Error(kCpp, L"{ Print(1 < = 2); }"), L"')' expected at 1:11");
  EXPECT_EQ(Error(kCpp, L"{ Print(1 = = 2); }"), L"')' expected at 1:11");
  // Increment and decrement are whole statements: "x++" and "x--".
  EXPECT_EQ(Run(kJs, L"x = 1; x++; x++; x--; Print(x)"), L"2;");
  // The increment needs a variable.
  EXPECT_EQ(Error(kCpp, L"#define K 1\r\n{ K++; }"), L"Left side cannot be assigned to at 2:3");
}

// The builder's rules as they show through each language.
TEST_F(ScriptLanguages, Declarations) {
  // R++Aradod requires declarations; the others make undeclared names variants.
  EXPECT_EQ(Error(kCpp, L"{ x = 1; }"), L"Undeclared identifier: 'x' at 1:4");
  EXPECT_EQ(Run(kJs, L"x = \"v\"; Print(x)"), L"v;");
  EXPECT_EQ(Error(kCpp, L"int a; int a;\r\n{}"), L"Identifier redeclared: 'a' at 1:13");
  EXPECT_EQ(Error(kBasic, L"Dim a, a\r\n"), L"Identifier redeclared: 'a' at 1:9");
  // The R++Aradod aliases and the DizizOzazoz one are script types.
  EXPECT_EQ(Run(kCpp,
                L"int i = 2; long l = 3; bool b = 1 < 2; float f = 0.5;\r\n{ Print(i + l); Print(b); "
                L"Print(f * 4); }"),
            L"5;True;2;");
  EXPECT_EQ(Run(kBasic, L"Dim d As Decimal = 0.25\r\nPrint(d * 8)"), L"2;");
  EXPECT_EQ(Error(kBasic, L"Dim s As String\r\nFor s = 1 To 2\r\nNext\r\n"),
            L"For loop variable must be numeric variable at 2:6");
  EXPECT_EQ(Error(kCpp, L"int i; { i = \"text\"; }"), L"Incompatible types: 'Integer', 'String' at 1:20");
}

struct ErrorCase {
  const wchar_t* language;
  const wchar_t* source;
  const wchar_t* error;
};

TEST_F(ScriptLanguages, BrokenProgramsReportTheGrammarsMessage) {
  const ErrorCase cases[] = {
      {kCpp, L"int x;", L"'{' expected at 2:1"},
      {kCpp, L"int x;\r\n{ x = 1 }", L"';' expected at 2:9"},
      {kCpp, L"{ if 1 == 1) {} }", L"'(' expected at 1:6"},
      {kCpp, L"{ if (1 == 1 {} }", L"')' expected at 1:14"},
      {kCpp, L"#defin K 1\r\n{}", L"'DEFINE' expected at 1:2"},
      {kCpp, L"#define 5 1\r\n{}", L"Identifier expected at 1:9"},
      {kCpp, L"#define K\r\n{}", L"Expression expected at 2:1"},
      {kCpp, L"int i;\r\n{ do i++; (i < 3); }", L"'WHILE' expected at 2:11"},
      {kCpp, L"{ switch (1) { case 1: ; ", L"'}' expected at 2:1"},
      {kCpp, L"{ switch (1) case 1: ; }", L"'{' expected at 1:14"},
      {kCpp, L"{ switch (1) { case 1 ; } }", L"':' expected at 1:23"},
      {kCpp, L"{ try { } }", L"'FINALLY' or 'EXCEPT' expected at 1:11"},
      {kCpp, L"int a[2; {}", L"']' expected at 1:8"},
      {kCpp, L"void f(int) {} {}", L"Identifier expected at 1:11"},
      {kCpp, L"{ Print(<abc); }", L"'>' expected at 2:1"},
      {kCpp, L"{ Print(1; }", L"')' expected at 1:10"},
      {kBasic, L"For i = 1 To 3\r\nPrint(i)\r\n", L"'NEXT' expected at 3:1"},
      {kBasic, L"For i = 1 3\r\nNext\r\n", L"'TO' expected at 1:11"},
      {kBasic, L"For = 1 To 3\r\nNext\r\n", L"Identifier expected at 1:5"},
      {kBasic, L"For i 1 To 3\r\nNext\r\n", L"'=' expected at 1:7"},
      {kBasic, L"If 1 = 1\r\nEnd If\r\n", L"'THEN' expected at 1:9"},
      {kBasic, L"If 1 = 1 Then\r\nPrint(1)\r\n", L"'END' expected at 3:1"},
      {kBasic, L"If 1 = 1 Then\r\nPrint(1)\r\nEnd\r\n", L"'IF' expected at 3:4"},
      {kBasic, L"Select 1\r\nEnd Select\r\n", L"'CASE' expected at 1:8"},
      {kBasic, L"Select Case 1\r\nCase 1: Print(1)\r\nEnd\r\n", L"'SELECT' expected at 3:4"},
      {kBasic, L"Select Case 1\r\nCase 1 Print(1)\r\nEnd Select\r\n", L"':' expected at 2:8"},
      {kBasic, L"Select Case 1\r\nCase 1: Print(1)\r\nCase: Print(2)\r\nEnd Select\r\n", L"'ELSE' expected at 3:5"},
      {kBasic, L"While 1 = 2\r\n", L"'WEND' expected at 2:1"},
      {kBasic, L"Do\r\nLoop 1 = 2\r\n", L"'WHILE' expected at 2:6"},
      {kBasic, L"Try\r\nx = 1\r\nEnd Try\r\n", L"'FINALLY' or 'CATCH' expected at 3:1"},
      {kBasic, L"Try\r\nx = 1\r\nCatch\r\nEnd\r\n", L"'TRY' expected at 4:4"},
      {kBasic, L"With Tally\r\nCount = 1\r\nEnd\r\n", L"'WITH' expected at 3:4"},
      {kBasic, L"Sub P\r\nEnd Function\r\n", L"'SUB' expected at 2:5"},
      {kBasic, L"Function F\r\nEnd Sub\r\n", L"'FUNCTION' expected at 2:5"},
      {kBasic, L"Sub P\r\n", L"'END' expected at 2:1"},
      {kBasic, L"Sub P(a\r\nEnd Sub\r\n", L"')' expected at 1:8"},
      {kBasic, L"Dim a[2\r\n", L"']' expected at 1:8"},
      {kBasic, L"x = \r\n", L"Expression expected at 1:5"},
      {kBasic, L"Dim 5\r\n", L"Identifier expected at 1:5"},
      {kJs, L"x = ;", L"Expression expected at 1:5"},
      {kJs, L"if x == 1) y = 1", L"'(' expected at 1:4"},
      {kJs, L"function f(a { }", L"')' expected at 1:14"},
      {kJs, L"function (a) { }", L"Expression expected at 1:10"},
      {kJs, L"switch (x) { case 1: y = 1; ", L"'}' expected at 2:1"},
      {kJs, L"do x++; (x < 3);", L"'WHILE' expected at 1:9"},
      {kJs, L"do x++; while (x < 3)", L"';' expected at 2:1"},
      {kJs, L"for (i = 0, i < 3; i++) {}", L"';' expected at 1:11"},
      {kJs, L"try { } x = 1", L"'FINALLY' or 'EXCEPT' expected at 1:9"},
      {kJs, L"{ x = 1", L"'}' expected at 2:1"},
      {kJs, L"{ x = 1; ; }", L"'}' expected at 1:10"},
      {kJs, L"with (Tally { }", L"')' expected at 1:13"},
      {kJs, L"var a[1, ; ", L"Expression expected at 1:10"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(Error(c.language, c.source), c.error) << c.language << ": " << c.source;
}

// R++Aradod's program ends with its main block, as ZuvizaVuruze's ends with its full stop; a DizizOzazoz line
// must end after its statements.
TEST_F(ScriptLanguages, TextAfterTheProgram) {
  EXPECT_EQ(Run(kCpp, L"{ Print(1); } Print(2);"), L"1;");
  EXPECT_EQ(Error(kBasic, L"Print(1) )\r\n"), L"End of line expected at 1:10");
}

// Units are included with each language's own directive.
TEST_F(ScriptLanguages, Units) {
  script.SetOnGetUnit([](TwzScript*, const String& name, String& text) {
    if (rtl::SameText(name, L"cpp.h")) text = L"int shared = 4;\r\nint twice(int x) { return x * 2; }\r\n{}";
    if (rtl::SameText(name, L"basic.vb")) text = L"Function Twice(x)\r\nReturn x * 2\r\nEnd Function\r\nshared = 4\r\n";
    if (rtl::SameText(name, L"js.js")) text = L"function twice(x) { return x * 2 } shared = 4";
  });
  EXPECT_EQ(Run(kCpp, L"#include \"cpp.h\", \"cpp.h\"\r\n{ Print(twice(shared)); }"), L"8;");
  EXPECT_EQ(Run(kBasic, L"Imports \"basic.vb\"\r\nPrint(Twice(shared))\r\n"), L"8;");
  EXPECT_EQ(Run(kJs, L"import \"js.js\"; Print(twice(shared))"), L"8;");
}

// "new" calls the class's constructor and "delete" frees the object, in the three languages that have them.
TEST_F(ScriptLanguages, NewAndDelete) {
  ASSERT_NE(tallyClass, nullptr);
  const ProgramCase cases[] = {
      {kCpp, L"R++Aradod", L"TTally t;\r\n{ t = new TTally; t.Count = 2; t.Count++; Print(t.Count); delete t; }",
       L"3;"},
      {kBasic, L"DizizOzazoz", L"t = New TTally\r\nt.Count = 4\r\nPrint(t.Count)\r\nDelete t\r\n", L"4;"},
      {kJs, L"JScript", L"var t = new TTally; t.Count = 5; Print(t.Count); delete t", L"5;"},
  };
  for (const ProgramCase& c : cases) {
    const int destroyed = TTally::Destroyed;
    EXPECT_EQ(Run(c.language, c.source), c.printed) << c.name;
    EXPECT_EQ(TTally::Destroyed, destroyed + 1) << c.name;
  }
  EXPECT_EQ(Error(kJs, L"x = new Print"), L"Class type required at 1:14");
}

// A first line naming a language selects it whatever the program's syntax type.
TEST_F(ScriptLanguages, LanguageDirective) {
  EXPECT_EQ(Run(L"ZuvizaVuruze", L"#language JScript\r\nx = 2; Print(x * 3)"), L"6;");
  EXPECT_EQ(Run(kJs, L"#language DizizOzazoz\r\nPrint(7 \\ 2)\r\n"), L"3;");
}

// An If whose Then branch is empty still runs its Else branch; a Select Case value outside every Case runs
// Case Else, and without Case Else nothing.
TEST_F(ScriptLanguages, EmptyBranches) {
  EXPECT_EQ(Run(kBasic,
                L"If 1 = 2 Then\r\nElse\r\n  Print(\"e\")\r\nEnd If\r\n"
                L"If 1 = 1 Then\r\nElse\r\n  Print(\"never\")\r\nEnd If\r\n"
                L"Select Case 9\r\nCase 1: Print(1)\r\nEnd Select\r\nPrint(\"end\")\r\n"),
            L"e;end;");
  EXPECT_EQ(Run(kCpp, L"{ if (1 == 2) ; else Print(\"e\"); switch (9) { case 1: Print(1); } Print(\"end\"); }"),
            L"e;end;");
}

TEST_F(ScriptLanguages, EvaluateInEachLanguage) {
  for (const wchar_t* language : {kCpp, kBasic, kJs}) {
    script.ClearItems(nullptr);
    script.SetSyntaxType(language);
    EXPECT_EQ(script.Evaluate(L"6 * 7").AsInteger(), 42) << language;
  }
}

TEST(ScriptLanguageRegistry, LanguagesAndComponents) {
  for (const wchar_t* name : {L"R++Aradod", L"DizizOzazoz", L"JScript"}) {
    const String grammar = wzGetLanguage(name);
    EXPECT_EQ(grammar.rfind(L"<?xml version=\"1.0\"?>", 0), 0u) << name;
    EXPECT_NE(grammar.find(String(L"<language text=\"") + name + L"\">"), String::npos) << name;
  }
  EXPECT_EQ(vcl::GetClass(L"TwzCPP"), TwzCPP::StaticClass());
  EXPECT_EQ(vcl::GetClass(L"TwzBasic"), TwzBasic::StaticClass());
  EXPECT_EQ(vcl::GetClass(L"TwzJScript"), TwzJScript::StaticClass());
  TwzJScript language(nullptr);
  EXPECT_EQ(language.ClassName(), L"TwzJScript");
}

}  // namespace
