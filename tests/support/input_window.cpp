#include "tests/support/input_window.h"

#include <X11/extensions/XTest.h>
#include <unistd.h>

#include "platform/x11/linux_system.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/window_picture.h"
#include "platform/x11/x_display.h"
#include "tests/support/display.h"
#include "tests/support/monotonic_clock.h"

TestInputWindow::TestInputWindow() {
  StartLinuxSystemModule();
  display_ = XDisplayConnection();
  if (display_ == nullptr) return;
  const int screen = DefaultScreen(display_);
  XSetWindowAttributes attributes{};
  attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                          PointerMotionMask | StructureNotifyMask;
  attributes.background_pixel = BlackPixel(display_, screen);
  window_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0, kWidth, kHeight, 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixel,
                          &attributes);
  XMapRaised(display_, window_);
  XEvent mapped;
  do XWindowEvent(display_, window_, StructureNotifyMask, &mapped);
  while (mapped.type != MapNotify);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  // Window pixels are picture pixels until the window's size changes.
  FollowPictureOf(window_, picture_);
  SetInputWindow(window_, picture_);
  StartDesktopFullScreen(kWidth, kHeight, false);
  MovePointerTo(kPointerX, kPointerY);
}

TestInputWindow::~TestInputWindow() {
  if (display_ == nullptr) return;
  SetInputWindow(0);
  XDestroyWindow(display_, window_);
  XSync(display_, False);
}

KeyCode TestInputWindow::KeycodeOf(KeySym keysym) const {
  return XKeysymToKeycode(display_, keysym);
}

void TestInputWindow::PressKey(KeySym keysym) {
  XTestFakeKeyEvent(display_, KeycodeOf(keysym), True, 0);
  Sync();
}

void TestInputWindow::ReleaseKey(KeySym keysym) {
  XTestFakeKeyEvent(display_, KeycodeOf(keysym), False, 0);
  Sync();
}

void TestInputWindow::TapKey(KeySym keysym) {
  PressKey(keysym);
  ReleaseKey(keysym);
}

void TestInputWindow::RepeatKey(KeySym keysym) {
  XTestFakeKeyEvent(display_, KeycodeOf(keysym), False, 0);
  XTestFakeKeyEvent(display_, KeycodeOf(keysym), True, 0);
  Sync();
}

void TestInputWindow::PressButton(unsigned button) {
  XTestFakeButtonEvent(display_, button, True, 0);
  Sync();
}

void TestInputWindow::ReleaseButton(unsigned button) {
  XTestFakeButtonEvent(display_, button, False, 0);
  Sync();
}

void TestInputWindow::MovePointerBy(int dx, int dy) {
  XTestFakeRelativeMotionEvent(display_, dx, dy, 0);
  Sync();
}

void TestInputWindow::MovePointerTo(int x, int y) {
  XWarpPointer(display_, None, window_, 0, 0, 0, 0, x, y);
  Sync();
}

void TestInputWindow::ReportPointerAt(int x, int y) {
  int root_x = 0, root_y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &root_x, &root_y,
                        &child);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), root_x, root_y, 0);
  Sync();
}

void TestInputWindow::Sync() {
  XSync(display_, False);
}

namespace {
struct ReleaseCount {
  unsigned keycode;
  int releases;
};

// Counts the releases of one key in the queue and takes nothing out of it.
Bool CountRelease(Display*, XEvent* event, XPointer counter) {
  auto* count = reinterpret_cast<ReleaseCount*>(counter);
  if (event->type == KeyRelease && event->xkey.keycode == count->keycode) ++count->releases;
  return False;
}
}  // namespace

bool TestInputWindow::WaitForAutoRepeat(KeySym keysym, int pairs, int timeout_ms) {
  const double deadline = MonotonicMillis() + timeout_ms;
  for (;;) {
    Sync();  // reads every event the server has sent so far into the queue
    ReleaseCount count{KeycodeOf(keysym), 0};
    XEvent unused;
    XCheckIfEvent(display_, &unused, CountRelease, reinterpret_cast<XPointer>(&count));
    if (count.releases >= pairs) return true;
    if (MonotonicMillis() >= deadline) return false;
    usleep(5000);
  }
}

void InputWindowTest::SetUp() {
  REQUIRE_PRIVATE_DISPLAY();
  window_ = std::make_unique<TestInputWindow>();
  ASSERT_NE(window_->display(), nullptr) << "the system module found no X display";
}
