#include "platform/rtl/format.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace rtl {

namespace {

constexpr int kMaxPrecision = 17;

// A finite value as decimal digits: |value| = 0.<digits> * 10^exp, no trailing zeros; zero has no digits. The
// digits live in the value itself: numbers are formatted at every record of a report, and a heap block for each
// would cost more than the conversion.
struct Decimal {
  bool neg = false;
  int count = 0;
  int exp = 0;
  char digits[kMaxPrecision + 7] = {};
  bool IsZero() const { return count == 0; }
  void TrimZeros() {
    while (count > 0 && digits[count - 1] == '0') --count;
  }
};

void RoundDigits(Decimal& d, int keep);

// Reads the digits and the exponent of the text to_chars wrote in scientific form ("d.ddde+xx"); false when it
// holds more digits than a Decimal keeps.
bool ReadScientific(const char* text, const char* end, Decimal& d) {
  d.count = 0;
  const char* c = text;
  for (; c < end && *c != 'e'; ++c) {
    if (*c < '0' || *c > '9') continue;
    if (d.count == kMaxPrecision) return false;
    d.digits[d.count++] = *c;
  }
  int exponent = 0;
  if (c < end) {
    ++c;
    const bool negative = c < end && *c == '-';
    if (c < end && (*c == '-' || *c == '+')) ++c;
    for (; c < end && *c >= '0' && *c <= '9'; ++c) exponent = exponent * 10 + (*c - '0');
    if (negative) exponent = -exponent;
  }
  d.exp = exponent + 1;
  return true;
}

// The digits are taken as the runtime does: the value to 15 significant digits (17 when more are asked for), then
// rounded half away from zero to the precision wanted, so 1.005 shows as 1.01 with two decimals.
Decimal ToDecimal(double v, int precision) {
  Decimal d;
  d.neg = std::signbit(v);
  if (v == 0) return d;
  if (precision < 1) precision = 1;
  if (precision > kMaxPrecision) precision = kMaxPrecision;
  const double magnitude = std::fabs(v);
  char buf[64];
  // The shortest digits that read back as the value are much cheaper than the exact ones. Where they are at most 15
  // (most numbers people type or store), they are what the exact digits give rounded to 15: for a normal number
  // they lie within half a unit in the last binary place, about 11 units in the 17th decimal digit, of the exact
  // value, far closer than the 50 units at which rounding to 15 digits could tip the other way. Subnormal numbers
  // have fewer binary places, so they take the exact way.
  if (precision <= 15 && magnitude >= DBL_MIN) {
    const auto shortest = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    if (shortest.ec == std::errc() && ReadScientific(buf, shortest.ptr, d) && d.count <= 15) {
      d.TrimZeros();
      RoundDigits(d, precision);
      return d;
    }
  }
  // The exact digits, as printf's "%.16e" gives them, without the cost of printf.
  const auto exact = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, kMaxPrecision - 1);
  ReadScientific(buf, exact.ptr, d);
  if (precision <= 15) RoundDigits(d, 15);
  RoundDigits(d, precision);
  d.TrimZeros();
  return d;
}

// Keeps the first keep digits, rounding the rest half away from zero.
void RoundDigits(Decimal& d, int keep) {
  if (keep >= d.count) {
    d.TrimZeros();
    return;
  }
  if (keep < 0) {
    d.count = 0;
    return;
  }
  const bool up = d.digits[keep] >= '5';
  d.count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') {
      d.digits[i] = '0';
      --i;
    }
    if (i < 0) {
      std::memmove(d.digits + 1, d.digits, static_cast<size_t>(d.count));
      d.digits[0] = '1';
      ++d.count;
      d.exp += 1;
    } else {
      d.digits[i] += 1;
    }
  }
  d.TrimZeros();
}

