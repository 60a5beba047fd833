// The real game under an X server, played through XTest: every way through the screens and every
// way out, with the window's pixels read back where they prove what is shown.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "tests/support/display.h"
#include "tests/support/game_window.h"
#include "tests/support/monotonic_clock.h"
#include "tests/support/private_x_server.h"
#include "tests/support/process.h"

namespace {
constexpr int kFindMs = 10000;
constexpr int kScreenMs = 20000;  // the slowest change, box closing and opening, takes 3 s at 60 Hz

std::future<ProcessResult> StartGame() {
  ProcessOptions options;
  options.timeout_ms = 110000;  // below the test's own limit, so a hung game is killed first
  return std::async(std::launch::async,
                    [options] { return RunProcess({ZIRKULON_BINARY}, options); });
}

#define ASSERT_SCREEN(window, screen)                    \
  ASSERT_TRUE((window).WaitForScreen(screen, kScreenMs)) \
      << "expected " << ScreenName(screen) << ", saw " << ScreenName((window).last_seen())

// The bracketed best score under the score appears once the score has fallen below the best.
bool BestShownUnderScore(const GameShot& shot) {
  return shot.RowHasBright(346, 376, 424);
}

// The game started on this test's own X server, so that its XTest input and the pointer are
// this test's alone, and found showing its menu.
class EndToEndPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_PRIVATE_DISPLAY();
    // No key repeats on this server: a tap that a busy machine stretches past the repeat delay
    // would otherwise reach the game as two presses.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XAutoRepeatOff(display);
    XCloseDisplay(display);
    StartAndFindTheMenu();
  }
  void TearDown() override {
    if (!run_.valid()) return;
    // A test that failed half way leaves the game running: it is asked to close, not waited out.
    const bool running = run_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    if (running && window_ != nullptr) window_->RequestClose();
    const ProcessResult result = run_.get();
    if (HasFailure())
      std::cerr << "The game " << (running ? "was still running" : "had already ended")
                << " when the test failed: exit status " << result.exit_status << ", signal "
                << result.terminating_signal << ", standard error \"" << result.standard_error
                << "\"\n";
  }

  void StartAndFindTheMenu() {
    run_ = StartGame();
    window_ = std::make_unique<GameWindow>();
    ASSERT_TRUE(window_->Find(kFindMs)) << "the game's window never appeared";
    ASSERT_SCREEN(*window_, ShownScreen::kMenu);
  }

  // Taps Escape and waits for `screen`. The frame loop also ends on an Escape that arrives between
  // the screen keys' query and its own, a gap of microseconds in each frame: the game then ends at
  // once with status 0. That is recorded and false returned, so that the test plays again.
  bool EscapeTo(ShownScreen screen) {
    window_->TapKey(XK_Escape);
    const double deadline = MonotonicMillis() + kScreenMs;
    while (!window_->WaitForScreen(screen, 200)) {
      if (run_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        const ProcessResult result = run_.get();
        escape_ended_the_game_ = result.exit_status == 0 && result.standard_error.empty();
        if (!escape_ended_the_game_)
          ADD_FAILURE() << "the game ended with status " << result.exit_status << ", signal "
                        << result.terminating_signal << ": " << result.standard_error;
        return false;
      }
      if (MonotonicMillis() >= deadline) {
        ADD_FAILURE() << "expected " << ScreenName(screen) << ", saw "
                      << ScreenName(window_->last_seen());
        return false;
      }
    }
    return true;
  }

  // Plays `play` from the menu; when one of its Escapes ended the game early, starts the game
  // again and plays once more, up to three games.
  void PlayAgainWhileEscapeEndsTheGame(const std::function<void()>& play) {
    for (int game = 0; game < 3; ++game) {
      escape_ended_the_game_ = false;
      play();
      if (!escape_ended_the_game_ || HasFailure()) return;
      StartAndFindTheMenu();
      if (HasFailure()) return;
    }
    ADD_FAILURE() << "three games in a row ended on an Escape between two queries";
  }

  std::future<ProcessResult> run_;
  std::unique_ptr<GameWindow> window_;
  bool escape_ended_the_game_ = false;
};

