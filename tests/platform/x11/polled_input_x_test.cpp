// The polled input state fed by a real X server through XTest, read the way the game reads it.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include <X11/extensions/XTest.h>

#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "platform/x11/input_window.h"
#include "platform/x11/pointer_motion.h"
#include "platform/x11/window_picture.h"
#include "tests/support/input_window.h"

namespace {
class PolledXInput : public InputWindowTest {
 protected:
  void SetUp() override {
    InputWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    EnablePolledInput();
    ClearKeys();
    ClearMouse();
  }
  void TearDown() override {
    DisablePolledInput();
    InputWindowTest::TearDown();
  }
};
}  // namespace

TEST_F(PolledXInput, KeyHitsCountsPressesAndConsumesThem) {
  window_->TapKey(XK_Escape);
  EXPECT_EQ(KeyIsDown(kKeyEscape), 0);  // another reader's poll between the two presses
  window_->TapKey(XK_Escape);
  EXPECT_EQ(KeyHits(kKeyEscape), 2);
  EXPECT_EQ(KeyHits(kKeyEscape), 0);
  window_->TapKey(XK_h);
  EXPECT_EQ(KeyHits(kKeyH), 1);
}

// NOTE: a release and a new press of the same key within a millisecond of each other (taps sent
// back to back) look like the server's auto-repeat, so the second press adds no hit.
TEST_F(PolledXInput, ATapRightAfterATapInTheSamePollCountsAsRepeat) {
  window_->TapKey(XK_Escape);
  window_->TapKey(XK_Escape);
  EXPECT_EQ(KeyHits(kKeyEscape), 1);
}

TEST_F(PolledXInput, APressAndReleaseWithinOnePollIsOneHitAndNotHeld) {
  window_->TapKey(XK_Left);
  EXPECT_EQ(KeyIsDown(kKeyLeft), 0);
  EXPECT_EQ(KeyHits(kKeyLeft), 1);
  window_->PressKey(XK_Left);
  EXPECT_EQ(KeyIsDown(kKeyLeft), 1);
  window_->ReleaseKey(XK_Left);
  EXPECT_EQ(KeyIsDown(kKeyLeft), 0);
}

TEST_F(PolledXInput, HoldingSpaceWithAutoRepeatIsExactlyOneHit) {
  window_->PressKey(XK_space);
  EXPECT_EQ(KeyIsDown(kKeySpace), 1);
  // A release/press pair of the server's auto-repeat is waiting, so the hold really repeated.
  ASSERT_TRUE(window_->WaitForAutoRepeat(XK_space, 1)) << "the server sent no auto-repeat";
  window_->ReleaseKey(XK_space);
  EXPECT_EQ(KeyHits(kKeySpace), 1);
  EXPECT_EQ(KeyIsDown(kKeySpace), 0);
  EXPECT_EQ(NextKeyChar(), ' ');  // the repeats type nothing further
  EXPECT_EQ(NextKeyChar(), 0);
}

TEST_F(PolledXInput, RightIsButton2AndMiddleButton3) {
  window_->PressButton(3);
  EXPECT_EQ(MouseIsDown(kMouseRight), 1);
  window_->ReleaseButton(3);
  window_->PressButton(2);
  window_->ReleaseButton(2);
  EXPECT_EQ(MouseHits(kMouseRight), 1);
  EXPECT_EQ(MouseHits(kMouseMiddle), 1);
  EXPECT_EQ(MouseHits(kMouseLeft), 0);
  EXPECT_EQ(MouseIsDown(kMouseRight), 0);
}

TEST_F(PolledXInput, WheelStepsAccumulate) {
  for (int i = 0; i < 3; ++i) {
    window_->PressButton(4);
    window_->ReleaseButton(4);
  }
  window_->PressButton(5);
  window_->ReleaseButton(5);
  EXPECT_EQ(MouseWheelPos(), 2);
  for (int button = 1; button < kMouseButtonCount; ++button) EXPECT_EQ(MouseHits(button), 0);
}

TEST_F(PolledXInput, ClearMouseKeepsThePosition) {
  window_->MovePointerTo(123, 45);
  window_->PressButton(1);
  EXPECT_EQ(MousePosX(), 123);
  ClearMouse();
  EXPECT_EQ(MouseIsDown(kMouseLeft), 0);
  EXPECT_EQ(MouseHits(kMouseLeft), 0);
  EXPECT_EQ(MousePosX(), 123);
  EXPECT_EQ(MousePosY(), 45);
  window_->ReleaseButton(1);
}

