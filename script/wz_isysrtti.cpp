#include "script/wz_isysrtti.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "platform/ole/oleauto.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysmath.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/application.h"
#include "script/wz_classes.h"
#include "script/wz_itools.h"

using rtl::String;
using rtl::Variant;

namespace {

String ParamText(TwzMethodHelper* caller, int index) { return caller->GetVParam(index).AsString(); }

rtl::Integer ParamInt(TwzMethodHelper* caller, int index) { return caller->GetVParam(index).AsInteger(); }

// Word parameters are range-checked rather than cut to 16 bits: a month of 65549 must not quietly become 13, nor a year
// of 67536 become 2000.
rtl::Word ParamWord(TwzMethodHelper* caller, int index) {
  const rtl::Int64 value = caller->GetVParam(index).AsInt64();
  if (value < 0 || value > 0xFFFF)
    throw rtl::ERangeError(L"Value " + rtl::IntToStr(value) + L" is out of range for parameter '" +
                           caller->Params(index)->Name() + L"' (0 to 65535)");
  return static_cast<rtl::Word>(value);
}

// An integer, Boolean or numeric text takes part as a floating value by the variant rules.
double MathArg(TwzMethodHelper* caller, int index) { return (caller->GetVParam(index) * Variant(1.0)).AsDouble(); }

// A script gets an error, never a NaN or an infinity that would travel on into its arithmetic.
double CheckedResult(double value) {
  if (std::isnan(value)) throw rtl::EInvalidOp(L"Invalid floating point operation");
  if (std::isinf(value)) throw rtl::EOverflow(L"Floating point overflow");
  return value;
}

// A value beyond the 32-bit range stays whole as a 64-bit integer instead of coming back with a wrong sign.
Variant IntegerResult(rtl::Int64 value) {
  if (value >= std::numeric_limits<rtl::Integer>::min() && value <= std::numeric_limits<rtl::Integer>::max())
    return Variant(static_cast<rtl::Integer>(value));
  return Variant(static_cast<long long>(value));
}

Variant WordResult(rtl::Int64 value) { return Variant(static_cast<unsigned short>(value)); }

wchar_t UpperChar(wchar_t ch) {
  const String s = rtl::AnsiUpperCase(String(1, ch));
  return s.size() == 1 ? s[0] : ch;
}

wchar_t LowerChar(wchar_t ch) {
  const String s = rtl::AnsiLowerCase(String(1, ch));
  return s.size() == 1 ? s[0] : ch;
}

String NameCase(const String& s) {
  String result(s.size(), L' ');
  for (size_t i = 0; i < s.size(); ++i) {
    const bool wordStart = i == 0 || s[i - 1] == L' ';
    result[i] = wordStart ? UpperChar(s[i]) : LowerChar(s[i]);
  }
  return result;
}

int DaysInMonth(rtl::Word year, rtl::Integer month) {
  static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) throw rtl::EConvertError(L"Month " + rtl::IntToStr(month) + L" is outside 1 to 12");
  return Days[month - 1] + (month == 2 && rtl::IsLeapYear(year) ? 1 : 0);
}

template <class F>
bool Succeeds(F&& conversion) {
  try {
    conversion();
    return true;
  } catch (...) {
    return false;
  }
}

Variant VarArrayCreate(const Variant& boundsArg, rtl::Integer elementType) {
  const Variant& bounds = boundsArg.Deref();
  if (!bounds.IsArray()) throw rtl::EVariantNotAnArrayError(L"VarArrayCreate needs an array of bounds");
  std::vector<rtl::Integer> list;
  for (rtl::Integer i = 0; i <= bounds.HighBound(1); ++i) list.push_back(bounds[i].AsInteger());
  if (list.empty() || list.size() % 2 != 0)
    throw rtl::EVariantArrayCreateError(L"VarArrayCreate needs a low and a high bound for each dimension");
  if (elementType < 0 || elementType > rtl::varTypeMask)
    throw rtl::EVariantArrayCreateError(L"Invalid variant array element type " + rtl::IntToStr(elementType));
  return rtl::VarArrayCreate(list, static_cast<rtl::TVarType>(elementType));
}

