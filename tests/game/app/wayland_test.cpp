// The real game as an X client of Xwayland under a Wayland compositor, as players in a Wayland
// session run it. Under the headless back end: its window appears, shows the menu, frames keep
// coming and it closes. Under weston nested in an Xvfb, whose seat takes XTest input: the mouse
// steers however the hand moves, and nothing else turns the paddle.
//
// NOTE: the headless back end has no input seat, so Xwayland gives the keyboard focus to no
// window: XTest key presses and button clicks reach no client, and XTest pointer motion crashes
// Xwayland 22.1. Input is therefore only ever made on the nested session's outer server, and the
// game is ended as a window manager's close button ends it, by a client message.
#include <gtest/gtest.h>
#include <unistd.h>

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include <X11/keysym.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "game/world/screen_geometry.h"
#include "tests/support/display.h"
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
std::future<ProcessResult> StartGame(const std::string& display, const std::string& counter,
                                     const std::vector<std::string>& options = {}) {
  std::vector<std::string> command = {ZIRKULON_BINARY};
  command.insert(command.end(), options.begin(), options.end());
  return StartCountingSwaps(command, ZIRKULON_HELPERS_DIR "/libswap_counter.so", counter,
                            {"DISPLAY=" + display, "LIBGL_ALWAYS_SOFTWARE=1"}, kGameMs);
}
}  // namespace

TEST(EndToEndUnderWeston, TheGameShowsItsMenuKeepsDrawingAndCloses) {
  const WestonSession weston;
  if (weston.display().empty()) ZIRKULON_NO_DISPLAY(weston.error());
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
    EXPECT_TRUE(WaitForSwaps(counter, kFramesPerSecond, 1000))
        << SwapCount(counter) - before << " frames in a second, " << before << " before";
    window.RequestClose();
  }
  const ProcessResult result = run.get();
  EXPECT_EQ(result.exit_status, 0) << "signal " << result.terminating_signal
                                   << ", standard error \"" << result.standard_error << "\"";
}

namespace {
// From one paddle angle to another the short way round, in (-180, 180].
double Turn(double from, double to) {
  const double turn = std::fmod(to - from + 540, 360) - 180;
  return turn == -180 ? 180 : turn;
}

// How far the paddle strays from where it stood, looked at every 100 ms for a second.
double WanderOverASecond(GameWindow& game) {
  const double start = game.Capture().PaddleAngle();
  double farthest = 0;
  for (int look = 0; look < 10; ++look) {
    usleep(100000);
    farthest = std::max(farthest, std::abs(Turn(start, game.Capture().PaddleAngle())));
  }
  return std::isnan(start) ? 360 : farthest;
}

// Waits for the game's menu, and reads where its window's top left stands on weston's output.
bool FindMenu(GameWindow& game, int& left, int& top) {
  Window child = 0;
  return game.FindLeavingPointer(kFindMs) && game.WaitForScreen(ShownScreen::kMenu, kScreenMs) &&
         XTranslateCoordinates(game.display(), game.window(), DefaultRootWindow(game.display()), 0,
                               0, &left, &top, &child);
}

// In play with the pointer in, every frame puts it back to the middle: once it stands there, the
// game has seen it come in, and the next motion steers.
bool WaitUntilPutBackToTheMiddle(GameWindow& game) {
  const double start = MonotonicMillis();
  while (game.Pointer() != std::pair{kCentreX, kCentreY}) {
    if (MonotonicMillis() - start > kScreenMs) return false;
    usleep(10000);
  }
  return true;
}

bool PointerWellInside(GameWindow& game) {
  const auto [x, y] = game.Pointer();
  return x >= 5 && x < kScreenWidth - 5 && y >= 5 && y < kScreenHeight - 5;
}
}  // namespace