// Rounds to the given number of decimals.
void RoundDecimals(Decimal& d, int decimals) {
  if (d.IsZero()) return;
  int keep = d.exp + decimals;
  if (keep == 0 && d.digits[0] >= '5') {
    d.digits[0] = '1';
    d.count = 1;
    d.exp += 1;
    return;
  }
  RoundDigits(d, keep);
}

char DigitAt(const Decimal& d, int index) { return index >= 0 && index < d.count ? d.digits[index] : '0'; }

String IntegerPart(const Decimal& d, bool thousands, wchar_t thousandSep) {
  String out;
  int n = d.exp > 0 ? d.exp : 0;
  if (n == 0) return L"0";
  for (int i = 0; i < n; ++i) {
    out += static_cast<wchar_t>(DigitAt(d, i));
    int remaining = n - 1 - i;
    if (thousands && remaining > 0 && remaining % 3 == 0 && thousandSep != 0) out += thousandSep;
  }
  return out;
}

String FractionPart(const Decimal& d, int decimals) {
  String out;
  for (int i = 0; i < decimals; ++i) out += static_cast<wchar_t>(DigitAt(d, d.exp + i));
  return out;
}

String ExponentText(int exponent, int minDigits, bool plusSign) {
  String out = L"E";
  if (exponent < 0)
    out += L'-';
  else if (plusSign)
    out += L'+';
  String num = std::to_wstring(exponent < 0 ? -exponent : exponent);
  while (static_cast<int>(num.size()) < minDigits) num.insert(num.begin(), L'0');
  return out + num;
}

String SpecialText(double v) {
  if (std::isnan(v)) return L"NAN";
  return v < 0 ? L"-INF" : L"INF";
}

// Scientific form of d with mantissaDigits significant digits (trailing zeros removed when trim is set).
String Scientific(const Decimal& d, int mantissaDigits, bool trim, int expDigits, bool plusSign, wchar_t decSep) {
  String out;
  if (d.neg && !d.IsZero()) out += L'-';
  int count = trim ? d.count : mantissaDigits;
  if (count < 1) count = 1;
  out += static_cast<wchar_t>(DigitAt(d, 0));
  if (count > 1) {
    out += decSep;
    for (int i = 1; i < count; ++i) out += static_cast<wchar_t>(DigitAt(d, i));
  }
  out += ExponentText(d.IsZero() ? 0 : d.exp - 1, expDigits, plusSign);
  return out;
}

String General(double v, int precision, int expDigits, const TFormatSettings& fs) {
  if (!std::isfinite(v)) return SpecialText(v);
  if (precision < 1 || precision > kMaxPrecision) precision = 15;
  // Whole numbers (positions and sizes mostly are) print as their digits: the text is the same as the decimal
  // conversion gives, without its cost.
  if (precision >= 15 && std::fabs(v) < 1e15 && v == std::trunc(v)) {
    long long n = static_cast<long long>(v);
    wchar_t buf[24];
    wchar_t* p = buf + 24;
    const bool neg = n < 0;
    if (neg) n = -n;
    do {
      *--p = static_cast<wchar_t>(L'0' + n % 10);
      n /= 10;
    } while (n != 0);
    if (neg) *--p = L'-';
    return String(p, buf + 24);
  }
  Decimal d = ToDecimal(v, precision);
  if (d.IsZero()) return L"0";
  if (d.exp > precision || d.exp < -3) return Scientific(d, precision, true, expDigits, false, fs.DecimalSeparator);
  String out;
  if (d.neg) out += L'-';
  out += IntegerPart(d, false, 0);
  int decimals = d.count - d.exp;
  if (decimals > 0) {
    out += fs.DecimalSeparator;
    out += FractionPart(d, decimals);
  }
  return out;
}