// The first dimension gets the new high bound; every element whose first index remains keeps its place. A high
// bound below an array's low bound (SetLength to 0 of an array that starts at 1) leaves the dimension empty.
Variant RedimFirstDimension(const Variant& a, rtl::Integer high) {
  const int dims = a.DimCount();
  const rtl::Integer low = a.LowBound(1);
  if (static_cast<rtl::Int64>(high) < static_cast<rtl::Int64>(low) - 1) high = low - 1;
  std::vector<rtl::Integer> bounds;
  for (int d = 1; d <= dims; ++d) {
    bounds.push_back(a.LowBound(d));
    bounds.push_back(d == 1 ? high : a.HighBound(d));
  }
  Variant result = rtl::VarArrayCreate(bounds, a.ElementType());
  // Walk every index of the new array that the old one also has.
  std::vector<rtl::Integer> idx(static_cast<size_t>(dims));
  std::vector<rtl::Integer> last(static_cast<size_t>(dims));
  for (int d = 0; d < dims; ++d) {
    idx[d] = a.LowBound(d + 1);
    last[d] = d == 0 ? std::min(high, a.HighBound(1)) : a.HighBound(d + 1);
    if (last[d] < idx[d]) return result;
  }
  for (;;) {
    result.PutElement(idx.data(), dims, a.Element(idx.data(), dims));
    int d = 0;
    while (d < dims && ++idx[d] > last[d]) {
      idx[d] = a.LowBound(d + 1);
      ++d;
    }
    if (d == dims) return result;
  }
}

}  // namespace

TwzRTTIModuleClass wzSysFunctionsModule() { return &wzCreateRTTIModule<TwzSysFunctions>; }

