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

bool ListsFullScreen(Display* display, const std::vector<long>& atoms) {
  const long full_screen = static_cast<long>(Intern(display, "_NET_WM_STATE_FULLSCREEN"));
  return std::find(atoms.begin(), atoms.end(), full_screen) != atoms.end();
}

// Fixed: the windowed size as least and largest size, resizing redirected to the window itself.
// Otherwise the size hints only ask for the windowed size and the window manager may resize it.
void SetWindowedSize(Display* display, Window window, bool fixed) {
  int width = 0;
  int height = 0;
  WindowedSize(width, height);
  SetWindowSizeHints(display, window, width, height, fixed);
  XSelectInput(display, window, fixed ? kFixedSizeWindowEvents : kInputWindowEvents);
}
}  // namespace

bool WindowManagerOffersFullScreen(Display* display) {
  const Window root = DefaultRootWindow(display);
  const std::vector<long> check =
      LongProperty(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
  if (check.size() != 1) return false;
  const Window manager = static_cast<Window>(check[0]);
  if (LongProperty(display, manager, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) != check) return false;
  return ListsFullScreen(display, LongProperty(display, root, "_NET_SUPPORTED", XA_ATOM));
}

bool AskFullScreenFromStart(Display* display, Window window, int width, int height) {
  if (!WindowManagerOffersFullScreen(display)) return false;
  SetWindowSizeHints(display, window, width, height, false);
  const Atom state = Intern(display, "_NET_WM_STATE_FULLSCREEN");
  XChangeProperty(display, window, Intern(display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&state), 1);
  return true;
}

// NOTE: the state goes by what the window manager did, read back from _NET_WM_STATE: one may
// refuse full screen or leave it by a shortcut of its own.
bool ToggleInputWindowFullScreen(Display* display) {
  const Window window = InputWindow();
  if (window == 0 || !WindowManagerOffersFullScreen(display)) return false;
  const bool to_full_screen = !DesktopFullScreen();
  // A window of fixed size that redirects resizing cannot be made full screen.
  if (to_full_screen) SetWindowedSize(display, window, false);
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = Intern(display, "_NET_WM_STATE");
  message.xclient.format = 32;
  message.xclient.data.l[0] = to_full_screen ? kAddState : kRemoveState;
  message.xclient.data.l[1] = static_cast<long>(Intern(display, "_NET_WM_STATE_FULLSCREEN"));
  message.xclient.data.l[3] = kFromApplication;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &message);
  XFlush(display);
  return true;
}

void FollowWindowManagerState(Display* display) {
  const Window window = InputWindow();
  if (window == 0) return;
  FollowDesktopFullScreen(
      ListsFullScreen(display, LongProperty(display, window, "_NET_WM_STATE", XA_ATOM)));
  if (TakeFixedSizeOwed()) SetWindowedSize(display, window, true);
}

bool IsWindowManagerState(Display* display, unsigned long atom) {
  return atom == Intern(display, "_NET_WM_STATE");
}

void FollowSizeAndRestoreFixedSize(Display* display, int width, int height) {
  FollowWindowSize(width, height);
  if (InputWindow() != 0 && TakeFixedSizeOwed()) SetWindowedSize(display, InputWindow(), true);
}