// Fixed notation, unsigned; sets negative when the rounded value is below zero.
// Fixed notation of the digits rounded to decimals, appended to out, unsigned; sets negative when the rounded value
// is below zero.
void AppendFixed(Decimal d, int decimals, bool thousands, const TFormatSettings& fs, bool& negative, String& out) {
  RoundDecimals(d, decimals);
  negative = d.neg && !d.IsZero();
  const int n = d.exp > 0 ? d.exp : 0;
  if (n == 0) out += L'0';
  for (int i = 0; i < n; ++i) {
    out += static_cast<wchar_t>(DigitAt(d, i));
    const int remaining = n - 1 - i;
    if (thousands && remaining > 0 && remaining % 3 == 0 && fs.ThousandSeparator != 0) out += fs.ThousandSeparator;
  }
  if (decimals > 0) {
    out += fs.DecimalSeparator;
    for (int i = 0; i < decimals; ++i) out += static_cast<wchar_t>(DigitAt(d, d.exp + i));
  }
}

String CurrencyText(const String& digits, bool negative, const TFormatSettings& fs) {
  const String& c = fs.CurrencyString;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1:
        return digits + c;
      case 2:
        return c + L" " + digits;
      case 3:
        return digits + L" " + c;
      default:
        return c + digits;
    }
  }
  switch (fs.NegCurrFormat) {
    case 0:
      return L"(" + c + digits + L")";
    case 1:
      return L"-" + c + digits;
    case 2:
      return c + L"-" + digits;
    case 3:
      return c + digits + L"-";
    case 4:
      return L"(" + digits + c + L")";
    case 5:
      return L"-" + digits + c;
    case 6:
      return digits + L"-" + c;
    case 7:
      return digits + c + L"-";
    case 8:
      return L"-" + digits + L" " + c;
    case 9:
      return L"-" + c + L" " + digits;
    case 10:
      return digits + L" " + c + L"-";
    case 11:
      return c + L" " + digits + L"-";
    case 12:
      return c + L" -" + digits;
    case 13:
      return digits + L"- " + c;
    case 14:
      return L"(" + c + L" " + digits + L")";
    case 15:
      return L"(" + digits + L" " + c + L")";
    default:
      return L"-" + c + digits;
  }
}

String FloatF(double v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs, int fixedLimit) {
  if (!std::isfinite(v)) return SpecialText(v);
  if (precision < 1) precision = 1;
  if (precision > kMaxPrecision) precision = kMaxPrecision;
  if (digits < 0) digits = 0;
  switch (format) {
    case ffExponent: {
      if (digits > 4) digits = 4;
      Decimal d = ToDecimal(v, precision);
      return Scientific(d, precision, false, digits, true, fs.DecimalSeparator);
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      if (digits > 18) digits = 18;
      Decimal probe = ToDecimal(v, precision);
      if (probe.exp > fixedLimit) return General(v, precision, 0, fs);
      bool negative = false;
      String text;
      // The sign's place is kept in front; the digits go in after it, without a second string.
      text.reserve(static_cast<size_t>((probe.exp > 0 ? probe.exp + probe.exp / 3 : 1) + digits + 2));
      text += L'-';
      AppendFixed(probe, digits, format != ffFixed, fs, negative, text);
      if (format == ffCurrency) return CurrencyText(text.substr(1), negative, fs);
      if (!negative) text.erase(0, 1);
      return text;
    }
    case ffGeneral:
    default:
      if (digits > 4) digits = 4;
      return General(v, precision, digits, fs);
  }
}

