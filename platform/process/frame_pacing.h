// Software frame pacing: at `hertz` frames per second the frames are due every 1000 div hertz
// milliseconds, and the remainder of that division is spread over the frames so that `hertz`
// frames take exactly one second (16, 17, 17 ms at 60 Hz). A late frame restarts the schedule.
#pragma once

// The clock pacing reads and waits on. Tests drive the schedule with a clock of their own.
class FrameClock {
 public:
  virtual ~FrameClock() = default;
  virtual int Now() = 0;           // milliseconds, 32-bit and wrapping
  virtual void Delay(int ms) = 0;  // waits at least `ms` milliseconds
};

// Millis() and DelayMillis().
FrameClock& SystemFrameClock();

class FramePacer {
 public:
  // Starts a new schedule at `now`; hertz 0 gives period 0 and never waits.
  void Restart(int hertz, int now);

  // Moves the schedule on by one frame and waits on `clock` until that frame is due. A frame
  // already past its due time does not wait; the schedule then starts afresh from the present, so
  // a slow frame is not followed by a burst of catching up.
  void WaitForNextFrame(FrameClock& clock);

  // After a frame is shown: waits until the next one is due less the margin its work needs, so
  // that the input it reads is as fresh as its work allows. The margin is the longest work of the
  // last seconds plus a reserve. A frame whose work outgrows it raises it at once; it comes down
  // only after seconds without that, so that it does not saw up and down.
  void WaitUntilWorkStarts(FrameClock& clock);

  int hertz() const { return hertz_; }
  int period() const { return period_; }
  int remainder() const { return remainder_; }
  int accumulator() const { return accumulator_; }
  int next_frame_time() const { return next_frame_time_; }
  int margin() const { return margin_; }

 private:
  void FollowWork(int work);

  int hertz_ = 0;
  int period_ = 0;
  int remainder_ = 0;
  int accumulator_ = 0;  // sums remainders, in units of 1/hertz milliseconds
  int next_frame_time_ = 0;
  int margin_ = 0;        // ms before a frame is due that its work starts
  int work_started_ = 0;  // when the current frame's work started
  int longest_work_ = 0;  // since the margin last changed
  int quiet_frames_ = 0;  // frames since the margin last changed
};
