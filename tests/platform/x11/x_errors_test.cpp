// Protocol errors against a real X server: collected inside a trap for the code that provoked
// them, reported once per kind outside one, never ending the program.
#include <gtest/gtest.h>

#include <string>

#include "platform/x11/x_display.h"
#include "tests/support/display.h"

namespace {
class XErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_DISPLAY();
    display = OpenXDisplay();
    ASSERT_NE(display, nullptr);
  }
  // An id the client never gave to anything: every request on it fails.
  Window NoWindow() { return XAllocID(display); }

  Display* display = nullptr;
};
}  // namespace

TEST_F(XErrors, AnUnexpectedErrorIsToldOncePerKindAndTheProgramGoesOn) {
  testing::internal::CaptureStderr();
  XMapWindow(display, NoWindow());
  XMapWindow(display, NoWindow());
  XSync(display, False);
  XUnmapWindow(display, NoWindow());
  XSync(display, False);
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_EQ(told,
            "X protocol error: BadWindow (invalid Window parameter) in X_MapWindow; the program "
            "goes on.\n"
            "X protocol error: BadWindow (invalid Window parameter) in X_UnmapWindow; the "
            "program goes on.\n");
  EXPECT_NE(XDisplayConnection(), nullptr);
  EXPECT_FALSE(XDisplayLost());
}

TEST_F(XErrors, ATrapCollectsTheFirstErrorNamedByRequestAndTellsNothing) {
  testing::internal::CaptureStderr();
  std::string first;
  {
    XErrorTrap trap(display);
    EXPECT_FALSE(trap.Failed());
    XMapWindow(display, NoWindow());
    XFreeColormap(display, NoWindow());
    EXPECT_TRUE(trap.Failed()) << "the round trip brings the answers in";
    first = trap.FirstError();
  }
  EXPECT_EQ(first, "BadWindow (invalid Window parameter) in X_MapWindow");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a trapped error is not told";

  // Outside the trap again, a kind trapped before is told: one no other test tells first.
  testing::internal::CaptureStderr();
  XFreeColormap(display, NoWindow());
  XSync(display, False);
  EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

TEST_F(XErrors, TrapsNestAndTheInnermostCollects) {
  XErrorTrap outer(display);
  {
    XErrorTrap inner(display);
    XMapWindow(display, NoWindow());
    EXPECT_TRUE(inner.Failed());
  }
  EXPECT_FALSE(outer.Failed());
  XFreeColormap(display, NoWindow());
  EXPECT_TRUE(outer.Failed());
  EXPECT_EQ(outer.FirstError(), "BadColor (invalid Colormap parameter) in X_FreeColormap");
}
