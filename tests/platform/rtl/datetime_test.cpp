#include "platform/rtl/datetime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/exceptions.h"

using namespace rtl;

namespace {

TFormatSettings Turkish() {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.ShortDateFormat = L"dd.MM.yyyy";
  fs.LongDateFormat = L"d MMMM yyyy dddd";
  fs.DateSeparator = L'.';
  fs.TimeSeparator = L':';
  fs.DecimalSeparator = L',';
  fs.ShortTimeFormat = L"hh:mm";
  fs.LongTimeFormat = L"hh:mm:ss";
  fs.TimeAMString = L"ÖÖ";
  fs.TimePMString = L"ÖS";
  const wchar_t* months[12] = {L"Ocak",   L"Şubat",   L"Mart",  L"Nisan", L"Mayıs", L"Haziran",
                               L"Temmuz", L"Ağustos", L"Eylül", L"Ekim",  L"Kasım", L"Aralık"};
  const wchar_t* days[7] = {L"Pazar", L"Pazartesi", L"Salı", L"Çarşamba", L"Perşembe", L"Cuma", L"Cumartesi"};
  for (int i = 0; i < 12; ++i) {
    fs.LongMonthNames[i] = months[i];
    fs.ShortMonthNames[i] = String(months[i]).substr(0, 3);
  }
  for (int i = 0; i < 7; ++i) {
    fs.LongDayNames[i] = days[i];
    fs.ShortDayNames[i] = String(days[i]).substr(0, 3);
  }
  return fs;
}

TFormatSettings American() {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.ShortDateFormat = L"M/d/yyyy";
  fs.DateSeparator = L'/';
  fs.LongTimeFormat = L"h:mm:ss AMPM";
  fs.TimeAMString = L"AM";
  fs.TimePMString = L"PM";
  return fs;
}

}  // namespace

TEST(DateTime, EpochAndBeforeIt) {
  struct Case {
    Word y, m, d;
    double value;
  } cases[] = {{1899, 12, 30, 0},   {1899, 12, 29, -1}, {1899, 12, 31, 1},       {1900, 1, 1, 2},
               {2000, 1, 1, 36526}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465}, {2024, 2, 29, 45351}};
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
    Word y, m, d;
    DecodeDate(c.value, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
  }
}

TEST(DateTime, FractionBeforeTheEpochIsTheAbsoluteTimeOfDay) {
  Word y, m, d, h, mi, s, ms;
  DecodeDateTime(-1.25, y, m, d, h, mi, s, ms);
  EXPECT_EQ(d, 29);
  EXPECT_EQ(h, 6);
  DecodeDateTime(-0.5, y, m, d, h, mi, s, ms);
  EXPECT_EQ(d, 30);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(EncodeDateTime(1899, 12, 30, 18, 0, 0, 0), 0.75);
  EXPECT_EQ(FormatDateTime(L"dd.mm.yyyy hh:nn", -1.25, Turkish()), L"29.12.1899 06:00");
  EXPECT_EQ(DateOf(-1.25), -1);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
  EXPECT_EQ(IncDay(-1.25, 1), 0.25);
  EXPECT_EQ(IncDay(0.25, -1), -1.25);
  EXPECT_EQ(IncDay(-1.25, -1), -2.25);
}

TEST(DateTime, TimeRoundTripAndCarry) {
  TDateTime t = EncodeTime(13, 45, 30, 250);
  Word h, m, s, ms;
  DecodeTime(t, h, m, s, ms);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(m, 45);
  EXPECT_EQ(s, 30);
  EXPECT_EQ(ms, 250);
  // A value a hair below midnight rounds to the next day rather than to 24:00.
  TDateTime almost = EncodeDate(2024, 12, 31) + 0.99999999999;
  EXPECT_EQ(FormatDateTime(L"yyyy-mm-dd hh:nn:ss.zzz", almost, Turkish()), L"2025-01-01 00:00:00.000");
}