TwzSysFunctions::TwzSysFunctions(TwzScript* aScript)
    : TwzRTTIModule(aScript),
      FCatConv(L"ctConv"),
      FCatDate(L"ctDate"),
      FCatFormat(L"ctFormat"),
      FCatMath(L"ctMath"),
      FCatOther(L"ctOther"),
      FCatStr(L"ctString") {
  TwzScript* s = aScript;
  for (const wchar_t* name : {L"Byte", L"Word", L"Integer"}) s->AddType(name, fvtInt);
  s->AddType(L"Int64", fvtInt64);
  for (const wchar_t* name : {L"Longint", L"Cardinal", L"TColor", L"TAlphaColor"}) s->AddType(name, fvtInt);
  s->AddType(L"Boolean", fvtBool);
  for (const wchar_t* name :
       {L"Real", L"Single", L"Double", L"Extended", L"Currency", L"TDate", L"TTime", L"TDateTime"})
    s->AddType(name, fvtFloat);
  s->AddType(L"Char", fvtChar);
  s->AddType(L"String", fvtString);
  s->AddType(L"Variant", fvtVariant);
  s->AddType(L"Pointer", fvtVariant);
  s->AddType(L"Array", fvtArray);
  s->AddType(L"Constructor", fvtConstructor);

  s->AddConst(L"True", L"Boolean", Variant(true));
  s->AddConst(L"False", L"Boolean", Variant(false));
  s->AddConst(L"nil", L"Variant", Variant(0));
  s->AddConst(L"Null", L"Variant", Variant::Null());

  s->Add(L"__StringHelper", new TwzStringHelper);
  s->Add(L"__ArrayHelper", new TwzArrayHelper(L"__ArrayHelper", -1, fvtVariant, String()));

  s->AddVariable(L"ExceptionClassName", L"String", Variant(String()));
  s->AddVariable(L"ExceptionMessage", L"String", Variant(String()));

  using Handler = Variant (TwzSysFunctions::*)(rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper*);
  auto add = [this, s](const wchar_t* syntax, Handler handler, const String& category) {
    s->AddMethod(syntax,
                 TwzCallMethodNewEvent([this, handler](rtl::TObject* instance, const vcl::TClassInfo* classType,
                                                       const String& name, TwzMethodHelper* caller) {
                   return (this->*handler)(instance, classType, name, caller);
                 }),
                 category, String());
  };
  const Handler m1 = &TwzSysFunctions::CallMethod1, m2 = &TwzSysFunctions::CallMethod2,
                m3 = &TwzSysFunctions::CallMethod3, m4 = &TwzSysFunctions::CallMethod4,
                m5 = &TwzSysFunctions::CallMethod5, m6 = &TwzSysFunctions::CallMethod6,
                m7 = &TwzSysFunctions::CallMethod7;

  add(L"function IntToStr(i: Integer): String", m1, FCatConv);
  add(L"function FloatToStr(e: Extended): String", m1, FCatConv);
  add(L"function DateToStr(e: Extended): String", m1, FCatConv);
  add(L"function TimeToStr(e: Extended): String", m1, FCatConv);
  add(L"function DateTimeToStr(e: Extended): String", m1, FCatConv);
  add(L"function BoolToStr(B: Boolean): string;", m1, FCatConv);
  add(L"function VarToStr(v: Variant): String", m7, FCatConv);
  add(L"function StrToInt(s: String): Integer", m2, FCatConv);
  add(L"function StrToInt64(s: String): Int64", m2, FCatConv);
  add(L"function StrToFloat(s: String): Extended", m2, FCatConv);
  add(L"function StrToDate(s: String): Extended", m2, FCatConv);
  add(L"function StrToTime(s: String): Extended", m2, FCatConv);
  add(L"function StrToDateTime(s: String): Extended", m2, FCatConv);
  add(L"function StrToBool(const S: string): Boolean;", m2, FCatConv);

  add(L"function Format(Fmt: String; Args: array): String", m3, FCatFormat);
  add(L"function FormatFloat(Fmt: String; Value: Extended): String", m3, FCatFormat);
  add(L"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", m3, FCatFormat);
  add(L"function FormatMaskText(EditMask: string; Value: string): string", m3, FCatFormat);

  add(L"function EncodeDate(Year, Month, Day: Word): TDateTime", m4, FCatDate);
  add(L"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", m4, FCatDate);
  add(L"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", m4, FCatDate);
  add(L"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", m4, FCatDate);
  add(L"function Date: TDateTime", m4, FCatDate);
  add(L"function Time: TDateTime", m4, FCatDate);
  add(L"function Now: TDateTime", m4, FCatDate);
  add(L"function DayOfWeek(aDate: TDateTime): Integer", m4, FCatDate);
  add(L"function IsLeapYear(Year: Word): Boolean", m4, FCatDate);
  add(L"function DaysInMonth(nYear, nMonth: Integer): Integer", m4, FCatDate);

  add(L"function Length(s: Variant): Integer", m5, FCatStr);
  add(L"function Copy(s: String; from, count: Integer): String", m5, FCatStr);
  add(L"function Pos(substr, s: String): Integer", m5, FCatStr);
  add(L"procedure Delete(var s: String; from, count: Integer)", m5, FCatStr);
  add(L"procedure DeleteStr(var s: String; from, count: Integer)", m5, FCatStr);
  add(L"procedure Insert(s: String; var s2: String; pos: Integer)", m5, FCatStr);
  add(L"function Uppercase(s: String): String", m5, FCatStr);
  add(L"function Lowercase(s: String): String", m5, FCatStr);
  add(L"function Trim(s: String): String", m5, FCatStr);
  add(L"function NameCase(s: String): String", m5, FCatStr);
  add(L"function CompareText(s, s1: String): Integer", m5, FCatStr);
  add(L"function Chr(i: Integer): Char", m5, FCatStr);
  add(L"function Ord(ch: Char): Integer", m5, FCatStr);
  add(L"procedure SetLength(var S: Variant; L: Integer)", m5, FCatStr);

  add(L"function Round(e: Extended): Integer", m6, FCatMath);
  add(L"function Trunc(e: Extended): Integer", m6, FCatMath);
  add(L"function Int(e: Extended): Integer", m6, FCatMath);
  add(L"function Frac(X: Extended): Extended", m6, FCatMath);
  add(L"function Sqrt(e: Extended): Extended", m6, FCatMath);
  add(L"function Abs(e: Extended): Extended", m6, FCatMath);
  add(L"function Sin(e: Extended): Extended", m6, FCatMath);
  add(L"function Cos(e: Extended): Extended", m6, FCatMath);
  add(L"function ArcTan(X: Extended): Extended", m6, FCatMath);
  add(L"function Tan(X: Extended): Extended", m6, FCatMath);
  add(L"function Exp(X: Extended): Extended", m6, FCatMath);
  add(L"function Ln(X: Extended): Extended", m6, FCatMath);
  add(L"function Pi: Extended", m6, FCatMath);

  add(L"procedure Inc(var i: Integer; incr: Integer = 1)", m7, FCatOther);
  add(L"procedure Dec(var i: Integer; decr: Integer = 1)", m7, FCatOther);
  add(L"procedure RaiseException(Param: String)", m7, FCatOther);
  add(L"procedure ShowMessage(Msg: Variant)", m7, FCatOther);
  add(L"procedure Randomize", m7, FCatOther);
  add(L"function Random: Extended", m7, FCatOther);
  add(L"function ValidInt(cInt: String): Boolean", m7, FCatOther);
  add(L"function ValidFloat(cFlt: String): Boolean", m7, FCatOther);
  add(L"function ValidDate(cDate: String): Boolean", m7, FCatOther);
  add(L"function ExtractFilePath(const FileName: string): string;", m7, FCatOther);
  add(L"function CreateOleObject(ClassName: String): Variant", m7, FCatOther);
  add(L"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", m7, FCatOther);
  add(L"function VarType(V: Variant): Integer", m7, FCatOther);

  static const struct {
    const wchar_t* name;
    int value;
  } VarTypeCodes[] = {
      {L"varEmpty", 0},    {L"varNull", 1},     {L"varSmallint", 2},    {L"varInteger", 3},  {L"varSingle", 4},
      {L"varDouble", 5},   {L"varCurrency", 6}, {L"varDate", 7},        {L"varOleStr", 8},   {L"varDispatch", 9},
      {L"varError", 10},   {L"varBoolean", 11}, {L"varVariant", 12},    {L"varUnknown", 13}, {L"varShortInt", 16},
      {L"varByte", 17},    {L"varWord", 18},    {L"varLongWord", 19},   {L"varInt64", 20},   {L"varStrArg", 72},
      {L"varString", 256}, {L"varAny", 257},    {L"varTypeMask", 4095}, {L"varArray", 8192}, {L"varByRef", 16384},
  };
  for (const auto& code : VarTypeCodes) s->AddConst(code.name, L"Integer", Variant(code.value));
}

