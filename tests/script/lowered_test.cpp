// The lower form compiling makes against the trees it was made from: the same programs run both ways must print
// the same, leave the same values of the same variant types, call the line hook at the same places in the same
// order, and fail with the same exception at the same statement.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_hostclasses.h"
#include "script/wz_lowered.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace wzlowertest {

class TGauge : public rtl::TPersistent {
  VCL_CLASS(TGauge, rtl::TPersistent)
 public:
  int Level = 0;
  String Caption;
};

VCL_REGISTER(TGauge) {
  cls.Prop(L"Level", &TGauge::Level);
  cls.Prop(L"Caption", &TGauge::Caption);
}

}  // namespace wzlowertest

using wzlowertest::TGauge;

namespace {

const wchar_t* const kPascal = L"ZuvizaVuruze";
const wchar_t* const kCpp = L"R++Aradod";
const wchar_t* const kBasic = L"DizizOzazoz";
const wchar_t* const kJs = L"JScript";

// Everything a run shows: what it printed, the line hook's calls, the error that ended it and the values left.
String Describe(const Variant& v) {
  if (v.IsNull()) return L"Null";
  if (v.IsEmpty()) return L"Empty";
  return rtl::VarToStr(v) + L":" + rtl::IntToStr(static_cast<int>(v.VarType()));
}

class LoweredAndTrees : public ::testing::Test {
 protected:
  ~LoweredAndTrees() override { wzSetLoweringEnabled(keep); }

  // Compiles and runs text with the lower form on or off.
  String RunOnce(const wchar_t* language, const String& text, bool lowered, const std::vector<const wchar_t*>& vars,
                 int stopAtHookCall) {
    wzSetLoweringEnabled(lowered);
    TGauge gauge;
    TwzScript script;
    String out, hooks;
    int hookCalls = 0;
    script.AddRTTI();
    script.AddMethod(L"procedure Print(v: Variant)",
                     [&out](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       out += Describe(caller->GetVParam(0)) + L";";
                       return Variant::Null();
                     });
    script.AddMethod(L"procedure Fail(msg: String)",
                     [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) -> Variant {
                       throw rtl::EConvertError(caller->GetVParam(0).AsString());
                     });
    script.AddMethod(L"function Peek(text: String): Variant",
                     [&script](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       return script.Evaluate(caller->GetVParam(0).AsString());
                     });
    script.AddClass(TGauge::StaticClass(), L"TPersistent");
    script.AddObject(L"Gauge", &gauge);
    script.AddVariable(L"Answer", L"Variant", Variant::Null());
    script.SetOnRunLine([&](TwzScript*, const String& unit, const String& pos) {
      hooks += unit + L"@" + pos + L" ";
      if (++hookCalls == stopAtHookCall) script.Terminate();
    });
    script.SetSyntaxType(language);
    script.SetText(text);
    if (!script.Compile()) return L"compile error: " + script.ErrorMsg() + L" at " + script.ErrorPos();
    String error;
    try {
      script.Execute();
    } catch (const rtl::Exception& e) {
      error = e.ClassName() + L": " + e.Message();
    }
    String values;
    for (const wchar_t* name : vars) values += String(name) + L"=" + Describe(script.GetVariable(name)) + L" ";
    return L"printed " + out + L"\nerror " + error + L"\nvalues " + values + L"\ngauge " + rtl::IntToStr(gauge.Level) +
           L" " + gauge.Caption + L"\nhooks " + hooks;
  }

  void Same(const wchar_t* language, const wchar_t* name, const String& text,
            const std::vector<const wchar_t*>& vars = {}, int stopAtHookCall = 0) {
    const String lowered = RunOnce(language, text, true, vars, stopAtHookCall);
    const String trees = RunOnce(language, text, false, vars, stopAtHookCall);
    EXPECT_EQ(lowered, trees) << name;
    EXPECT_EQ(lowered.find(L"compile error"), String::npos) << name << "\n" << lowered;
  }

