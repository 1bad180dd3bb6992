#pragma once
// Text functions of the runtime. Positions are 1-based, as scripts and report expressions expect.
//
// Two families of case rules:
//  - UpperCase, LowerCase, CompareText, SameText, CompareStr: ordinal, ASCII letters only. For identifiers, keywords,
//    keys and file extensions; they never follow the user's locale ("IF" lowers to "if" under a Turkish locale).
//  - AnsiUpperCase, AnsiLowerCase, AnsiCompareText, AnsiCompareStr, AnsiSameText: the user's locale, for text the
//    user typed (names, notes). The overloads taking a locale name pin the locale ("tr-TR").
#include <type_traits>
#include <vector>

#include "platform/rtl/types.h"

namespace rtl {

// Characters with codes up to 32 are removed.
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

// 'it''s' style quoting: the text in quotes, each quote inside doubled.
String QuotedStr(const String& s);
String AnsiQuotedStr(const String& s, wchar_t quote);
// Reads a quoted text starting at src (which must point at quote); doubled quotes become one. On return src points
// past the closing quote (or at the end when it is missing). Returns the empty text when src does not start with quote.
String AnsiExtractQuotedStr(const wchar_t*& src, wchar_t quote);
// The unquoted text when s is quoted with quote; otherwise s unchanged.
String AnsiDequotedStr(const String& s, wchar_t quote);

// 0 when absent or substr is empty.
int Pos(const String& substr, const String& s);
int PosEx(const String& substr, const String& s, int offset = 1);
int AnsiPos(const String& substr, const String& s);
// At most count characters from the 1-based index; index below 1 counts as 1; empty past the end.
String Copy(const String& s, int index, int count);
String Copy(const String& s, int index);
void Delete(String& s, int index, int count);
// Inserts source before the 1-based index (index past the end appends, below 1 prepends).
void Insert(const String& source, String& s, int index);
String LeftStr(const String& s, int count);
String RightStr(const String& s, int count);
String MidStr(const String& s, int index, int count);
String StringOfChar(wchar_t ch, int count);
String DupeString(const String& s, int count);
String ReverseString(const String& s);
// 1-based index of the last character of s that is one of delimiters; 0 if none.
int LastDelimiter(const String& delimiters, const String& s);
bool IsDelimiter(const String& delimiters, const String& s, int index);

// Ordinal (ASCII) case rules.
wchar_t UpCase(wchar_t ch);
wchar_t LoCase(wchar_t ch);
String UpperCase(const String& s);
String LowerCase(const String& s);
int CompareStr(const String& a, const String& b);
int CompareText(const String& a, const String& b);
bool SameStr(const String& a, const String& b);
bool SameText(const String& a, const String& b);
bool StartsStr(const String& prefix, const String& s);
bool StartsText(const String& prefix, const String& s);
bool EndsStr(const String& suffix, const String& s);
bool EndsText(const String& suffix, const String& s);
bool ContainsStr(const String& s, const String& sub);
bool ContainsText(const String& s, const String& sub);

// Locale-aware case rules: the user's locale, or the named one ("tr-TR", "en-US").
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);
String AnsiUpperCase(const String& s, const String& localeName);
String AnsiLowerCase(const String& s, const String& localeName);
int AnsiCompareStr(const String& a, const String& b);
int AnsiCompareText(const String& a, const String& b);
int AnsiCompareText(const String& a, const String& b, const String& localeName);
bool AnsiSameStr(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);
bool AnsiStartsText(const String& prefix, const String& s);
bool AnsiContainsText(const String& s, const String& sub);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
// rfIgnoreCase matches with the ordinal rules (ASCII letters) plus simple case folding of other letters that does
// not depend on the locale.
String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags);
String AnsiReplaceStr(const String& s, const String& from, const String& to);
String AnsiReplaceText(const String& s, const String& from, const String& to);

// Integers.
String IntToStr(Int64 value);
String UIntToStr(UInt64 value);
// Upper-case hexadecimal of the bits, zero-padded to at least digits.
String IntToHexBits(UInt64 bits, int digits);
// Negative values show the two's complement of their own width: IntToHex(-1, 2) is "FFFFFFFF" for an int and
// sixteen F for an Int64.
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) String IntToHex(T value, int digits) {
  return IntToHexBits(static_cast<UInt64>(static_cast<std::make_unsigned_t<T>>(value)), digits);
}
// Accept optional leading sign, decimal digits, or hexadecimal after "$", "0x" or "0X"; no blanks. Raise
// EConvertError ("'abc' is not a valid integer value") on failure and on overflow.
Integer StrToInt(const String& s);
Int64 StrToInt64(const String& s);
Integer StrToIntDef(const String& s, Integer def);
Int64 StrToInt64Def(const String& s, Int64 def);
bool TryStrToInt(const String& s, Integer& value);
bool TryStrToInt64(const String& s, Int64& value);
// code is 0 on success, otherwise the 1-based position of the offending character. Leading blanks are skipped.
void Val(const String& s, Integer& value, int& code);
void Val(const String& s, Int64& value, int& code);
// Floating value with '.' as separator whatever the format settings (source-code rules).
void Val(const String& s, double& value, int& code);

// Booleans: BoolToStr(true) is "-1" unless useBoolStrs ("True"/"False").
String BoolToStr(bool b, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (non-zero is true).
bool StrToBool(const String& s);
bool StrToBoolDef(const String& s, bool def);
bool TryStrToBool(const String& s, bool& value);

// Letter or '_' first, then letters, digits, '_' (ASCII only); with allowDots, dot-separated identifiers.
bool IsValidIdent(const String& ident, bool allowDots = false);

// Line breaks normalized to CR LF.
String AdjustLineBreaks(const String& s);
// Splits at each delimiter character (empty parts kept).
std::vector<String> SplitString(const String& s, const String& delimiters);

}  // namespace rtl
