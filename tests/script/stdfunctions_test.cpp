// The standard functions, built-in types and constants as scripts see them: programs compiled and run with what they
// print, under Turkish number and date conventions, and bad arguments that must end as script errors.
#include <gtest/gtest.h>

#include <utility>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/variant.h"
#include "script/wz_hostclasses.h"
#include "script/wz_isysrtti.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

// Turkish conventions, pinned so that the results do not depend on the machine's locale.
rtl::TFormatSettings TurkishSettings() {
  rtl::TFormatSettings fs = rtl::TFormatSettings::FromLocale(L"tr-TR");
  fs.DecimalSeparator = L',';
  fs.ThousandSeparator = L'.';
  fs.DateSeparator = L'.';
  fs.TimeSeparator = L':';
  fs.ShortDateFormat = L"dd.MM.yyyy";
  fs.LongTimeFormat = L"HH:mm:ss";
  fs.ShortTimeFormat = L"HH:mm";
  return fs;
}

class StandardFunctions : public ::testing::Test {
 protected:
  StandardFunctions() : saved(rtl::FormatSettings) {
    rtl::FormatSettings = TurkishSettings();
    script.AddRTTI();
    script.SetAddedBy(this);
    script.AddMethod(L"procedure Print(v: Variant)",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       out += rtl::VarToStr(caller->GetVParam(0)) + L";";
                       return Variant::Null();
                     });
    script.SetAddedBy(nullptr);
  }
  ~StandardFunctions() override { rtl::FormatSettings = saved; }

  // Compiles and runs; what the program printed, or the compiler's message.
  String Run(const String& text) {
    out.clear();
    script.ClearItems(nullptr);
    script.SetText(text);
    if (!script.Compile()) return L"compile error: " + script.ErrorMsg() + L" at " + script.ErrorPos();
    script.Execute();
    return out;
  }

  rtl::TFormatSettings saved;
  TwzScript script;
  String out;
};

struct ProgramCase {
  const wchar_t* name;
  const wchar_t* source;
  const wchar_t* printed;
};

