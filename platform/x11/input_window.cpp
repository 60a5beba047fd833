#include "platform/x11/input_window.h"

#include "platform/x11/x_display.h"

namespace {
Window input_window = 0;
bool input_window_shown = true;
bool input_window_focused = false;
bool pointer_in_input_window = false;
bool pointer_seen = false;
int pointer_seen_x = 0;
int pointer_seen_y = 0;

// NOTE: the window under the pointer, not its rectangle: another window stacked above it takes
// the pointer. The server names the child under the pointer one level at a time.
bool PointerIsIn(Display* display, Window window) {
  Window level = DefaultRootWindow(display);
  while (level != 0 && level != window) {
    Window root = 0, child = 0;
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned buttons = 0;
    if (!XQueryPointer(display, level, &root, &child, &root_x, &root_y, &x, &y, &buttons))
      return false;  // on another screen
    level = child;
  }
  return level == window;
}

// Under PointerRoot the keyboard follows the pointer, which the crossing events follow.
bool HasFocus(Display* display, Window window) {
  Window focus = 0;
  int revert_to = 0;
  XGetInputFocus(display, &focus, &revert_to);
  return focus == window || focus == PointerRoot;
}
}  // namespace

void SetInputWindow(Window window) {
  input_window = window;
  input_window_shown = true;
  StartWindowPicture(1, 1, 1, 1, false);  // the window layer gives its picture once shown
  Display* display = XDisplayConnection();
  input_window_focused = display != nullptr && window != 0 && HasFocus(display, window);
  pointer_in_input_window = display != nullptr && window != 0 && PointerIsIn(display, window);
  pointer_seen = false;  // the first warp goes to its place outright, and then it is known
}

Window InputWindow() {
  return input_window;
}

void SetInputWindowShown(bool shown) {
  input_window_shown = shown;
}

bool InputWindowShown() {
  return input_window_shown;
}

void SetInputWindowFocused(bool focused) {
  input_window_focused = focused;
}

bool InputWindowFocused() {
  return input_window_focused;
}

void SetPointerInInputWindow(bool inside) {
  pointer_in_input_window = inside;
}

bool PointerInInputWindow() {
  return pointer_in_input_window;
}

void SetPointerSeenAt(int x, int y) {
  pointer_seen = true;
  pointer_seen_x = x;
  pointer_seen_y = y;
}

void ForgetPointerSeen() {
  pointer_seen = false;
}

bool PointerSeenAt(int& x, int& y) {
  x = pointer_seen_x;
  y = pointer_seen_y;
  return pointer_seen;
}
