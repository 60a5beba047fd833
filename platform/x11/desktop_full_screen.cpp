#include "platform/x11/desktop_full_screen.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "platform/x11/input_window.h"
#include "platform/x11/window_manager_hints.h"
#include "platform/x11/x_display.h"

namespace {
constexpr long kRemoveState = 0;
constexpr long kAddState = 1;
constexpr long kFromApplication = 1;  // the source a pager would give as 2
// How long a window manager has to answer a request for full screen before the window takes its
// fixed size back.
constexpr std::chrono::milliseconds kFullScreenAnswerTime{1000};

std::optional<std::chrono::steady_clock::time_point> full_screen_answer_due;

Atom Intern(Display* display, const char* name) {
  return XInternAtom(display, name, False);
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
  return WindowManagerSupports(display, "_NET_WM_STATE_FULLSCREEN");
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
  // A window of fixed size that redirects resizing cannot be made full screen: it gives that up
  // for as long as the window manager takes to answer.
  if (to_full_screen) {
    SetWindowedSize(display, window, false);
    full_screen_answer_due = std::chrono::steady_clock::now() + kFullScreenAnswerTime;
  }
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
  const bool full_screen =
      ListsFullScreen(display, LongProperty(display, window, "_NET_WM_STATE", XA_ATOM));
  // Full screen entered after the answer was given up on: the window gives up its fixed size again.
  if (full_screen && !DesktopFullScreen() && !full_screen_answer_due)
    SetWindowedSize(display, window, false);
  if (full_screen) full_screen_answer_due.reset();
  FollowDesktopFullScreen(full_screen);
  if (TakeFixedSizeOwed()) SetWindowedSize(display, window, true);
}

void KeepFixedSizeUnlessFullScreen(Display* display) {
  if (!full_screen_answer_due || std::chrono::steady_clock::now() < *full_screen_answer_due) return;
  full_screen_answer_due.reset();
  if (InputWindow() != 0 && !DesktopFullScreen()) SetWindowedSize(display, InputWindow(), true);
}

bool IsWindowManagerState(Display* display, unsigned long atom) {
  return atom == Intern(display, "_NET_WM_STATE");
}

void FollowSizeAndRestoreFixedSize(Display* display, Window window, int width, int height) {
  FollowWindowSize(window, width, height);
  if (window == InputWindow() && TakeFixedSizeOwed()) SetWindowedSize(display, window, true);
}