// Xwayland moves the pointer for a warp only while it is over the warping client's window (it
// locks the pointer then). The scenarios build on each other, as a player's hand would; the
// window has the keyboard from its first click.
TEST(SteeringUnderXwayland, TheMouseSteersHoweverTheHandMovesAndNothingElseTurnsThePaddle) {
  const WestonSession weston(WestonOutput::kNestedInXvfb);
  if (weston.display().empty()) ZIRKULON_NO_DISPLAY(weston.error());
  WestonSeat seat(weston);
  seat.Leave();  // weston's pointer enters at the next move into its window
  const std::string counter = weston.runtime_dir() + "/swaps";
  auto run = StartGame(weston.display(), counter);
  GameWindow game(weston.display().c_str());
  int left = 0, top = 0;
  const bool found = FindMenu(game, left, top);
  EXPECT_TRUE(found) << "the game's menu never appeared on " << weston.display();
  // weston grants Xwayland's pointer lock only to a window activated by a click, handled before
  // later input. The right button starts no game, and leaves the last position seen off centre.
  seat.MoveTo(left + kCentreX + 150, top + kCentreY);
  seat.Click(3);
  seat.Leave();

  struct Step {
    const char* what;
    std::function<void()> run;
  };
  auto steers_ten_degrees = [&] {
    ASSERT_TRUE(WaitUntilPutBackToTheMiddle(game)) << "the pointer stays away from the middle";
    ASSERT_TRUE(WaitForSwaps(counter, 3)) << "no frame drawn since";
    const double before = game.Capture().PaddleAngle();
    ASSERT_TRUE(game.MovedAndSeenAt(kCentreX + 30, -1 /* any row: a drift may be under way */,
                                    counter, kScreenMs, [&] { seat.MoveBy(30, 0); }));
    EXPECT_NEAR(Turn(before, game.Capture().PaddleAngle()), 10, 3) << "30 px to the right";
  };
  // The serve of the game waits for a click that never comes: only the paddle is on its circle.
  const Step steps[] = {
      {"a game started beside the window (the pointer never seen) is still until the pointer "
       "enters",
       [&] {
         const int beside = left >= 100 ? left - 60 : left + kScreenWidth + 60;
         seat.MoveTo(beside, top + kCentreY);
         seat.TapKey(XK_space);
         ASSERT_TRUE(game.WaitForScreen(ShownScreen::kGame, kScreenMs));
         EXPECT_LT(WanderOverASecond(game), 1);
         const double before = game.Capture().PaddleAngle();
         // In at once well right of the middle: the frame that sees the pointer come in only puts
         // it back to the middle (70 px of steering would turn 23 degrees). Motion made before that
         // frame is not steering, so the hand waits for it as a player's eye would, however late a
         // loaded machine draws it.
         const double entered = MonotonicMillis();
         ASSERT_TRUE(game.MovedAndSeenAt(kCentreX, kCentreY, counter, kScreenMs, [&] {
           seat.MoveTo(left + kCentreX + 70, top + kCentreY + 40);
         })) << "the pointer that came in stays off the middle";
         const double recentred = MonotonicMillis();
         const double in = game.Capture().PaddleAngle();
         EXPECT_LE(std::abs(Turn(before, in)), 10) << "coming in 70 px right of the middle";
         seat.MoveBy(30, 0);
         double turn = 0;
         while (std::abs(turn - 10) > 3 && MonotonicMillis() - recentred < 1000)
           turn = Turn(in, game.Capture().PaddleAngle());
         EXPECT_NEAR(turn, 10, 3) << "30 px to the right, within a second of coming in; came in "
                                  << recentred - entered << " ms before";
       }},
      {"the mouse steers", steers_ten_degrees},
      {"a long vertical drift leaves the pointer in the window, and the mouse steering",
       [&] {
         seat.MoveBy(0, seat.y() > WestonSession::kNestedHeight / 2 ? -5 : 5, 240);
         EXPECT_TRUE(PointerWellInside(game));
         steers_ten_degrees();
       }},
      {"out of the window the paddle is still, and back in it does not jump",
       [&] {
         seat.Leave();  // the second of looking covers its way to the game
         EXPECT_LT(WanderOverASecond(game), 1);
         const double before = game.Capture().PaddleAngle();
         // Under the lock the entry reaches no X client: a nudge down, which steers nothing, goes
         // through weston after it and shows that the game has it.
         ASSERT_TRUE(game.MovedAndSeenAt(-1, kCentreY + 1, counter, kScreenMs, [&] {
           seat.MoveTo(left + kCentreX + 200, top + kCentreY);
           seat.MoveBy(0, 1);
         }));
         EXPECT_LE(std::abs(Turn(before, game.Capture().PaddleAngle())), 10);
         steers_ten_degrees();
       }},
  };
  for (const Step& step : steps) {
    if (!found) break;
    SCOPED_TRACE(step.what);
    step.run();
    if (HasFatalFailure()) break;
  }
  if (found) game.RequestClose();
  const ProcessResult result = run.get();
  EXPECT_EQ(result.exit_status, 0) << "standard error \"" << result.standard_error << "\"";
}

