#include "platform/process/clock.h"

#include <sys/time.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/core/runtime_error.h"
#include "platform/process/signals.h"

namespace {
constexpr std::uint64_t kNanosPerMilli = 1000000;
constexpr std::uint64_t kNanosPerSecond = 1000000000;

// NOTE: the monotonic clock, not the time of day: a wall-clock step must never stall pacing.
std::uint64_t MonotonicNanos() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * kNanosPerSecond +
         static_cast<std::uint64_t>(now.tv_nsec);
}
}  // namespace

int Millis() {
  return static_cast<int>(static_cast<std::uint32_t>(MonotonicNanos() / kNanosPerMilli));
}

void StartClock() {
  InstallAlarmHandler();
}

void SetIntervalTimer(int period_ms) {
  // The handler first: an alarm without it would end the process.
  if (period_ms != 0) InstallAlarmHandler();
  itimerval timer{};
  timer.it_interval.tv_sec = period_ms / 1000;
  timer.it_interval.tv_usec = (period_ms % 1000) * 1000;
  timer.it_value = timer.it_interval;
  if (setitimer(ITIMER_REAL, &timer, nullptr) != 0) {
    RaiseRuntimeError("setitimer with a period of " + std::to_string(period_ms) +
                      " ms failed: " + std::strerror(errno));
  }
}

void DelayMillis(int ms) {
  if (ms < 0) return;
  // The wait ends when Millis() has moved on by `ms`, i.e. at that millisecond's boundary; sleeping
  // to the boundary itself (a second at most per sleep) wakes no later than needed, with no timer.
  // A SIGTERM ends the sleep early, so it is noticed promptly.
  const std::uint64_t deadline = (MonotonicNanos() / kNanosPerMilli + ms) * kNanosPerMilli;
  for (;;) {
    RaisePendingTermination();
    const std::uint64_t now = MonotonicNanos();
    if (now >= deadline) return;
    const std::uint64_t wake = std::min(deadline, now + kNanosPerSecond);
    const timespec until{static_cast<time_t>(wake / kNanosPerSecond),
                         static_cast<long>(wake % kNanosPerSecond)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
  }
}

namespace {
String FormatLocalNow(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[256];
  const std::size_t length = std::strftime(text, sizeof text, format, &local);
  return FromUtf8(std::string_view(text, length));
}
}  // namespace

String CurrentDate() {
  return FormatLocalNow("%d %b %Y");
}

String CurrentTime() {
  return FormatLocalNow("%H:%M:%S");
}
