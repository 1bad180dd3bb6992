#include "skin/controls/sDateUtils.h"

#include <windows.h>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strings.h"

namespace {

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

void ScanBlanks(const rtl::String& s, size_t& pos) {
  while (pos < s.size() && s[pos] == L' ') ++pos;
}

bool ScanNumber(const rtl::String& s, size_t& pos, int& number, size_t* digits = nullptr) {
  ScanBlanks(s, pos);
  size_t start = pos;
  int n = 0;
  while (pos < s.size() && s[pos] >= L'0' && s[pos] <= L'9' && n < 1000) {
    n = n * 10 + (s[pos] - L'0');
    ++pos;
  }
  if (pos == start) return false;
  number = n;
  if (digits) *digits = pos - start;
  return true;
}

bool ScanChar(const rtl::String& s, size_t& pos, wchar_t c) {
  ScanBlanks(s, pos);
  if (pos < s.size() && s[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

// One part of the date from the places its letter takes in the format; *typed counts the digits read there.
int ExtractMask(const rtl::String& format, const rtl::String& s, wchar_t ch, int blank, int def,
                size_t* typed = nullptr) {
  if (typed) *typed = 0;
  if (s.size() > format.size()) return def;
  size_t len = s.size();
  rtl::String upper = rtl::UpperCase(format);
  size_t p = upper.find(AsciiUpper(ch));
  if (p == rtl::String::npos) return def;
  rtl::String digits;
  for (size_t i = p; i < len && upper[i] == AsciiUpper(ch); ++i)
    if (s[i] != L' ') digits += s[i];
  if (digits.empty()) return blank;
  if (typed) *typed = digits.size();
  int value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9' || value > 100000) return -1;
    value = value * 10 + (c - L'0');
  }
  return value;
}

}  // namespace

TDateOrder GetDateOrder(const rtl::String& dateFormat) {
  for (wchar_t c : dateFormat) {
    switch (AsciiUpper(c)) {
      case L'D':
        return doDMY;
      case L'M':
        return doMDY;
      case L'Y':
        return doYMD;
      default:
        break;
    }
  }
  return doDMY;
}

bool NormalYears() { return rtl::UpperCase(rtl::FormatSettings.ShortDateFormat).find(L"YYYY") != rtl::String::npos; }

rtl::String DefDateFormat(bool fourDigitYear) {
  switch (GetDateOrder(rtl::FormatSettings.ShortDateFormat)) {
    case doMDY:
      return fourDigitYear ? L"MM/DD/YYYY" : L"MM/DD/YY";
    case doYMD:
      return fourDigitYear ? L"YYYY/MM/DD" : L"YY/MM/DD";
    default:
      return fourDigitYear ? L"DD/MM/YYYY" : L"DD/MM/YY";
  }
}

rtl::String DefDateMask(wchar_t blanksChar, bool fourDigitYear) {
  rtl::String mask;
  if (!fourDigitYear)
    mask = L"!99/99/99;1;";
  else if (GetDateOrder(rtl::FormatSettings.ShortDateFormat) == doYMD)
    mask = L"!9999/99/99;1;";
  else
    mask = L"!99/99/9999;1;";
  return mask + blanksChar;
}

int DaysPerMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  int n = days[month - 1];
  if (month == 2 && year >= 1 && year <= 9999 && rtl::IsLeapYear(static_cast<rtl::Word>(year))) ++n;
  return n;
}

int CurrentYear() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return t.wYear;
}

int ExpandYear(int year) {
  if (year >= 100) return year;
  int base = CurrentYear() - 60;
  year += (base / 100) * 100;
  if (year < base) year += 100;
  return year;
}

bool IsValidDate(int y, int m, int d) {
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysPerMonth(y, m);
}

bool ValidDate(rtl::TDateTime date) {
  try {
    rtl::Word y = 0, m = 0, d = 0;
    rtl::DecodeDate(date, y, m, d);
    return IsValidDate(y, m, d);
  } catch (...) {
    return false;
  }
}

bool ScanDate(const rtl::String& s, const rtl::String& dateFormat, size_t& pos, int& y, int& m, int& d) {
  y = m = d = 0;
  wchar_t sep = rtl::FormatSettings.DateSeparator;
  TDateOrder order = GetDateOrder(dateFormat);
  int n1 = 0, n2 = 0, n3 = 0;
  size_t digits1 = 0, digits3 = 0;
  if (!ScanNumber(s, pos, n1, &digits1) || !ScanChar(s, pos, sep) || !ScanNumber(s, pos, n2)) return false;
  if (ScanChar(s, pos, sep)) {
    if (!ScanNumber(s, pos, n3, &digits3)) return false;
    switch (order) {
      case doMDY:
        y = n3, m = n1, d = n2;
        break;
      case doDMY:
        y = n3, m = n2, d = n1;
        break;
      case doYMD:
        y = n1, m = n2, d = n3;
        break;
    }
    // Only a year typed with one or two digits is short for one near today: "0065" is the year 65.
    if ((order == doYMD ? digits1 : digits3) <= 2) y = ExpandYear(y);
  } else {
    y = CurrentYear();
    if (order == doDMY)
      d = n1, m = n2;
    else
      m = n1, d = n2;
  }
  ScanChar(s, pos, sep);
  ScanBlanks(s, pos);
  return IsValidDate(y, m, d) && pos >= s.size();
}

bool ScanDateStr(const rtl::String& format, const rtl::String& s, int& d, int& m, int& y) {
  m = ExtractMask(format, s, L'M', -1, 0);
  d = ExtractMask(format, s, L'D', -1, 1);
  size_t yearDigits = 0;
  y = ExtractMask(format, s, L'Y', -1, CurrentYear(), &yearDigits);
  // A blank year stays invalid rather than landing in the century window, and four typed digits are the year
  // itself: "0000" is no year, not 2000.
  if (y >= 0 && yearDigits > 0 && yearDigits <= 2) y = ExpandYear(y);
  if (m > 0 && d > 0 && IsValidDate(y, m, d)) return true;
  size_t pos = 0;
  return ScanDate(s, format, pos, y, m, d);
}

bool InternalStrToDate(const rtl::String& dateFormat, const rtl::String& s, rtl::TDateTime& date) {
  if (s.empty()) {
    date = NullDate;
    return true;
  }
  int d = 0, m = 0, y = 0;
  if (!ScanDateStr(dateFormat, s, d, m, y)) return false;
  return rtl::TryEncodeDate(static_cast<rtl::Word>(y), static_cast<rtl::Word>(m), static_cast<rtl::Word>(d), date);
}
