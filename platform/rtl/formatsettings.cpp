#include "platform/rtl/formatsettings.h"

#include "platform/rtl/win.h"

namespace rtl {

namespace {

const wchar_t* const kShortMonths[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                         L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const wchar_t* const kLongMonths[12] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                        L"July",    L"August",   L"September", L"October", L"November", L"December"};
const wchar_t* const kShortDays[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
const wchar_t* const kLongDays[7] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                     L"Thursday", L"Friday", L"Saturday"};

String LocaleString(const wchar_t* locale, LCTYPE type, const String& def) {
  wchar_t buf[256];
  int n = GetLocaleInfoEx(locale, type, buf, 256);
  if (n <= 1) return def;
  return String(buf, static_cast<size_t>(n - 1));
}

wchar_t LocaleChar(const wchar_t* locale, LCTYPE type, wchar_t def) {
  String s = LocaleString(locale, type, String());
  return s.empty() ? def : s[0];
}

Byte LocaleNumber(const wchar_t* locale, LCTYPE type, Byte def) {
  DWORD value = 0;
  if (GetLocaleInfoEx(locale, type | LOCALE_RETURN_NUMBER, reinterpret_cast<wchar_t*>(&value),
                      sizeof(value) / sizeof(wchar_t)) == 0) {
    return def;
  }
  return static_cast<Byte>(value);
}

// The locale writes its time formats with "H" for the 24-hour clock and "tt" for the AM/PM marker; our
// FormatDateTime uses "h" (24-hour unless an AM/PM specifier is present) and "AMPM", while "t" means a time format.
String TranslateTimeFormat(const String& f) {
  String out;
  for (size_t i = 0; i < f.size(); ++i) {
    wchar_t c = f[i];
    if (c == L'\'' || c == L'"') {
      size_t end = f.find(c, i + 1);
      if (end == String::npos) end = f.size() - 1;
      out.append(f, i, end - i + 1);
      i = end;
    } else if (c == L'H') {
      out += L'h';
    } else if (c == L't' || c == L'T') {
      while (i + 1 < f.size() && (f[i + 1] == L't' || f[i + 1] == L'T')) ++i;
      out += L"AMPM";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

TFormatSettings TFormatSettings::Invariant() {
  TFormatSettings fs;
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = kShortMonths[i];
    fs.LongMonthNames[i] = kLongMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = kShortDays[i];
    fs.LongDayNames[i] = kLongDays[i];
  }
  fs.CurrencyString = L"\u00A4";
  fs.ShortDateFormat = L"MM/dd/yyyy";
  fs.LongDateFormat = L"dddd, dd MMMM yyyy";
  fs.ShortTimeFormat = L"hh:mm";
  fs.LongTimeFormat = L"hh:mm:ss";
  return fs;
}

TFormatSettings TFormatSettings::FromLocale(const String& localeName) {
  TFormatSettings fs = Invariant();
  const wchar_t* loc = localeName.empty() ? LOCALE_NAME_USER_DEFAULT : localeName.c_str();
  fs.CurrencyString = LocaleString(loc, LOCALE_SCURRENCY, fs.CurrencyString);
  fs.CurrencyFormat = LocaleNumber(loc, LOCALE_ICURRENCY, fs.CurrencyFormat);
  fs.NegCurrFormat = LocaleNumber(loc, LOCALE_INEGCURR, fs.NegCurrFormat);
  fs.CurrencyDecimals = LocaleNumber(loc, LOCALE_ICURRDIGITS, fs.CurrencyDecimals);
  fs.ThousandSeparator = LocaleChar(loc, LOCALE_STHOUSAND, fs.ThousandSeparator);
  fs.DecimalSeparator = LocaleChar(loc, LOCALE_SDECIMAL, fs.DecimalSeparator);
  fs.DateSeparator = LocaleChar(loc, LOCALE_SDATE, fs.DateSeparator);
  fs.TimeSeparator = LocaleChar(loc, LOCALE_STIME, fs.TimeSeparator);
  fs.ListSeparator = LocaleChar(loc, LOCALE_SLIST, fs.ListSeparator);
  fs.ShortDateFormat = LocaleString(loc, LOCALE_SSHORTDATE, fs.ShortDateFormat);
  fs.LongDateFormat = LocaleString(loc, LOCALE_SLONGDATE, fs.LongDateFormat);
  fs.TimeAMString = LocaleString(loc, LOCALE_S1159, String());
  fs.TimePMString = LocaleString(loc, LOCALE_S2359, String());
  fs.LongTimeFormat = TranslateTimeFormat(LocaleString(loc, LOCALE_STIMEFORMAT, L"HH:mm:ss"));
  fs.ShortTimeFormat = TranslateTimeFormat(LocaleString(loc, LOCALE_SSHORTTIME, L"HH:mm"));
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = LocaleString(loc, LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(i), fs.ShortMonthNames[i]);
    fs.LongMonthNames[i] = LocaleString(loc, LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(i), fs.LongMonthNames[i]);
  }
  // The locale numbers its days from Monday; ours start with Sunday.
  for (int i = 0; i < 7; ++i) {
    LCTYPE offset = static_cast<LCTYPE>((i + 6) % 7);
    fs.ShortDayNames[i] = LocaleString(loc, LOCALE_SABBREVDAYNAME1 + offset, fs.ShortDayNames[i]);
    fs.LongDayNames[i] = LocaleString(loc, LOCALE_SDAYNAME1 + offset, fs.LongDayNames[i]);
  }
  return fs;
}

// Constructed before ordinary globals, so other start-up code may already format numbers and dates.
TFormatSettings FormatSettings __attribute__((init_priority(200))) = TFormatSettings::FromLocale();

void GetFormatSettings() { FormatSettings = TFormatSettings::FromLocale(); }

}  // namespace rtl
