#include "platform/rtl/strings.h"

#include <algorithm>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/win.h"

namespace rtl {

namespace {

int Len(const String& s) { return static_cast<int>(s.size()); }

// The locale APIs take a locale name; an empty one means the user's locale.
const wchar_t* LocaleArg(const String& localeName) {
  return localeName.empty() ? LOCALE_NAME_USER_DEFAULT : localeName.c_str();
}

bool IsTurkicName(const wchar_t* name) {
  auto lower = [](wchar_t c) { return static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c + 32 : c); };
  wchar_t a = lower(name[0]), b = name[0] ? lower(name[1]) : 0;
  return (a == L't' && b == L'r') || (a == L'a' && b == L'z');
}

bool IsTurkic(const String& localeName) {
  if (!localeName.empty()) return IsTurkicName(localeName.c_str());
  // The user's locale does not change while the program runs.
  static const bool user = [] {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    return GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) != 0 && IsTurkicName(name);
  }();
  return user;
}

String MapCase(const String& s, const String& localeName, bool upper) {
  if (s.empty()) return s;
  String src = s;
  // The dotted and dotless i are mapped by hand for Turkish and Azeri: not every system applies the linguistic
  // rule when asked to, and the user expects "istanbul" to become "İSTANBUL".
  if (IsTurkic(localeName)) {
    for (auto& c : src) {
      if (upper && c == L'i')
        c = 0x0130;
      else if (upper && c == 0x0131)
        c = L'I';
      else if (!upper && c == L'I')
        c = 0x0131;
      else if (!upper && c == 0x0130)
        c = L'i';
    }
  }
  DWORD flags = (upper ? LCMAP_UPPERCASE : LCMAP_LOWERCASE) | LCMAP_LINGUISTIC_CASING;
  int n = LCMapStringEx(LocaleArg(localeName), flags, src.data(), Len(src), nullptr, 0, nullptr, nullptr, 0);
  if (n <= 0) return src;
  String out(n, L'\0');
  LCMapStringEx(LocaleArg(localeName), flags, src.data(), Len(src), out.data(), n, nullptr, nullptr, 0);
  return out;
}

// Case folding that depends on no locale: the invariant upper-case table, one unit for one unit.
String InvariantFold(const String& s) {
  if (s.empty()) return s;
  String out(s.size(), L'\0');
  int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, s.data(), Len(s), out.data(), Len(out), nullptr,
                        nullptr, 0);
  if (n != Len(s)) return UpperCase(s);
  return out;
}

int CompareLocale(const String& a, const String& b, const String& localeName, DWORD flags) {
  int r = CompareStringEx(LocaleArg(localeName), flags, a.data(), Len(a), b.data(), Len(b), nullptr, nullptr, 0);
  if (r == 0) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return r - CSTR_EQUAL;
}

String ReplaceImpl(const String& s, const String& from, const String& to, bool all, bool ignoreCase) {
  if (from.empty()) return s;
  const String hay = ignoreCase ? InvariantFold(s) : s;
  const String needle = ignoreCase ? InvariantFold(from) : from;
  String out;
  size_t start = 0;
  while (true) {
    size_t at = hay.find(needle, start);
    if (at == String::npos) break;
    out.append(s, start, at - start);
    out += to;
    start = at + from.size();
    if (!all) break;
  }
  out.append(s, start, String::npos);
  return out;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Parses an integer by the runtime's rules. On failure returns the 0-based index of the offending character
// (the length of s when the text ended early). maxMagnitude bounds decimal values (negative ones may reach one more);
// hexadecimal values may use the full unsigned range of the width and wrap.
bool ParseInteger(const String& s, size_t start, int bits, Int64& value, size_t& errorAt) {
  size_t i = start;
  bool neg = false;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
    neg = s[i] == L'-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && s[i] == L'$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) {
    errorAt = s.size();
    return false;
  }
  UInt64 acc = 0;
  if (hex) {
    const UInt64 limit = bits == 64 ? std::numeric_limits<UInt64>::max() : 0xFFFFFFFFull;
    for (; i < s.size(); ++i) {
      int d = HexDigit(s[i]);
      if (d < 0 || acc > (limit >> 4)) {
        errorAt = i;
        return false;
      }
      acc = (acc << 4) | static_cast<UInt64>(d);
    }
    if (bits == 32) {
      Int64 v = static_cast<Int64>(static_cast<Integer>(static_cast<Cardinal>(acc)));
      value = neg ? -v : v;
    } else {
      Int64 v = static_cast<Int64>(acc);
      value = neg ? static_cast<Int64>(0 - acc) : v;
    }
    if (bits == 32 && (value > std::numeric_limits<Integer>::max() || value < std::numeric_limits<Integer>::min())) {
      errorAt = s.size() - 1;
      return false;
    }
    return true;
  }
  const UInt64 maxPos = bits == 64 ? static_cast<UInt64>(std::numeric_limits<Int64>::max())
                                   : static_cast<UInt64>(std::numeric_limits<Integer>::max());
  const UInt64 limit = neg ? maxPos + 1 : maxPos;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    if (c < L'0' || c > L'9') {
      errorAt = i;
      return false;
    }
    UInt64 d = static_cast<UInt64>(c - L'0');
    if (acc > (limit - d) / 10) {
      errorAt = i;
      return false;
    }
    acc = acc * 10 + d;
  }
  value = neg ? static_cast<Int64>(0 - acc) : static_cast<Int64>(acc);
  return true;
}