bool ParseFloat(const String& s, wchar_t decSep, double& value) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= L' ') ++b;
  while (e > b && s[e - 1] <= L' ') --e;
  std::string ascii;
  size_t i = b;
  if (i < e && (s[i] == L'+' || s[i] == L'-')) {
    if (s[i] == L'-') ascii += '-';
    ++i;
  }
  int mantissaDigits = 0;
  while (i < e && s[i] >= L'0' && s[i] <= L'9') {
    ascii += static_cast<char>(s[i++]);
    ++mantissaDigits;
  }
  if (i < e && s[i] == decSep) {
    ascii += '.';
    ++i;
    while (i < e && s[i] >= L'0' && s[i] <= L'9') {
      ascii += static_cast<char>(s[i++]);
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < e && (s[i] == L'e' || s[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < e && (s[i] == L'+' || s[i] == L'-')) ascii += static_cast<char>(s[i++]);
    int expDigits = 0;
    while (i < e && s[i] >= L'0' && s[i] <= L'9') {
      ascii += static_cast<char>(s[i++]);
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != e) return false;
  double v = 0;
  auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
  if (r.ptr != ascii.data() + ascii.size()) return false;
  if (r.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is an error.
    if (std::isinf(std::strtod(ascii.c_str(), nullptr))) return false;
    v = 0;
  } else if (r.ec != std::errc()) {
    return false;
  }
  value = v;
  return true;
}

// ---- Format ----

class Formatter {
public:
  Formatter(const String& fmt, const TVarRec* args, size_t count, const TFormatSettings& fs)
      : fmt_(fmt), args_(args), count_(count), fs_(fs) {}

  String Run() {
    String out;
    size_t i = 0;
    while (i < fmt_.size()) {
      wchar_t c = fmt_[i++];
      if (c != L'%') {
        out += c;
        continue;
      }
      if (i < fmt_.size() && fmt_[i] == L'%') {
        out += L'%';
        ++i;
        continue;
      }
      out += Directive(i);
    }
    return out;
  }

private:
  [[noreturn]] void Invalid() const {
    throw EConvertError(L"Format '" + fmt_ + L"' invalid or incompatible with argument");
  }

  const TVarRec& Next() {
    if (next_ >= count_) throw EConvertError(L"No argument for format '" + fmt_ + L"'");
    return args_[next_++];
  }

  // Reads a number or "*" (taken from the arguments); -1 when there is neither.
  int Number(size_t& i) {
    if (i < fmt_.size() && fmt_[i] == L'*') {
      ++i;
      const TVarRec& a = Next();
      if (a.kind() != TVarRec::Kind::Integer && a.kind() != TVarRec::Kind::Int64) Invalid();
      return static_cast<int>(a.AsInt64());
    }
    if (i >= fmt_.size() || fmt_[i] < L'0' || fmt_[i] > L'9') return -1;
    int n = 0;
    while (i < fmt_.size() && fmt_[i] >= L'0' && fmt_[i] <= L'9') {
      n = n * 10 + (fmt_[i++] - L'0');
      if (n > 100000) Invalid();
    }
    return n;
  }

  String Directive(size_t& i) {
    bool left = false;
    size_t j = i;
    size_t index = 0;
    while (j < fmt_.size() && fmt_[j] >= L'0' && fmt_[j] <= L'9' && j - i < 6) index = index * 10 + (fmt_[j++] - L'0');
    if (j > i && j < fmt_.size() && fmt_[j] == L':') {
      next_ = index;
      i = j + 1;
    }
    if (i < fmt_.size() && fmt_[i] == L'-') {
      left = true;
      ++i;
    }
    int width = Number(i);
    if (width < 0 && i < fmt_.size() && fmt_[i] == L'*') width = 0;
    int precision = -1;
    if (i < fmt_.size() && fmt_[i] == L'.') {
      ++i;
      precision = Number(i);
      if (precision < 0) precision = 0;
    }
    if (i >= fmt_.size()) Invalid();
    wchar_t type = LoCase(fmt_[i++]);
    String text = Convert(type, precision);
    if (width < 0) {
      left = true;
      width = -width;
    }
    if (static_cast<int>(text.size()) < width) {
      String pad(static_cast<size_t>(width) - text.size(), L' ');
      text = left ? text + pad : pad + text;
    }
    return text;
  }

  static bool IsInt(const TVarRec& a) { return a.kind() == TVarRec::Kind::Integer || a.kind() == TVarRec::Kind::Int64; }
  static bool IsNumber(const TVarRec& a) { return IsInt(a) || a.kind() == TVarRec::Kind::Float; }

  static String PadDigits(String digits, int precision) {
    bool neg = !digits.empty() && digits[0] == L'-';
    if (neg) digits.erase(0, 1);
    while (static_cast<int>(digits.size()) < precision) digits.insert(digits.begin(), L'0');
    return neg ? L"-" + digits : digits;
  }

  String Convert(wchar_t type, int precision) {
    const TVarRec& a = Next();
    switch (type) {
      case L'd':
        if (!IsInt(a)) Invalid();
        return PadDigits(IntToStr(a.AsInt64()), precision);
      case L'u': {
        if (!IsInt(a)) Invalid();
        UInt64 u =
            a.kind() == TVarRec::Kind::Integer ? static_cast<Cardinal>(a.AsInt64()) : static_cast<UInt64>(a.AsInt64());
        return PadDigits(UIntToStr(u), precision);
      }
      case L'x': {
        if (!IsInt(a)) Invalid();
        UInt64 u =
            a.kind() == TVarRec::Kind::Integer ? static_cast<Cardinal>(a.AsInt64()) : static_cast<UInt64>(a.AsInt64());
        return IntToHexBits(u, precision);
      }
      case L'p':
        if (a.kind() != TVarRec::Kind::Pointer) Invalid();
        return IntToHexBits(reinterpret_cast<UInt64>(a.AsPointer()), 16);
      case L's':
        if (a.kind() != TVarRec::Kind::String && a.kind() != TVarRec::Kind::Char) Invalid();
        if (precision >= 0 && static_cast<size_t>(precision) < a.AsString().size()) {
          return a.AsString().substr(0, static_cast<size_t>(precision));
        }
        return a.AsString();
      case L'e':
      case L'f':
      case L'g':
      case L'n':
      case L'm': {
        if (!IsNumber(a)) Invalid();
        double v = a.kind() == TVarRec::Kind::Float ? a.AsFloat() : static_cast<double>(a.AsInt64());
        switch (type) {
          case L'e':
            return FloatF(v, ffExponent, precision < 0 ? 15 : precision, 3, fs_, 18);
          case L'f':
            return FloatF(v, ffFixed, 15, precision < 0 ? 2 : precision, fs_, 18);
          case L'g':
            return FloatF(v, ffGeneral, precision < 0 ? 15 : precision, 0, fs_, 18);
          case L'n':
            return FloatF(v, ffNumber, 15, precision < 0 ? 2 : precision, fs_, 18);
          default:
            return FloatF(v, ffCurrency, 15, precision < 0 ? fs_.CurrencyDecimals : precision, fs_, 18);
        }
      }
      default:
        Invalid();
    }
  }

  const String& fmt_;
  const TVarRec* args_;
  size_t count_;
  const TFormatSettings& fs_;
  size_t next_ = 0;
};

// ---- FormatFloat ----

struct Section {
  String text;
  int intPlaceholders = 0;  // '0' and '#' before the decimal point
  int intZeros = 0;         // placeholders from the first '0' before the point up to it
  int fracMin = 0;          // up to the last '0' after the point
  int fracMax = 0;          // all placeholders after the point
  bool hasPoint = false;
  bool thousands = false;
  bool scientific = false;
  bool expPlus = false;
  int expDigits = 0;
  bool HasDigits() const { return intPlaceholders + fracMax > 0; }
};

std::vector<String> SplitSections(const String& format) {
  std::vector<String> sections(1);
  for (size_t i = 0; i < format.size(); ++i) {
    wchar_t c = format[i];
    if (c == L'\'' || c == L'"') {
      size_t end = format.find(c, i + 1);
      if (end == String::npos) end = format.size() - 1;
      sections.back().append(format, i, end - i + 1);
      i = end;
    } else if (c == L';') {
      if (sections.size() == 3) break;
      sections.emplace_back();
    } else {
      sections.back() += c;
    }
  }
  return sections;
}

Section Analyze(const String& text) {
  Section s;
  s.text = text;
  bool firstZeroSeen = false;
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\'' || c == L'"') {
      size_t end = text.find(c, i + 1);
      i = end == String::npos ? text.size() : end;
      continue;
    }
    if ((c == L'E' || c == L'e') && i + 1 < text.size() && (text[i + 1] == L'+' || text[i + 1] == L'-')) {
      if (!s.scientific) {
        s.scientific = true;
        s.expPlus = text[i + 1] == L'+';
        size_t j = i + 2;
        while (j < text.size() && text[j] == L'0') {
          ++s.expDigits;
          ++j;
        }
        i = j - 1;
        continue;
      }
    }
    if (s.scientific && (c == L'0' || c == L'#')) continue;
    if (c == L'.') {
      if (!s.hasPoint) s.hasPoint = true;
    } else if (c == L',') {
      if (!s.hasPoint) s.thousands = true;
    } else if (c == L'0' || c == L'#') {
      if (s.hasPoint) {
        ++s.fracMax;
        if (c == L'0') s.fracMin = s.fracMax;
      } else {
        ++s.intPlaceholders;
        if (c == L'0') firstZeroSeen = true;
        if (firstZeroSeen) ++s.intZeros;
      }
    }
  }
  return s;
}

