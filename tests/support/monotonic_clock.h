// The monotonic clock that tests and benchmarks time themselves by, independent of the game's own
// clock under test.
#pragma once

#include <time.h>

inline long long MonotonicMicros() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}

inline double MonotonicMillis() {
  return static_cast<double>(MonotonicMicros()) / 1000.0;
}
