// The millisecond clock and the wait that frame pacing is built on, and the local date and time.
#pragma once

#include "platform/core/text.h"

// Reads the monotonic clock and starts the 1 ms interval timer whose signal cuts every sleep short.
void StartClock();

// Milliseconds since boot, 32-bit and wrapping: compare readings only by their difference.
int Millis();

// Elapsed milliseconds from `start` to `now`, correct across the 32-bit wrap.
inline unsigned MillisBetween(int start, int now) {
  return static_cast<unsigned>(now) - static_cast<unsigned>(start);
}

// Waits at least `ms` milliseconds; negative returns at once, 0 returns without sleeping.
void DelayMillis(int ms);

// The local date as "%d %b %Y" and time as "%H:%M:%S".
String CurrentDate();
String CurrentTime();