// With --free-pointer the game never warps, so it asks for no pointer lock, as on a compositor
// that grants none: it steers by the motion between the server's reports, and the pointer may
// leave the window.
TEST(SteeringUnderXwayland, AFreePointerSteersByItsMotionAndMayLeaveTheWindow) {
  const WestonSession weston(WestonOutput::kNestedInXvfb);
  if (weston.display().empty()) ZIRKULON_NO_DISPLAY(weston.error());
  WestonSeat seat(weston);
  seat.Leave();
  const std::string counter = weston.runtime_dir() + "/swaps";
  auto run = StartGame(weston.display(), counter, {"--free-pointer"});
  GameWindow game(weston.display().c_str());
  int left = 0, top = 0;
  const bool found = FindMenu(game, left, top);
  EXPECT_TRUE(found) << "the game's menu never appeared on " << weston.display();
  // The hand to (x, y) in the window; the paddle's turn once the game has drawn the motion. Nothing
  // puts the pointer back, so it stays where the hand left it.
  auto turn_to = [&](int x, int y) {
    const double before = game.Capture().PaddleAngle();
    EXPECT_TRUE(
        game.MovedAndSeenAt(x, y, counter, kScreenMs, [&] { seat.MoveTo(left + x, top + y); }))
        << "the pointer never came to " << x;
    return Turn(before, game.Capture().PaddleAngle());
  };
  auto play = [&] {
    seat.MoveTo(left + kCentreX + 150, top + kCentreY);
    seat.Click(3);  // activates the window: its keys, handled after it, then come
    seat.TapKey(XK_space);
    ASSERT_TRUE(game.WaitForScreen(ShownScreen::kGame, kScreenMs));
    ASSERT_TRUE(WaitForSwaps(counter, 3));
    ASSERT_EQ(game.Pointer(), (std::pair{kCentreX + 150, kCentreY}));
    EXPECT_NEAR(turn_to(kCentreX + 180, kCentreY), 10, 3) << "30 px to the right";
    EXPECT_NEAR(turn_to(kCentreX + 120, kCentreY), -20, 4) << "60 px to the left";
    seat.Leave();
    EXPECT_LT(WanderOverASecond(game), 1) << "out of the window";
    // NOTE: Xwayland reports the leave only when the pointer comes back: a leave and an enter
    // where it left, then a motion to where it came in, which no hand made.
    EXPECT_LE(std::abs(turn_to(kCentreX - 100, kCentreY + 60)), 10) << "back in 100 px left";
    EXPECT_NEAR(turn_to(kCentreX - 70, kCentreY + 60), 10, 3) << "30 px to the right after";
  };
  if (found) {
    play();
    game.RequestClose();
  }
  const ProcessResult result = run.get();
  EXPECT_EQ(result.exit_status, 0) << "standard error \"" << result.standard_error << "\"";
}

// Two monitors side by side, each narrower than the window at scale 2 though the screen holds it:
// the window fits the monitor it opens on, and full screen covers exactly one monitor.
TEST(MonitorsUnderXwayland, TheWindowFitsItsMonitorAndFullScreenCoversOne) {
  const WestonSession weston(WestonOutput::kNestedInXvfb, 2);
  if (weston.display().empty()) ZIRKULON_NO_DISPLAY(weston.error());
  WestonSeat seat(weston);
  auto run = StartGame(weston.display(), weston.runtime_dir() + "/swaps", {"--scale", "2"});
  GameWindow game(weston.display().c_str());
  const bool found =
      game.FindLeavingPointer(kFindMs) && game.WaitForScreen(ShownScreen::kMenu, kScreenMs);
  EXPECT_TRUE(found) << "the game's menu never appeared on " << weston.display();
  auto geometry = [&] {  // x, y, width, height
    XWindowAttributes attributes{};
    XGetWindowAttributes(game.display(), game.window(), &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(game.display(), game.window(), DefaultRootWindow(game.display()), 0, 0,
                          &x, &y, &child);
    return std::vector<int>{x, y, attributes.width, attributes.height};
  };
  if (found) {
    const std::vector<int> window = geometry();
    EXPECT_EQ(window[2], kScreenWidth) << "a whole scale the monitor holds";
    seat.MoveTo(window[0] + kCentreX, window[1] + kCentreY);
    seat.Click(3);  // activates the window: its keys, handled after it, then come
    seat.TapKey(XK_F11);
    const double deadline = MonotonicMillis() + kScreenMs;
    while (geometry()[2] != WestonSession::kNestedWidth && MonotonicMillis() < deadline)
      usleep(50000);
    // NOTE: Xwayland leaves a window's X position where it was; the compositor places it. The
    // size is one monitor's, not the two monitors' together.
    const std::vector<int> full = geometry();
    EXPECT_EQ((std::vector<int>{full[2], full[3]}),
              (std::vector<int>{WestonSession::kNestedWidth, WestonSession::kNestedHeight}));
    game.RequestClose();
  }
  const ProcessResult result = run.get();
  EXPECT_EQ(result.exit_status, 0) << "standard error \"" << result.standard_error << "\"";
}
