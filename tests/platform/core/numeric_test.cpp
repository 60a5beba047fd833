#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Numeric, TruncationGoesTowardZero) {
  EXPECT_EQ(TruncToInt(2.7), 2);
  EXPECT_EQ(TruncToInt(-2.7), -2);
  EXPECT_EQ(TruncToInt(0.9999), 0);
  EXPECT_EQ(TruncToInt(-0.5), 0);
  EXPECT_EQ(TruncToInt(-6.0), -6);
}

TEST(Numeric, TruncationSaturatesOutsideTheIntRange) {
  EXPECT_EQ(TruncToInt(1e12), std::numeric_limits<int>::max());
  EXPECT_EQ(TruncToInt(-1e12), std::numeric_limits<int>::min());
  EXPECT_EQ(TruncToInt(std::nan("")), 0);
}

TEST(Numeric, DegreeTrigonometry) {
  EXPECT_DOUBLE_EQ(ATan2Deg(1, 0), 90);
  EXPECT_DOUBLE_EQ(SinDeg(90), 1);
  EXPECT_DOUBLE_EQ(CosDeg(180), -1);
  EXPECT_DOUBLE_EQ(ATan2Deg(0, -1), 180);
  EXPECT_NEAR(TanDeg(45), 1, 1e-15);
  EXPECT_NEAR(ASinDeg(1), 90, 1e-12);
  EXPECT_NEAR(ACosDeg(0), 90, 1e-12);
  EXPECT_NEAR(ATanDeg(1), 45, 1e-12);
}

TEST(Numeric, SignsAndAbsoluteValues) {
  EXPECT_EQ(SignReal(3.5), 1);
  EXPECT_EQ(SignReal(-0.1), -1);
  EXPECT_EQ(SignReal(0.0), 0);
  EXPECT_EQ(SignReal(-0.0), 0);
  EXPECT_EQ(AbsReal(-2.5), 2.5);
  EXPECT_EQ(AbsInt(-7), 7);
  EXPECT_EQ(AbsInt(7), 7);
  EXPECT_EQ(AbsInt(-2147483647), 2147483647);
  EXPECT_EQ(AbsInt(-2147483647 - 1), -2147483647 - 1);
  EXPECT_TRUE(std::isnan(SquareRoot(-1)));
  EXPECT_EQ(SquareRoot(16), 4);
}

TEST(Numeric, MaxAndMinOfInts) {
  EXPECT_EQ(MaxInt(3, 5), 5);
  EXPECT_EQ(MaxInt(5, 3), 5);
  EXPECT_EQ(MinInt(3, 5), 3);
  EXPECT_EQ(MinInt(-3, -5), -5);
}
