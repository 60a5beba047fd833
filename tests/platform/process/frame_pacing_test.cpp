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