// Once the input window is gone there is nowhere to place the pointer: a warp by the place from
// where the pointer is would move it on every frame.
TEST_F(PolledXInput, WithoutAnInputWindowPlacingTheMouseMovesNothing) {
  auto pointer = [&] {
    Window root = 0, child = 0;
    int x = 0, y = 0, window_x = 0, window_y = 0;
    unsigned buttons = 0;
    XQueryPointer(window_->display(), window_->window(), &root, &child, &x, &y, &window_x,
                  &window_y, &buttons);
    return std::pair{x, y};
  };
  const auto before = pointer();
  SetInputWindow(0);
  for (int i = 0; i < 2; ++i) PlaceMouse(400, 300);
  EXPECT_EQ(pointer(), before);
}

TEST_F(PolledXInput, SteeringByWarpCountsAPointerMoveExactlyOnce) {
  PlaceMouse(TestInputWindow::kPointerX, TestInputWindow::kPointerY);
  int steering = 0;
  auto frame = [&](int move_after_reading = 0) {
    const int dx = MousePosX() - TestInputWindow::kPointerX;
    steering += dx;
    if (move_after_reading != 0) window_->MovePointerBy(move_after_reading, 0);
    PlaceMouse(TestInputWindow::kPointerX, TestInputWindow::kPointerY);
    return dx;
  };
  for (int i = 0; i < 5; ++i) frame();
  ASSERT_EQ(MousePosX(), TestInputWindow::kPointerX);
  steering = 0;
  for (int i = 0; i < 10; ++i) frame();
  EXPECT_EQ(steering, 0) << "idle frames";

  window_->MovePointerBy(30, 0);
  EXPECT_EQ(frame(), 30);
  for (int i = 0; i < 10; ++i) frame();
  EXPECT_EQ(steering, 30);

  // Two moves between frames add up; a move back subtracts.
  window_->MovePointerBy(7, 0);
  window_->MovePointerBy(5, 0);
  frame();
  window_->MovePointerBy(-20, 0);
  for (int i = 0; i < 10; ++i) frame();
  EXPECT_EQ(steering, 30 + 12 - 20);

  // The server moves the pointer after the frame read it and before its warp: the next frame
  // steers by that move, which a warp straight to the middle would undo.
  frame(9);
  for (int i = 0; i < 10; ++i) frame();
  EXPECT_EQ(steering, 30 + 12 - 20 + 9);

  // The window moves under the pointer, which no motion event tells: the warp still finds the
  // middle, and nothing steers.
  XMoveWindow(window_->display(), window_->window(), 37, 0);
  window_->Sync();
  for (int i = 0; i < 3; ++i) frame();
  EXPECT_EQ(steering, 30 + 12 - 20 + 9);
  Window root = 0, child = 0;
  int root_x = 0, root_y = 0, x = 0, y = 0;
  unsigned buttons = 0;
  XQueryPointer(window_->display(), window_->window(), &root, &child, &root_x, &root_y, &x, &y,
                &buttons);
  EXPECT_EQ(x, TestInputWindow::kPointerX);
  EXPECT_EQ(y, TestInputWindow::kPointerY);
}

namespace {
constexpr int kMiddleX = TestInputWindow::kPointerX, kMiddleY = TestInputWindow::kPointerY;

// One frame of play's mouse steering: the sideways motion since the last, then the warp back.
int SteeringFrame() {
  const int dx = MousePosX() - kMiddleX;
  PlaceMouse(kMiddleX, kMiddleY);
  return dx;
}
}  // namespace

// The same hand on a mouse, which moves the pointer on from where the warp put it, and on a tablet
// or remote desktop, which reports where the pointer is and so undoes every warp.
TEST_F(PolledXInput, SteeringFollowsTheHandWhetherTheDeviceReportsMotionOrPositions) {
  for (const bool positions : {false, true}) {
    SCOPED_TRACE(positions ? "positions" : "motion");
    // The tablet's hand rests well right of the middle when play starts warping.
    int hand = positions ? kMiddleX + 150 : kMiddleX;
    auto move = [&](int dx) {
      hand += dx;
      if (positions)
        window_->ReportPointerAt(hand, kMiddleY);
      else
        window_->MovePointerBy(dx, 0);
    };
    auto degrees = [&](int moves, int dx, int frames_after) {
      int turn = 0;
      for (int i = 0; i < moves; ++i) {
        move(dx);
        turn += SteeringFrame() / 3;
      }
      for (int i = 0; i < frames_after; ++i) turn += SteeringFrame() / 3;
      return turn;
    };
    move(0);
    degrees(0, 0, 3);
    EXPECT_NEAR(degrees(10, 3, 5), 10, positions ? 3 : 0);
    EXPECT_NEAR(degrees(20, -3, 5), -20, positions ? 4 : 0);
    EXPECT_EQ(degrees(1, 90, 10), 30) << "one report, then stillness";
    // A move the server makes between a frame's read and its warp steers the next frame.
    const int read = MousePosX() - kMiddleX;
    move(9);
    PlaceMouse(kMiddleX, kMiddleY);
    EXPECT_EQ(read + SteeringFrame() + SteeringFrame(), 9);
  }
  // Xwayland's pointer back from over another surface, which its X pointer never saw leave: two
  // reports to one place at one time, a place and not a motion.
  window_->Sync();  // the last frame's warp first
  Display* xwayland = XOpenDisplay(nullptr);
  XSelectInput(xwayland, window_->window(), PointerMotionMask);
  XTestFakeMotionEvent(xwayland, DefaultScreen(xwayland), kMiddleX - 200, kMiddleY, 0);
  XEvent back{};
  XWindowEvent(xwayland, window_->window(), PointerMotionMask, &back);
  XSendEvent(xwayland, window_->window(), False, PointerMotionMask, &back);
  XCloseDisplay(xwayland);
  window_->Sync();
  EXPECT_EQ(SteeringFrame(), 0);
  window_->ReportPointerAt(kMiddleX - 197, kMiddleY);
  EXPECT_EQ(SteeringFrame(), 3) << "and steers from there";
}

