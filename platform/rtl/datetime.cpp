#include "platform/rtl/datetime.h"

#include <cmath>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"

namespace rtl {

namespace {

const Word kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr Int64 kMSecsPerDay = 86400000;

// Day number (days since 30 Dec 1899, the integer part) and milliseconds of the day of a TDateTime. Before the
// epoch the fraction still counts forward from midnight; rounding to a whole day carries into the next day.
struct Split {
  Int64 day;
  Int64 msec;
};

Split SplitValue(TDateTime value) {
  double whole = std::trunc(value);
  Int64 day = static_cast<Int64>(whole);
  Int64 msec = std::llround(std::fabs(value - whole) * static_cast<double>(kMSecsPerDay));
  if (msec >= kMSecsPerDay) {
    day += 1;
    msec -= kMSecsPerDay;
  }
  return {day, msec};
}

TDateTime Compose(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

bool DayNumberToDate(Int64 dayNumber, Word& year, Word& month, Word& day) {
  Int64 t = dayNumber + DateDelta - 1;  // days since 1 January 0001, 0-based
  if (t < 0 || t >= 3652059) {
    year = month = day = 0;
    return false;
  }
  constexpr Int64 d1 = 365, d4 = d1 * 4 + 1, d100 = d4 * 25 - 1, d400 = d100 * 4 + 1;
  Int64 y = 1;
  y += (t / d400) * 400;
  t %= d400;
  Int64 i = t / d100;
  Int64 d = t % d100;
  if (i == 4) {
    --i;
    d += d100;
  }
  y += i * 100;
  y += (d / d4) * 4;
  d %= d4;
  i = d / d1;
  d %= d1;
  if (i == 4) {
    --i;
    d += d1;
  }
  y += i;
  Word m = 1;
  bool leap = IsLeapYear(static_cast<Word>(y));
  while (true) {
    Word len = kDaysInMonth[m - 1] + ((m == 2 && leap) ? 1 : 0);
    if (d < len) break;
    d -= len;
    ++m;
  }
  year = static_cast<Word>(y);
  month = m;
  day = static_cast<Word>(d + 1);
  return true;
}

String Pad(int value, int width) {
  String s = std::to_wstring(value);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), L'0');
  return s;
}

wchar_t Up(wchar_t c) { return UpCase(c); }

bool StartsWithNoCase(const String& f, size_t i, const wchar_t* what) {
  for (size_t k = 0; what[k] != 0; ++k) {
    if (i + k >= f.size() || Up(f[i + k]) != Up(what[k])) return false;
  }
  return true;
}

// Whether an AM/PM specifier follows position i (outside quoted text), which switches "h" to the 12-hour clock.
bool AmPmFollows(const String& f, size_t i) {
  for (; i < f.size(); ++i) {
    wchar_t c = f[i];
    if (c == L'"' || c == L'\'') {
      size_t end = f.find(c, i + 1);
      if (end == String::npos) return false;
      i = end;
    } else if (StartsWithNoCase(f, i, L"am/pm") || StartsWithNoCase(f, i, L"a/p") || StartsWithNoCase(f, i, L"ampm")) {
      return true;
    }
  }
  return false;
}

class DateFormatter {
public:
  DateFormatter(TDateTime value, const TFormatSettings& fs) : fs_(fs) {
    Split sp = SplitValue(value);
    DayNumberToDate(sp.day, year_, month_, day_);
    Int64 ms = sp.msec;
    hour_ = static_cast<Word>(ms / 3600000);
    minute_ = static_cast<Word>(ms / 60000 % 60);
    second_ = static_cast<Word>(ms / 1000 % 60);
    msec_ = static_cast<Word>(ms % 1000);
    dow_ = static_cast<int>(((sp.day + DateDelta) % 7 + 7) % 7);  // 0 = Sunday
    hasTime_ = ms != 0;
  }

