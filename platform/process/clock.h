// The millisecond clock and the wait that frame pacing is built on, and the local date and time.
#pragma once

#include "platform/core/text.h"

// Installs the alarm handler. The interval timer itself runs only while a handler for SIGALRM is
// registered with SetPendingSignalHandler: nothing else needs its wake-ups.
void StartClock();

// Runs the real-time interval timer with this period (0 stops it); each expiry records SIGALRM
// for the event pump. A failure raises "setitimer with a period of <n> ms failed: <reason>".
void SetIntervalTimer(int period_ms);

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
