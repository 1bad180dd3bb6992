#include "platform/rtl/sysmath.h"

#include <cmath>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"

namespace rtl {

namespace {

// 2^63 exactly; doubles at or above it do not fit an Int64.
constexpr double kTwo63 = 9223372036854775808.0;

Int64 ToInt64(double x) {
  if (!(x >= -kTwo63 && x < kTwo63)) throw EInvalidOp(L"Invalid floating point operation");
  return static_cast<Int64>(x);
}

// Rounds half to even independent of the floating-point environment.
double RoundHalfEven(double x) {
  double f = std::floor(x);
  double diff = x - f;
  if (diff > 0.5) return f + 1;
  if (diff < 0.5) return f;
  return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

double Pow10(int digit) { return std::pow(10.0, digit); }

}  // namespace

Int64 Round(double x) { return ToInt64(RoundHalfEven(x)); }
Int64 Trunc(double x) { return ToInt64(std::trunc(x)); }
double Int(double x) { return std::trunc(x); }
double Frac(double x) { return x - std::trunc(x); }
Int64 Ceil(double x) { return ToInt64(std::ceil(x)); }
Int64 Floor(double x) { return ToInt64(std::floor(x)); }

double SimpleRoundTo(double value, int digit) {
  // Scaling by a power of ten first makes 1.005 land on 100.49999..., so the scaled value is nudged by a relative
  // epsilon before rounding: users expect the decimal text they see to round, not its binary neighbour.
  double factor = Pow10(-digit);
  double scaled = value * factor;
  double nudged = scaled + std::copysign(std::fabs(scaled) * 1e-15, scaled);
  double r = value < 0 ? -std::floor(-nudged + 0.5) : std::floor(nudged + 0.5);
  return r / factor;
}

double RoundTo(double value, int digit) {
  double factor = Pow10(-digit);
  return RoundHalfEven(value * factor) / factor;
}

Integer MulDiv(Integer a, Integer b, Integer c) {
  if (c == 0) return -1;
  Int64 p = static_cast<Int64>(a) * b;
  Int64 q = p / c, r = p % c;
  // Round half away from zero.
  Int64 twice = (r < 0 ? -r : r) * 2;
  Int64 cabs = c < 0 ? -static_cast<Int64>(c) : c;
  if (twice >= cabs) q += ((p < 0) != (c < 0)) ? -1 : 1;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<Integer>(q);
}

Cardinal RandSeed = 0;

void Randomize() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  RandSeed = static_cast<Cardinal>(counter.QuadPart) ^ static_cast<Cardinal>(GetTickCount());
}

namespace {
Cardinal NextRandom() {
  RandSeed = RandSeed * 0x08088405u + 1;
  return RandSeed;
}
}  // namespace

double Random() { return static_cast<double>(NextRandom()) / 4294967296.0; }

Integer Random(Integer range) {
  if (range <= 0) return 0;
  return static_cast<Integer>((static_cast<UInt64>(NextRandom()) * static_cast<UInt64>(range)) >> 32);
}

Integer RandomRange(Integer from, Integer to) {
  if (from > to) std::swap(from, to);
  return from + Random(to - from);
}

double Power(double base, double exponent) { return std::pow(base, exponent); }

double IntPower(double base, int exponent) {
  double result = 1;
  unsigned n = static_cast<unsigned>(exponent < 0 ? -static_cast<Int64>(exponent) : exponent);
  double b = base;
  while (n != 0) {
    if (n & 1) result *= b;
    b *= b;
    n >>= 1;
  }
  return exponent < 0 ? 1 / result : result;
}

bool SameValue(double a, double b, double epsilon) {
  if (epsilon == 0) epsilon = std::max(std::min(std::fabs(a), std::fabs(b)) * 1e-12, 1e-12);
  return a > b ? (a - b) <= epsilon : (b - a) <= epsilon;
}

bool IsZero(double a, double epsilon) { return std::fabs(a) <= (epsilon == 0 ? 1e-12 : epsilon); }
int Sign(double a) { return (a > 0) - (a < 0); }
double Max(double a, double b) { return a > b ? a : b; }
double Min(double a, double b) { return a < b ? a : b; }
Int64 Max(Int64 a, Int64 b) { return a > b ? a : b; }
Int64 Min(Int64 a, Int64 b) { return a < b ? a : b; }
bool InRange(Int64 value, Int64 min, Int64 max) { return value >= min && value <= max; }
Int64 EnsureRange(Int64 value, Int64 min, Int64 max) { return value < min ? min : (value > max ? max : value); }

}  // namespace rtl