// Writes the section with the number's integer digits, fraction digits and exponent in place of the placeholders.
String Render(const Section& s, const String& intDigits, const String& fracDigits, const String& exponent,
              bool negative, const TFormatSettings& fs) {
  String out;
  if (negative) out += L'-';
  int intIndex = 0;   // placeholders before the point met so far
  int fracIndex = 0;  // fraction digits written
  bool pointDone = false;
  const int extra = static_cast<int>(intDigits.size()) - s.intPlaceholders;
  size_t nextDigit = 0;
  auto writeDigit = [&](size_t index) {
    out += intDigits[index];
    size_t remaining = intDigits.size() - 1 - index;
    if (s.thousands && remaining > 0 && remaining % 3 == 0 && fs.ThousandSeparator != 0) out += fs.ThousandSeparator;
  };
  bool exponentDone = false;
  for (size_t i = 0; i < s.text.size(); ++i) {
    wchar_t c = s.text[i];
    if (c == L'\'' || c == L'"') {
      size_t end = s.text.find(c, i + 1);
      if (end == String::npos) end = s.text.size();
      out.append(s.text, i + 1, end - i - 1);
      i = end;
      continue;
    }
    if (s.scientific && !exponentDone && (c == L'E' || c == L'e') && i + 1 < s.text.size() &&
        (s.text[i + 1] == L'+' || s.text[i + 1] == L'-')) {
      out += c;
      out += exponent.substr(1);
      size_t j = i + 2;
      while (j < s.text.size() && s.text[j] == L'0') ++j;
      i = j - 1;
      exponentDone = true;
      continue;
    }
    if (c == L'0' || c == L'#') {
      if (exponentDone) continue;
      if (!pointDone) {
        // The first placeholder takes the digits that have no placeholder of their own.
        int slot = intIndex++;
        int digitIndex = slot + extra;
        if (slot == 0) {
          while (static_cast<int>(nextDigit) < digitIndex) writeDigit(nextDigit++);
        }
        if (digitIndex >= 0 && nextDigit < intDigits.size()) writeDigit(nextDigit++);
      } else {
        if (fracIndex < static_cast<int>(fracDigits.size())) out += fracDigits[static_cast<size_t>(fracIndex)];
        ++fracIndex;
      }
      continue;
    }
    if (c == L'.') {
      if (!pointDone) {
        while (nextDigit < intDigits.size()) writeDigit(nextDigit++);
        pointDone = true;
        if (!fracDigits.empty()) out += fs.DecimalSeparator;
      }
      continue;
    }
    if (c == L',') continue;
    out += c;
  }
  // A section without placeholders before the point, or without a point at all, still shows every digit.
  if (nextDigit < intDigits.size()) {
    String rest;
    while (nextDigit < intDigits.size()) rest += intDigits[nextDigit++];
    out += rest;
  }
  return out;
}