TEST_F(StandardFunctions, ProgramsPrintTheirResults) {
  const ProgramCase cases[] = {
      {L"formatting",
       L"var a: Variant;\r\n"
       L"begin Print(Format('%d-%s-%.2f', [7, 'ab', 1.5])); Print(Format('%5s|%-3d|', ['x', 4])); "
       L"a := VarArrayCreate([0, 1], varVariant); a[0] := 'v'; a[1] := 2; Print(Format('%s%d', a)); "
       L"Print(FormatFloat('#,##0.00', 1234.5)); Print(FormatFloat('0.0', -0.25)); Print(IntToStr(-42)); "
       L"Print(FloatToStr(2.5)); Print(FloatToStr(1 / 3)); Print(BoolToStr(True)); Print(BoolToStr(False)); "
       L"Print(FormatMaskText('!000-0000;0;_', '5551234'));\r\n"
       L"  Print(FormatDateTime('d mmmm yyyy dddd', EncodeDate(2024, 2, 29))) end.",
       L"7-ab-1,50;    x|4  |;v2;"
       L"1.234,50;-0,3;-42;2,5;0,333333333333333;-1;0;555-1234;29 \u015eubat 2024 Per\u015fembe;"},
      {L"conversions from text",
       L"begin Print(StrToInt('12') + 1); Print(StrToInt64('5000000000') * 2); Print(StrToFloat('1,5') * 2); "
       L"Print(StrToBool('true')); Print(StrToBool('0')); Print(VarType(StrToDate('01.02.2024'))); "
       L"Print(DateToStr(StrToDate('1.2.2024'))); Print(TimeToStr(StrToTime('13:05:09'))) end.",
       L"13;10000000000;3;True;False;7;01.02.2024;13:05:09;"},
      {L"dates",
       L"var y, m, d, h, n, s, ms: Word; dt: TDateTime;\r\n"
       L"begin dt := EncodeDate(2024, 2, 29); DecodeDate(dt + 1, y, m, d); Print(y); Print(m); Print(d);\r\n"
       L"  Print(FormatDateTime('dd.mm.yyyy', dt)); Print(DayOfWeek(dt)); Print(DateToStr(dt));\r\n"
       L"  Print(VarType(EncodeDate(2024, 1, 1))); Print(DaysInMonth(2000, 2)); Print(DaysInMonth(1900, 2));\r\n"
       L"  Print(IsLeapYear(2024)); Print(IsLeapYear(2100)); "
       L"Print(FormatDateTime('hh:nn', EncodeTime(13, 5, 0, 0)));\r\n"
       L"  DecodeTime(EncodeTime(23, 59, 58, 250), h, n, s, ms); Print(h); Print(n); Print(s); Print(ms);\r\n"
       L"  Print(DateTimeToStr(EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 0)));\r\n"
       L"  Print(Trunc(Date) = Date); Print(Now >= Date) end.",
       L"2024;3;1;29.02.2024;5;29.02.2024;7;29;28;True;False;13:05;23;59;58;250;02.01.2024 03:04:05;True;True;"},
      {L"strings",
       L"var s: String;\r\n"
       L"begin Print(Copy('abcdef', 2, 3)); Print('<' + Copy('abc', 5, 2) + '>'); Print(Copy('abc', 2, 99));\r\n"
       L"  Print(Pos('cd', 'abcdef')); Print(Pos('C', 'abc')); Print(Length('hello')); Print(Length(12345));\r\n"
       L"  Print('<' + Trim('  a b' + #9) + '>'); s := 'abcdef'; Delete(s, 2, 2); Print(s); Insert('XY', s, 2);\r\n"
       L"  Print(s); DeleteStr(s, 1, 100); Print('<' + s + '>'); Print(NameCase('ali  veli-can o''NEAL'));\r\n"
       L"  Print(Chr(65) + Chr(97) + Chr(65536 + 66)); Print(Ord('A')); Print(Ord('abc')); "
       L"Print(VarType(Ord('A')));\r\n"
       L"  Print(CompareText('abc', 'ABC')); Print(CompareText('a', 'b') < 0); Print(Uppercase('abc'));\r\n"
       L"  Print(Lowercase('ABC')); s := 'abcdef'; SetLength(s, 2); Print(s); SetLength(s, 4); "
       L"Print('<' + s + '>')\r\n"
       L"end.",
       L"bcd;<>;bc;3;0;5;5;<a b>;adef;aXYdef;<>;Ali  Veli-can O'neal;AaB;65;97;18;0;True;ABC;abc;ab;<ab  >;"},
      {L"maths",
       L"var v: Variant;\r\n"
       L"begin Print(Round(2.5)); Print(Round(3.5)); Print(Round(-2.5)); Print(Round(2.51)); Print(Trunc(-3.7));\r\n"
       L"  Print(Int(3.7)); Print(VarType(Int(3.7))); Print(Frac(-3.25)); Print(Abs(-4)); Print(Abs(-1.5));\r\n"
       L"  Print(Sqrt(16)); v := '16'; Print(Sqrt(v)); Print(Tan(0)); Print(Sin(0)); Print(Cos(0)); "
       L"Print(ArcTan(0));\r\n"
       L"  Print(Round(Ln(Exp(2)) * 1000)); Print(Round(Pi * 10000)); Print(Round(3000000000.0));\r\n"
       L"  Print(Trunc(-3000000000.5)); v := True; Print(Round(v)); Print(Exp(0)) end.",
       L"2;4;-2;3;-3;3;5;-0,25;4;1,5;4;4;0;0;1;0;2000;31416;3000000000;-3000000000;-1;1;"},
      {L"variants",
       L"var a: Variant;\r\n"
       L"begin Print('<' + VarToStr(Null) + '>'); Print(VarToStr(12)); Print(VarType(Null)); "
       L"Print(VarType('x'));\r\n"
       L"  Print(VarType(Null) = varNull); a := VarArrayCreate([0, 2], varVariant);\r\n"
       L"  a[0] := 'x'; a[2] := 5; Print(Length(a)); Print(VarType(a) = varArray + varVariant); "
       L"Print(a[0] + 'y');\r\n"
       L"  SetLength(a, 5); Print(Length(a)); Print(a[2]); SetLength(a, 0); Print(Length(a));\r\n"
       L"  a := VarArrayCreate([1, 2, 0, 3], varInteger); Print(VarType(a) = varArray + varInteger) end.",
       L"<>;12;1;258;True;3;True;xy;5;5;0;True;"},
      {L"built-in constants and types",
       L"var b: Byte; w: Word; c: Cardinal; l: Longint; i64: Int64; r: Real; sg: Single; db: Double; "
       L"cur: Currency;\r\n"
       L"  d: TDate; t: TTime; dt: TDateTime; ch: Char; p: Pointer; col: TColor; ac: TAlphaColor; ok: Boolean;\r\n"
       L"begin b := 200; w := 60000; c := 7; l := -7; i64 := 5000000000; r := 1.5; sg := 0.5; db := 2.25;\r\n"
       L"  cur := 3; d := 1; t := 0.5; dt := 1.5; ch := 'z'; p := nil; col := 255; ac := 1; ok := not False;\r\n"
       L"  Print(b + w + c + l); Print(i64); Print(r + sg + db + cur + d + t + dt); Print(ch); Print(p); "
       L"Print(col);\r\n"
       L"  Print(ac); Print(ok); Print(True); Print(False); Print(nil); Print(Null = Null);\r\n"
       L"  Print(varEmpty + varNull + varSmallint + varInteger + varSingle + varDouble + varCurrency + varDate);\r\n"
       L"  Print(varOleStr + varDispatch + varError + varBoolean + varVariant + varUnknown + varShortInt);\r\n"
       L"  Print(varByte + varWord + varLongWord + varInt64 + varStrArg); Print(varString); Print(varAny);\r\n"
       L"  Print(varTypeMask); Print(varArray); Print(varByRef) end.",
       L"60200;5000000000;10,25;z;0;255;1;True;True;False;0;True;28;79;146;256;257;4095;8192;16384;"},
      {L"other functions",
       L"var i: Integer; v: Variant;\r\n"
       L"begin i := 5; Inc(i); Inc(i, 10); Dec(i); Dec(i, 3); Print(i); Print(ValidInt('12')); "
       L"Print(ValidInt(''));\r\n"
       L"  Print(ValidInt('1,5')); Print(ValidFloat('1,5')); Print(ValidFloat('x')); "
       L"Print(ValidDate('31.12.2024'));\r\n"
       L"  Print(ValidDate('31.02.2024')); v := EncodeDate(2024, 5, 6); Print(ValidDate(v));\r\n"
       L"  Print(ExtractFilePath('C:\\dir\\file.txt')); Randomize; Print((Random >= 0) and (Random < 1));\r\n"
       L"  try RaiseException('stop here') except Print(ExceptionClassName + ': ' + ExceptionMessage) end end.",
       L"12;True;False;False;True;False;True;False;True;C:\\dir\\;True;Exception: stop here;"},
  };
  for (const ProgramCase& c : cases) {
    try {
      const String printed = Run(c.source);
      EXPECT_EQ(printed, c.printed) << rtl::UTF8Encode(c.name);
    } catch (const rtl::Exception& e) {
      ADD_FAILURE() << rtl::UTF8Encode(String(c.name) + L": " + e.ClassName() + L": " + e.Message());
    }
  }
}