  void Append(const String& f, int depth) {
    if (depth > 2) return;
    bool lastWasHour = false;
    bool use12 = false;
    size_t i = 0;
    while (i < f.size()) {
      wchar_t c = f[i];
      wchar_t u = Up(c);
      size_t run = 1;
      while (i + run < f.size() && Up(f[i + run]) == u) ++run;
      bool hourToken = false;
      switch (u) {
        case L'"':
        case L'\'': {
          size_t end = f.find(c, i + 1);
          if (end == String::npos) end = f.size();
          out_.append(f, i + 1, end - i - 1);
          i = end + 1;
          continue;
        }
        case L'/':
          out_ += fs_.DateSeparator;
          i += 1;
          continue;
        case L':':
          out_ += fs_.TimeSeparator;
          i += 1;
          continue;
        case L'C':
          Append(fs_.ShortDateFormat, depth + 1);
          if (hasTime_) {
            out_ += L' ';
            Append(fs_.LongTimeFormat, depth + 1);
          }
          i += 1;
          continue;
        case L'D':
          if (run == 1)
            out_ += std::to_wstring(day_);
          else if (run == 2)
            out_ += Pad(day_, 2);
          else if (run == 3)
            out_ += fs_.ShortDayNames[dow_];
          else if (run == 4)
            out_ += fs_.LongDayNames[dow_];
          else if (run == 5)
            Append(fs_.ShortDateFormat, depth + 1);
          else
            Append(fs_.LongDateFormat, depth + 1);
          if (run > 6) run = 6;
          break;
        case L'M':
          if (run > 4) run = 4;
          if (lastWasHour && run <= 2) {
            out_ += run == 1 ? std::to_wstring(minute_) : Pad(minute_, 2);
          } else if (run == 1) {
            out_ += std::to_wstring(month_);
          } else if (run == 2) {
            out_ += Pad(month_, 2);
          } else if (month_ >= 1 && month_ <= 12) {
            out_ += run == 3 ? fs_.ShortMonthNames[month_ - 1] : fs_.LongMonthNames[month_ - 1];
          }
          break;
        case L'Y':
          if (run <= 2)
            out_ += Pad(year_ % 100, 2);
          else
            out_ += Pad(year_, 4);
          break;
        case L'H': {
          if (run > 2) run = 2;
          use12 = AmPmFollows(f, i + run);
          int h = hour_;
          if (use12) {
            h %= 12;
            if (h == 0) h = 12;
          }
          out_ += run == 1 ? std::to_wstring(h) : Pad(h, 2);
          hourToken = true;
          break;
        }
        case L'N':
          if (run > 2) run = 2;
          out_ += run == 1 ? std::to_wstring(minute_) : Pad(minute_, 2);
          break;
        case L'S':
          if (run > 2) run = 2;
          out_ += run == 1 ? std::to_wstring(second_) : Pad(second_, 2);
          break;
        case L'Z':
          if (run >= 3) {
            out_ += Pad(msec_, 3);
            run = 3;
          } else {
            out_ += std::to_wstring(msec_);
            run = 1;
          }
          break;
        case L'T':
          if (run >= 2) {
            Append(fs_.LongTimeFormat, depth + 1);
            run = 2;
          } else {
            Append(fs_.ShortTimeFormat, depth + 1);
          }
          break;
        case L'A':
          if (StartsWithNoCase(f, i, L"am/pm")) {
            bool upper = f[i] == L'A';
            out_ += hour_ >= 12 ? (upper ? L"PM" : L"pm") : (upper ? L"AM" : L"am");
            run = 5;
          } else if (StartsWithNoCase(f, i, L"a/p")) {
            bool upper = f[i] == L'A';
            out_ += hour_ >= 12 ? (upper ? L"P" : L"p") : (upper ? L"A" : L"a");
            run = 3;
          } else if (StartsWithNoCase(f, i, L"ampm")) {
            out_ += hour_ >= 12 ? fs_.TimePMString : fs_.TimeAMString;
            run = 4;
          } else {
            out_ += c;
            run = 1;
          }
          break;
        default:
          out_ += c;
          i += 1;
          continue;
      }
      lastWasHour =
          hourToken
              ? true
              : (u == L'D' || u == L'Y' || u == L'M' || u == L'N' || u == L'S' || u == L'Z' ? false : lastWasHour);
      i += run;
    }
  }

