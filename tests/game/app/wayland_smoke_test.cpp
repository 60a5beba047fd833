// The real game as an X client of Xwayland under a headless Wayland compositor, as players in a
// Wayland session run it: its window appears, shows the menu, frames keep coming and it closes.
//
// NOTE: input cannot be played here. The headless back end has no input seat, so Xwayland gives
// the keyboard focus to no window: XTest key presses and button clicks reach no client (xev sees
// neither), and XTest pointer motion crashes Xwayland 22.1. The window is therefore found without
// moving the pointer, and the game is ended as a window manager's close button ends it, by a
// client message, which needs no seat.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <future>
#include <string>

#include "tests/support/game_window.h"
#include "tests/support/monotonic_clock.h"
#include "tests/support/process.h"
#include "tests/support/weston_session.h"

namespace {
constexpr int kFindMs = 30000;  // the first X client also waits for Xwayland to start
constexpr int kScreenMs = 20000;
constexpr int kGameMs = 100000;  // below the test's own limit, so a hung game is killed first
constexpr std::uint64_t kFramesPerSecond = 30;  // half the game's rate: frames keep coming

// Mesa's software rasteriser, as under Xvfb: the menu's pixels are known.
std::future<ProcessResult> StartGame(const std::string& display, const std::string& counter) {
  return StartCountingSwaps({ZIRKULON_BINARY}, ZIRKULON_HELPERS_DIR "/libswap_counter.so", counter,
                            {"DISPLAY=" + display, "LIBGL_ALWAYS_SOFTWARE=1"}, kGameMs);
}
}  // namespace

TEST(EndToEndUnderWeston, TheGameShowsItsMenuKeepsDrawingAndCloses) {
  const WestonSession weston;
  if (weston.display().empty()) {
    if (std::getenv("CI") != nullptr) FAIL() << weston.error();
    GTEST_SKIP() << weston.error();
  }
  const std::string counter = weston.runtime_dir() + "/swaps";
  auto run = StartGame(weston.display(), counter);
  GameWindow window(weston.display().c_str());
  const bool found = window.FindLeavingPointer(kFindMs);
  EXPECT_TRUE(found) << "the game's window never appeared on " << weston.display();
  // Checked before the game is asked to close, so that a failure never leaves it running.
  if (found) {
    EXPECT_TRUE(window.WaitForScreen(ShownScreen::kMenu, kScreenMs))
        << "expected the menu, saw " << ScreenName(window.last_seen());
    const std::uint64_t before = SwapCount(counter);
    const double start = MonotonicMillis();
    usleep(1000000);
    const std::uint64_t frames = SwapCount(counter) - before;
    EXPECT_GE(frames, kFramesPerSecond)
        << "frames in " << MonotonicMillis() - start << " ms, " << before << " before";
    window.RequestClose();
  }
  const ProcessResult result = run.get();
  EXPECT_EQ(result.exit_status, 0) << "signal " << result.terminating_signal
                                   << ", standard error \"" << result.standard_error << "\"";
}
