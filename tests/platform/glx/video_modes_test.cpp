#include "platform/glx/video_modes.h"

#include <gtest/gtest.h>

TEST(VideoModes, RefreshRateRoundsTheDotClockOverTheFrame) {
  // 1024x768 at 60 Hz: 65 MHz over 1344 x 806.
  EXPECT_EQ(ModeRefreshRate({65000, 1024, 768, 1344, 806, 0}), 60);
  // 800x600 at 72 Hz: 50 MHz over 1040 x 666 = 72.19.
  EXPECT_EQ(ModeRefreshRate({50000, 800, 600, 1040, 666, 0}), 72);
  // 59.5 rounds up, 59.0 stays.
  EXPECT_EQ(ModeRefreshRate({119, 1, 1, 2000, 1, 0}), 60);
  EXPECT_EQ(ModeRefreshRate({118, 1, 1, 2000, 1, 0}), 59);
}

TEST(VideoModes, InterlaceDoublesAndDoubleScanHalves) {
  const VideoModeLine base{65000, 1024, 768, 1344, 806, 0};
  VideoModeLine interlaced = base;
  interlaced.flags = 0x10;
  VideoModeLine double_scan = base;
  double_scan.flags = 0x20;
  VideoModeLine both = base;
  both.flags = 0x30;
  EXPECT_EQ(ModeRefreshRate(interlaced), 120);
  EXPECT_EQ(ModeRefreshRate(double_scan), 30);
  EXPECT_EQ(ModeRefreshRate(both), 60);
  VideoModeLine odd = {61000, 1024, 768, 1000, 1000, 0x20};  // 61 Hz halved truncates
  EXPECT_EQ(ModeRefreshRate(odd), 30);
}

TEST(VideoModes, AModeWithoutTimingHasRateZero) {
  EXPECT_EQ(ModeRefreshRate({65000, 1024, 768, 0, 806, 0}), 0);
}

TEST(VideoModes, PickPrefersTheExactRateThenTheFirstOfTheSize) {
  const std::vector<VideoModeLine> modes = {
      {65000, 1024, 768, 1344, 806, 0},  // 60 Hz
      {50000, 800, 600, 1040, 666, 0},   // 72 Hz
      {40000, 800, 600, 1056, 628, 0},   // 60 Hz
      {49500, 800, 600, 1056, 625, 0},   // 75 Hz
  };
  EXPECT_EQ(PickVideoMode(modes, 800, 600, 60), 2);
  EXPECT_EQ(PickVideoMode(modes, 800, 600, 75), 3);
  EXPECT_EQ(PickVideoMode(modes, 800, 600, 85), 1);
  EXPECT_EQ(PickVideoMode(modes, 1024, 768, 0), 0);
  EXPECT_EQ(PickVideoMode(modes, 640, 480, 60), -1);
  EXPECT_EQ(PickVideoMode({}, 800, 600, 60), -1);
}
