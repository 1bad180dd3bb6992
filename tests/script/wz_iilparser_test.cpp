#include "script/wz_iilparser.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "script/wz_iconst.h"
#include "wz_frontend_host.h"

using rtl::String;

namespace {

// An element as name='text'[unit]@pos-pos1(children); the shape leaves the positions out.
String Render(const TwzXMLItem* item, bool positions) {
  String s = item->Name();
  if (item->PropExists(L"text")) s += L"='" + item->Prop(L"text") + L"'";
  if (item->PropExists(L"unit")) s += L"[" + item->Prop(L"unit") + L"]";
  if (positions && item->PropExists(L"pos")) s += L"@" + item->Prop(L"pos");
  if (positions && item->PropExists(L"pos1")) s += L"-" + item->Prop(L"pos1");
  if (item->Count() > 0) {
    s += L"(";
    for (int i = 0; i < item->Count(); ++i) s += (i ? L" " : L"") + Render(item->Items(i), positions);
    s += L")";
  }
  return s;
}

class Translator : public ::testing::Test {
protected:
  void SetUp() override { il.SelectLanguage(L"ZuvizaVuruze"); }

  // The program's elements before the copied types element.
  String Shape(bool positions = false) {
    const TwzXMLItem* root = il.ILScript()->Root();
    String s;
    for (int i = 0; i + 1 < root->Count(); ++i) s += (i ? L" " : L"") + Render(root->Items(i), positions);
    return s;
  }

  TestCompilerHost host;
  TwzILParser il{&host};
};

const wchar_t* kMiniCase =
    L"<?xml version=\"1.0\"?>"
    L"<language text=\"MiniCase\"><parser><casesensitive text=\"1\"/><skipeol text=\"0\"/>"
    L"<keywords><begin/><end/></keywords>"
    L"<errors><err1 text=\"End of line expected\"/><err2 text=\"'END' expected\"/></errors></parser>"
    L"<types><int type=\"integer\"/></types><empty/>"
    L"<program><keyword text=\"BEGIN\"/><eol err=\"err1\"/>"
    L"<optionalloop><ident add=\"call\"/><eol err=\"err1\"/></optionalloop>"
    L"<empty add=\"marker\"/><keyword text=\"END\" err=\"err2\"/></program></language>";

}  // namespace

