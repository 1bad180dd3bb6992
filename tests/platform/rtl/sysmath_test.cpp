#include "platform/rtl/sysmath.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/exceptions.h"

using namespace rtl;

TEST(SysMath, RoundHalvesToEven) {
  struct Case {
    double x;
    Int64 expected;
  } cases[] = {{2.5, 2},
               {3.5, 4},
               {-2.5, -2},
               {-3.5, -4},
               {0.5, 0},
               {1.5, 2},
               {2.4999, 2},
               {2.5001, 3},
               {-0.5, 0},
               {-1.5, -2},
               {0, 0},
               {1e15 + 0.5, 1000000000000000},
               {3000000000.0, 3000000000}};
  for (const auto& c : cases) EXPECT_EQ(Round(c.x), c.expected) << c.x;
}

TEST(SysMath, TruncIntFracTowardZero) {
  EXPECT_EQ(Trunc(2.9), 2);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Trunc(1e18), 1000000000000000000LL);
  EXPECT_EQ(Int(3.7), 3.0);
  EXPECT_EQ(Int(-3.7), -3.0);
  EXPECT_NEAR(Frac(3.75), 0.75, 1e-15);
  EXPECT_NEAR(Frac(-3.75), -0.75, 1e-15);
  EXPECT_EQ(Ceil(-1.5), -1);
  EXPECT_EQ(Floor(-1.5), -2);
}

TEST(SysMath, OutOfRangeRaises) {
  EXPECT_THROW(Round(1e19), EInvalidOp);
  EXPECT_THROW(Trunc(-1e19), EInvalidOp);
  EXPECT_THROW(Round(NAN), EInvalidOp);
  EXPECT_THROW(Trunc(INFINITY), EInvalidOp);
  EXPECT_EQ(Trunc(-9223372036854775808.0), INT64_MIN);
}

TEST(SysMath, RoundToDigits) {
  EXPECT_DOUBLE_EQ(SimpleRoundTo(1.005, -2), 1.01);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(-1.005, -2), -1.01);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(1234.5, 0), 1235);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(1250, 2), 1300);
  EXPECT_DOUBLE_EQ(RoundTo(2.5, 0), 2);
  EXPECT_DOUBLE_EQ(RoundTo(0.125, -2), 0.12);
}

TEST(SysMath, MulDivRoundsAndGuardsZero) {
  EXPECT_EQ(MulDiv(10, 3, 4), 8);  // 7.5 rounds away from zero
  EXPECT_EQ(MulDiv(-10, 3, 4), -8);
  EXPECT_EQ(MulDiv(96, 120, 96), 120);
  EXPECT_EQ(MulDiv(2000000000, 2, 4), 1000000000);  // no 32-bit overflow in between
  EXPECT_EQ(MulDiv(1, 2, 0), -1);
}

TEST(SysMath, LogicalShifts) {
  EXPECT_EQ(Shr32(-1, 28), 15);
  EXPECT_EQ(Shr32(256, 4), 16);
  EXPECT_EQ(Shr64(-1, 60), 15);
}

TEST(SysMath, RandomIsRepeatableAndInRange) {
  Cardinal saved = RandSeed;
  RandSeed = 42;
  double a = Random();
  Integer b = Random(10);
  RandSeed = 42;
  EXPECT_EQ(Random(), a);
  EXPECT_EQ(Random(10), b);
  for (int i = 0; i < 1000; ++i) {
    double r = Random();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    Integer k = Random(7);
    ASSERT_GE(k, 0);
    ASSERT_LT(k, 7);
  }
  EXPECT_EQ(Random(0), 0);
  RandSeed = saved;
}

TEST(SysMath, MinMaxOverloads) {
  EXPECT_EQ(Max(1, 2), 2);
  EXPECT_EQ(Min(Int64(5), Int64(-5)), -5);
  EXPECT_EQ(Max(1.5, 0.5), 1.5);
  EXPECT_EQ(EnsureRange(15, 0, 10), 10);
  EXPECT_TRUE(InRange(5, 5, 6));
  EXPECT_EQ(Sign(-0.1), -1);
  EXPECT_DOUBLE_EQ(IntPower(2, -2), 0.25);
  EXPECT_TRUE(SameValue(0.1 + 0.2, 0.3));
}
