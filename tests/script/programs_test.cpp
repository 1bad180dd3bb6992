// Whole programs: ZuvizaVuruze text compiled by the script program and run, with what the scripts print, the
// values they leave in host variables, host objects they drive, and the compile errors they cause.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_designators.h"
#include "script/wz_hostclasses.h"
#include "script/wz_iconst.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace wzprogtest {

class TCounter : public rtl::TPersistent {
  VCL_CLASS(TCounter, rtl::TPersistent)
public:
  int Count = 0;
  String Caption;
};

VCL_REGISTER(TCounter) {
  cls.Prop(L"Count", &TCounter::Count);
  cls.Prop(L"Caption", &TCounter::Caption);
}

class TPlain : public rtl::TPersistent {
  VCL_CLASS(TPlain, rtl::TPersistent)
public:
  int Size = 3;
};

VCL_REGISTER(TPlain) { cls.Prop(L"Size", &TPlain::Size); }

}  // namespace wzprogtest

using wzprogtest::TCounter;
using wzprogtest::TPlain;

namespace {

class ScriptPrograms : public ::testing::Test {
protected:
  ScriptPrograms() {
    script.AddRTTI();
    Register();
  }

  // The host's own registrations, as a host makes them before each compile.
  void Register() {
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
    script.AddMethod(L"function Peek(text: String): Variant",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       return script.Evaluate(caller->GetVParam(0).AsString());
                     });
    counterClass = script.AddClass(TCounter::StaticClass(), L"TPersistent");
    if (counterClass) {
      counterClass->AddMethod(
          L"procedure Increment(by: Integer = 1)",
          [](rtl::TObject* instance, const vcl::TClassInfo*, const String& name, TwzMethodHelper* caller) {
            if (name == L"INCREMENT") static_cast<TCounter*>(instance)->Count += caller->GetVParam(0).AsInteger();
            return Variant::Null();
          });
      counterClass->AddMethod(L"function Describe: String",
                              [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
                                auto* c = static_cast<TCounter*>(instance);
                                return Variant(c->Caption + L"=" + rtl::IntToStr(c->Count));
                              });
      counterClass->AddDefaultProperty(
          L"Times", L"Integer", L"Integer",
          [](rtl::TObject* instance, const vcl::TClassInfo*, const String& name, TwzMethodHelper* caller) {
            if (name == L"TIMES.GET")
              return Variant(static_cast<TCounter*>(instance)->Count * caller->GetVParam(0).AsInteger());
            return Variant(0);
          });
    }
    script.AddObject(L"Counter", &counter);
    script.AddClass(TPlain::StaticClass(), L"TPersistent");
    script.AddObject(L"Plain", &plain);
    script.AddVariable(L"Answer", L"Variant", Variant::Null());
    script.SetAddedBy(nullptr);
  }

  bool Compile(const String& text) {
    script.SetText(text);
    return script.Compile();
  }

  // Compiles and runs; what the program printed.
  String Run(const String& text) {
    out.clear();
    if (!Compile(text)) return L"compile error: " + script.ErrorMsg() + L" at " + script.ErrorPos();
    script.Execute();
    return out;
  }

  TCounter counter;
  TPlain plain;
  TwzScript script;
  TwzClassVariable* counterClass = nullptr;
  String out;
};

struct ProgramCase {
  const wchar_t* name;
  const wchar_t* source;
  const wchar_t* printed;
};