  const String& Result() const { return out_; }

private:
  const TFormatSettings& fs_;
  String out_;
  Word year_ = 0, month_ = 0, day_ = 0, hour_ = 0, minute_ = 0, second_ = 0, msec_ = 0;
  int dow_ = 0;
  bool hasTime_ = false;
};

// ---- parsing ----

class Scanner {
public:
  explicit Scanner(const String& s) : s_(s) {}
  void SkipBlanks() {
    while (pos_ < s_.size() && s_[pos_] == L' ') ++pos_;
  }
  bool AtEnd() {
    SkipBlanks();
    return pos_ >= s_.size();
  }
  // Reads up to maxDigits digits; digitsRead tells how many.
  bool Number(int& value, int& digitsRead, int maxDigits = 9) {
    SkipBlanks();
    value = 0;
    digitsRead = 0;
    while (pos_ < s_.size() && s_[pos_] >= L'0' && s_[pos_] <= L'9' && digitsRead < maxDigits) {
      value = value * 10 + (s_[pos_++] - L'0');
      ++digitsRead;
    }
    return digitsRead > 0;
  }
  bool Char(wchar_t c) {
    SkipBlanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool DateSeparator(wchar_t sep) {
    if (pos_ < s_.size() && (s_[pos_] == sep || s_[pos_] == L'/' || s_[pos_] == L'.' || s_[pos_] == L'-')) {
      ++pos_;
      return true;
    }
    // Blanks alone also separate the parts of a date.
    size_t save = pos_;
    SkipBlanks();
    if (pos_ > save && pos_ < s_.size() && s_[pos_] >= L'0' && s_[pos_] <= L'9') return true;
    pos_ = save;
    return false;
  }
  bool Text(const String& t) {
    SkipBlanks();
    if (t.empty() || pos_ + t.size() > s_.size()) return false;
    if (AnsiCompareText(s_.substr(pos_, t.size()), t) != 0) return false;
    pos_ += t.size();
    return true;
  }
  size_t pos() const { return pos_; }
  void set_pos(size_t p) { pos_ = p; }

private:
  const String& s_;
  size_t pos_ = 0;
};

enum class DateOrder { DMY, MDY, YMD };

DateOrder OrderOf(const String& shortDateFormat) {
  for (wchar_t c : shortDateFormat) {
    switch (Up(c)) {
      case L'D':
        return DateOrder::DMY;
      case L'M':
        return DateOrder::MDY;
      case L'Y':
        return DateOrder::YMD;
      default:
        break;
    }
  }
  return DateOrder::MDY;
}

bool ScanDate(Scanner& sc, const TFormatSettings& fs, TDateTime& value) {
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  if (!sc.Number(n1, l1)) return false;
  if (!sc.DateSeparator(fs.DateSeparator)) return false;
  if (!sc.Number(n2, l2)) return false;
  size_t save = sc.pos();
  bool three = false;
  if (sc.DateSeparator(fs.DateSeparator)) {
    if (sc.Number(n3, l3)) {
      three = true;
    } else {
      sc.set_pos(save + 1);  // a trailing separator ("12.05.") is allowed
    }
  }
  Word y, m, d;
  int yearDigits;
  DateOrder order = OrderOf(fs.ShortDateFormat);
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (!three) {
    if (order == DateOrder::MDY) {
      m = static_cast<Word>(n1);
      d = static_cast<Word>(n2);
    } else if (order == DateOrder::DMY) {
      d = static_cast<Word>(n1);
      m = static_cast<Word>(n2);
    } else {
      m = static_cast<Word>(n1);
      d = static_cast<Word>(n2);
    }
    y = now.wYear;
    yearDigits = 4;
  } else {
    int yy;
    switch (order) {
      case DateOrder::MDY:
        m = static_cast<Word>(n1), d = static_cast<Word>(n2), yy = n3, yearDigits = l3;
        break;
      case DateOrder::DMY:
        d = static_cast<Word>(n1), m = static_cast<Word>(n2), yy = n3, yearDigits = l3;
        break;
      default:
        yy = n1, yearDigits = l1, m = static_cast<Word>(n2), d = static_cast<Word>(n3);
        break;
    }
    if (yy > 9999) return false;
    if (yearDigits <= 2) {
      int centuryBase = now.wYear - fs.TwoDigitYearCenturyWindow;
      yy += centuryBase / 100 * 100;
      if (fs.TwoDigitYearCenturyWindow > 0 && yy < centuryBase) yy += 100;
    }
    y = static_cast<Word>(yy);
  }
  return TryEncodeDate(y, m, d, value);
}

bool ScanTime(Scanner& sc, const TFormatSettings& fs, TDateTime& value) {
  int h, mi = 0, s = 0, ms = 0, l;
  if (!sc.Number(h, l, 2)) return false;
  bool hasMinutes = false;
  if (sc.Char(fs.TimeSeparator) || (fs.TimeSeparator != L':' && sc.Char(L':'))) {
    if (!sc.Number(mi, l, 2)) return false;
    hasMinutes = true;
    if (sc.Char(fs.TimeSeparator) || (fs.TimeSeparator != L':' && sc.Char(L':'))) {
      if (!sc.Number(s, l, 2)) return false;
      if (sc.Char(fs.DecimalSeparator) || sc.Char(L'.')) {
        if (!sc.Number(ms, l, 3)) return false;
        while (l < 3) {
          ms *= 10;
          ++l;
        }
      }
    }
  }
  int ampm = 0;  // 1 am, 2 pm
  if (!fs.TimeAMString.empty() && sc.Text(fs.TimeAMString))
    ampm = 1;
  else if (!fs.TimePMString.empty() && sc.Text(fs.TimePMString))
    ampm = 2;
  else if (sc.Text(L"AM") || sc.Text(L"A"))
    ampm = 1;
  else if (sc.Text(L"PM") || sc.Text(L"P"))
    ampm = 2;
  if (!hasMinutes && ampm == 0) return false;
  if (ampm != 0) {
    if (h < 1 || h > 12) return false;
    if (h == 12) h = 0;
    if (ampm == 2) h += 12;
  }
  return TryEncodeTime(static_cast<Word>(h), static_cast<Word>(mi), static_cast<Word>(s), static_cast<Word>(ms), value);
}

[[noreturn]] void InvalidDate(const String& s, const wchar_t* what) {
  throw EConvertError(L"'" + s + L"' is not a valid " + what);
}

}  // namespace

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInAMonth(Word year, Word month) {
  if (month < 1 || month > 12) return 0;
  return static_cast<Word>(kDaysInMonth[month - 1] + ((month == 2 && IsLeapYear(year)) ? 1 : 0));
}

Integer DaysInMonth(Integer year, Integer month) {
  if (month < 1 || month > 12) throw EConvertError(L"Invalid month: " + std::to_wstring(month));
  return DaysInAMonth(static_cast<Word>(year), static_cast<Word>(month));
}

Word DaysInMonth(TDateTime date) {
  Word y, m, d;
  DecodeDate(date, y, m, d);
  return DaysInAMonth(y, m);
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  Int64 days = day;
  for (Word m = 1; m < month; ++m) days += DaysInAMonth(year, m);
  Int64 y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  date = static_cast<double>(days - DateDelta);
  return true;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
  time = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / static_cast<double>(kMSecsPerDay);
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError(L"Invalid argument to date encode");
  return d;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError(L"Invalid argument to time encode");
  return t;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec) {
  return Compose(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  DayNumberToDate(SplitValue(date).day, year, month, day);
}

bool DecodeDateFully(TDateTime date, Word& year, Word& month, Word& day, Word& dow) {
  DecodeDate(date, year, month, day);
  dow = static_cast<Word>(DayOfWeek(date));
  return IsLeapYear(year);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  Int64 ms = SplitValue(time).msec;
  hour = static_cast<Word>(ms / 3600000);
  min = static_cast<Word>(ms / 60000 % 60);
  sec = static_cast<Word>(ms / 1000 % 60);
  msec = static_cast<Word>(ms % 1000);
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec, Word& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

void DecodeDateWeek(TDateTime value, Word& year, Word& weekOfYear, Word& dayOfWeek) {
  Int64 day = SplitValue(value).day;
  int dow = DayOfWeek(static_cast<double>(day));  // 1 = Sunday
  int iso = dow == 1 ? 7 : dow - 1;               // 1 = Monday
  // The week belongs to the year of its Thursday.
  Int64 thursday = day + (4 - iso);
  Word y, m, d;
  DayNumberToDate(thursday, y, m, d);
  TDateTime jan1;
  TryEncodeDate(y, 1, 1, jan1);
  year = y;
  weekOfYear = static_cast<Word>((thursday - static_cast<Int64>(jan1)) / 7 + 1);
  dayOfWeek = static_cast<Word>(iso);
}

TDateTime DateOf(TDateTime value) { return static_cast<double>(SplitValue(value).day); }

TDateTime TimeOf(TDateTime value) { return static_cast<double>(SplitValue(value).msec) / kMSecsPerDay; }

TDateTime Date() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay);
}

TDateTime Time() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return Compose(EncodeDate(st.wYear, st.wMonth, st.wDay),
                 EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds));
}

