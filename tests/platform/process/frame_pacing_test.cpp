#include "platform/process/frame_pacing.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/manual_clock.h"

namespace {

// Due times of `frames` frames when every frame takes no time at all.
std::vector<int> DueTimes(int hertz, int start, int frames) {
  ManualClock clock(start);
  FramePacer pacer;
  pacer.Restart(hertz, clock.Now());
  std::vector<int> due;
  for (int i = 0; i < frames; ++i) {
    pacer.WaitForNextFrame(clock);
    due.push_back(clock.Now() - start);
  }
  return due;
}
}  // namespace

TEST(FramePacer, SixtyHertzSplitsTheRemainderOverThreeFrames) {
  FramePacer pacer;
  pacer.Restart(60, 1000);
  EXPECT_EQ(pacer.period(), 16);
  EXPECT_EQ(pacer.remainder(), 40);
  EXPECT_EQ(pacer.accumulator(), 0);
  EXPECT_EQ(pacer.next_frame_time(), 1000);
  EXPECT_EQ(DueTimes(60, 0, 6), (std::vector<int>{16, 33, 50, 66, 83, 100}));
}

TEST(FramePacer, OneSecondHoldsExactlyHertzFramesWithoutDrift) {
  for (int hertz : {24, 50, 59, 60, 75, 85, 144, 1000}) {
    const std::vector<int> due = DueTimes(hertz, 5000, hertz * 10);
    EXPECT_EQ(due[hertz - 1], 1000) << hertz << " Hz";
    EXPECT_EQ(due.back(), 10000) << hertz << " Hz";
    for (std::size_t i = 1; i < due.size(); ++i) {
      const int interval = due[i] - due[i - 1];
      ASSERT_TRUE(interval == 1000 / hertz || interval == 1000 / hertz + 1)
          << hertz << " Hz, frame " << i << ": " << interval << " ms";
    }
  }
}

TEST(FramePacer, WaitsOnlyForWhatTheFrameLeftOfItsSlot) {
  ManualClock clock(0);
  FramePacer pacer;
  pacer.Restart(60, clock.Now());
  clock.Advance(10);  // the frame's own work
  pacer.WaitForNextFrame(clock);
  EXPECT_EQ(clock.delays, std::vector<int>{6});
  EXPECT_EQ(clock.Now(), 16);
}

TEST(FramePacer, ALateFrameDoesNotWaitAndRestartsTheScheduleFromNow) {
  ManualClock clock(0);
  FramePacer pacer;
  pacer.Restart(60, clock.Now());
  clock.Advance(40);  // two and a half slots late
  pacer.WaitForNextFrame(clock);
  EXPECT_TRUE(clock.delays.empty());
  EXPECT_EQ(pacer.next_frame_time(), 40);
  // No burst: the next frame gets a whole slot from the late one.
  pacer.WaitForNextFrame(clock);
  EXPECT_EQ(clock.delays, std::vector<int>{17});
  EXPECT_EQ(clock.Now(), 57);
}

TEST(FramePacer, AFrameExactlyOnTimeDoesNotWait) {
  ManualClock clock(0);
  FramePacer pacer;
  pacer.Restart(50, clock.Now());
  clock.Advance(20);
  pacer.WaitForNextFrame(clock);
  EXPECT_TRUE(clock.delays.empty());
  EXPECT_EQ(pacer.next_frame_time(), 20);
}

TEST(FramePacer, ZeroOrNegativeHertzNeverWaits) {
  for (int hertz : {0, -60}) {
    ManualClock clock(0);
    FramePacer pacer;
    pacer.Restart(hertz, clock.Now());
    EXPECT_EQ(pacer.period(), 0);
    for (int i = 0; i < 5; ++i) pacer.WaitForNextFrame(clock);
    EXPECT_TRUE(clock.delays.empty()) << hertz;
    EXPECT_EQ(clock.Now(), 0);
  }
}

