#pragma once
// Rounding and integer helpers with the runtime's rules.
#include "platform/rtl/types.h"

namespace rtl {

// Nearest integer, halves to the even neighbour (Round(2.5) = 2, Round(3.5) = 4, Round(-2.5) = -2). Raises
// EInvalidOp for NaN, infinity and values outside the Int64 range.
Int64 Round(double x);
// Toward zero, same range rule as Round.
Int64 Trunc(double x);
// Integer and fractional part as floating values, both with the sign of x.
double Int(double x);
double Frac(double x);
Int64 Ceil(double x);
Int64 Floor(double x);
// Rounds to 10^digit (digit -2 is hundredths) with halves away from zero, the rule users expect for money.
double SimpleRoundTo(double value, int digit = -2);
// Same, halves to even.
double RoundTo(double value, int digit);

// (a * b) / c with a 64-bit intermediate, rounded to nearest (halves away from zero); -1 when c is 0.
Integer MulDiv(Integer a, Integer b, Integer c);

// Logical (unsigned) right shifts, as the runtime's shr on signed values.
constexpr Integer Shr32(Integer value, int count) {
  return static_cast<Integer>(static_cast<Cardinal>(value) >> (count & 31));
}
constexpr Int64 Shr64(Int64 value, int count) { return static_cast<Int64>(static_cast<UInt64>(value) >> (count & 63)); }

// One process-wide generator. RandSeed starts at 0, so the sequence is repeatable until Randomize.
extern Cardinal RandSeed;
void Randomize();
// At least 0 and below 1.
double Random();
// 0 .. range - 1 (0 when range <= 0).
Integer Random(Integer range);
Integer RandomRange(Integer from, Integer to);

double Power(double base, double exponent);
double IntPower(double base, int exponent);
bool SameValue(double a, double b, double epsilon = 0);
bool IsZero(double a, double epsilon = 0);
int Sign(double a);
double Max(double a, double b);
double Min(double a, double b);
Int64 Max(Int64 a, Int64 b);
Int64 Min(Int64 a, Int64 b);
// So that Max(1, 2) is not ambiguous between the two above.
inline Integer Max(Integer a, Integer b) { return a > b ? a : b; }
inline Integer Min(Integer a, Integer b) { return a < b ? a : b; }
bool InRange(Int64 value, Int64 min, Int64 max);
Int64 EnsureRange(Int64 value, Int64 min, Int64 max);

}  // namespace rtl