[[noreturn]] void RaiseInvalidInteger(const String& s) {
  throw EConvertError(L"'" + s + L"' is not a valid integer value");
}

bool IsIdentStart(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_'; }
bool IsIdentChar(wchar_t c) { return IsIdentStart(c) || (c >= L'0' && c <= L'9'); }

}  // namespace

String Trim(const String& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= L' ') ++b;
  while (e > b && s[e - 1] <= L' ') --e;
  return s.substr(b, e - b);
}

String TrimLeft(const String& s) {
  size_t b = 0;
  while (b < s.size() && s[b] <= L' ') ++b;
  return s.substr(b);
}

String TrimRight(const String& s) {
  size_t e = s.size();
  while (e > 0 && s[e - 1] <= L' ') --e;
  return s.substr(0, e);
}

String QuotedStr(const String& s) { return AnsiQuotedStr(s, L'\''); }

String AnsiQuotedStr(const String& s, wchar_t quote) {
  String out;
  out.reserve(s.size() + 2);
  out += quote;
  for (wchar_t c : s) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

String AnsiExtractQuotedStr(const wchar_t*& src, wchar_t quote) {
  if (src == nullptr || *src != quote) return String();
  ++src;
  String out;
  while (*src != 0) {
    if (*src == quote) {
      ++src;
      if (*src != quote) break;
    }
    out += *src;
    ++src;
  }
  return out;
}

String AnsiDequotedStr(const String& s, wchar_t quote) {
  if (s.size() < 2 || s.front() != quote || s.back() != quote) return s;
  const wchar_t* p = s.c_str();
  String out = AnsiExtractQuotedStr(p, quote);
  // Only a text that is one quoted string as a whole is unquoted ("'a' 'b'" stays as it is).
  if (*p != 0) return s;
  return out;
}

int Pos(const String& substr, const String& s) { return PosEx(substr, s, 1); }

int PosEx(const String& substr, const String& s, int offset) {
  if (substr.empty() || offset < 1 || offset > Len(s)) return 0;
  size_t at = s.find(substr, static_cast<size_t>(offset - 1));
  return at == String::npos ? 0 : static_cast<int>(at) + 1;
}

int AnsiPos(const String& substr, const String& s) { return Pos(substr, s); }

String Copy(const String& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || index > Len(s)) return String();
  return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

String Copy(const String& s, int index) { return Copy(s, index, std::numeric_limits<int>::max()); }

void Delete(String& s, int index, int count) {
  if (index < 1 || index > Len(s) || count <= 0) return;
  s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const String& source, String& s, int index) {
  if (index < 1) index = 1;
  if (index > Len(s) + 1) index = Len(s) + 1;
  s.insert(static_cast<size_t>(index - 1), source);
}

String LeftStr(const String& s, int count) { return count <= 0 ? String() : s.substr(0, static_cast<size_t>(count)); }

String RightStr(const String& s, int count) {
  if (count <= 0) return String();
  if (count >= Len(s)) return s;
  return s.substr(s.size() - static_cast<size_t>(count));
}

String MidStr(const String& s, int index, int count) { return Copy(s, index, count); }

String StringOfChar(wchar_t ch, int count) { return count <= 0 ? String() : String(static_cast<size_t>(count), ch); }

String DupeString(const String& s, int count) {
  String out;
  for (int i = 0; i < count; ++i) out += s;
  return out;
}

String ReverseString(const String& s) { return String(s.rbegin(), s.rend()); }

int LastDelimiter(const String& delimiters, const String& s) {
  size_t at = s.find_last_of(delimiters);
  return at == String::npos ? 0 : static_cast<int>(at) + 1;
}

bool IsDelimiter(const String& delimiters, const String& s, int index) {
  if (index < 1 || index > Len(s)) return false;
  return delimiters.find(s[static_cast<size_t>(index - 1)]) != String::npos;
}

wchar_t UpCase(wchar_t ch) { return (ch >= L'a' && ch <= L'z') ? static_cast<wchar_t>(ch - 32) : ch; }
wchar_t LoCase(wchar_t ch) { return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + 32) : ch; }

