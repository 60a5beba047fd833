// The X11 system driver: Poll and Wait around the event pump, pointer warps and the blank cursor.
// The console requesters and the web-address opener live in their own files.
#include "platform/x11/linux_system_driver.h"

#include <poll.h>

#include "platform/process/pending_work.h"
#include "platform/process/signals.h"
#include "platform/x11/console_requesters.h"
#include "platform/x11/desktop_full_screen.h"
#include "platform/x11/desktop_opener.h"
#include "platform/x11/input_window.h"
#include "platform/x11/pointer_motion.h"
#include "platform/x11/x_event_pump.h"
#include "platform/x11/x_window_events.h"

namespace {
// NOTE: signals cut the sleep short (poll is never restarted), so SIGTERM ends the wait at once;
// the bound only serves completions posted from other threads.
constexpr int kHiddenSleepMillis = 100;
}  // namespace

TLinuxSystemDriver::TLinuxSystemDriver() {
  OpenXDisplay();
}

void TLinuxSystemDriver::Poll() {
  RaisePendingTermination();
  Display* display = XDisplayConnection();
  if (display == nullptr) return;
  if (warp_pending_) {
    // NOTE: a round trip instead of a flush puts the warp's own MotionNotify in the queue before
    // this pump. Otherwise a read after PlaceMouse could still see the pre-warp position and
    // count one pointer move twice.
    warp_pending_ = false;
    XSync(display, False);
  } else {
    XFlush(display);
  }
  PumpXEvents(display);
  KeepFixedSizeUnlessFullScreen(display);
  RunPendingWork(TakePendingSignal());
  RaisePendingTermination();
}

void TLinuxSystemDriver::Wait() {
  RaisePendingTermination();
  if (Display* display = XDisplayConnection()) PumpXEvents(display);
  WaitForPendingWork();
  RaisePendingTermination();
}

bool TLinuxSystemDriver::WaitWhileHidden() {
  Display* display = XDisplayConnection();
  if (display == nullptr || InputWindow() == 0 || InputWindowShown()) return false;
  // NOTE: a close request that the poll before read together with the UnmapNotify has not been
  // answered yet: sleeping until the window is shown again would lose it.
  const bool close_unanswered = CloseRequestCount() != close_requests_before_wait_;
  close_requests_before_wait_ = CloseRequestCount();
  if (close_unanswered) return false;
  while (!InputWindowShown() && CloseRequestCount() == close_requests_before_wait_) {
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, kHiddenSleepMillis);
    Poll();  // raises a termination request before and after it pumps
  }
  return true;
}

bool TLinuxSystemDriver::MoveMouse(int x, int y) {
  Display* display = XDisplayConnection();
  if (display == nullptr) return false;
  const Window window = InputWindow();
  // NOTE: a warp while another window has the keyboard would take the pointer from the player and,
  // under focus-follows-mouse, the focus too. Xwayland ignores warps while the pointer is over
  // another client's window, so a warp then would leave the pointer where it is.
  // Without a window (none yet, or closed) there is nowhere to place it: a warp by (x, y) from
  // where the pointer is would move it every frame.
  const std::shared_ptr<const PictureInWindow> picture = InputWindowPicture();
  if (window == 0 || !picture || !(InputWindowFocused() && PointerInInputWindow())) return false;
  warp_pending_ = PointerWarpsWanted();
  const PointerPoint to =
      ReachableWarpTarget({picture->WindowX(x), picture->WindowY(y)}, picture->window_width,
                          picture->window_height, DisplayWidth(display, DefaultScreen(display)),
                          DisplayHeight(display, DefaultScreen(display)));
  if (!PointerWarpsWanted()) {
    PlacePointer({x, y}, to, std::nullopt);
    return true;
  }
  // NOTE: the pointer is moved by the way from where it was last seen to (x, y), not to (x, y): a
  // move the server made after the program read the pointer and before the warp then stays, where
  // a warp to (x, y) would undo it and the player's motion would be lost.
  int seen_x = 0, seen_y = 0;
  PointerWarp warp{NextRequest(display), std::nullopt};
  if (PointerSeenAt(seen_x, seen_y)) {
    XWarpPointer(display, None, None, 0, 0, 0, 0, to.x - seen_x, to.y - seen_y);
    warp.from = PointerPoint{seen_x, seen_y};
  } else {
    XWarpPointer(display, None, window, 0, 0, 0, 0, to.x, to.y);
  }
  SetPointerSeenAt(to.x, to.y);
  PlacePointer({x, y}, to, warp);
  return true;
}

Cursor TLinuxSystemDriver::BlankCursor(Display* display) {
  if (blank_cursor_ != None) return blank_cursor_;
  static const char kNoBits[8] = {};
  Pixmap bitmap = XCreateBitmapFromData(display, InputWindow(), kNoBits, 8, 8);
  XColor black{};
  black.flags = DoRed | DoGreen | DoBlue;
  blank_cursor_ = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
  XFreePixmap(display, bitmap);
  // NOTE: never freed: the display stays open until exit and the server frees it then.
  return blank_cursor_;
}

void TLinuxSystemDriver::SetMouseVisible(bool visible) {
  Display* display = XDisplayConnection();
  if (display == nullptr || InputWindow() == 0) return;
  if (visible)
    XUndefineCursor(display, InputWindow());
  else
    XDefineCursor(display, InputWindow(), BlankCursor(display));
}

bool TLinuxSystemDriver::ToggleFullScreen() {
  Display* display = XDisplayConnection();
  return display != nullptr && ToggleInputWindowFullScreen(display);
}

void TLinuxSystemDriver::Notify(const String& text, bool) {
  ConsoleNotify(text);
}

int TLinuxSystemDriver::Confirm(const String& text, bool) {
  return ConsoleConfirm(text);
}

int TLinuxSystemDriver::Proceed(const String& text, bool) {
  return ConsoleProceed(text);
}

String TLinuxSystemDriver::RequestFile(const String&, const String&, bool, const String&) {
  return ConsoleRequestLine(u"Enter a filename:");
}

String TLinuxSystemDriver::RequestDir(const String&, const String&) {
  return ConsoleRequestLine(u"Enter a directory name:");
}

int TLinuxSystemDriver::OpenURL(const String& url) {
  RunDesktopOpener(url);
  return 0;
}