Variant TwzSysFunctions::CallMethod1(rtl::TObject*, const vcl::TClassInfo*, const String& methodName,
                                     TwzMethodHelper* caller) {
  Variant result;
  if (methodName == L"INTTOSTR")
    result = rtl::IntToStr(caller->GetVParam(0).AsInt64());
  else if (methodName == L"FLOATTOSTR")
    result = rtl::FloatToStr(caller->GetVParam(0).AsDouble());
  else if (methodName == L"DATETOSTR")
    result = rtl::DateToStr(caller->GetVParam(0).AsDateTime());
  else if (methodName == L"TIMETOSTR")
    result = rtl::TimeToStr(caller->GetVParam(0).AsDateTime());
  else if (methodName == L"DATETIMETOSTR")
    result = rtl::DateTimeToStr(caller->GetVParam(0).AsDateTime());
  else if (methodName == L"BOOLTOSTR")
    result = rtl::BoolToStr(caller->GetVParam(0).AsBoolean());
  return result;
}

Variant TwzSysFunctions::CallMethod2(rtl::TObject*, const vcl::TClassInfo*, const String& methodName,
                                     TwzMethodHelper* caller) {
  Variant result;
  if (methodName == L"STRTOINT")
    result = rtl::StrToInt(ParamText(caller, 0));
  else if (methodName == L"STRTOINT64")
    result = static_cast<long long>(rtl::StrToInt64(ParamText(caller, 0)));
  else if (methodName == L"STRTOFLOAT")
    result = rtl::StrToFloat(ParamText(caller, 0));
  else if (methodName == L"STRTODATE")
    result = Variant::FromDate(rtl::StrToDate(ParamText(caller, 0)));
  else if (methodName == L"STRTOTIME")
    result = Variant::FromDate(rtl::StrToTime(ParamText(caller, 0)));
  else if (methodName == L"STRTODATETIME")
    result = Variant::FromDate(rtl::StrToDateTime(ParamText(caller, 0)));
  else if (methodName == L"STRTOBOOL")
    result = caller->GetVParam(0).AsBoolean();
  return result;
}

