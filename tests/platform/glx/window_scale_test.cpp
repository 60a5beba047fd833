#include "platform/glx/window_scale.h"

#include <gtest/gtest.h>

// The desktop's scale from Xft.dpi: from 120 dpi (125 %) up, at most 4.
TEST(WindowScale, TheDesktopsScaleComesFromXftDpi) {
  struct Case {
    const char* resources;
    double scale;
  };
  for (const Case& given :
       {Case{"", 1}, Case{"Xft.dpi:\t110\n", 1}, Case{"Xft.dpi:\t119.9\n", 1},
        Case{"Xft.dpi:\t120\n", 1.25}, Case{"Xft.antialias:\t1\nXft.dpi:\t144\n", 1.5},
        Case{"Xft.dpi:\t192", 2}, Case{"Xft.dpi:\t500\n", 4}, Case{"Xft.dpi:\tnan\n", 1},
        Case{"Xft.dpix:\t192\n", 1}})
    EXPECT_EQ(ScaleForResources(given.resources), given.scale) << given.resources;
}

// A window the room cannot hold falls back to the largest whole scale it holds, at least 1.
TEST(WindowScale, AScaleWhoseWindowTheRoomCannotHoldFallsToAWholeOne) {
  struct Case {
    double wanted;
    WindowRoom room;
    double scale;
  };
  for (const Case& given :
       {Case{1.5, {1920, 1135}, 1.5}, Case{2, {1600, 1200}, 2}, Case{2, {1920, 1135}, 1},
        Case{1.9, {1920, 1135}, 1}, Case{1.9, {1920, 1160}, 1.9}, Case{3, {2048, 1536}, 2},
        Case{3.5, {3840, 2000}, 3}, Case{2, {700, 500}, 1}, Case{0.5, {1920, 1080}, 1}})
    EXPECT_EQ(FitWindowScale(given.wanted, 800, 600, given.room), given.scale)
        << given.wanted << " in " << given.room.width << " x " << given.room.height;
}