TEST_F(StandardFunctions, NamesResolveOrdinallyUnderAnyLocale) {
  EXPECT_EQ(Run(L"begin Print(UPPERCASE('x')); Print(uppercase('y')); "
                L"Print(inttostr(1)); PRINT(STRTOINT('2')); "
                L"Print(VARTYPE(NULL) = VARNULL); Print(TRUE) end."),
            L"X;Y;1;2;True;True;");
}

// Bad arguments are normal input: each ends as an exception the script can catch, with the class it names.
TEST_F(StandardFunctions, BadArgumentsAnswerScriptErrors) {
  struct BadCase {
    const wchar_t* statement;
    const wchar_t* exceptionClass;
  };
  const BadCase cases[] = {
      {L"Print(EncodeDate(2024, 13, 1))", L"EConvertError"},
      {L"Print(EncodeDate(2023, 2, 29))", L"EConvertError"},
      {L"Print(EncodeDate(2024, 65549, 1))", L"ERangeError"},
      {L"Print(EncodeTime(24, 0, 0, 0))", L"EConvertError"},
      {L"Print(DaysInMonth(2024, 13))", L"EConvertError"},
      {L"Print(DaysInMonth(2024, 0))", L"EConvertError"},
      {L"Print(StrToDate('31.02.2024'))", L"EConvertError"},
      {L"Print(StrToInt('abc'))", L"EConvertError"},
      {L"Print(StrToInt('5000000000'))", L"EConvertError"},
      {L"Print(StrToFloat(''))", L"EConvertError"},
      {L"Print(StrToBool('maybe'))", L"EVariantTypeCastError"},
      {L"Print(Ord(''))", L"EwzScriptError"},
      {L"Print(Copy(Null, 1, 2))", L"EVariantTypeCastError"},
      {L"Print(Sqrt(-1))", L"EInvalidOp"},
      {L"Print(Ln(0))", L"EZeroDivide"},
      {L"Print(Ln(-1))", L"EInvalidOp"},
      {L"Print(Exp(1000))", L"EOverflow"},
      {L"Print(Round(1e300))", L"EInvalidOp"},
      {L"v := 'abc'; Print(Sqrt(v))", L"EVariantTypeCastError"},
      {L"Print(Format('%d', ['x']))", L"EConvertError"},
      {L"Print(Format('%d %d', [1]))", L"EConvertError"},
      {L"Print(VarArrayCreate([0], varVariant))", L"EVariantArrayCreateError"},
      {L"Print(VarArrayCreate([0, 1], 99999))", L"EVariantArrayCreateError"},
      {L"Print(Length(Null))", L"EVariantTypeCastError"},
      {L"SetLength(v, 2)", L"EVariantNotAnArrayError"},
      {L"RaiseException('bad input')", L"Exception"},
      {L"Print(CreateOleObject('No.Such.ProgId'))", L"EOleSysError"},
      // A rounded value beyond the 32-bit range stays whole; an Integer variable refuses it rather than wrap.
      {L"i := Round(3000000000.0)", L"EVariantOverflowError"},
  };
  for (const BadCase& c : cases) {
    const String body = String(L"var v: Variant; i: Integer; begin v := 5; try ") + c.statement +
                        L"; Print('no error') except Print(ExceptionClassName) "
                        L"end; Print('went on') end.";
    try {
      EXPECT_EQ(Run(body), String(c.exceptionClass) + L";went on;") << rtl::UTF8Encode(c.statement);
    } catch (const rtl::Exception& e) {
      ADD_FAILURE() << rtl::UTF8Encode(String(c.statement) + L" escaped: " + e.ClassName() + L": " + e.Message());
    }
  }
}

