#pragma once
// Number, date and currency conventions. The global FormatSettings is read from the user's locale at start; tests
// and callers that need fixed conventions assign their own values or pass a TFormatSettings explicitly.
#include "platform/rtl/types.h"

namespace rtl {

struct TFormatSettings {
  Byte CurrencyFormat = 0;  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  Byte NegCurrFormat = 0;   // 0..15 as the locale's LOCALE_INEGCURR
  wchar_t ThousandSeparator = L',';
  wchar_t DecimalSeparator = L'.';
  Byte CurrencyDecimals = 2;
  wchar_t DateSeparator = L'/';
  wchar_t TimeSeparator = L':';
  wchar_t ListSeparator = L',';
  String CurrencyString = L"$";
  String ShortDateFormat = L"M/d/yyyy";
  String LongDateFormat = L"dddd, MMMM d, yyyy";
  String TimeAMString = L"AM";
  String TimePMString = L"PM";
  String ShortTimeFormat = L"h:mm AMPM";
  String LongTimeFormat = L"h:mm:ss AMPM";
  String ShortMonthNames[12];  // [0] is January
  String LongMonthNames[12];
  String ShortDayNames[7];  // [0] is Sunday
  String LongDayNames[7];
  Word TwoDigitYearCenturyWindow = 50;

  // Fixed English conventions (the defaults above with English names), independent of the machine.
  static TFormatSettings Invariant();
  // The conventions of a named locale ("tr-TR"), or the user's default locale when the name is empty.
  static TFormatSettings FromLocale(const String& localeName = String());
};

// The process-wide settings used by the functions that take no TFormatSettings.
extern TFormatSettings FormatSettings;

// Re-reads FormatSettings from the user's locale (done once at start).
void GetFormatSettings();

}  // namespace rtl