TEST_F(ScriptPrograms, RunEndToEnd) {
  const ProgramCase cases[] = {
      {L"arithmetic",
       L"begin Print(1 + 2 * 3); Print((1 + 2) * 3); Print(7 div 2); Print(7 mod 3); Print(-5 + 2); "
       L"Print(7 / 2 = 3.5); Print(1 shl 4); Print(256 shr 2); Print(6 and 3); Print(6 or 3); Print(6 xor 3); "
       L"Print(10 - 2 - 3); Print(-2 * 3) end.",
       L"7;9;3;1;-3;True;16;64;2;7;5;5;-6;"},
      {L"comparisons and logic",
       L"begin Print(1 < 2); Print(2 <= 2); Print(3 > 4); Print(3 >= 4); Print(1 = 1); Print(1 <> 1); "
       L"Print(not (1 = 2)); Print((1 < 2) and (2 > 3)); Print((1 < 2) or (2 > 3)); Print((1 < 2) xor (2 < 3)); "
       L"Print(2 in [1, 2..5]); Print(9 in [1, 2..5]) end.",
       L"True;True;False;False;True;False;True;False;True;False;True;False;"},
      {L"strings",
       L"var s: String; c: Char; begin s := 'ab' + 'cd'; Print(s); Print(s[2]); s[1] := 'X'; Print(s); "
       L"Print('it''s'); Print('a' < 'b'); Print(#65#66); c := s[4]; Print(c); s := s + c; Print(s) end.",
       L"abcd;b;Xbcd;it's;True;AB;d;Xbcdd;"},
      {L"null",
       L"var v: Variant; begin Print(v = Null); v := 5; Print(v = Null); v := Null; Print(v) ; Print('<' + 'x' + '>') "
       L"end.",
       L"True;False;;<x>;"},
      {L"nested routines and var parameters",
       L"var total: Integer;\r\n"
       L"procedure AddTo(var acc: Integer; n: Integer);\r\n"
       L"  procedure Twice(var x: Integer); begin x := x * 2 end;\r\n"
       L"begin acc := acc + n; Twice(acc) end;\r\n"
       L"function Fact(n: Integer): Integer;\r\n"
       L"begin if n <= 1 then Result := 1 else Result := n * Fact(n - 1) end;\r\n"
       L"begin total := 1; AddTo(total, 2); Print(total); Print(Fact(5)); Answer := total end.",
       L"6;120;"},
      {L"routine called before its text", L"procedure A; begin B end; procedure B; begin Print('b') end; begin A end.",
       L"b;"},
      {L"initialised locals on every call",
       L"const K = 10;\r\nfunction Next: Integer; var c: Integer = 1; begin c := c + 1; Result := c + K end;\r\n"
       L"begin Print(Next); Print(Next) end.",
       L"12;12;"},
      {L"loops with break and continue",
       L"var i, s: Integer;\r\nbegin\r\n  s := 0;\r\n"
       L"  for i := 1 to 10 do begin if i = 3 then continue; if i = 6 then break; s := s + i end;\r\n"
       L"  Print(s); i := 0; while i < 100 do begin i := i + 1; if i >= 4 then break end; Print(i);\r\n"
       L"  i := 0; repeat i := i + 2 until i > 5; Print(i); for i := 3 downto 1 do Print(i)\r\nend.",
       L"12;4;6;3;2;1;"},
      {L"exit leaves the routine only",
       L"procedure P; var k: Integer; begin for k := 1 to 5 do begin if k = 3 then exit; Print(k) end; "
       L"Print('never') end; begin P; Print('after') end.",
       L"1;2;after;"},
      {L"try except and finally",
       L"begin\r\n  try Print('in'); Fail('boom'); Print('no') except Print(ExceptionClassName + ': ' + "
       L"ExceptionMessage) end;\r\n  try try Print('body') finally Print('finally') end; Fail('x') except "
       L"Print(ExceptionMessage) end\r\nend.",
       L"in;EConvertError: boom;body;finally;x;"},
      {L"case",
       L"var i: Integer; begin for i := 1 to 5 do case i of 1: Print('one'); 2, 3: Print('two-three'); 4: ; "
       L"else Print('other') end end.",
       L"one;two-three;two-three;other;other;"},
      {L"arrays",
       L"var a: array[1..3] of Integer; m: array[2, 2] of Integer; i, s: Integer;\r\n"
       L"begin for i := 1 to 3 do a[i] := i * 10; s := 0; for i := 1 to 3 do s := s + a[i]; Print(s); "
       L"m[1, 1] := 5; Print(m[1, 1] + a[2]) end.",
       L"60;25;"},
      {L"host object",
       L"begin Counter.Count := 5; Counter.Increment(2); Counter.Increment; Counter.Caption := 'c'; "
       L"Print(Counter.Count); Print(Counter.Describe); with Counter do begin Increment(10); Print(Count) end; "
       L"Print(Counter[3]) end.",
       L"8;c=8;18;54;"},
      {L"names compare ordinally",
       L"var Items, index: Integer; BEGIN ITEMS := 3; Index := 4; Print(items + INDEX); If items = 3 Then "
       L"Print('if') END.",
       L"7;if;"},
      {L"compound assignments",
       L"var x: Integer; s: String; begin x := 5; x := x + 2; x := x * 3; x := x - 1; Print(x); s := 'a'; "
       L"s := s + 'b'; Print(s) end.",
       L"20;ab;"},
      {L"appending to a text while the operand changes it",
       L"var s: String; v: Variant; i: Integer;\r\n"
       L"function Grow: String; begin s := s + '!'; Result := 'x' end;\r\n"
       L"function GrowV: String; begin v := v + '?'; Result := 'y' end;\r\n"
       L"begin s := 'a'; s := s + Grow; Print(s); v := 'b'; v := v + GrowV; Print(v); v := '1'; v := v + 1; "
       L"Print(v); s := 'ab'; s := s + s; Print(s); s := s + s[1]; Print(s); v := 'c'; v := v + 'd'; Print(v); "
       L"s := ''; for i := 1 to 3000 do s := s + 'xy'; Print(Length(s)); v := ''; "
       L"for i := 1 to 3000 do v := v + IntToStr(i mod 10); Print(Length(v)) end.",
       L"ax;by;2;abab;ababa;cd;6000;3000;"},
      {L"a result never assigned is the type's empty value at every call",
       L"function I(x: Integer): Integer; begin if x > 0 then Result := x end;\r\n"
       L"function S(x: Integer): String; begin if x > 0 then Result := 'set' end;\r\n"
       L"function B(x: Integer): Boolean; begin if x > 0 then Result := True end;\r\n"
       L"function F(x: Integer): Extended; begin if x > 0 then Result := 2.5 end;\r\n"
       L"function V(x: Integer): Variant; begin if x > 0 then Result := 'v' end;\r\n"
       L"begin Print(I(5)); Print(I(0)); Print(S(5)); Print(S(0)); Print(B(5)); Print(B(0)); Print(F(5) * 2); "
       L"Print(F(0)); Print(V(5)); Print(V(0)) end.",
       L"5;0;set;;True;False;5;0;v;;"},
  };
  for (const ProgramCase& c : cases) {
    script.ClearItems(nullptr);
    EXPECT_EQ(Run(c.source), c.printed) << c.name;
  }
}