int DayOfWeek(TDateTime date) {
  // Day 1 (1 January 0001) was a Monday, so a multiple of 7 is a Sunday.
  Int64 day = SplitValue(date).day + DateDelta;
  return static_cast<int>((day % 7 + 7) % 7) + 1;
}

Word YearOf(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return y;
}

Word MonthOf(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return m;
}

Word DayOf(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return d;
}

TDateTime IncMonth(TDateTime date, int numberOfMonths) {
  Word y, m, d;
  DecodeDate(date, y, m, d);
  int total = y * 12 + (m - 1) + numberOfMonths;
  int ny = total / 12;
  Word nm = static_cast<Word>(total % 12 + 1);
  Word nd = d;
  Word last = DaysInAMonth(static_cast<Word>(ny), nm);
  if (nd > last) nd = last;
  return Compose(EncodeDate(static_cast<Word>(ny), nm, nd), TimeOf(date));
}

TDateTime IncDay(TDateTime value, int numberOfDays) {
  Split sp = SplitValue(value);
  return Compose(static_cast<double>(sp.day + numberOfDays), static_cast<double>(sp.msec) / kMSecsPerDay);
}

TDateTime IncYear(TDateTime value, int numberOfYears) { return IncMonth(value, numberOfYears * 12); }

int YearsBetween(TDateTime a, TDateTime b) {
  if (a > b) std::swap(a, b);
  Word y1, m1, d1, y2, m2, d2;
  DecodeDate(a, y1, m1, d1);
  DecodeDate(b, y2, m2, d2);
  int years = y2 - y1;
  if (m2 < m1 || (m2 == m1 && d2 < d1)) --years;
  return years < 0 ? 0 : years;
}