  const bool keep = wzLoweringEnabled();
};

TEST_F(LoweredAndTrees, ExpressionsGiveTheSameValuesAndTypes) {
  Same(kPascal, L"integer edges and wide results",
       L"var a, b: Integer; w: Int64; v: Variant;\r\nbegin\r\n"
       L"  a := 2147483647; b := 1; v := a + b; Print(v); v := -a - 2; Print(v); v := a * a; Print(v);\r\n"
       L"  v := (a - b) + b; Print(v); v := a div 2; Print(v); v := -7 mod 3; Print(v); v := 7 / 2; Print(v); w := a; "
       L"w := w + 1; Print(w);\r\n"
       L"  v := -a; Print(v); v := 1 shl 40; Print(v); v := 5 xor 3; Print(v); v := (a > b) = (b < a); Print(v)\r\n"
       L"end.",
       {L"a", L"b", L"w", L"v"});
  Same(kPascal, L"remainders by constant divisors",
       L"var a, i: Integer; v, n: Variant; f: Extended;\r\nbegin\r\n"
       L"  for i := -9 to 9 do begin Print(i mod 2); Print(i mod 7); Print((i * 3 + 1) mod 4) end;\r\n"
       L"  a := 2147483647; Print(a mod 2); Print(a mod 10); Print(a mod 65537); Print(a mod 2147483647);\r\n"
       L"  a := -2147483647 - 1; Print(a mod 2); Print(a mod 10); Print(a mod 7); Print(a mod 2147483647);\r\n"
       L"  a := 1000003; Print(a mod 1000); Print((-a) mod 13); Print(a mod 1); Print(a mod (-7));\r\n"
       L"  n := Null; v := n mod 3; Print(v); v := '17'; v := v mod 5; Print(v); f := 17.9; v := f mod 5; Print(v);\r\n"
       L"  v := 7; v := v * 2147483647; v := v mod 9; Print(v)\r\n"
       L"end.",
       {L"a", L"i", L"v", L"n", L"f"});
  Same(kPascal, L"variants, Null and texts",
       L"var v, n: Variant; s: String; f: Extended; i: Integer;\r\nbegin\r\n"
       L"  n := Null; v := n + 1; Print(v); Print(n = Null); Print(n < 1); Print(1 > n); Print(n <> n);\r\n"
       L"  v := '12'; v := v + 3; Print(v); s := 'a' + 'b'; s := s + v; Print(s); f := 1; f := f / 4; Print(f);\r\n"
       L"  i := 3; f := i * 1.5; Print(f); v := 'x'; v := v + 1.5 * 0; Print(v); v := 7.6; i := v; Print(i);\r\n"
       L"  v := True; Print(v and (1 < 2)); Print((1 > 2) or v); Print(not v); Print(-(2.5))\r\n"
       L"end.",
       {L"v", L"n", L"s", L"f", L"i"});
  Same(kPascal, L"short circuits run their right side only when needed",
       L"var calls: Integer;\r\n"
       L"function T(x: Boolean): Boolean; begin calls := calls + 1; Result := x end;\r\n"
       L"begin calls := 0; if T(False) and T(True) then Print('no'); if T(True) or T(False) then Print('yes');\r\n"
       L"  Print(calls); Answer := T(True) and T(False); Print(Answer); Print(calls) end.",
       {L"calls", L"Answer"});
  Same(kPascal, L"a left operand read before a call on the right changes it",
       L"var x: Integer;\r\nfunction Bump: Integer; begin x := x + 10; Result := 1 end;\r\n"
       L"begin x := 1; Print(x + Bump); Print(x - Bump); Print(x < Bump); Print(x); x := x + Bump; Print(x) end.",
       {L"x"});
}

TEST_F(LoweredAndTrees, RoutinesAndStatementsBehaveAlike) {
  Same(kPascal, L"recursion with locals, var parameters and results",
       L"var total: Integer;\r\n"
       L"function Fib(n: Integer): Integer; begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2) "
       L"end;\r\n"
       L"procedure Walk(n: Integer; var acc: Integer); var k: Integer;\r\n"
       L"begin k := n * 2; if n > 0 then Walk(n - 1, acc); acc := acc + k end;\r\n"
       L"function Never(n: Integer): String; begin if n > 0 then Result := 'set' end;\r\n"
       L"begin Print(Fib(12)); total := 0; Walk(4, total); Print(total); Print(Never(1)); Print(Never(0)) end.",
       {L"total"});
  Same(kPascal, L"loops, break, continue, exit and case",
       L"var i, j, s: Integer; v: Variant;\r\n"
       L"procedure P; var k: Integer; begin for k := 1 to 9 do begin if k = 4 then exit; Print(k) end end;\r\n"
       L"begin s := 0;\r\n"
       L"  for i := 1 to 10 do begin if i mod 3 = 0 then continue; if i > 8 then break; s := s + i end;\r\n"
       L"  for i := 5 downto 1 do s := s * 2 - i; Print(s); i := 0;\r\n"
       L"  while True do begin i := i + 1; if i > 5 then break end; repeat i := i - 2 until i < 0; Print(i);\r\n"
       L"  for i := 1 to 6 do case i mod 4 of 0: Print('zero'); 1, 2: Print('low'); else Print('else') end;\r\n"
       L"  P; j := 0; for i := 3 to 1 do j := 1; Print(j); v := 1; v := v * 2; v := v - 0.5; v := v / 2; Print(v)\r\n"
       L"end.",
       {L"i", L"j", L"s", L"v"});
  Same(kPascal, L"host objects and evaluations",
       L"var n: Integer;\r\nbegin Gauge.Level := 3; Gauge.Level := Gauge.Level + 4; Gauge.Caption := 'g';\r\n"
       L"  n := Gauge.Level; Print(n); Print(Peek('n * 2')); Answer := Peek('Gauge.Level + n') end.",
       {L"n", L"Answer"});
}

TEST_F(LoweredAndTrees, ErrorsStopAtTheSameStatement) {
  Same(kPascal, L"division by zero inside a routine",
       L"var i, z: Integer;\r\nfunction D(x: Integer): Integer;\r\nbegin\r\n  Result := 10 div x\r\nend;\r\n"
       L"begin\r\n  z := 0;\r\n  for i := 3 downto 0 do\r\n    Print(D(i))\r\nend.",
       {L"i", L"z"});
  Same(kPascal, L"errors caught, finally parts and a conversion error",
       L"var i: Integer; v: Variant;\r\nbegin\r\n"
       L"  try Fail('one') except Print(ExceptionClassName + ' ' + ExceptionMessage) end;\r\n"
       L"  try try i := 1 div 0 finally Print('fin') end except Print(ExceptionMessage) end;\r\n"
       L"  v := 'abc';\r\n  i := v\r\nend.",
       {L"i", L"v"});
  Same(kPascal, L"an operator on values it cannot combine",
       L"var v: Variant;\r\nbegin\r\n  v := VarArrayCreate([0, 1], 12);\r\n  v := v + 1\r\nend.", {});
}

TEST_F(LoweredAndTrees, TerminatingFromTheLineHook) {
  const wchar_t* text =
      L"var i, s: Integer;\r\nprocedure Add(n: Integer);\r\nbegin\r\n  s := s + n\r\nend;\r\n"
      L"begin\r\n  s := 0;\r\n  for i := 1 to 5 do\r\n  begin\r\n    Add(i);\r\n    Print(s)\r\n  end\r\nend.";
  for (int stop : {1, 3, 4, 7, 12}) Same(kPascal, L"stopped", text, {L"i", L"s"}, stop);
}

TEST_F(LoweredAndTrees, TheOtherLanguages) {
  Same(kCpp, L"R++Aradod",
       L"int total = 1;\r\nint fib(int n) { if (n < 2) return n; return fib(n - 1) + fib(n - 2); }\r\n"
       L"void addTo(int &acc, int n = 3) { acc += n; }\r\n"
       L"{\r\n  int i, s = 0;\r\n  for (i = 1; i <= 10; i++) { if (i == 3) continue; if (i == 6) break; s += i; }\r\n"
       L"  addTo(total, s); Print(total); Print(fib(10)); i = 0; do i += 2; while (i < 5); Print(i);\r\n"
       L"  switch (i) { case 6: Print(\"six\"); default: Print(\"other\"); }\r\n"
       L"  try { Fail(\"x\"); } except { Print(ExceptionMessage); }\r\n}",
       {L"total"});
  Same(kBasic, L"DizizOzazoz",
       L"Function Twice(x As Integer) As Integer\r\n  Return x * 2\r\nEnd Function\r\n"
       L"s = 0\r\nFor i = 1 To 10\r\n  If i = 3 Then Continue\r\n  If i = 6 Then Break\r\n  s += i\r\nNext\r\n"
       L"For i = 10 To 1 Step -4\r\n  s = s + Twice(i)\r\nNext\r\n"
       L"Do\r\n  s = s - 7\r\nLoop Until s < 0\r\nPrint(s) : Print(\"a\" & s & Null)\r\n",
       {L"s", L"i"});
  Same(kJs, L"JScript",
       L"function sq(x) { return x * x; }\r\nvar a = 7, b = 2, s = 0;\r\n"
       L"for (var k = 0; k < 5; k++) { s += sq(k) % a; }\r\nPrint(s); Print((a == 7) && (b != 2)); "
       L"Print(a + \"x\" + b);\r\nwhile (s > 0) { s -= b; }\r\nPrint(s)",
       {L"s"});
}

}  // namespace