String UpperCase(const String& s) {
  String out = s;
  for (auto& c : out) c = UpCase(c);
  return out;
}

String LowerCase(const String& s) {
  String out = s;
  for (auto& c : out) c = LoCase(c);
  return out;
}

int CompareStr(const String& a, const String& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return static_cast<int>(a[i]) - static_cast<int>(b[i]);
  }
  return Len(a) - Len(b);
}

int CompareText(const String& a, const String& b) {
  const size_t n = std::min(a.size(), b.size());
  const wchar_t* pa = a.data();
  const wchar_t* pb = b.data();
  for (size_t i = 0; i < n; ++i) {
    // Sorted lists of names compare at every look-up: equal characters need no case mapping.
    if (pa[i] == pb[i]) continue;
    const wchar_t x = UpCase(pa[i]), y = UpCase(pb[i]);
    if (x != y) return static_cast<int>(x) - static_cast<int>(y);
  }
  return Len(a) - Len(b);
}

bool SameStr(const String& a, const String& b) { return a == b; }
bool SameText(const String& a, const String& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

bool StartsStr(const String& prefix, const String& s) { return s.compare(0, prefix.size(), prefix) == 0; }
bool StartsText(const String& prefix, const String& s) {
  return prefix.size() <= s.size() && SameText(prefix, s.substr(0, prefix.size()));
}
bool EndsStr(const String& suffix, const String& s) {
  return suffix.size() <= s.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}
bool EndsText(const String& suffix, const String& s) {
  return suffix.size() <= s.size() && SameText(suffix, s.substr(s.size() - suffix.size()));
}
bool ContainsStr(const String& s, const String& sub) { return s.find(sub) != String::npos; }
bool ContainsText(const String& s, const String& sub) { return UpperCase(s).find(UpperCase(sub)) != String::npos; }

String AnsiUpperCase(const String& s) { return MapCase(s, String(), true); }
String AnsiLowerCase(const String& s) { return MapCase(s, String(), false); }
String AnsiUpperCase(const String& s, const String& localeName) { return MapCase(s, localeName, true); }
String AnsiLowerCase(const String& s, const String& localeName) { return MapCase(s, localeName, false); }

int AnsiCompareStr(const String& a, const String& b) { return CompareLocale(a, b, String(), 0); }
int AnsiCompareText(const String& a, const String& b) { return AnsiCompareText(a, b, String()); }
int AnsiCompareText(const String& a, const String& b, const String& localeName) {
  // Comparing the locale's upper-case forms keeps "i"/"İ" and "ı"/"I" pairs equal under Turkish rules.
  if (IsTurkic(localeName)) {
    return CompareLocale(MapCase(a, localeName, true), MapCase(b, localeName, true), localeName, 0);
  }
  return CompareLocale(a, b, localeName, NORM_IGNORECASE);
}
bool AnsiSameStr(const String& a, const String& b) { return a == b; }
bool AnsiSameText(const String& a, const String& b) { return AnsiCompareText(a, b) == 0; }
bool AnsiStartsText(const String& prefix, const String& s) {
  return prefix.size() <= s.size() && AnsiSameText(prefix, s.substr(0, prefix.size()));
}
bool AnsiContainsText(const String& s, const String& sub) {
  return AnsiUpperCase(s).find(AnsiUpperCase(sub)) != String::npos;
}

String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags) {
  return ReplaceImpl(s, oldPattern, newPattern, (flags & rfReplaceAll) != 0, (flags & rfIgnoreCase) != 0);
}
String AnsiReplaceStr(const String& s, const String& from, const String& to) {
  return ReplaceImpl(s, from, to, true, false);
}
String AnsiReplaceText(const String& s, const String& from, const String& to) {
  return ReplaceImpl(s, from, to, true, true);
}

String IntToStr(Int64 value) { return std::to_wstring(value); }
String UIntToStr(UInt64 value) { return std::to_wstring(value); }

String IntToHexBits(UInt64 bits, int digits) {
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  String out;
  do {
    out += kHex[bits & 15];
    bits >>= 4;
  } while (bits != 0);
  while (Len(out) < digits) out += L'0';
  std::reverse(out.begin(), out.end());
  return out;
}

