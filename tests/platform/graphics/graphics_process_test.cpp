// The graphics layer in a whole process: no display, a termination while creating, and a
// connection lost while flipping.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/support/display.h"
#include "tests/support/monotonic_clock.h"
#include "tests/support/process.h"

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include "tests/support/window_finder.h"

namespace {
const std::string kProbe = std::string(ZIRKULON_HELPERS_DIR) + "/graphics_probe";

// The probe that flips forever opens a 776 x 552 window: other tests sharing the server (the game's
// among them) open 800 x 600 windows with the same title, and killing one of those would fail both.
constexpr int kForeverWidth = 776;
constexpr int kForeverHeight = 552;
}  // namespace

TEST(GraphicsProcess, WithoutADisplayNoWindowOpensAndNothingFails) {
  ProcessOptions options;
  options.extra_environment = {"DISPLAY="};
  const ProcessResult result = RunProcess({kProbe, "open"}, options);
  EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  EXPECT_EQ(result.standard_output, "opened=0\n");
  EXPECT_EQ(result.standard_error, "");
}

TEST(GraphicsProcess, ATerminationDuringCreationIsNoFailureToCreateButEndsTheProgram) {
  for (const char* mode : {"terminated-while-creating", "terminated-while-attaching"}) {
    const ProcessResult result = RunProcess({kProbe, mode});
    EXPECT_EQ(result.exit_status, 255) << mode;
    EXPECT_EQ(result.standard_output, "") << mode;
    EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15") << mode;
  }
}

TEST(GraphicsProcess, ANormalEndClosesTheWindowInTheExitHandlersQuietly) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "open"});
  EXPECT_EQ(result.exit_status, 0) << "signal " << result.terminating_signal;
  EXPECT_EQ(result.standard_output, "opened=1\n");
  EXPECT_EQ(result.standard_error, "");
}

TEST(GraphicsProcess, ATerminationNoticedInTheExitHandlersEndsWithItsTextAndStatus255) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "terminated-at-exit"});
  EXPECT_EQ(result.terminating_signal, 0) << "a runtime error escaping an exit handler aborts";
  EXPECT_EQ(result.exit_status, 255);
  EXPECT_EQ(result.standard_output, "opened=1\n");
  EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15");
}

TEST(GraphicsProcess, ALostConnectionEndsTheProgramWithOneLineAndStatus255) {
  REQUIRE_DISPLAY();
  // The window is mapped before creation returns; killing it then would end the probe during
  // creation, so the connection is cut only once the probe says it has opened.
  std::atomic<bool> opened = false;
  ProcessOptions options;
  options.on_output = [&](const std::string& output) {
    if (output.find("opened=1\n") != std::string::npos) opened = true;
  };
  ProcessResult result;
  std::thread runner([&] { result = RunProcess({kProbe, "flip-forever"}, options); });

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const double give_up = MonotonicMillis() + 10000;
  while (!opened && MonotonicMillis() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const Window window =
      WaitForWindow(display, 10000, {.width = kForeverWidth, .height = kForeverHeight});
  EXPECT_NE(window, 0u) << "the probe's window, titled \"Ostrandel Application\", never appeared";
  if (window != 0) XKillClient(display, window);
  XSync(display, False);
  XCloseDisplay(display);
  runner.join();

  EXPECT_EQ(result.exit_status, 255) << "killed by signal " << result.terminating_signal;
  EXPECT_EQ(result.standard_output, "opened=1\n");
  EXPECT_EQ(result.standard_error,
            "Lost the connection to the X server; the program has to end.\n");
}