String FormatSection(const Section& s, double value, bool withSign, const TFormatSettings& fs, bool& isZero) {
  if (s.scientific) {
    int intCount = s.intPlaceholders > 0 ? s.intPlaceholders : 1;
    int significant = intCount + s.fracMax;
    if (significant > kMaxPrecision) significant = kMaxPrecision;
    Decimal d = ToDecimal(value, significant);
    isZero = d.IsZero();
    int exponent = d.IsZero() ? 0 : d.exp - intCount;
    String intDigits, fracDigits;
    for (int k = 0; k < intCount; ++k) intDigits += static_cast<wchar_t>(DigitAt(d, k));
    // Leading zeros of the integer digits only stay where '0' placeholders ask for them.
    while (static_cast<int>(intDigits.size()) > s.intZeros && intDigits.size() > 1 && intDigits[0] == L'0') {
      intDigits.erase(0, 1);
    }
    if (s.intPlaceholders == 0 && intDigits == L"0") intDigits.clear();
    for (int k = 0; k < s.fracMax; ++k) fracDigits += static_cast<wchar_t>(DigitAt(d, intCount + k));
    while (static_cast<int>(fracDigits.size()) > s.fracMin && !fracDigits.empty() && fracDigits.back() == L'0') {
      fracDigits.pop_back();
    }
    String expText = ExponentText(exponent, s.expDigits, s.expPlus);
    return Render(s, intDigits, fracDigits, expText, withSign && d.neg && !d.IsZero(), fs);
  }
  Decimal d = ToDecimal(value, 15);
  RoundDecimals(d, s.fracMax);
  isZero = d.IsZero();
  String intDigits;
  for (int k = 0; k < d.exp; ++k) intDigits += static_cast<wchar_t>(DigitAt(d, k));
  while (static_cast<int>(intDigits.size()) < s.intZeros) intDigits.insert(intDigits.begin(), L'0');
  String fracDigits = FractionPart(d, s.fracMax);
  while (static_cast<int>(fracDigits.size()) > s.fracMin && fracDigits.back() == L'0') fracDigits.pop_back();
  return Render(s, intDigits, fracDigits, String(), withSign && d.neg && !d.IsZero(), fs);
}

}  // namespace

