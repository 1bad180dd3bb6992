#pragma once
// Dates and times as TDateTime: days since 30 December 1899, the fraction the time of day.
// Before the epoch the integer part counts days backwards while the fraction still adds the time of day as an
// absolute amount: -1.25 is 29 December 1899 06:00 (not 18:00), -0.5 is 30 December 1899 12:00.
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/types.h"

namespace rtl {

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 24 * 60;
constexpr double SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = 24.0 * 60 * 60 * 1000;
// Days between 1 January 0001 and 30 December 1899.
constexpr Integer DateDelta = 693594;

struct TSystemTimeParts {
  Word Year, Month, Day, Hour, Minute, Second, MilliSecond;
};

bool IsLeapYear(Word year);
// 0 for a month outside 1..12.
Word DaysInAMonth(Word year, Word month);
// Raises EConvertError for a month outside 1..12.
Integer DaysInMonth(Integer year, Integer month);
Word DaysInMonth(TDateTime date);

// Raise EConvertError ("Invalid argument to date encode") for impossible values.
TDateTime EncodeDate(Word year, Word month, Word day);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
// Also returns the day of the week (1 = Sunday); the result says whether the year is a leap year.
bool DecodeDateFully(TDateTime date, Word& year, Word& month, Word& day, Word& dow);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec, Word& msec);
// ISO 8601 week: the week containing the year's first Thursday is week 1; dayOfWeek 1 = Monday .. 7 = Sunday.
void DecodeDateWeek(TDateTime value, Word& year, Word& weekOfYear, Word& dayOfWeek);

// Date part (the time of day dropped) and time part (the date dropped), following the fraction rule above.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

TDateTime Date();
TDateTime Time();
TDateTime Now();
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);
Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);
// Adds months; the day is clipped to the last day of the resulting month.
TDateTime IncMonth(TDateTime date, int numberOfMonths = 1);
TDateTime IncDay(TDateTime value, int numberOfDays = 1);
TDateTime IncYear(TDateTime value, int numberOfYears = 1);
// Whole years between two dates (birthday rule), never negative.
int YearsBetween(TDateTime a, TDateTime b);
int DaysBetween(TDateTime a, TDateTime b);

// Format specifiers: c d dd ddd dddd ddddd dddddd m mm mmm mmmm (m right after h/hh is minutes) yy yyyy h hh n nn
// s ss z zzz t tt am/pm a/p ampm / : "text" 'text'. Letters are matched ignoring case. An empty format is "c".
String FormatDateTime(const String& format, TDateTime dateTime);
String FormatDateTime(const String& format, TDateTime dateTime, const TFormatSettings& settings);
String DateToStr(TDateTime date);
String DateToStr(TDateTime date, const TFormatSettings& settings);
String TimeToStr(TDateTime time);
String TimeToStr(TDateTime time, const TFormatSettings& settings);
// The date, then the long time when the time of day is not zero.
String DateTimeToStr(TDateTime dateTime);
String DateTimeToStr(TDateTime dateTime, const TFormatSettings& settings);

// Parse by the order of day, month and year in ShortDateFormat, with DateSeparator (also accepting '/', '.', '-'
// and blanks). A missing year is the current one; a two-digit year goes to the century window. Raise EConvertError
// ("'x' is not a valid date") on failure.
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& settings);
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateDef(const String& s, TDateTime def);
TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& settings);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings);

// Between TDateTime and the Win32 SYSTEMTIME fields.
TDateTime SystemTimeToDateTime(const TSystemTimeParts& st);
TSystemTimeParts DateTimeToSystemTime(TDateTime value);

}  // namespace rtl