TEST_F(EndToEndPlay, ThroughEveryScreenAndOutThroughTheFarewell) {
  PlayAgainWhileEscapeEndsTheGame([&] {
    // The menu's pixels themselves are the golden screens' to check.
    window_->TapKey(XK_h);
    ASSERT_SCREEN(*window_, ShownScreen::kHelp);
    if (!EscapeTo(ShownScreen::kMenu)) return;
    window_->TapKey(XK_space);
    ASSERT_SCREEN(*window_, ShownScreen::kGame);

    // The serve waits for a click: nothing is lost meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(BestShownUnderScore(window_->Capture()));
    window_->Click(1);
    bool lost = false;
    for (int i = 0; i < 300 && !lost; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      lost = BestShownUnderScore(window_->Capture());
    }
    EXPECT_TRUE(lost) << "a released ball flies out and costs a point";

    if (!EscapeTo(ShownScreen::kMenu) || !EscapeTo(ShownScreen::kFarewell)) return;
    window_->TapKey(XK_space);
    const ProcessResult result = run_.get();
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.standard_error, "");
  });
}

TEST_F(EndToEndPlay, SecondEscapeOnTheFarewellScreenExits) {
  PlayAgainWhileEscapeEndsTheGame([&] {
    if (!EscapeTo(ShownScreen::kFarewell)) return;
    window_->TapKey(XK_Escape);
    const ProcessResult result = run_.get();
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_TRUE(window_->WaitGone(2000));
  });
}

TEST_F(EndToEndPlay, CloseButtonEndsTheProgram) {
  window_->RequestClose();
  const ProcessResult result = run_.get();
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, "");
}

TEST(EndToEnd, TerminationSignalEndsWith255) {
  REQUIRE_PRIVATE_DISPLAY();
  ProcessOptions options;
  options.send_sigterm_after_ms = 2000;
  options.sigterm_delay_from_handler = true;  // before the handler, SIGTERM simply kills
  const ProcessResult result = RunProcess({ZIRKULON_BINARY}, options);
  EXPECT_EQ(result.exit_status, 255);
  EXPECT_NE(result.standard_error.find("appstub.linux signal handler 15"), std::string::npos)
      << result.standard_error;
}

// SIGTERM before the window exists, while it is made and in the first frames: every run ends
// promptly with the signal's error, never as a failure to open the window and never hanging. The
// moments count from when the runtime has installed its handler; before that (the loader mapping
// libraries, which takes from 10 to over 100 ms on a busy machine) SIGTERM simply kills.
TEST(EndToEnd, TerminationAtAnyMomentOfTheStartEndsWith255) {
  REQUIRE_DISPLAY();
  const unsigned seed = std::random_device{}();
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> moment(10, 300);
  for (int run = 0; run < 20; ++run) {
    ProcessOptions options;
    options.send_sigterm_after_ms = moment(generator);
    options.sigterm_delay_from_handler = true;
    options.timeout_ms = options.send_sigterm_after_ms + 3000;
    const ProcessResult result = RunProcess({ZIRKULON_BINARY}, options);
    const std::string when = "run " + std::to_string(run) + ", SIGTERM after " +
                             std::to_string(options.send_sigterm_after_ms) + " ms (seed " +
                             std::to_string(seed) + ")";
    EXPECT_EQ(result.terminating_signal, 0) << when << ": killed (a hang ends in SIGKILL, 9)";
    EXPECT_EQ(result.exit_status, 255) << when;
    EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15") << when;
  }
}

TEST(EndToEnd, NoDisplayGivesAClearErrorWithinSeconds) {
  for (const char* display : {"DISPLAY=:59999", "DISPLAY="}) {
    ProcessOptions options;
    options.extra_environment = {display};
    options.timeout_ms = 5000;
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result = RunProcess({ZIRKULON_BINARY}, options);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(result.exit_status, 255) << display;
    EXPECT_NE(result.standard_error.find("X display"), std::string::npos)
        << display << ": " << result.standard_error;
    EXPECT_NE(result.standard_error.find("DISPLAY"), std::string::npos) << result.standard_error;
    EXPECT_EQ(std::count(result.standard_error.begin(), result.standard_error.end(), '\n'), 1);
    EXPECT_TRUE(result.standard_error.ends_with('\n')) << result.standard_error;
  }
}

TEST(EndToEnd, AServerWithoutOpenGLGivesAClearError) {
  const PrivateXServer server({"-extension", "GLX"});
  ASSERT_FALSE(server.display().empty()) << server.error();
  ProcessOptions options;
  options.extra_environment = {"DISPLAY=" + server.display()};
  options.timeout_ms = 10000;
  const ProcessResult result = RunProcess({ZIRKULON_BINARY}, options);
  EXPECT_EQ(result.exit_status, 255);
  EXPECT_NE(result.standard_error.find("no OpenGL"), std::string::npos) << result.standard_error;
  EXPECT_NE(result.standard_error.find("GLX"), std::string::npos) << result.standard_error;
}
}  // namespace
