#include "platform/clock.h"

#include <gtest/gtest.h>
#include <time.h>

namespace {
long long MonotonicMicros() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}
}  // namespace

TEST(Clock, DifferencesSurviveTheWrapAround) {
  EXPECT_EQ(MillisBetween(2147483647, -2147483648), 1u);
  EXPECT_EQ(MillisBetween(-1, 16), 17u);
  EXPECT_EQ(MillisBetween(100, 117), 17u);
}

TEST(Clock, NegativeAndZeroDelaysReturnWithoutSleeping) {
  StartClock();
  const long long before = MonotonicMicros();
  DelayMillis(-5);
  DelayMillis(0);
  // Generous: only a real sleep of a millisecond or more would be a fault.
  EXPECT_LT(MonotonicMicros() - before, 900);
}

TEST(Clock, DelayWaitsUntilMillisHasMovedOn) {
  StartClock();
  for (int ms : {1, 5, 17}) {
    const int start = Millis();
    DelayMillis(ms);
    EXPECT_GE(MillisBetween(start, Millis()), static_cast<unsigned>(ms)) << ms << " ms";
  }
}
