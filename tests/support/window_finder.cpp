#include "tests/support/window_finder.h"

#include <unistd.h>

#include <cstring>

#include "tests/support/monotonic_clock.h"

namespace {
constexpr int kPollMs = 20;

bool Matches(Display* display, Window window, const WindowQuery& query) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
    return false;
  if (query.width > 0 && (attributes.width != query.width || attributes.height != query.height))
    return false;
  char* name = nullptr;
  if (!XFetchName(display, window, &name) || name == nullptr) return false;
  const bool same = query.title == name;
  XFree(name);
  return same;
}

Window FindBelow(Display* display, Window parent, const WindowQuery& query) {
  Window root = 0;
  Window ignored = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, parent, &root, &ignored, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = count; i-- > 0 && found == 0;) {
    if (Matches(display, children[i], query)) found = children[i];
    if (found == 0) found = FindBelow(display, children[i], query);
  }
  if (children != nullptr) XFree(children);
  return found;
}
}  // namespace

QuietErrors::QuietErrors(Display* display) : display_(display) {
  XSync(display_, False);
  previous_ = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

QuietErrors::~QuietErrors() {
  XSync(display_, False);
  XSetErrorHandler(previous_);
}

Window FindWindow(Display* display, const WindowQuery& query) {
  if (display == nullptr) return 0;
  // Windows of other processes may vanish between two requests: an expected BadWindow.
  const QuietErrors quiet(display);
  return FindBelow(display, DefaultRootWindow(display), query);
}

Window WaitForWindow(Display* display, int timeout_ms, const WindowQuery& query) {
  const double deadline = MonotonicMillis() + timeout_ms;
  for (;;) {
    if (const Window window = FindWindow(display, query)) return window;
    if (MonotonicMillis() >= deadline) return 0;
    usleep(kPollMs * 1000);
  }
}

bool WaitForNoWindow(Display* display, int timeout_ms, const WindowQuery& query) {
  const double deadline = MonotonicMillis() + timeout_ms;
  for (;;) {
    if (FindWindow(display, query) == 0) return true;
    if (MonotonicMillis() >= deadline) return false;
    usleep(kPollMs * 1000);
  }
}