// A move from the middle turns the same to the right and to the left whichever window column the
// middle's block starts at; cut toward zero, so that 1 and 2 picture pixels still turn nothing.
TEST_F(PolledXInput, SteeringIsTheSameToEitherSideAtEveryScale) {
  struct Case {
    double scale;
    std::vector<int> picture_pixels;  // for 4, 5, 6 and 9 window pixels
  };
  for (const Case& at :
       {Case{1.25, {3, 4, 4, 7}}, Case{1.5, {2, 3, 4, 6}}, Case{2, {2, 2, 3, 4}}}) {
    const int width = static_cast<int>(800 * at.scale), height = static_cast<int>(600 * at.scale);
    XResizeWindow(window_->display(), window_->window(), width, height);
    window_->Sync();
    PollSystemEvents();
    for (int i = 0; i < 3; ++i) SteeringFrame();
    std::vector<int> right, left;
    for (const int dx : {4, 5, 6, 9}) {
      window_->MovePointerBy(dx, 0);
      right.push_back(SteeringFrame());
      window_->MovePointerBy(-dx, 0);
      left.push_back(-SteeringFrame());
    }
    EXPECT_EQ(right, at.picture_pixels) << at.scale;
    EXPECT_EQ(left, at.picture_pixels) << at.scale;
  }
}

// A window whose middle lies beyond the screen's edge: a warp there would stop at the edge, where
// every small motion would read as a long way from the middle.
TEST_F(PolledXInput, AWindowWithItsMiddleOffTheScreenSteersByTheHandsMotion) {
  const int screen_width = DisplayWidth(window_->display(), DefaultScreen(window_->display()));
  XMoveWindow(window_->display(), window_->window(), screen_width - 200, 0);
  window_->Sync();
  PollSystemEvents();
  window_->MovePointerTo(100, kMiddleY);
  for (int i = 0; i < 3; ++i) SteeringFrame();
  window_->MovePointerBy(30, 0);
  EXPECT_EQ(SteeringFrame(), 30);
  window_->MovePointerBy(-12, 0);
  EXPECT_EQ(SteeringFrame(), -12);
  EXPECT_EQ(SteeringFrame(), 0);
}

// Xwayland's pair of reports for a pointer back from over another surface, read apart: the second
// takes the first one's motion back.
TEST(PointerMotion, TheSecondOfAPairOfReportsTakesTheFirstOnesMotionBack) {
  ForgetPointerPlace();
  ReportPointerAt({400, 300}, {400, 300}, 100, 1);
  PlacePointer({400, 300}, {400, 300}, std::nullopt);
  EXPECT_EQ(ReportPointerAt({410, 300}, {410, 300}, 110, 2), (PointerPoint{410, 300}));
  EXPECT_EQ(ReportPointerAt({300, 360}, {300, 360}, 200, 3), (PointerPoint{300, 360}));
  EXPECT_EQ(ReportPointerAt({300, 360}, {300, 360}, 200, 3), (PointerPoint{410, 300}));
  EXPECT_EQ(ReportPointerAt({303, 360}, {303, 360}, 210, 3), (PointerPoint{413, 300}));
  // Back in, with Xwayland's motion to where it came in stamped 40 ms after its EnterNotify.
  PointerPoint seen{413, 300};
  for (const unsigned long slack : {0ul, 100ul}) {
    SetEntrySlack(slack);
    PointerEnteredAt({100, 100}, {100, 100}, 300 + slack);
    const PointerPoint back = ReportPointerAt({200, 200}, {200, 200}, 340 + slack, 4);
    EXPECT_EQ(back, (slack == 0 ? PointerPoint{seen.x + 100, seen.y + 100} : seen)) << slack;
    seen = ReportPointerAt({203, 200}, {203, 200}, 350 + slack, 4);
    EXPECT_EQ(seen, (PointerPoint{back.x + 3, back.y}));
  }
  SetEntrySlack(0);
}
