#include "platform/x11/input_window.h"

#include "platform/x11/pointer_motion.h"
#include "platform/x11/x_display.h"

namespace {
// NOTE: only the first report after entering is taken as a place, so a generous slack loses at
// most that one report's motion.
constexpr unsigned long kXwaylandEntrySlackMillis = 100;

Window input_window = 0;
std::weak_ptr<PictureInWindow> input_picture;
bool input_window_shown = true;
unsigned keyboard_ways = 0;  // the KeyboardWays that hold
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

bool IsXwayland(Display* display) {
  int opcode = 0, first_event = 0, first_error = 0;
  return XQueryExtension(display, "XWAYLAND", &opcode, &first_event, &first_error);
}

// NOTE: under PointerRoot, or a focus on the root, the keyboard goes to the window under the
// pointer. A grab of the keyboard is not asked here: the FocusIn it sends to the window tells.
unsigned KeyboardWaysOf(Display* display, Window window) {
  Window focus = 0;
  int revert_to = 0;
  XGetInputFocus(display, &focus, &revert_to);
  KeyboardWay way = KeyboardWay::kFocusWindow;
  if (focus != window) {
    const bool follows_pointer = focus == PointerRoot || focus == DefaultRootWindow(display);
    if (!follows_pointer || !PointerIsIn(display, window)) return 0;
    way = KeyboardWay::kPointer;
  }
  return static_cast<unsigned>(way);
}
}  // namespace

void SetInputWindow(Window window, std::weak_ptr<PictureInWindow> picture) {
  input_window = window;
  input_picture = window != 0 ? std::move(picture) : std::weak_ptr<PictureInWindow>();
  input_window_shown = true;
  Display* display = XDisplayConnection();
  keyboard_ways = display != nullptr && window != 0 ? KeyboardWaysOf(display, window) : 0;
  // NOTE: while the pointer is over no X surface, Xwayland leaves the X pointer where it last was,
  // which may be inside this window: there only events tell that the pointer is in.
  const bool xwayland = display != nullptr && IsXwayland(display);
  pointer_in_input_window =
      display != nullptr && window != 0 && !xwayland && PointerIsIn(display, window);
  SetEntrySlack(xwayland ? kXwaylandEntrySlackMillis : 0);
  pointer_seen = false;  // the first warp goes to its place outright, and then it is known
  ForgetPointerPlace();
}

Window InputWindow() {
  return input_window;
}

std::shared_ptr<const PictureInWindow> InputWindowPicture() {
  return input_picture.lock();
}

void SetInputWindowShown(bool shown) {
  input_window_shown = shown;
}

bool InputWindowShown() {
  return input_window_shown;
}

void SetInputWindowFocused(KeyboardWay way, bool focused) {
  const unsigned bit = static_cast<unsigned>(way);
  keyboard_ways = focused ? keyboard_ways | bit : keyboard_ways & ~bit;
}

bool InputWindowFocused() {
  return keyboard_ways != 0;
}

bool InputWindowFocusedBy(KeyboardWay way) {
  return (keyboard_ways & static_cast<unsigned>(way)) != 0;
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