// A recursive call saves the running level's locals and restores them when it returns, also when an exception
// leaves it and when the routine is entered again from a host handler; routines with and without text locals
// save in different ways, so the cases run with both kinds. A var parameter passed on by a level receives what
// the deeper calls left in it (it used to be overwritten by the level's own restore: total came out 31).
TEST_F(ScriptPrograms, RecursiveRoutinesKeepEachLevelsLocals) {
  const ProgramCase cases[] = {
      {L"locals, results and var parameters across nested calls",
       L"var total: Integer;\r\n"
       L"function Depth(n: Integer; var acc: Integer): Integer; var k: Integer; v: Variant;\r\n"
       L"begin k := n * 10; v := 'v' + IntToStr(n);\r\n"
       L"  if n > 0 then Result := Depth(n - 1, acc) + k else Result := 0;\r\n"
       L"  acc := acc + k; Print(IntToStr(n) + ':' + IntToStr(k) + ':' + v + ':' + IntToStr(Result)) end;\r\n"
       L"begin total := 1; Print(Depth(3, total)); Print(total) end.",
       L"0:0:v0:0;1:10:v1:10;2:20:v2:30;3:30:v3:60;60;61;"},
      {L"the same with a text local",
       L"var total: Integer;\r\n"
       L"function Depth(n: Integer; var acc: Integer): Integer; var k: Integer; t: String;\r\n"
       L"begin k := n * 10; t := 't' + IntToStr(n);\r\n"
       L"  if n > 0 then Result := Depth(n - 1, acc) + k else Result := 0;\r\n"
       L"  acc := acc + k; Print(IntToStr(n) + ':' + IntToStr(k) + ':' + t + ':' + IntToStr(Result)) end;\r\n"
       L"begin total := 1; Print(Depth(3, total)); Print(total) end.",
       L"0:0:t0:0;1:10:t1:10;2:20:t2:30;3:30:t3:60;60;61;"},
      {L"an exception unwinding through the levels",
       L"function R(n: Integer): Integer; var k: Integer; v: Variant;\r\n"
       L"begin k := n; v := n * 2; if n = 0 then Fail('bottom');\r\n"
       L"  try Result := R(n - 1) except Result := k * 100 + v end; Result := Result + k end;\r\n"
       L"begin Print(R(3)) end.",
       L"108;"},
      {L"an exception unwinding through the levels, with a text local",
       L"function R(n: Integer): Integer; var k: Integer; t: String;\r\n"
       L"begin k := n; t := IntToStr(n * 2); if n = 0 then Fail('bottom');\r\n"
       L"  try Result := R(n - 1) except Result := k * 100 + StrToInt(t) end; Result := Result + k end;\r\n"
       L"begin Print(R(3)) end.",
       L"108;"},
      {L"an exception leaving every level",
       L"var bad: Boolean;\r\n"
       L"function R(n: Integer): Integer; var k: Integer;\r\n"
       L"begin k := n; if n = 0 then begin if bad then Fail('deep'); Result := 0 end else Result := R(n - 1) + k end;\r\n"
       L"function Outer(n: Integer): Integer; var k: Integer;\r\n"
       L"begin k := n; try Result := R(n) except Result := -k end end;\r\n"
       L"begin bad := True; Print(Outer(4)); bad := False; Print(R(4)); Print(Outer(3)) end.",
       L"-4;10;6;"},
      {L"a routine entered again from a host handler",
       L"function P(n: Integer): Integer; var k: Integer; v: Variant;\r\n"
       L"begin k := n * 3; v := 'p' + IntToStr(n); if n > 0 then Result := Peek('P(n - 1)') + k else Result := 1;\r\n"
       L"  Print(IntToStr(n) + ':' + IntToStr(k) + ':' + v) end;\r\n"
       L"begin Print(P(2)) end.",
       L"0:0:p0;1:3:p1;2:6:p2;10;"},
  };
  for (const ProgramCase& c : cases) {
    script.ClearItems(nullptr);
    out.clear();
    if (!Compile(c.source)) {
      ADD_FAILURE() << c.name << ": " << script.ErrorMsg() << " at " << script.ErrorPos();
      continue;
    }
    try {
      script.Execute();
    } catch (const rtl::Exception& e) {
      out += L"raised " + e.Message() + L";";
    }
    EXPECT_EQ(out, c.printed) << c.name;
  }
}