TEST_F(Translator, ProgramsAndTheirIntermediateCode) {
  struct Case {
    const wchar_t* source;
    const wchar_t* code;
  } cases[] = {
      {L"begin end.", L"compoundstmt"},
      {L"begin end. whatever ( follows", L"compoundstmt"},
      {L"program Demo; begin end.", L"compoundstmt"},
      {L"BEGIN A := 1 END.", L"compoundstmt(assignstmt(dsgn(node='A') expr(number='1')))"},
      {L"begin a; end.", L"compoundstmt(callstmt(dsgn(node='a')))"},
      {L"begin ;; end.", L"compoundstmt"},
      {L"var a, b: Integer; s: String = 'x';\r\nbegin end.",
       L"var(ident='a' ident='b' type='Integer') var(ident='s' type='String' init(expr(string=''x''))) compoundstmt"},
      {L"const N = $FF; M = 2; begin end.",
       L"const(ident='N' expr(number='$FF')) const(ident='M' expr(number='2')) compoundstmt"},
      {L"var a: array[1..5] of Integer; begin end.",
       L"var(ident='a' array(dim(expr(number='1') expr(number='5'))) type='Integer') compoundstmt"},
      {L"var a: array[5, 2] of Integer; b: array of Variant; begin end.",
       L"var(ident='a' array(dim(expr(number='5')) dim(expr(number='2'))) type='Integer') "
       L"var(ident='b' array type='Variant') compoundstmt"},
      {L"begin a := b <> c end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(dsgn(node='b') op='<>' dsgn(node='c'))))"},
      {L"begin a := (b >= c) = (b <= c) end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(op='(' expr(dsgn(node='b') op='>=' dsgn(node='c')) op=')' "
       L"op='=' op='(' expr(dsgn(node='b') op='<=' dsgn(node='c')) op=')')))"},
      {L"begin a := -1 + 2 * (3 - x) / y end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(op='unminus' number='1' op='+' number='2' op='*' op='(' "
       L"expr(number='3' op='-' dsgn(node='x')) op=')' op='/' dsgn(node='y'))))"},
      {L"begin a := not b and c or d xor e end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(op='not' dsgn(node='b') op='and' dsgn(node='c') op='or' "
       L"dsgn(node='d') op='xor' dsgn(node='e'))))"},
      {L"begin a := x DIV 2 mod 3 shl 1 shr 1 end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(dsgn(node='x') op='div' number='2' op='mod' number='3' "
       L"op='shl' number='1' op='shr' number='1')))"},
      {L"begin a := b in [1, 2..5]; c := d is TButton end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(dsgn(node='b') op='in' set(expr(number='1') expr(number='2') "
       L"range='.' expr(number='5')))) assignstmt(dsgn(node='c') expr(dsgn(node='d') op='is' dsgn(node='TButton'))))"},
      {L"begin a := 'it''s'#13#10'x' + #$41 end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(string=''it's\r\nx'' op='+' string=''A'')))"},
      {L"begin a := 1.5e3 + $1f end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(number='1.5e3' op='+' number='$1f')))"},
      {L"begin a := <Table.\"Name\"> + <x> end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(dsgn(node='Get' expr(string=''Table.\"Name\"'')) op='+' "
       L"dsgn(node='Get' expr(string=''x'')))))"},
      {L"begin a := @Proc; x.y[1, 2].z(3) end.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(dsgn(addr='@' node='Proc'))) callstmt(dsgn(node='x' node='y' "
       L"node='[' expr(number='1') expr(number='2') node='z' expr(number='3'))))"},
      {L"begin if a then b else c end.",
       L"compoundstmt(ifstmt(expr(dsgn(node='a')) thenstmt(callstmt(dsgn(node='b'))) "
       L"elsestmt(callstmt(dsgn(node='c')))))"},
      {L"begin if a then else c end.",
       L"compoundstmt(ifstmt(expr(dsgn(node='a')) thenstmt elsestmt(callstmt(dsgn(node='c')))))"},
      {L"begin case x of 1: a; 2, 3: b else c end end.",
       L"compoundstmt(casestmt(expr(dsgn(node='x')) caseselector(set(expr(number='1')) callstmt(dsgn(node='a'))) "
       L"caseselector(set(expr(number='2') expr(number='3')) callstmt(dsgn(node='b'))) callstmt(dsgn(node='c'))))"},
      {L"begin repeat a; b until c = 1 end.",
       L"compoundstmt(repeatstmt(callstmt(dsgn(node='a')) callstmt(dsgn(node='b')) "
       L"expr(dsgn(node='c') op='=' number='1')))"},
      {L"begin while a do b end.", L"compoundstmt(whilestmt(expr(dsgn(node='a')) callstmt(dsgn(node='b'))))"},
      {L"begin for i := 1 to 10 do a; for i := 10 DownTo 1 do b end.",
       L"compoundstmt(forstmt(ident='i' expr(number='1') expr(number='10') callstmt(dsgn(node='a'))) "
       L"forstmt(ident='i' expr(number='10') downto='DownTo' expr(number='1') callstmt(dsgn(node='b'))))"},
      {L"begin try a finally b end; try c except d end end.",
       L"compoundstmt(trystmt(callstmt(dsgn(node='a')) finallystmt(callstmt(dsgn(node='b')))) "
       L"trystmt(callstmt(dsgn(node='c')) exceptstmt(callstmt(dsgn(node='d')))))"},
      {L"begin with a, b do c end.",
       L"compoundstmt(with(dsgn(node='a') dsgn(node='b') callstmt(dsgn(node='c'))))"},
      {L"begin break; continue; exit end.", L"compoundstmt(break continue exit)"},
      {L"procedure P(var a: Integer; b, c: String = 'x'); var l: Integer; begin l := a end;\r\n"
       L"function F: Integer; begin Result := 1 end;\r\n"
       L"begin P(1, 2) end.",
       L"procedure(name='P' parameters(varparams var(ident='a' type='Integer') var(ident='b' ident='c' type='String' "
       L"init(expr(string=''x'')))) var(ident='l' type='Integer') compoundstmt(assignstmt(dsgn(node='l') "
       L"expr(dsgn(node='a'))))) function(name='F' type='Integer' compoundstmt(assignstmt(dsgn(node='Result') "
       L"expr(number='1')))) compoundstmt(callstmt(dsgn(node='P' expr(number='1') expr(number='2'))))"},
      {L"procedure Outer; procedure Inner; begin end; begin Inner end; begin Outer end.",
       L"procedure(name='Outer' procedure(name='Inner' compoundstmt) compoundstmt(callstmt(dsgn(node='Inner')))) "
       L"compoundstmt(callstmt(dsgn(node='Outer')))"},
      {L"// line\r\n{ brace } (* paren\r\n *) begin { inside } a := 1 // tail\r\nend.",
       L"compoundstmt(assignstmt(dsgn(node='a') expr(number='1')))"},
      {L"var \x00F6\x011F" L"renci: String; begin \x00F6\x011F" L"renci := '\x0130\x0131' end.",
       L"var(ident='\x00F6\x011F" L"renci' type='String') compoundstmt(assignstmt(dsgn(node='\x00F6\x011F" L"renci') "
       L"expr(string=''\x0130\x0131'')))"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(il.MakeILScript(c.source)) << c.source << " -> " << host.ErrorMsg << " at " << host.ErrorPos;
    EXPECT_EQ(Shape(), c.code) << c.source;
    EXPECT_EQ(host.ErrorMsg, L"");
    EXPECT_EQ(host.ErrorPos, L"");
    const TwzXMLItem* root = il.ILScript()->Root();
    EXPECT_EQ(root->Name(), L"program");
    EXPECT_EQ(Render(root->Items(root->Count() - 1), false), L"types");
  }
}

TEST_F(Translator, IntermediateCodeReadsBackByteForByte) {
  ASSERT_TRUE(il.MakeILScript(L"const S = 'a\"<b>'#13#10; begin x := <T.\"F\"> end."));
  const std::string bytes = il.ILScript()->SaveToBytes();
  EXPECT_NE(bytes.find("text=\"'a&#34;&#60;b&#62;&#13;&#10;'\""), std::string::npos);
  TwzXMLDocument again;
  again.LoadFromBytes(bytes);
  EXPECT_EQ(again.SaveToBytes(), bytes);
  EXPECT_EQ(Render(again.Root(), false), Render(il.ILScript()->Root(), false));
}

TEST_F(Translator, Positions) {
  ASSERT_TRUE(il.MakeILScript(L"var a: Integer;\r\nbegin a := 1 end."));
  EXPECT_EQ(Shape(true),
            L"var@1:5(ident='a'@1:6 type='Integer'@1:15) compoundstmt@2:1(assignstmt@2:7(dsgn@2:7(node='a'@2:8) "
            L"expr@2:12-2:13(number='1'@2:13)))");
  ASSERT_TRUE(il.MakeILScript(L"begin x := <F> end."));
  EXPECT_EQ(Shape(true),
            L"compoundstmt@1:1(assignstmt@1:7(dsgn@1:7(node='x'@1:8) expr@1:12-1:15(dsgn@1:14(node='Get'@1:14 "
            L"expr@1:14-1:14(string=''F''@1:14)))))");
  // Node positions start after white space and comments.
  ASSERT_TRUE(il.MakeILScript(L"begin\r\n  { note }  if  x then y\r\nend."));
  EXPECT_EQ(Shape(true),
            L"compoundstmt@1:1(ifstmt@2:13(expr@2:17-2:18(dsgn@2:17(node='x'@2:18)) "
            L"thenstmt@2:24(callstmt@2:24(dsgn@2:24(node='y'@2:25)))))");
}

TEST_F(Translator, ExpressionPositionsFrameTheirSourceText) {
  // How an expression evaluated for a report is wrapped; macro arguments are cut out of the text the same way.
  const String expression = L"a + <T.\"F\">  *  (b - 1)";
  ASSERT_TRUE(il.MakeILScript(L"function wzEvaluateFUNC: Variant; begin Result := " + expression +
                              L" end; begin end."));
  const TwzXMLItem* function = il.ILScript()->Root()->Items(0);
  const TwzXMLItem* assign = function->Items(function->Count() - 1)->Items(0);
  const TwzXMLItem* expr = assign->Items(1);
  ASSERT_EQ(expr->Name(), L"expr");
  const int from = il.Parser()->GetPlainPosition(wzPosToPoint(expr->Prop(L"pos")));
  const int to = il.Parser()->GetPlainPosition(wzPosToPoint(expr->Prop(L"pos1")));
  EXPECT_EQ(il.Parser()->Text().substr(from - 1, to - from), expression);
}

TEST_F(Translator, BrokenProgramsAnswerTheGrammarsMessage) {
  struct Case {
    const wchar_t* source;
    const wchar_t* message;
    const wchar_t* pos;
  } cases[] = {
      {L"begin end", L"'.' expected", L"1:10"},
      {L"begin\r\nend\r\n", L"'.' expected", L"3:1"},
      {L"begin a := end.", L"Expression expected", L"1:12"},
      {L"begin a := 1 + end.", L"';' expected", L"1:14"},
      {L"begin if a b end.", L"'THEN' expected", L"1:12"},
      {L"begin if a < > b then end.", L"'THEN' expected", L"1:12"},
      {L"begin while a x end.", L"'DO' expected", L"1:15"},
      {L"begin for i = 1 to 2 do end.", L"':' expected", L"1:13"},
      {L"begin for i := 1 too 2 do end.", L"'TO' or 'DOWNTO' expected", L"1:18"},
      {L"begin repeat a end.", L"'UNTIL' expected", L"1:16"},
      {L"begin try a end.", L"'FINALLY' or 'EXCEPT' expected", L"1:13"},
      {L"begin case x 1: a end.", L"'OF' expected", L"1:14"},
      {L"begin case x of 1 a end.", L"':' expected", L"1:19"},
      {L"begin case x of 1: a; 2: b; x end.", L"'END' expected", L"1:29"},
      {L"var : Integer; begin end.", L"Identifier expected", L"1:5"},
      {L"var a Integer; begin end.", L"':' expected", L"1:7"},
      {L"var a: Integer begin end.", L"';' expected", L"1:16"},
      {L"const N 5; begin end.", L"'=' expected", L"1:9"},
      {L"begin a := (1 + 2 end.", L"')' expected", L"1:19"},
      {L"begin a[1 := 2 end.", L"']' expected", L"1:11"},
      {L"begin a := <abc end.", L"'>' expected", L"1:21"},
      {L"program ; begin end.", L"Identifier expected", L"1:9"},
      {L"begin a := 'abc end.", L"Expression expected", L"1:12"},
      {L"begin a := #", L"Expression expected", L"1:12"},
      {L"{ begin end.", L"'BEGIN' expected", L"1:13"},
      {L"(* begin end.", L"'BEGIN' expected", L"1:14"},
      {L"", L"'BEGIN' expected", L"1:1"},
      {L"procedure ; begin end.", L"Identifier expected", L"1:11"},
      {L"function F; begin end; begin end.", L"':' expected", L"1:11"},
      {L"begin\r\n  x := 1;\r\n  y := \r\nend.", L"Expression expected", L"4:1"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(il.MakeILScript(c.source)) << c.source;
    EXPECT_EQ(host.ErrorMsg, c.message) << c.source;
    EXPECT_EQ(host.ErrorPos, c.pos) << c.source;
  }
}

TEST_F(Translator, TermAndSkipDiscardTheErrorOfAFurtherIteration) {
  // The missing identifier after the last declaration only ends the declarations.
  EXPECT_TRUE(il.MakeILScript(L"var a: Integer; b: String; begin end."));
  EXPECT_TRUE(il.MakeILScript(L"const A = 1; B = 2; begin end."));
  EXPECT_EQ(Shape(), L"const(ident='A' expr(number='1')) const(ident='B' expr(number='2')) compoundstmt");
  // A successful translation after a failed one reports no error.
  EXPECT_FALSE(il.MakeILScript(L"begin"));
  EXPECT_TRUE(il.MakeILScript(L"begin end."));
  EXPECT_EQ(host.ErrorMsg, L"");
}

TEST_F(Translator, Units) {
  host.Units[L"U1"] = L"uses 'U2'; var u1: Integer; begin u1 := 1 end.";
  host.Units[L"U2"] = L"var u2: Integer; begin end.";
  ASSERT_TRUE(il.MakeILScript(L"uses 'U2', 'U1', 'u1'; begin end."));
  // Last listed first; a unit already included is not included again, also when a unit uses it.
  EXPECT_EQ(Shape(),
            L"uses[u1](program(uses[U2](program(var(ident='u2' type='Integer') compoundstmt types)) "
            L"var(ident='u1' type='Integer') compoundstmt(assignstmt(dsgn(node='u1') expr(number='1'))) types)) "
            L"compoundstmt");
  EXPECT_EQ(il.UsesList.size(), 2u);

  // A unit that does not translate fails the program with its own message and position.
  TestCompilerHost badHost;
  badHost.Units[L"BAD"] = L"begin\r\n  x := \r\nend.";
  TwzILParser bad(&badHost);
  bad.SelectLanguage(L"ZuvizaVuruze");
  EXPECT_FALSE(bad.MakeILScript(L"uses 'Bad'; var x: Integer; begin end."));
  EXPECT_EQ(badHost.ErrorMsg, L"Expression expected");
  EXPECT_EQ(badHost.ErrorPos, L"3:1");
  EXPECT_EQ(badHost.Unit, L"Bad");

  // An empty unit is included with no code.
  TestCompilerHost emptyHost;
  TwzILParser empty(&emptyHost);
  empty.SelectLanguage(L"ZuvizaVuruze");
  EXPECT_TRUE(empty.MakeILScript(L"uses 'Nothing'; begin end."));
  EXPECT_EQ(Render(empty.ILScript()->Root()->Items(0), false), L"uses[Nothing]");
}

TEST_F(Translator, UnitFiles) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const String dir = String(folder);
  const String file = dir + L"wzunit1.pas";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const char text[] = "\xEF\xBB\xBFvar \xC3\xA7: Integer; begin end.";
  DWORD written = 0;
  WriteFile(h, text, sizeof(text) - 1, &written, nullptr);
  CloseHandle(h);

  host.HasUnitHandler = false;
  host.Paths = {L"C:\\no\\such\\folder", dir};
  ASSERT_TRUE(il.MakeILScript(L"uses 'wzunit1.pas'; begin end.")) << host.ErrorMsg;
  EXPECT_EQ(Shape(), L"uses[wzunit1.pas](program(var(ident='\x00E7' type='Integer') compoundstmt types)) compoundstmt");
  DeleteFileW(file.c_str());

  // A unit that is nowhere raises the platform's file error out of the translation.
  host.Paths = {L"C:\\no\\such\\folder\\"};
  TwzILParser fresh(&host);
  fresh.SelectLanguage(L"ZuvizaVuruze");
  EXPECT_THROW(fresh.MakeILScript(L"uses 'wzunit1.pas'; begin end."), rtl::EFOpenError);
}

TEST_F(Translator, LanguageDirectiveAndOtherGrammars) {
  wzRegisterLanguage(L"MiniCase", kMiniCase);
  ASSERT_TRUE(il.MakeILScript(L"#language MiniCase\r\nbegin\r\nfoo\r\n\r\nbar\r\nend"));
  EXPECT_EQ(il.LangName, L"MiniCase");
  EXPECT_EQ(Shape(true), L"call='foo'@3:4 call='bar'@5:4 marker=''@6:1");
  EXPECT_EQ(Render(il.ILScript()->Root()->Items(3), false), L"types(int)");
  EXPECT_TRUE(il.Parser()->CaseSensitive);
  // Case-sensitive grammars match their texts in lower case only.
  EXPECT_FALSE(il.MakeILScript(L"#language MiniCase\r\nBEGIN\r\nEND"));
  EXPECT_EQ(host.ErrorMsg, L"");
  EXPECT_FALSE(il.MakeILScript(L"#LANGUAGE  minicase \nbegin foo\nend"));
  EXPECT_EQ(host.ErrorMsg, L"End of line expected");
  EXPECT_EQ(host.ErrorPos, L"2:7");

  // Selecting again starts from the defaults.
  il.SelectLanguage(L"ZuvizaVuruze");
  EXPECT_FALSE(il.Parser()->CaseSensitive);
  EXPECT_TRUE(il.Parser()->SkipEOL);
  ASSERT_TRUE(il.MakeILScript(L"#language ZuvizaVuruze\r\nbegin end."));
  EXPECT_EQ(Shape(true), L"compoundstmt@2:1");

  try {
    il.MakeILScript(L"#language Klingon\r\nbegin end.");
    FAIL();
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Language 'Klingon' not found");
  }

  wzRegisterLanguage(L"Broken", L"<?xml version=\"1.0\"?><language><parser/><types/><program><nosuchrule/>"
                                L"</program></language>");
  il.SelectLanguage(L"Broken");
  try {
    il.MakeILScript(L"anything");
    FAIL();
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Invalid language definition");
  }
  // A grammar without a program rule matches everything with an empty program.
  wzRegisterLanguage(L"Empty", L"<?xml version=\"1.0\"?><language><parser/></language>");
  il.SelectLanguage(L"Empty");
  EXPECT_TRUE(il.MakeILScript(L"anything"));
  EXPECT_EQ(Render(il.ILScript()->Root(), false), L"program(types)");
}

TEST_F(Translator, ReRegisteringALanguageTakesEffect) {
  const auto grammar = [](const wchar_t* word) {
    return String(L"<?xml version=\"1.0\"?><language><parser/><program><keyword text=\"") + word +
           L"\" add=\"w\"/></program></language>";
  };
  wzRegisterLanguage(L"Swap", grammar(L"one"));
  il.SelectLanguage(L"Swap");
  EXPECT_TRUE(il.MakeILScript(L"one"));
  TwzILParser other(&host);
  other.SelectLanguage(L"swap");
  EXPECT_FALSE(other.MakeILScript(L"two"));
  wzRegisterLanguage(L"SWAP", grammar(L"two"));
  other.SelectLanguage(L"Swap");
  EXPECT_TRUE(other.MakeILScript(L"two"));
  EXPECT_EQ(Render(other.ILScript()->Root(), false), L"program(w='two' types)");
  // A translator keeps the grammar it selected.
  EXPECT_TRUE(il.MakeILScript(L"one"));
}

TEST_F(Translator, DeepNestingIsRefusedNotCrashed) {
  String nested = L"begin a := ";
  for (int i = 0; i < 100; ++i) nested += L"(";
  nested += L"1";
  for (int i = 0; i < 100; ++i) nested += L")";
  nested += L" end.";
  ASSERT_TRUE(il.MakeILScript(nested)) << host.ErrorMsg;

  const struct {
    String open, middle, close;
  } absurd[] = {
      {L"(", L"1", L")"},
      {L"begin ", L"", L"end "},
      {L"if a then ", L"b", L""},
      {L"f(", L"1", L")"},
  };
  for (const auto& shape : absurd) {
    String text = L"begin a := ";
    if (shape.open != L"(" && shape.open != L"f(") text = L"begin ";
    for (int i = 0; i < 200000; ++i) text += shape.open;
    text += shape.middle;
    for (int i = 0; i < 200000; ++i) text += shape.close;
    text += L" end.";
    EXPECT_FALSE(il.MakeILScript(text)) << shape.open;
    EXPECT_EQ(host.ErrorMsg, SNestingTooDeep);
  }
  // The translator is fine afterwards.
  EXPECT_TRUE(il.MakeILScript(L"begin end."));

  // Each unit translates in a translator of its own, deeper on the stack.
  TestCompilerHost chainHost;
  for (int i = 0; i < 700; ++i)
    chainHost.Units[L"U" + rtl::IntToStr(i)] = L"uses 'U" + rtl::IntToStr(i + 1) + L"'; begin end.";
  TwzILParser chain(&chainHost);
  chain.SelectLanguage(L"ZuvizaVuruze");
  EXPECT_FALSE(chain.MakeILScript(L"uses 'U0'; begin end."));
  EXPECT_EQ(chainHost.ErrorMsg, SNestingTooDeep);
}

TEST_F(Translator, EveryTruncationAndMutationAnswersWithoutRaising) {
  const String source =
      L"program P; const C = $1F; var a: array[1..2] of Integer; s: String = 'it''s'#13;\r\n"
      L"procedure Q(var x: Integer); begin x := x * 2 end;\r\n"
      L"function F(a, b: Integer): Integer; begin Result := a div b end;\r\n"
      L"begin { c } (* d *) // e\r\n"
      L"  if (a[1] <> 2) and not (s = '') then Q(a[1]) else s := <T.\"F\">;\r\n"
      L"  case a[2] of 1..3, 5: a[1] := -1 else a[2] := 0 end;\r\n"
      L"  for i := 1 to 3 do while s <> '' do repeat break until true;\r\n"
      L"  try with s do exit finally s := s + #65 end\r\n"
      L"end.";
  ASSERT_TRUE(il.MakeILScript(source)) << host.ErrorMsg << " at " << host.ErrorPos;
  for (size_t n = 0; n < source.size(); ++n) {
    const String cut = source.substr(0, n);
    bool ok = true;
    EXPECT_NO_THROW(ok = il.MakeILScript(cut)) << n;
    EXPECT_FALSE(ok) << n;
    EXPECT_FALSE(host.ErrorMsg.empty()) << n;
  }
  // Characters swapped for others that open and close things.
  const wchar_t noise[] = L"'#{}(*)<>[]$.;:=\r\n\"_";
  unsigned seed = 12345;
  for (int round = 0; round < 1500; ++round) {
    String mutated = source;
    for (int k = 0; k < 3; ++k) {
      seed = seed * 1103515245u + 12345u;
      const size_t at = (seed >> 8) % mutated.size();
      seed = seed * 1103515245u + 12345u;
      mutated[at] = noise[(seed >> 8) % (sizeof(noise) / sizeof(noise[0]) - 1)];
    }
    EXPECT_NO_THROW(il.MakeILScript(mutated)) << rtl::StringToUTF8(mutated);
  }
}

TEST_F(Translator, LongProgram) {
  String text = L"var a: Integer;\r\nbegin\r\n";
  for (int i = 0; i < 3000; ++i) text += L"  a := a + " + rtl::IntToStr(i) + L";\r\n";
  text += L"end.";
  ASSERT_TRUE(il.MakeILScript(text));
  EXPECT_EQ(il.ILScript()->Root()->Items(1)->Count(), 3000);
  EXPECT_EQ(il.ILScript()->Root()->Items(1)->Items(2999)->Prop(L"pos"), L"3002:3");
}

TEST(ZuvizaVuruzeGrammar, EveryReferenceNamesARule) {
  TwzXMLDocument grammar;
  grammar.LoadFromBytes(rtl::StringToUTF8(wzGetLanguage(L"ZuvizaVuruze")));
  TwzXMLItem* root = grammar.Root();
  EXPECT_EQ(root->Prop(L"text"), L"ZuvizaVuruze");
  TwzXMLItem* parser = root->Items(root->Find(L"parser"));
  EXPECT_EQ(parser->Items(parser->Find(L"keywords"))->Count(), 40);
  TwzXMLItem* errors = parser->Items(parser->Find(L"errors"));
  EXPECT_EQ(errors->Count(), 20);
  EXPECT_EQ(errors->Items(19)->Prop(L"text"), L"'>' expected");

  std::set<String> rules;
  for (int i = 0; i < root->Count(); ++i) rules.insert(rtl::LowerCase(root->Items(i)->Name()));
  const std::set<String> items = {L"char",   L"keyword",  L"ident",          L"number",
                                   L"string", L"frstring", L"eol",            L"sequence",
                                   L"switch", L"optionalswitch", L"loop",     L"optionalloop", L"optional"};
  std::vector<String> missing;
  std::vector<const TwzXMLItem*> stack;
  for (int i = 0; i < root->Count(); ++i)
    if (root->Items(i) != parser) stack.push_back(root->Items(i));
  while (!stack.empty()) {
    const TwzXMLItem* item = stack.back();
    stack.pop_back();
    for (int i = 0; i < item->Count(); ++i) {
      const TwzXMLItem* child = item->Items(i);
      const String name = rtl::LowerCase(child->Name());
      if (!items.count(name) && !rules.count(name)) missing.push_back(name);
      stack.push_back(child);
    }
  }
  EXPECT_TRUE(missing.empty()) << (missing.empty() ? "" : rtl::StringToUTF8(missing[0]));
}