Variant TwzSysFunctions::CallMethod3(rtl::TObject*, const vcl::TClassInfo*, const String& methodName,
                                     TwzMethodHelper* caller) {
  Variant result;
  if (methodName == L"FORMAT") {
    const Variant args = caller->GetVParam(1);
    if (!args.IsArray() && !args.IsEmpty() && !args.IsNull())
      throw rtl::EConvertError(L"Format needs its arguments as an array");
    std::vector<rtl::TVarRec> list = VariantToVarRec(args);
    struct Release {
      std::vector<rtl::TVarRec>& list;
      ~Release() { ClearVarRec(list); }
    } release{list};
    result = rtl::Format(ParamText(caller, 0), list);
  } else if (methodName == L"FORMATFLOAT")
    result = rtl::FormatFloat(ParamText(caller, 0), caller->GetVParam(1).AsDouble());
  else if (methodName == L"FORMATDATETIME")
    result = rtl::FormatDateTime(ParamText(caller, 0), caller->GetVParam(1).AsDateTime());
  else if (methodName == L"FORMATMASKTEXT")
    result = rtl::FormatMaskText(ParamText(caller, 0), ParamText(caller, 1));
  return result;
}

Variant TwzSysFunctions::CallMethod4(rtl::TObject*, const vcl::TClassInfo*, const String& methodName,
                                     TwzMethodHelper* caller) {
  Variant result;
  if (methodName == L"ENCODEDATE")
    result = Variant::FromDate(rtl::EncodeDate(ParamWord(caller, 0), ParamWord(caller, 1), ParamWord(caller, 2)));
  else if (methodName == L"DECODEDATE") {
    rtl::Word y, m, d;
    rtl::DecodeDate(caller->GetVParam(0).AsDateTime(), y, m, d);
    caller->SetVParam(1, WordResult(y));
    caller->SetVParam(2, WordResult(m));
    caller->SetVParam(3, WordResult(d));
  } else if (methodName == L"ENCODETIME")
    result = Variant::FromDate(
        rtl::EncodeTime(ParamWord(caller, 0), ParamWord(caller, 1), ParamWord(caller, 2), ParamWord(caller, 3)));
  else if (methodName == L"DECODETIME") {
    rtl::Word h, n, sec, ms;
    rtl::DecodeTime(caller->GetVParam(0).AsDateTime(), h, n, sec, ms);
    caller->SetVParam(1, WordResult(h));
    caller->SetVParam(2, WordResult(n));
    caller->SetVParam(3, WordResult(sec));
    caller->SetVParam(4, WordResult(ms));
  } else if (methodName == L"DATE")
    result = Variant::FromDate(rtl::Date());
  else if (methodName == L"TIME")
    result = Variant::FromDate(rtl::Time());
  else if (methodName == L"NOW")
    result = Variant::FromDate(rtl::Now());
  else if (methodName == L"DAYOFWEEK")
    result = WordResult(rtl::DayOfWeek(caller->GetVParam(0).AsDateTime()));
  else if (methodName == L"ISLEAPYEAR")
    result = rtl::IsLeapYear(ParamWord(caller, 0));
  else if (methodName == L"DAYSINMONTH")
    result = DaysInMonth(ParamWord(caller, 0), ParamInt(caller, 1));
  return result;
}