// A host handler that calls a routine running already (the routine called the handler) leaves the running level's
// locals as they were, with and without text locals, and CallFunction1 still reads the var parameters back.
TEST_F(ScriptPrograms, RoutineCalledAgainByTheHostKeepsTheRunningLevelsLocals) {
  script.SetAddedBy(this);
  script.AddMethod(L"function Again(name: String; n: Integer): Integer",
                   [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                     return script.CallFunction(caller->GetVParam(0).AsString(),
                                                rtl::VarArrayOf({caller->GetVParam(1)}));
                   });
  script.AddMethod(L"function AgainVar(n: Integer): Integer",
                   [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                     Variant args = rtl::VarArrayOf({caller->GetVParam(0), Variant(0)});
                     script.CallFunction1(L"W", args);
                     return args.Element({1});
                   });
  script.SetAddedBy(nullptr);
  EXPECT_EQ(Run(L"function Q(n: Integer): Integer; var k: Integer; v: Variant;\r\n"
                L"begin k := n * 3; v := 'q' + IntToStr(n); if n > 0 then Result := Again('Q', n - 1) + k "
                L"else Result := 1;\r\n  Print(IntToStr(n) + ':' + IntToStr(k) + ':' + v) end;\r\n"
                L"function T(n: Integer): Integer; var k: Integer; t: String;\r\n"
                L"begin k := n * 3; t := 't' + IntToStr(n); if n > 0 then Result := Again('T', n - 1) + k "
                L"else Result := 1;\r\n  Print(IntToStr(n) + ':' + IntToStr(k) + ':' + t) end;\r\n"
                L"procedure W(n: Integer; var r: Integer); var k: Integer;\r\n"
                L"begin k := n * 5; if n > 0 then r := AgainVar(n - 1) + k else r := 1; "
                L"Print('w' + IntToStr(n) + ':' + IntToStr(k)) end;\r\n"
                L"var x: Integer;\r\nbegin Print(Q(2)); Print(T(2)); W(2, x); Print(x) end."),
            L"0:0:q0;1:3:q1;2:6:q2;10;0:0:t0;1:3:t1;2:6:t2;10;w0:0;w1:5;w2:10;16;");
}

