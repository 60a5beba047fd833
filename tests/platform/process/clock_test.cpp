#include "platform/process/clock.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <csignal>
#include <regex>

#include "platform/core/runtime_error.h"
#include "platform/process/pending_work.h"
#include "platform/process/signals.h"
#include "tests/support/monotonic_clock.h"
#include "tests/support/raised_text.h"

namespace {
// The period the real-time interval timer runs with, in microseconds; 0 when stopped.
long TimerPeriodMicros() {
  itimerval timer{};
  getitimer(ITIMER_REAL, &timer);
  return timer.it_interval.tv_sec * 1000000L + timer.it_interval.tv_usec;
}

void IgnoreAlarm(int) {}
void AlsoIgnoreAlarm(int) {}

}  // namespace

TEST(Clock, TheIntervalTimerRunsOnlyWhileAnAlarmHandlerIsRegistered) {
  StartClock();
  EXPECT_EQ(TimerPeriodMicros(), 0) << "no handler, no timer";
  TakePendingSignal();
  DelayMillis(20);
  EXPECT_EQ(TakePendingSignal(), 0) << "no alarm arrived without a handler";

  SetPendingSignalHandler(SIGALRM, IgnoreAlarm);
  EXPECT_EQ(TimerPeriodMicros(), 1000);
  DelayMillis(20);
  EXPECT_EQ(TakePendingSignal(), SIGALRM);
  // Replacing the handler keeps the timer; handlers of other signals leave it alone.
  SetPendingSignalHandler(SIGALRM, AlsoIgnoreAlarm);
  SetPendingSignalHandler(SIGUSR1, nullptr);
  EXPECT_EQ(TimerPeriodMicros(), 1000);

  SetPendingSignalHandler(SIGALRM, nullptr);
  EXPECT_EQ(TimerPeriodMicros(), 0);
  TakePendingSignal();
  DelayMillis(20);
  EXPECT_EQ(TakePendingSignal(), 0);
}

TEST(Clock, FailedSystemCallsRaiseRuntimeErrorsSayingWhat) {
  EXPECT_EQ(RaisedText([] { SetIntervalTimer(-5); }),
            "setitimer with a period of -5 ms failed: Invalid argument");
  EXPECT_EQ(RaisedText([] { InstallSignalHandler(SIGKILL, IgnoreAlarm, 0); }),
            "sigaction for signal 9 failed: Invalid argument");
  EXPECT_EQ(TimerPeriodMicros(), 0) << "the failed call started nothing";
}

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