TEST(DateTime, InvalidPartsRaise) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  TDateTime v = 5;
  EXPECT_FALSE(TryEncodeDate(2024, 4, 31, v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(TryEncodeTime(23, 59, 59, 999, v));
}

TEST(DateTime, CalendarRules) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_THROW(DaysInMonth(2000, 13), EConvertError);
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 6, 2)), 1);    // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 25)), 2);  // Monday, before the epoch
  EXPECT_EQ(DayOfWeek(-1.75), 6);
}

TEST(DateTime, IncMonthClipsTheDay) {
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 31), -1), EncodeDate(2024, 2, 29));
  EXPECT_EQ(IncMonth(EncodeDate(2023, 11, 15), 3), EncodeDate(2024, 2, 15));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 15) + 0.5, -13), EncodeDate(2022, 12, 15) + 0.5);
  EXPECT_EQ(YearsBetween(EncodeDate(2010, 5, 10), EncodeDate(2024, 5, 9)), 13);
  EXPECT_EQ(YearsBetween(EncodeDate(2010, 5, 10), EncodeDate(2024, 5, 10)), 14);
}

TEST(DateTime, IsoWeeks) {
  struct Case {
    Word y, m, d, wy, week, dow;
  } cases[] = {{2021, 1, 3, 2020, 53, 7},
               {2021, 1, 4, 2021, 1, 1},
               {2024, 12, 30, 2025, 1, 1},
               {2024, 6, 5, 2024, 23, 3},
               {2015, 12, 31, 2015, 53, 4}};
  for (const auto& c : cases) {
    Word y, w, dow;
    DecodeDateWeek(EncodeDate(c.y, c.m, c.d), y, w, dow);
    EXPECT_EQ(y, c.wy) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(w, c.week);
    EXPECT_EQ(dow, c.dow);
  }
}

TEST(FormatDateTime, Specifiers) {
  const TFormatSettings tr = Turkish();
  TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);  // a Tuesday
  struct Case {
    const wchar_t* fmt;
    const wchar_t* expected;
  } cases[] = {
      {L"d/m/yy", L"5.3.24"},
      {L"dd/mm/yyyy", L"05.03.2024"},
      {L"ddd dddd", L"Sal Salı"},
      {L"mmm mmmm", L"Mar Mart"},
      {L"h:n:s", L"14:7:9"},
      {L"hh:nn:ss.zzz", L"14:07:09.045"},
      {L"hh:mm", L"14:07"},  // m after h is minutes
      {L"z", L"45"},
      {L"h am/pm", L"2 pm"},
      {L"hh AM/PM", L"02 PM"},
      {L"h a/p", L"2 p"},
      {L"h ampm", L"2 ÖS"},
      {L"ddddd", L"05.03.2024"},
      {L"dddddd", L"5 Mart 2024 Salı"},
      {L"t", L"14:07"},
      {L"tt", L"14:07:09"},
      {L"c", L"05.03.2024 14:07:09"},
      {L"\"Tarih:\" dd 'of' mmmm", L"Tarih: 05 of Mart"},
      {L"YYYY-MM-DD", L"2024-03-05"},
      {L"", L"05.03.2024 14:07:09"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, v, tr), c.expected) << c.fmt;
  EXPECT_EQ(FormatDateTime(L"c", EncodeDate(2024, 3, 5), tr), L"05.03.2024");
  EXPECT_EQ(FormatDateTime(L"h:nn am/pm", EncodeTime(0, 5, 0, 0), tr), L"12:05 am");
  EXPECT_EQ(FormatDateTime(L"h:nn am/pm", EncodeTime(12, 5, 0, 0), tr), L"12:05 pm");
}

TEST(FormatDateTime, ToStrHelpers) {
  TDateTime v = EncodeDateTime(2024, 3, 5, 9, 30, 0, 0);
  EXPECT_EQ(DateToStr(v, Turkish()), L"05.03.2024");
  EXPECT_EQ(TimeToStr(v, Turkish()), L"09:30:00");
  EXPECT_EQ(DateTimeToStr(v, Turkish()), L"05.03.2024 09:30:00");
  EXPECT_EQ(DateToStr(v, American()), L"3/5/2024");
  EXPECT_EQ(TimeToStr(v, American()), L"9:30:00 AM");
}