String Format(const String& fmt, std::initializer_list<TVarRec> args) { return Format(fmt, args, FormatSettings); }

String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
  return Formatter(fmt, args.begin(), args.size(), settings).Run();
}

String Format(const String& fmt, const std::vector<TVarRec>& args) { return Format(fmt, args, FormatSettings); }

String Format(const String& fmt, const std::vector<TVarRec>& args, const TFormatSettings& settings) {
  return Formatter(fmt, args.data(), args.size(), settings).Run();
}

String FloatToStr(double value) { return FloatToStr(value, FormatSettings); }
String FloatToStr(double value, const TFormatSettings& settings) { return General(value, 15, 0, settings); }

String FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
  return FloatF(value, format, precision, digits, settings, precision);
}

double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings); }

double StrToFloat(const String& s, const TFormatSettings& settings) {
  double v;
  if (!ParseFloat(s, settings.DecimalSeparator, v)) {
    throw EConvertError(L"'" + s + L"' is not a valid floating point value");
  }
  return v;
}

bool TryStrToFloat(const String& s, double& value) { return ParseFloat(s, FormatSettings.DecimalSeparator, value); }

bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings) {
  return ParseFloat(s, settings.DecimalSeparator, value);
}

double StrToFloatDef(const String& s, double def) { return StrToFloatDef(s, def, FormatSettings); }

double StrToFloatDef(const String& s, double def, const TFormatSettings& settings) {
  double v;
  return ParseFloat(s, settings.DecimalSeparator, v) ? v : def;
}

String FormatFloat(const String& format, double value) { return FormatFloat(format, value, FormatSettings); }