TEST_F(ScriptPrograms, HostSeesWhatTheScriptLeaves) {
  EXPECT_EQ(Run(L"var n: Integer; begin n := 41; Answer := n + 1; Counter.Count := Answer end."), L"");
  EXPECT_EQ(script.GetVariable(L"Answer").AsInteger(), 42);
  EXPECT_EQ(script.GetVariable(L"N").AsInteger(), 41);
  EXPECT_EQ(counter.Count, 42);
  // Running again starts from the variables' current values.
  script.Execute();
  EXPECT_EQ(counter.Count, 42);
}

TEST_F(ScriptPrograms, ValueHandlerGivenAfterCompilingIsAsked) {
  ASSERT_TRUE(Compile(L"var n: Integer; begin n := 1; Answer := n + 1 end."));
  script.Execute();
  EXPECT_EQ(script.GetVariable(L"Answer").AsInteger(), 2);
  script.FindLocal(L"n")->SetOnGetVarValue([](const String&, TwzVarType, const Variant&) { return Variant(40); });
  script.Execute();
  EXPECT_EQ(script.GetVariable(L"Answer").AsInteger(), 41);
}

struct ErrorCase {
  const wchar_t* source;
  const wchar_t* message;
  const wchar_t* pos;
};

// Positions are those of the intermediate code: a name's is the position just after it.
TEST_F(ScriptPrograms, CompileErrorsWithPositions) {
  const ErrorCase cases[] = {
      {L"begin Print(Counter.Count[1]) end.", L"Array type required", L"1:27"},
      {L"begin Print(Plain[1]) end.", L"Class TPlain does not have a default property", L"1:19"},
      {L"begin\r\n  x := 1\r\nend.", L"Undeclared identifier: 'x'", L"2:4"},
      {L"var a: Integer;\r\n    a: String; begin end.", L"Identifier redeclared: 'a'", L"2:6"},
      {L"var s: String; begin for s := 1 to 2 do end.", L"For loop variable must be numeric variable", L"1:27"},
      {L"var i: Integer; begin i := 'x' end.", L"Incompatible types: 'Integer', 'String'", L"1:31"},
      {L"begin Counter.Nope end.", L"Undeclared identifier: 'Nope'", L"1:19"},
      {L"var i: Integer; begin i[1] := 2 end.", L"Array type required", L"1:25"},
      {L"var s: String; begin s.x := 1 end.", L"Strings doesn't have properties or methods", L"1:25"},
      {L"function F(a: Integer): Integer; begin Result := a end; begin Print(F(1, 2)) end.",
       L"Too many actual parameters", L"1:70"},
      {L"begin Print end.", L"Not enough actual parameters", L"1:12"},
      {L"begin Print( end.", L"')' expected", L"1:14"},
      {L"begin x := end.", L"Expression expected", L"1:12"},
      {L"var k: Foo; begin end.", L"Unknown type: 'Foo'", L"1:11"},
      {L"const C = 1; begin C := 2 end.", L"Left side cannot be assigned to", L"1:21"},
      {L"begin Counter.Increment('many') end.", L"Incompatible types: 'Integer', 'String'", L"1:31"},
      {L"begin if 1 + 'a' then end.", L"Incompatible types", L"1:13"},
      {L"var i: Integer; begin with i do end.", L"Class type required", L"1:29"},
      {L"begin Print(@Counter.Count) end.", L"Variable required", L"1:14"},
  };
  for (const ErrorCase& c : cases) {
    script.ClearItems(nullptr);
    EXPECT_FALSE(Compile(c.source)) << c.source;
    EXPECT_EQ(script.ErrorMsg(), c.message) << c.source;
    EXPECT_EQ(script.ErrorPos(), c.pos) << c.source;
  }
  // A failed compile leaves the program usable: the next one starts clean.
  script.Clear();
  Register();
  EXPECT_EQ(Run(L"begin Print('ok') end."), L"ok;");
  EXPECT_EQ(script.ErrorMsg(), L"");
  EXPECT_EQ(script.ErrorPos(), L"");
}