TEST_F(StandardFunctions, AnUncaughtErrorStopsTheScriptAndReachesTheHost) {
  try {
    Run(L"begin Print('before'); Print(Ord('')); Print('after') end.");
    ADD_FAILURE() << "no exception";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.ClassName(), L"EwzScriptError");
  }
  EXPECT_EQ(out, L"before;");
  // The program is still usable afterwards.
  EXPECT_EQ(Run(L"begin Print(Ord('B')) end."), L"66;");
}

TEST_F(StandardFunctions, AutomationObjectComesBackAsADispatchVariant) {
  const String printed =
      Run(L"var o: Variant; begin o := CreateOleObject('Scripting.Dictionary'); "
          L"Print(VarType(o) = varDispatch) end.");
  EXPECT_EQ(printed, L"True;");
}

TEST_F(StandardFunctions, EveryFunctionIsFiledUnderItsCategory) {
  const std::pair<const wchar_t*, const wchar_t*> expected[] = {
      {L"IntToStr", L"ctConv"},   {L"VarToStr", L"ctConv"},    {L"StrToBool", L"ctConv"},   {L"Format", L"ctFormat"},
      {L"DecodeDate", L"ctDate"}, {L"DaysInMonth", L"ctDate"}, {L"SetLength", L"ctString"}, {L"Ord", L"ctString"},
      {L"Round", L"ctMath"},      {L"Pi", L"ctMath"},          {L"Inc", L"ctOther"},        {L"VarType", L"ctOther"}};
  int functions = 0;
  for (int i = 0; i < script.Count(); ++i) {
    auto* method = dynamic_cast<TwzMethodHelper*>(script.Items(i));
    if (!method || method->AddedBy() != wzAddedByRTTI) continue;
    ++functions;
    for (const auto& [name, category] : expected) {
      if (method->Name() == name) {
        EXPECT_EQ(method->Category(), category) << rtl::UTF8Encode(name);
      }
    }
  }
  // The 68 standard functions and the dialog module's three message and input boxes.
  EXPECT_EQ(functions, 68 + 3);
}

}  // namespace