TEST(FramePacer, TheScheduleSurvivesTheClockWrapAround) {
  const int start = 2147483647 - 20;  // wraps during the second frame
  ManualClock clock(start);
  FramePacer pacer;
  pacer.Restart(60, clock.Now());
  for (int i = 0; i < 3; ++i) pacer.WaitForNextFrame(clock);
  EXPECT_EQ(clock.delays, (std::vector<int>{16, 17, 17}));
}

namespace {
// Frames whose work takes the given times at 60 Hz, as the flip paces them: each frame's work,
// then the wait until it is due and its swap, then the wait until the next frame's work starts.
// For each frame: when its work started and how long before its swap, in ms from the start.
struct PacedFrame {
  int swap;
  int lead;  // from the start of the work to the swap
};
std::vector<PacedFrame> PaceWork(const std::vector<int>& works, std::size_t late_wake_after = 0,
                                 int late_wake_ms = 0) {
  ManualClock clock(0);
  FramePacer pacer;
  pacer.Restart(60, clock.Now());
  std::vector<PacedFrame> frames;
  for (const int work : works) {
    const int started = clock.Now();
    clock.Advance(work);
    pacer.WaitForNextFrame(clock);
    frames.push_back({clock.Now(), clock.Now() - started});
    if (frames.size() == late_wake_after) clock.oversleep = late_wake_ms;
    pacer.WaitUntilWorkStarts(clock);
  }
  return frames;
}

std::vector<int> Leads(const std::vector<PacedFrame>& frames, std::size_t from, std::size_t to) {
  std::vector<int> leads;
  for (std::size_t i = from; i < to; ++i) leads.push_back(frames[i].lead);
  return leads;
}
}  // namespace

// The swaps keep their schedule; what moves is the start of the work, one margin before the swap:
// a whole frame at first, then the longest work of the last 2 s plus 2 ms. A longer frame raises
// the margin at once, and it comes down only after 2 s without one.
TEST(FramePacer, TheWorkStartsOneMarginBeforeItsSwapAndTheMarginFollowsTheWork) {
  std::vector<int> works(121, 4);              // 2 s learning, then the margin is 6 ms
  works.insert(works.end(), {4, 4, 6, 4, 4});  // 6 ms and the reserve outgrow the margin
  works.insert(works.end(), 116, 4);           // 2 s after it
  works.insert(works.end(), {4, 4, 4});
  const std::vector<PacedFrame> frames = PaceWork(works);
  const std::vector<int> due = DueTimes(60, 0, static_cast<int>(works.size()));
  for (std::size_t i = 0; i < frames.size(); ++i)
    ASSERT_EQ(frames[i].swap, due[i]) << "frame " << i;
  EXPECT_EQ(Leads(frames, 0, 3), (std::vector<int>{16, 16, 16}));
  EXPECT_EQ(Leads(frames, 119, 126), (std::vector<int>{16, 6, 6, 6, 6, 8, 8}));
  EXPECT_EQ(Leads(frames, frames.size() - 3, frames.size()), (std::vector<int>{8, 8, 6}));
}

// A frame that misses its due time is swapped when done, and the schedule restarts from there with
// its work right after the swap.
TEST(FramePacer, AFrameThatMissesItsDueTimeRestartsTheScheduleAndTheMargin) {
  std::vector<int> works(121, 4);
  works.insert(works.end(), {4, 25, 4, 4});
  const std::vector<PacedFrame> frames = PaceWork(works);
  const std::vector<int> due = DueTimes(60, 0, 123);
  EXPECT_EQ(frames[122].swap, due[122] - 6 + 25) << "6 ms before it was due, 25 ms of work";
  EXPECT_EQ(frames[123].swap - frames[122].swap, 16);
  EXPECT_EQ(Leads(frames, 123, 125), (std::vector<int>{16, 16}));
}

// A sleep until the work starts that ends 3 ms late leaves the 4 ms frame 1 ms past its due time:
// the lateness counts as work, and the margin grows to hold it.
TEST(FramePacer, ASleepThatEndsLateCountsAsWork) {
  const std::vector<PacedFrame> frames = PaceWork(std::vector<int>(125, 4), 122, 3);
  EXPECT_EQ(Leads(frames, 121, 125), (std::vector<int>{6, 4, 9, 9}));
}
