#include "platform/process/clock.h"

#include <gtest/gtest.h>

#include <regex>

#include "tests/support/monotonic_clock.h"

TEST(Clock, DifferencesSurviveTheWrapAround) {
  EXPECT_EQ(MillisBetween(2147483647, -2147483648), 1u);
  EXPECT_EQ(MillisBetween(-1, 16), 17u);
  EXPECT_EQ(MillisBetween(100, 117), 17u);
}

TEST(Clock, NegativeAndZeroDelaysReturnWithoutSleeping) {
  StartClock();
  // Many calls, so that one preemption of a loaded machine cannot fail the test: a delay that
  // slept to the next millisecond would need about a second for these, a correct one microseconds.
  constexpr int kCalls = 1000;
  const long long before = MonotonicMicros();
  for (int i = 0; i < kCalls; ++i) {
    DelayMillis(-5);
    DelayMillis(0);
  }
  EXPECT_LT(MonotonicMicros() - before, 250000);
}

TEST(Clock, DelayWaitsUntilMillisHasMovedOn) {
  StartClock();
  for (int ms : {1, 5, 17}) {
    const int start = Millis();
    DelayMillis(ms);
    EXPECT_GE(MillisBetween(start, Millis()), static_cast<unsigned>(ms)) << ms << " ms";
  }
}

TEST(Clock, LocalDateAndTimeTexts) {
  EXPECT_TRUE(
      std::regex_match(ToUtf8(CurrentDate()), std::regex("[0-3][0-9] [A-Z][a-z][a-z] [0-9]{4}")))
      << ToUtf8(CurrentDate());
  EXPECT_TRUE(
      std::regex_match(ToUtf8(CurrentTime()), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")))
      << ToUtf8(CurrentTime());
}