Variant TwzSysFunctions::CallMethod5(rtl::TObject*, const vcl::TClassInfo*, const String& methodName,
                                     TwzMethodHelper* caller) {
  Variant result;
  if (methodName == L"LENGTH") {
    const Variant v = caller->GetVParam(0);
    if (v.IsArray())
      result = v.HighBound(1) - v.LowBound(1) + 1;
    else
      result = static_cast<rtl::Integer>(v.AsString().size());
  } else if (methodName == L"COPY")
    result = rtl::Copy(ParamText(caller, 0), ParamInt(caller, 1), ParamInt(caller, 2));
  else if (methodName == L"POS")
    result = rtl::Pos(ParamText(caller, 0), ParamText(caller, 1));
  else if (methodName == L"DELETE" || methodName == L"DELETESTR") {
    String s = ParamText(caller, 0);
    rtl::Delete(s, ParamInt(caller, 1), ParamInt(caller, 2));
    caller->SetVParam(0, s);
  } else if (methodName == L"INSERT") {
    String s2 = ParamText(caller, 1);
    rtl::Insert(ParamText(caller, 0), s2, ParamInt(caller, 2));
    caller->SetVParam(1, s2);
  } else if (methodName == L"UPPERCASE")
    result = rtl::AnsiUpperCase(ParamText(caller, 0));
  else if (methodName == L"LOWERCASE")
    result = rtl::AnsiLowerCase(ParamText(caller, 0));
  else if (methodName == L"TRIM")
    result = rtl::Trim(ParamText(caller, 0));
  else if (methodName == L"NAMECASE")
    result = NameCase(ParamText(caller, 0));
  else if (methodName == L"COMPARETEXT")
    result = rtl::AnsiCompareText(ParamText(caller, 0), ParamText(caller, 1));
  else if (methodName == L"CHR")
    result = static_cast<wchar_t>(static_cast<rtl::Word>(caller->GetVParam(0).AsInt64()));
  else if (methodName == L"ORD") {
    const String s = ParamText(caller, 0);
    if (s.empty()) throw EwzScriptError(L"Ord of an empty text");
    result = WordResult(s[0]);
  } else if (methodName == L"SETLENGTH") {
    Variant v = caller->GetVParam(0);
    const rtl::Integer length = ParamInt(caller, 1);
    const rtl::TVarType type = v.Deref().VarType();
    if (type == rtl::varString || type == rtl::varUString || type == rtl::varOleStr) {
      String s = v.AsString();
      s.resize(static_cast<size_t>(std::max<rtl::Integer>(length, 0)), L' ');
      caller->SetVParam(0, Variant::FromString(s, type));
    } else {
      if (!v.IsArray()) throw rtl::EVariantNotAnArrayError(L"SetLength needs a text or an array");
      if (length < 0) throw rtl::ERangeError(L"SetLength to a negative length");
      caller->SetVParam(0, RedimFirstDimension(v.Deref(), length - 1));
    }
  }
  return result;
}

