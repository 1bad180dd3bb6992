#pragma once
// Format, floating-point text and FormatFloat.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/types.h"

namespace rtl {

// One argument of Format: an integer, a floating value, a text, a character, a Boolean or a pointer. Construct it
// implicitly: Format(L"%s has %d rows", {name, count}).
class TVarRec {
public:
  enum class Kind { Integer, Int64, Float, String, Char, Boolean, Pointer };

  TVarRec(int v) : kind_(Kind::Integer), int_(v) {}
  TVarRec(long v) : kind_(Kind::Integer), int_(v) {}
  TVarRec(unsigned v) : kind_(Kind::Int64), int_(v) {}
  TVarRec(unsigned long v) : kind_(Kind::Int64), int_(static_cast<Int64>(v)) {}
  TVarRec(long long v) : kind_(Kind::Int64), int_(v) {}
  TVarRec(unsigned long long v) : kind_(Kind::Int64), int_(static_cast<Int64>(v)) {}
  TVarRec(short v) : kind_(Kind::Integer), int_(v) {}
  TVarRec(unsigned short v) : kind_(Kind::Integer), int_(v) {}
  TVarRec(double v) : kind_(Kind::Float), float_(v) {}
  TVarRec(float v) : kind_(Kind::Float), float_(v) {}
  TVarRec(long double v) : kind_(Kind::Float), float_(static_cast<double>(v)) {}
  TVarRec(bool v) : kind_(Kind::Boolean), int_(v ? 1 : 0) {}
  TVarRec(wchar_t v) : kind_(Kind::Char), str_(1, v) {}
  TVarRec(const wchar_t* v) : kind_(Kind::String), str_(v ? v : L"") {}
  TVarRec(const String& v) : kind_(Kind::String), str_(v) {}
  TVarRec(const void* v) : kind_(Kind::Pointer), ptr_(v) {}
  TVarRec(std::nullptr_t) : kind_(Kind::Pointer) {}
  // Narrow text has no encoding we could assume: convert it first (UTF8ToString).
  TVarRec(const char*) = delete;
  TVarRec(const std::string&) = delete;

  Kind kind() const { return kind_; }
  Int64 AsInt64() const { return int_; }
  double AsFloat() const { return float_; }
  const String& AsString() const { return str_; }
  const void* AsPointer() const { return ptr_; }

private:
  Kind kind_;
  Int64 int_ = 0;
  double float_ = 0;
  String str_;
  const void* ptr_ = nullptr;
};

// Directives: "%" ["-"] [width] ["." precision] type, where width and precision may be "*" (taken from the
// arguments) and an index "n:" may follow the "%" to pick the argument. Types: d u e f g n m p s x; "%%" is a
// percent sign. An argument of the wrong kind or a missing one raises EConvertError.
String Format(const String& fmt, std::initializer_list<TVarRec> args);
String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings);
String Format(const String& fmt, const std::vector<TVarRec>& args);
String Format(const String& fmt, const std::vector<TVarRec>& args, const TFormatSettings& settings);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// 15 significant digits, shortest form, the decimal separator of the settings; "INF", "-INF", "NAN".
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
// Leading and trailing blanks are allowed; the separator is the settings' decimal separator; an exponent "E+nn" is
// accepted. StrToFloat raises EConvertError ("'x' is not a valid floating point value").
double StrToFloat(const String& s);
double StrToFloat(const String& s, const TFormatSettings& settings);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings);
double StrToFloatDef(const String& s, double def);
double StrToFloatDef(const String& s, double def, const TFormatSettings& settings);

// Format strings: "0" digit or zero, "#" digit or nothing, "." decimal separator, "," thousands grouping, "E+" "E-"
// "e+" "e-" exponent, "'text'" and "\"text\"" literal, up to three sections separated by ";" (positive, negative,
// zero). An empty format behaves as FloatToStr.
String FormatFloat(const String& format, double value);
String FormatFloat(const String& format, double value, const TFormatSettings& settings);
String FormatCurr(const String& format, double value);

// Currency values are doubles rounded to four decimals.
String CurrToStr(double value);
String CurrToStr(double value, const TFormatSettings& settings);
String CurrToStrF(double value, TFloatFormat format, int digits);
double StrToCurr(const String& s);

// Applies an edit mask ("!90/90/0000;1;_" style: mask ; save-literals flag ; blank char) to value.
String FormatMaskText(const String& editMask, const String& value);

}  // namespace rtl