TEST_F(ScriptPrograms, LocalsMayShadowGlobals) {
  EXPECT_EQ(Run(L"var n: Integer; procedure P; var n: String; begin n := 'local'; Print(n) end; "
                L"begin n := 1; P; Print(n) end."),
            L"local;1;");
}

TEST_F(ScriptPrograms, AddressOfARoutineIsItsName) {
  EXPECT_EQ(Run(L"procedure Handler; begin end; begin Print(@Handler) end."), L"Handler;");
}

TEST_F(ScriptPrograms, ExecutableLines) {
  ASSERT_TRUE(Compile(L"var i: Integer;\r\nbegin\r\n  // nothing here\r\n  i := 1;\r\n\r\n  Print(i)\r\nend."));
  EXPECT_TRUE(script.IsExecutableLine(4, L""));
  EXPECT_TRUE(script.IsExecutableLine(6, L""));
  EXPECT_FALSE(script.IsExecutableLine(3, L""));
  EXPECT_FALSE(script.IsExecutableLine(5, L""));
  EXPECT_FALSE(script.IsExecutableLine(4, L"OtherUnit"));
}

TEST_F(ScriptPrograms, UnitsFromTheHandler) {
  script.SetOnGetUnit([](TwzScript*, const String& unitName, String& text) {
    if (wzSameName(unitName, L"Helpers"))
      text = L"function Twice(x: Integer): Integer; begin Result := x * 2 end; begin Print('unit') end.";
  });
  EXPECT_EQ(Run(L"uses 'Helpers'; begin Print(Twice(21)) end."), L"unit;42;");
  script.ClearItems(nullptr);
  EXPECT_FALSE(Compile(L"uses 'Helpers';\r\nbegin Print(Twice('x')) end."));
  EXPECT_EQ(script.ErrorMsg(), L"Incompatible types: 'Integer', 'String'");
}

TEST_F(ScriptPrograms, TerminateStopsAProcedureAndTheProgram) {
  script.SetAddedBy(this);
  script.AddMethod(L"procedure Stop", [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
    script.Terminate();
    return Variant::Null();
  });
  script.SetAddedBy(nullptr);
  EXPECT_EQ(Run(L"procedure Loop; var i: Integer; begin for i := 1 to 10 do begin Print(i); if i = 2 then Stop end "
                L"end; begin Loop; Print('after') end."),
            L"1;2;");
  // The flags are reset: the next run goes through.
  out.clear();
  script.Execute();
  EXPECT_EQ(out, L"1;2;");
}

