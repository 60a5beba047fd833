// A frame clock that moves only when told to; Delay advances it by the requested time (and an
// oversleep when one is set).
#pragma once

#include <vector>

#include "platform/process/frame_pacing.h"

class ManualClock final : public FrameClock {
 public:
  explicit ManualClock(int start = 0) : now_(static_cast<unsigned>(start)) {}
  int Now() override { return static_cast<int>(now_); }
  void Delay(int ms) override {
    delays.push_back(ms);
    Advance(ms + oversleep);
    oversleep = 0;
  }
  // Wraps past the largest int as the millisecond clock does.
  void Advance(int ms) { now_ += static_cast<unsigned>(ms); }
  void Set(int now) { now_ = static_cast<unsigned>(now); }

  std::vector<int> delays;  // every Delay's request, in order
  int oversleep = 0;        // the next Delay ends this much late, as on a busy machine

 private:
  unsigned now_;
};