Variant TwzSysFunctions::CallMethod6(rtl::TObject*, const vcl::TClassInfo*, const String& methodName,
                                     TwzMethodHelper* caller) {
  Variant result;
  if (methodName == L"PI") return Variant(std::numbers::pi);
  if (caller->Count() < 1) return result;
  if (methodName == L"ROUND")
    result = IntegerResult(rtl::Round(MathArg(caller, 0)));
  else if (methodName == L"TRUNC")
    result = IntegerResult(rtl::Trunc(MathArg(caller, 0)));
  else if (methodName == L"INT")
    result = rtl::Int(MathArg(caller, 0));
  else if (methodName == L"FRAC")
    result = rtl::Frac(MathArg(caller, 0));
  else if (methodName == L"SQRT") {
    const double x = MathArg(caller, 0);
    if (x < 0)
      throw rtl::EInvalidOp(
          L"Invalid floating point operation: square root of "
          L"a negative number");
    result = CheckedResult(std::sqrt(x));
  } else if (methodName == L"ABS")
    result = std::fabs(MathArg(caller, 0));
  else if (methodName == L"SIN")
    result = CheckedResult(std::sin(MathArg(caller, 0)));
  else if (methodName == L"COS")
    result = CheckedResult(std::cos(MathArg(caller, 0)));
  else if (methodName == L"ARCTAN")
    result = CheckedResult(std::atan(MathArg(caller, 0)));
  else if (methodName == L"TAN") {
    const double sine = std::sin(MathArg(caller, 0));
    const double cosine = std::cos(MathArg(caller, 0));
    if (cosine == 0) throw rtl::EZeroDivide(L"Floating point division by zero");
    result = CheckedResult(sine / cosine);
  } else if (methodName == L"EXP")
    result = CheckedResult(std::exp(MathArg(caller, 0)));
  else if (methodName == L"LN") {
    const double x = MathArg(caller, 0);
    if (x == 0) throw rtl::EZeroDivide(L"Floating point division by zero: logarithm of 0");
    if (x < 0) throw rtl::EInvalidOp(L"Invalid floating point operation: logarithm of a negative number");
    result = CheckedResult(std::log(x));
  }
  return result;
}

Variant TwzSysFunctions::CallMethod7(rtl::TObject*, const vcl::TClassInfo*, const String& methodName,
                                     TwzMethodHelper* caller) {
  Variant result;
  if (methodName == L"VARTOSTR")
    result = rtl::VarToStr(caller->GetVParam(0));
  else if (methodName == L"INC")
    caller->SetVParam(0, caller->GetVParam(0) + caller->GetVParam(1));
  else if (methodName == L"DEC")
    caller->SetVParam(0, caller->GetVParam(0) - caller->GetVParam(1));
  else if (methodName == L"RAISEEXCEPTION")
    throw rtl::Exception(rtl::VarToStr(caller->GetVParam(0)));
  else if (methodName == L"SHOWMESSAGE")
    vcl::ShowMessage(rtl::VarToStr(caller->GetVParam(0)));
  else if (methodName == L"RANDOMIZE")
    rtl::Randomize();
  else if (methodName == L"RANDOM")
    result = rtl::Random();
  else if (methodName == L"VALIDINT") {
    const Variant v = caller->GetVParam(0);
    result = Succeeds([&] { rtl::StrToInt(v.AsString()); });
  } else if (methodName == L"VALIDFLOAT") {
    const Variant v = caller->GetVParam(0);
    result = Succeeds([&] { rtl::StrToFloat(v.AsString()); });
  } else if (methodName == L"VALIDDATE") {
    const Variant v = caller->GetVParam(0);
    result = Succeeds([&] {
      const String text = v.Deref().VarType() == rtl::varDate ? rtl::DateToStr(v.AsDateTime()) : v.AsString();
      rtl::StrToDate(text);
    });
  } else if (methodName == L"EXTRACTFILEPATH")
    result = rtl::ExtractFilePath(ParamText(caller, 0));
  else if (methodName == L"CREATEOLEOBJECT")
    result = ole::CreateOleObject(ParamText(caller, 0));
  else if (methodName == L"VARARRAYCREATE")
    result = VarArrayCreate(caller->GetVParam(0), ParamInt(caller, 1));
  else if (methodName == L"VARTYPE")
    result = WordResult(caller->GetVParam(0).VarType());
  return result;
}
