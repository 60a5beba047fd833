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

// NOTE: the clock counts whole milliseconds, so a work read as n ms may have taken almost n + 1,
// and a sleep may end a little late: the margin gives this much beyond the longest seen.
constexpr int kReserveMs = 2;
constexpr int kQuietSeconds = 2;  // without a longer frame before the margin comes down
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
  // A new schedule starts with its work right after the swap, as if the margin were a whole frame,
  // and learns the margin from the frames that follow.
  margin_ = period_;
  work_started_ = now;
  longest_work_ = 0;
  quiet_frames_ = 0;
}

void FramePacer::WaitUntilWorkStarts(FrameClock& clock) {
  if (hertz_ == 0) return;
  const int next_period = period_ + (accumulator_ + remainder_ >= hertz_ ? 1 : 0);
  const int start = WrappingAdd(next_frame_time_, next_period - margin_);
  const int wait = MillisAhead(start, clock.Now());
  if (wait > 0) clock.Delay(wait);
  // NOTE: a sleep that ends late on a busy machine counts as work: the margin must hold it too.
  work_started_ = wait > 0 ? start : clock.Now();
}

void FramePacer::FollowWork(int work) {
  longest_work_ = work > longest_work_ ? work : longest_work_;
  if (work + kReserveMs > margin_) {
    margin_ = work + kReserveMs < period_ ? work + kReserveMs : period_;
    quiet_frames_ = 0;
    longest_work_ = 0;
  } else if (++quiet_frames_ >= kQuietSeconds * hertz_) {
    margin_ = longest_work_ + kReserveMs;
    quiet_frames_ = 0;
    longest_work_ = 0;
  }
}

void FramePacer::WaitForNextFrame(FrameClock& clock) {
  if (hertz_ == 0) return;
  FollowWork(MillisAhead(clock.Now(), work_started_));
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