int DaysBetween(TDateTime a, TDateTime b) {
  Int64 x = SplitValue(a).day, y = SplitValue(b).day;
  return static_cast<int>(x > y ? x - y : y - x);
}

String FormatDateTime(const String& format, TDateTime dateTime) {
  return FormatDateTime(format, dateTime, FormatSettings);
}

String FormatDateTime(const String& format, TDateTime dateTime, const TFormatSettings& settings) {
  DateFormatter f(dateTime, settings);
  f.Append(format.empty() ? String(L"c") : format, 0);
  return f.Result();
}

String DateToStr(TDateTime date) { return FormatDateTime(L"ddddd", date, FormatSettings); }
String DateToStr(TDateTime date, const TFormatSettings& settings) { return FormatDateTime(L"ddddd", date, settings); }
String TimeToStr(TDateTime time) { return FormatDateTime(L"tt", time, FormatSettings); }
String TimeToStr(TDateTime time, const TFormatSettings& settings) { return FormatDateTime(L"tt", time, settings); }
String DateTimeToStr(TDateTime dateTime) { return FormatDateTime(L"c", dateTime, FormatSettings); }
String DateTimeToStr(TDateTime dateTime, const TFormatSettings& settings) {
  return FormatDateTime(L"c", dateTime, settings);
}

bool TryStrToDate(const String& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings); }

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(s);
  TDateTime d;
  if (!ScanDate(sc, settings, d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings); }

TDateTime StrToDate(const String& s, const TFormatSettings& settings) {
  TDateTime d;
  if (!TryStrToDate(s, d, settings)) InvalidDate(s, L"date");
  return d;
}

TDateTime StrToDateDef(const String& s, TDateTime def) {
  TDateTime d;
  return TryStrToDate(s, d) ? d : def;
}

bool TryStrToTime(const String& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings); }

bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(s);
  TDateTime t;
  if (!ScanTime(sc, settings, t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings); }

TDateTime StrToTime(const String& s, const TFormatSettings& settings) {
  TDateTime t;
  if (!TryStrToTime(s, t, settings)) InvalidDate(s, L"time");
  return t;
}

bool TryStrToDateTime(const String& s, TDateTime& value) { return TryStrToDateTime(s, value, FormatSettings); }

bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(s);
  TDateTime d = 0, t = 0;
  size_t start = sc.pos();
  if (ScanDate(sc, settings, d)) {
    if (sc.AtEnd()) {
      value = d;
      return true;
    }
    if (ScanTime(sc, settings, t) && sc.AtEnd()) {
      value = Compose(d, t);
      return true;
    }
  }
  sc.set_pos(start);
  if (ScanTime(sc, settings, t) && sc.AtEnd()) {
    value = t;
    return true;
  }
  return false;
}

TDateTime StrToDateTime(const String& s) { return StrToDateTime(s, FormatSettings); }

TDateTime StrToDateTime(const String& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, settings)) InvalidDate(s, L"date and time");
  return v;
}

TDateTime SystemTimeToDateTime(const TSystemTimeParts& st) {
  return EncodeDateTime(st.Year, st.Month, st.Day, st.Hour, st.Minute, st.Second, st.MilliSecond);
}

TSystemTimeParts DateTimeToSystemTime(TDateTime value) {
  TSystemTimeParts st{};
  DecodeDateTime(value, st.Year, st.Month, st.Day, st.Hour, st.Minute, st.Second, st.MilliSecond);
  return st;
}

}  // namespace rtl