TEST_F(ScriptPrograms, CallFunctionWithVarParameters) {
  ASSERT_TRUE(
      Compile(L"function Sum(a, b: Integer): Integer; begin Result := a + b end;\r\n"
              L"procedure Swap(var x, y: Variant); var t: Variant; begin t := x; x := y; y := t end;\r\n"
              L"begin end."));
  EXPECT_EQ(script.CallFunction(L"Sum", rtl::VarArrayOf({Variant(2), Variant(3)})).AsInteger(), 5);
  EXPECT_EQ(script.CallFunction(L"sum", rtl::VarArrayOf({Variant(7), Variant(8)})).AsInteger(), 15);
  EXPECT_TRUE(script.CallFunction(L"Missing", Variant::Null()).IsNull());
  EXPECT_TRUE(script.CallFunction(L"Answer", Variant::Null()).IsNull());
  Variant args = rtl::VarArrayOf({Variant(L"a"), Variant(L"b")});
  script.CallFunction1(L"Swap", args);
  EXPECT_EQ(args.Element({0}).AsString(), L"b");
  EXPECT_EQ(args.Element({1}).AsString(), L"a");
  EXPECT_THROW(script.CallFunction(L"Sum", rtl::VarArrayOf({Variant(1), Variant(2), Variant(3)})), rtl::EListError);
}

TEST_F(ScriptPrograms, EvaluateFromTheHost) {
  ASSERT_TRUE(Compile(L"var n: Integer; procedure P(n: Integer); begin Print(Peek('n * 10')) end; begin n := 1 end."));
  script.Execute();
  EXPECT_EQ(script.Evaluate(L"2 * 3").AsInteger(), 6);
  EXPECT_FALSE(script.EvaluteRiseError());
  EXPECT_EQ(script.Evaluate(L"n * 10").AsInteger(), 10);
  // The same text again reads the current values, not those of its first evaluation.
  script.SetVariable(L"n", Variant(4));
  EXPECT_EQ(script.Evaluate(L"n * 10").AsInteger(), 40);
  // Seen from inside a routine, the routine's own names win over the cached global reading.
  out.clear();
  script.CallFunction(L"P", rtl::VarArrayOf({Variant(7)}));
  EXPECT_EQ(out, L"70;");
  EXPECT_EQ(script.Evaluate(L"n * 10").AsInteger(), 40);

  const Variant bad = script.Evaluate(L"1 +");
  EXPECT_TRUE(script.EvaluteRiseError());
  EXPECT_EQ(bad.AsString(), L"';' expected");
  EXPECT_EQ(script.Evaluate(L"Counter.Describe").AsString(), L"=0");
  EXPECT_THROW(script.Evaluate(L"Fail('run')"), rtl::EConvertError);
}

TEST_F(ScriptPrograms, EvaluationsSurviveRecompiling) {
  ASSERT_TRUE(Compile(L"var n: Integer; begin n := 5 end."));
  script.Execute();
  EXPECT_EQ(script.Evaluate(L"n + 1").AsInteger(), 6);
  // The variable the cached evaluation read is freed; the next evaluation must not reach it.
  script.ClearItems(nullptr);
  ASSERT_TRUE(Compile(L"var n: Integer; begin n := 9 end."));
  script.Execute();
  EXPECT_EQ(script.Evaluate(L"n + 1").AsInteger(), 10);
}

TEST_F(ScriptPrograms, Registration) {
  // A second registration of a checked name registers nothing.
  script.AddConst(L"Limit", L"Integer", Variant(3));
  script.AddVariable(L"limit", L"Integer", Variant(9));
  EXPECT_EQ(script.GetVariable(L"LIMIT").AsInteger(), 3);
  EXPECT_EQ(script.AddClass(TCounter::StaticClass(), L"TPersistent"), nullptr);
  // Writing an unknown name makes a Variant variable here.
  script.SetVariable(L"Fresh", Variant(7));
  EXPECT_EQ(script.GetVariable(L"fresh").AsInteger(), 7);
  // A value the type cannot take is refused before anything is registered.
  EXPECT_THROW(script.AddConst(L"Bad", L"Integer", Variant(L"x")), rtl::Exception);
  EXPECT_EQ(script.FindLocal(L"Bad"), nullptr);
  // The newest method of a name wins.
  script.AddMethod(L"function Pick: Integer",
                   [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper*) { return Variant(1); });
  script.AddMethod(L"function Pick: Integer",
                   [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper*) { return Variant(2); });
  EXPECT_EQ(Run(L"begin Print(Pick) end."), L"2;");
  script.AddEnum(L"TShade", L"shLight, shDark");
  script.AddEnumSet(L"TFlags", L"fA,fB,fC");
  EXPECT_EQ(script.GetVariable(L"shDark").AsInteger(), 1);
  EXPECT_EQ(script.GetVariable(L"fC").AsInteger(), 4);
  EXPECT_THROW(script.AddObject(L"None", nullptr), rtl::Exception);
}

