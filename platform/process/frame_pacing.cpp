// Software frame pacing on the millisecond clock.
#include "platform/process/frame_pacing.h"

#include "platform/process/clock.h"

namespace {
class MillisClock final : public FrameClock {
 public:
  int Now() override { return Millis(); }
  void Delay(int ms) override { DelayMillis(ms); }
};

// Differences of wrapping 32-bit readings, as signed milliseconds.
int MillisAhead(int later, int earlier) {
  return static_cast<int>(static_cast<unsigned>(later) - static_cast<unsigned>(earlier));
}

int WrappingAdd(int time, int ms) {
  return static_cast<int>(static_cast<unsigned>(time) + static_cast<unsigned>(ms));
}
}  // namespace

FrameClock& SystemFrameClock() {
  static MillisClock clock;
  return clock;
}

void FramePacer::Restart(int hertz, int now) {
  // A negative rate is no rate: it is paced like 0, never waiting.
  hertz_ = hertz > 0 ? hertz : 0;
  period_ = hertz_ > 0 ? 1000 / hertz_ : 0;
  remainder_ = 1000 - period_ * hertz_;
  accumulator_ = 0;
  next_frame_time_ = now;
}

void FramePacer::WaitForNextFrame(FrameClock& clock) {
  if (hertz_ == 0) return;
  next_frame_time_ = WrappingAdd(next_frame_time_, period_);
  accumulator_ += remainder_;
  if (accumulator_ >= hertz_) {
    accumulator_ -= hertz_;
    next_frame_time_ = WrappingAdd(next_frame_time_, 1);
  }
  const int wait = MillisAhead(next_frame_time_, clock.Now());
  if (wait > 0) {
    clock.Delay(wait);
  } else {
    next_frame_time_ = clock.Now();
  }
}