String FormatFloat(const String& format, double value, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return SpecialText(value);
  std::vector<String> texts = SplitSections(format);
  std::vector<Section> sections;
  for (const auto& t : texts) sections.push_back(Analyze(t));
  if (format.empty()) return FloatToStr(value, settings);
  bool isZero = false;
  if (value < 0 && sections.size() >= 2 && !texts[1].empty()) {
    String out = FormatSection(sections[1], -value, false, settings, isZero);
    if (!(isZero && sections.size() >= 3 && !texts[2].empty())) return out;
    return FormatSection(sections[2], 0.0, false, settings, isZero);
  }
  String out = FormatSection(sections[0], value, true, settings, isZero);
  if (isZero && sections.size() >= 3 && !texts[2].empty())
    return FormatSection(sections[2], 0.0, false, settings, isZero);
  return out;
}

String FormatCurr(const String& format, double value) {
  return FormatFloat(format, std::round(value * 10000.0) / 10000.0);
}

String CurrToStr(double value) { return CurrToStr(value, FormatSettings); }

String CurrToStr(double value, const TFormatSettings& settings) {
  return FloatToStr(std::round(value * 10000.0) / 10000.0, settings);
}

String CurrToStrF(double value, TFloatFormat format, int digits) {
  return FloatToStrF(std::round(value * 10000.0) / 10000.0, format, 18, digits);
}

double StrToCurr(const String& s) { return std::round(StrToFloat(s) * 10000.0) / 10000.0; }

String FormatMaskText(const String& editMask, const String& value) {
  // Split "mask;save-literals;blank" from the end: the mask itself may contain escaped ';'.
  String mask = editMask;
  wchar_t blank = L'_';
  bool saveLiterals = true;
  std::vector<String> parts;
  {
    String cur;
    for (size_t i = 0; i < editMask.size(); ++i) {
      if (editMask[i] == L'\\' && i + 1 < editMask.size()) {
        cur += editMask[i];
        cur += editMask[++i];
      } else if (editMask[i] == L';') {
        parts.push_back(cur);
        cur.clear();
      } else {
        cur += editMask[i];
      }
    }
    parts.push_back(cur);
  }
  mask = parts[0];
  if (parts.size() >= 2 && !parts[1].empty()) saveLiterals = parts[1][0] != L'0';
  if (parts.size() >= 3 && !parts[2].empty()) blank = parts[2][0];
  // Without saved literals the data holds only the characters typed in the placeholders; blanks show as spaces.
  String out;
  size_t v = 0;
  int caseMode = 0;  // 1 upper, -1 lower
  for (size_t i = 0; i < mask.size(); ++i) {
    wchar_t m = mask[i];
    switch (m) {
      case L'!':
        continue;
      case L'>':
        if (i + 1 < mask.size() && mask[i + 1] == L'<') {
          caseMode = 0;
          ++i;
        } else {
          caseMode = 1;
        }
        continue;
      case L'<':
        caseMode = -1;
        continue;
      case L'L':
      case L'l':
      case L'A':
      case L'a':
      case L'C':
      case L'c':
      case L'0':
      case L'9':
      case L'#': {
        wchar_t ch = v < value.size() ? value[v++] : L' ';
        if (ch == blank && !saveLiterals) ch = L' ';
        if (caseMode == 1)
          ch = AnsiUpperCase(String(1, ch))[0];
        else if (caseMode == -1)
          ch = AnsiLowerCase(String(1, ch))[0];
        out += ch;
        continue;
      }
      case L'\\':
        if (i + 1 < mask.size()) m = mask[++i];
        break;
      case L':':
        m = FormatSettings.TimeSeparator;
        break;
      case L'/':
        m = FormatSettings.DateSeparator;
        break;
      default:
        break;
    }
    out += m;
    if (saveLiterals && v < value.size()) ++v;
  }
  return out;
}

}  // namespace rtl