TEST_F(ScriptPrograms, ClearKeepsTheBindingModules) {
  ASSERT_TRUE(Compile(L"var x: Integer; begin x := 1 end."));
  script.Clear();
  EXPECT_EQ(script.FindLocal(L"x"), nullptr);
  EXPECT_EQ(script.FindLocal(L"Counter"), nullptr);
  EXPECT_NE(script.FindLocal(L"Integer"), nullptr);
  script.AddRTTI();  // once per program: nothing twice
  int integers = 0;
  for (int i = 0; i < script.Count(); ++i) integers += wzSameName(script.ItemName(i), L"Integer") ? 1 : 0;
  EXPECT_EQ(integers, 1);
  script.ClearRTTI();
  EXPECT_EQ(script.FindLocal(L"Integer"), nullptr);
}

TEST_F(ScriptPrograms, IntermediateCodeRoundTrip) {
  script.SetText(L"var i: Integer; begin for i := 1 to 3 do Print(i) end.");
  rtl::TMemoryStream code;
  ASSERT_TRUE(script.GetILCode(code));
  EXPECT_EQ(script.FindLocal(L"i"), nullptr);  // nothing built
  code.SetPosition(0);
  ASSERT_TRUE(script.SetILCode(code));
  out.clear();
  script.Execute();
  EXPECT_EQ(out, L"1;2;3;");
}

TEST_F(ScriptPrograms, LateBindingThroughAVariant) {
  ASSERT_TRUE(Compile(L"var o: Variant; begin o := Counter; o.Increment(3); Print(o.Count) end."));
  out.clear();
  script.Execute();
  EXPECT_EQ(out, L"3;");
  EXPECT_EQ(counter.Count, 3);
}

}  // namespace

TEST_F(ScriptPrograms, WithOverAVariantBindsMembersWhenItRuns) {
  EXPECT_EQ(Run(L"var o: Variant; begin o := Counter; with o do begin Increment(2); Print(Count); Print('plain') end; "
                L"with Plain do Print(Size) end."),
            L"2;plain;3;");
  // Bound once, the path keeps working on later runs.
  out.clear();
  script.Execute();
  EXPECT_EQ(out, L"4;plain;3;");
}

TEST_F(ScriptPrograms, LateBoundMemberThatDoesNotExistFailsWhenItRuns) {
  ASSERT_TRUE(Compile(L"var o: Variant; begin o := Plain; o.Missing end."));
  try {
    script.Execute();
    FAIL() << "no error";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Undeclared identifier: 'Missing'");
  }
  ASSERT_TRUE(Compile(L"var p: Variant; begin p.Anything end."));
}

TEST_F(ScriptPrograms, LineHookSeesEveryStatementButNotEvaluations) {
  std::vector<String> seen;
  script.SetOnRunLine(
      [&seen](TwzScript*, const String& unit, const String& pos) { seen.push_back(unit + L"@" + pos); });
  EXPECT_EQ(Run(L"begin\r\n  Print(1);\r\n  Print(2)\r\nend."), L"1;2;");
  EXPECT_EQ(seen, (std::vector<String>{L"@2:3", L"@3:3"}));
  seen.clear();
  EXPECT_EQ(script.Evaluate(L"1 + 1").AsInteger(), 2);
  EXPECT_TRUE(seen.empty());
  ASSERT_TRUE(script.OnRunLine());
}

TEST_F(ScriptPrograms, UnknownLanguageRaises) {
  script.SetSyntaxType(L"Klingon");
  script.SetText(L"begin end.");
  EXPECT_THROW(script.Compile(), rtl::Exception);
}