Integer StrToInt(const String& s) {
  Integer v;
  if (!TryStrToInt(s, v)) RaiseInvalidInteger(s);
  return v;
}

Int64 StrToInt64(const String& s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) RaiseInvalidInteger(s);
  return v;
}

Integer StrToIntDef(const String& s, Integer def) {
  Integer v;
  return TryStrToInt(s, v) ? v : def;
}

Int64 StrToInt64Def(const String& s, Int64 def) {
  Int64 v;
  return TryStrToInt64(s, v) ? v : def;
}

bool TryStrToInt(const String& s, Integer& value) {
  Int64 v;
  size_t err;
  if (!ParseInteger(s, 0, 32, v, err)) return false;
  value = static_cast<Integer>(v);
  return true;
}

bool TryStrToInt64(const String& s, Int64& value) {
  size_t err;
  return ParseInteger(s, 0, 64, value, err);
}

void Val(const String& s, Integer& value, int& code) {
  size_t start = 0;
  while (start < s.size() && s[start] == L' ') ++start;
  size_t err = 0;
  Int64 v = 0;
  if (ParseInteger(s, start, 32, v, err)) {
    value = static_cast<Integer>(v);
    code = 0;
  } else {
    value = 0;
    code = static_cast<int>(err) + 1;
  }
}

void Val(const String& s, Int64& value, int& code) {
  size_t start = 0;
  while (start < s.size() && s[start] == L' ') ++start;
  size_t err = 0;
  Int64 v = 0;
  if (ParseInteger(s, start, 64, v, err)) {
    value = v;
    code = 0;
  } else {
    value = 0;
    code = static_cast<int>(err) + 1;
  }
}

void Val(const String& s, double& value, int& code) {
  size_t start = 0;
  while (start < s.size() && s[start] == L' ') ++start;
  TFormatSettings dot = TFormatSettings::Invariant();
  String rest = s.substr(start);
  double v;
  if (!rest.empty() && rest.back() > L' ' && TryStrToFloat(rest, v, dot)) {
    value = v;
    code = 0;
    return;
  }
  // Find the first character that cannot continue a number, for the error position.
  size_t i = start;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
  while (i < s.size() && ((s[i] >= L'0' && s[i] <= L'9') || s[i] == L'.')) ++i;
  if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
    ++i;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
    while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') ++i;
  }
  value = 0;
  code = static_cast<int>(i) + 1;
}

String BoolToStr(bool b, bool useBoolStrs) {
  if (useBoolStrs) return b ? L"True" : L"False";
  return b ? L"-1" : L"0";
}

bool TryStrToBool(const String& s, bool& value) {
  String t = Trim(s);
  if (SameText(t, L"True")) {
    value = true;
    return true;
  }
  if (SameText(t, L"False")) {
    value = false;
    return true;
  }
  Int64 i;
  if (TryStrToInt64(t, i)) {
    value = i != 0;
    return true;
  }
  double d;
  if (TryStrToFloat(t, d)) {
    value = d != 0;
    return true;
  }
  return false;
}

bool StrToBool(const String& s) {
  bool b;
  if (!TryStrToBool(s, b)) throw EConvertError(L"'" + s + L"' is not a valid boolean value");
  return b;
}

bool StrToBoolDef(const String& s, bool def) {
  bool b;
  return TryStrToBool(s, b) ? b : def;
}

bool IsValidIdent(const String& ident, bool allowDots) {
  if (ident.empty()) return false;
  bool expectStart = true;
  for (wchar_t c : ident) {
    if (expectStart) {
      if (!IsIdentStart(c)) return false;
      expectStart = false;
    } else if (c == L'.' && allowDots) {
      expectStart = true;
    } else if (!IsIdentChar(c)) {
      return false;
    }
  }
  return !expectStart;
}

String AdjustLineBreaks(const String& s) {
  String out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    wchar_t c = s[i];
    if (c == L'\r') {
      out += L"\r\n";
      if (i + 1 < s.size() && s[i + 1] == L'\n') ++i;
    } else if (c == L'\n') {
      out += L"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<String> SplitString(const String& s, const String& delimiters) {
  std::vector<String> parts;
  size_t start = 0;
  while (true) {
    size_t at = s.find_first_of(delimiters, start);
    if (at == String::npos) {
      parts.push_back(s.substr(start));
      break;
    }
    parts.push_back(s.substr(start, at - start));
    start = at + 1;
  }
  return parts;
}

}  // namespace rtl