TEST(StrToDate, ShortDateOrder) {
  const TFormatSettings tr = Turkish();
  const TFormatSettings us = American();
  EXPECT_EQ(StrToDate(L"05.03.2024", tr), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(L"5.3.2024", tr), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(L" 5/3/2024 ", tr), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(L"3/5/2024", us), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(L"29.12.1899", tr), -1);
  TFormatSettings iso = tr;
  iso.ShortDateFormat = L"yyyy-MM-dd";
  iso.DateSeparator = L'-';
  EXPECT_EQ(StrToDate(L"2024-03-05", iso), EncodeDate(2024, 3, 5));

  const wchar_t* bad[] = {L"", L"31.02.2024", L"abc", L"05.03.2024x", L"05.13.2024", L"1.2.3.4", L"05..2024"};
  for (auto b : bad) {
    TDateTime v = 7;
    EXPECT_FALSE(TryStrToDate(b, v, tr)) << b;
    EXPECT_EQ(v, 7);
  }
  try {
    StrToDate(L"31.02.2024", tr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"'31.02.2024' is not a valid date");
  }
}

TEST(StrToDate, TwoDigitYearsAndMissingYear) {
  const TFormatSettings tr = Turkish();
  Word thisYear = YearOf(Date());
  EXPECT_EQ(YearOf(StrToDate(L"05.03", tr)), thisYear);
  Word y = YearOf(StrToDate(L"01.01.05", tr));
  EXPECT_EQ(y % 100, 5);
  EXPECT_GE(y, thisYear - 50);
  EXPECT_LT(y, thisYear + 50);
}

TEST(StrToDate, TimesAndDateTimes) {
  const TFormatSettings tr = Turkish();
  const TFormatSettings us = American();
  EXPECT_EQ(StrToTime(L"14:07", tr), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToTime(L"14:07:09", tr), EncodeTime(14, 7, 9, 0));
  EXPECT_EQ(StrToTime(L"14:07:09,5", tr), EncodeTime(14, 7, 9, 500));
  EXPECT_EQ(StrToTime(L"2:07 PM", us), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToTime(L"12:00 AM", us), 0);
  EXPECT_THROW(StrToTime(L"25:00", tr), EConvertError);
  EXPECT_THROW(StrToTime(L"14", tr), EConvertError);
  EXPECT_EQ(StrToDateTime(L"05.03.2024 14:07", tr), EncodeDateTime(2024, 3, 5, 14, 7, 0, 0));
  EXPECT_EQ(StrToDateTime(L"05.03.2024", tr), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDateTime(L"29.12.1899 06:00", tr), -1.25);
  EXPECT_THROW(StrToDateTime(L"05.03.2024 x", tr), EConvertError);
}

TEST(StrToDate, RoundTripThroughText) {
  const TFormatSettings tr = Turkish();
  for (double v : {0.0, -1.25, 36526.5, 45351.75, -693593.0}) {
    TDateTime back = StrToDateTime(DateTimeToStr(v, tr), tr);
    EXPECT_NEAR(back, v, 1e-9) << v;
  }
}

TEST(DateTime, ClockFunctionsAgree) {
  TDateTime today = Date();
  TDateTime now = Now();
  TDateTime time = Time();
  EXPECT_EQ(today, std::floor(today));
  EXPECT_GE(time, 0);
  EXPECT_LT(time, 1);
  // The three readings can straddle midnight only in a two-millisecond window; allow for it.
  EXPECT_TRUE(DateOf(now) == today || DateOf(now) == today + 1);
  EXPECT_GT(today, EncodeDate(2020, 1, 1));
  TSystemTimeParts parts = DateTimeToSystemTime(EncodeDateTime(2024, 2, 29, 23, 59, 58, 999));
  EXPECT_EQ(parts.Day, 29);
  EXPECT_EQ(parts.MilliSecond, 999);
  EXPECT_EQ(SystemTimeToDateTime(parts), EncodeDateTime(2024, 2, 29, 23, 59, 58, 999));
}
