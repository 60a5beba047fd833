// A frame clock that moves only when told to; Delay advances it by exactly the requested time.
#pragma once

#include <vector>

#include "platform/process/frame_pacing.h"

class ManualClock final : public FrameClock {
 public:
  explicit ManualClock(int start = 0) : now_(static_cast<unsigned>(start)) {}
  int Now() override { return static_cast<int>(now_); }
  void Delay(int ms) override {
    delays.push_back(ms);
    Advance(ms);
  }
  // Wraps past the largest int as the millisecond clock does.
  void Advance(int ms) { now_ += static_cast<unsigned>(ms); }
  void Set(int now) { now_ = static_cast<unsigned>(now); }

  std::vector<int> delays;  // every Delay's request, in order

 private:
  unsigned now_;
};
