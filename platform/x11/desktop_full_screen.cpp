#include "platform/x11/desktop_full_screen.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <vector>

#include "platform/x11/input_window.h"
#include "platform/x11/window_manager_hints.h"
#include "platform/x11/x_display.h"

namespace {
constexpr long kRemoveState = 0;
constexpr long kAddState = 1;
constexpr long kFromApplication = 1;  // the source a pager would give as 2

Window described_window = 0;  // the window the state below belongs to
bool full_screen = false;
bool fixed_size_owed = false;  // back from full screen, until the windowed size is seen again
int windowed_width = 0;
int windowed_height = 0;

Atom Intern(Display* display, const char* name) {
  return XInternAtom(display, name, False);
}

// A property of 32-bit values (Xlib hands them over as longs); empty when missing.
std::vector<long> LongProperty(Display* display, Window window, const char* name, Atom type) {
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  XErrorTrap trap(display);  // a window manager that died leaves a stale window id behind
  if (XGetWindowProperty(display, window, Intern(display, name), 0, 4096, False, type, &actual_type,
                         &format, &count, &remaining, &data) == Success &&
      data != nullptr && format == 32) {
    const long* longs = reinterpret_cast<const long*>(data);
    values.assign(longs, longs + count);
  }
  if (data != nullptr) XFree(data);
  if (trap.Failed()) values.clear();
  return values;
}

// The state below describes the current input window; a new one starts windowed.
void ForgetOldInputWindowsState() {
  if (described_window == InputWindow()) return;
  described_window = InputWindow();
  full_screen = fixed_size_owed = false;
  InputWindowSize(windowed_width, windowed_height);
}

// Size hints that only ask for the windowed size, and no resize redirection.
void AllowResizingByWindowManager(Display* display, Window window) {
  SetWindowSizeHints(display, window, windowed_width, windowed_height, false);
  XSelectInput(display, window, kInputWindowEvents);
}
}  // namespace

bool WindowManagerOffersFullScreen(Display* display) {
  const Window root = DefaultRootWindow(display);
  const std::vector<long> check =
      LongProperty(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
  if (check.size() != 1) return false;
  const Window manager = static_cast<Window>(check[0]);
  if (LongProperty(display, manager, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) != check) return false;
  const std::vector<long> supported = LongProperty(display, root, "_NET_SUPPORTED", XA_ATOM);
  const long wanted = static_cast<long>(Intern(display, "_NET_WM_STATE_FULLSCREEN"));
  return std::find(supported.begin(), supported.end(), wanted) != supported.end();
}

bool AskFullScreenFromStart(Display* display, Window window, int width, int height) {
  if (!WindowManagerOffersFullScreen(display)) return false;
  described_window = window;
  full_screen = true;
  fixed_size_owed = false;
  windowed_width = width;
  windowed_height = height;
  SetWindowSizeHints(display, window, width, height, false);
  const Atom state = Intern(display, "_NET_WM_STATE_FULLSCREEN");
  XChangeProperty(display, window, Intern(display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&state), 1);
  return true;
}

bool ToggleInputWindowFullScreen(Display* display) {
  const Window window = InputWindow();
  if (window == 0 || !WindowManagerOffersFullScreen(display)) return false;
  ForgetOldInputWindowsState();
  // A window of fixed size that redirects resizing cannot be made full screen.
  if (!full_screen) AllowResizingByWindowManager(display, window);
  full_screen = !full_screen;
  fixed_size_owed = !full_screen;
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = Intern(display, "_NET_WM_STATE");
  message.xclient.format = 32;
  message.xclient.data.l[0] = full_screen ? kAddState : kRemoveState;
  message.xclient.data.l[1] = static_cast<long>(Intern(display, "_NET_WM_STATE_FULLSCREEN"));
  message.xclient.data.l[3] = kFromApplication;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &message);
  XFlush(display);
  return true;
}

bool InputWindowFullScreen() {
  return described_window == InputWindow() && full_screen;
}

void FollowSizeAndRestoreFixedSize(Display* display, int width, int height) {
  SetInputWindowSize(width, height);
  if (described_window != InputWindow() || !fixed_size_owed) return;
  if (width != windowed_width || height != windowed_height) return;
  fixed_size_owed = false;
  SetWindowSizeHints(display, described_window, width, height, true);
  XSelectInput(display, described_window, kFixedSizeWindowEvents);
}
