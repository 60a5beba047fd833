#include "tests/support/display.h"

#include <X11/Xlib.h>

bool DisplayAvailable() {
  static const bool available = [] {
    if (std::getenv("DISPLAY") == nullptr) return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
  }();
  return available;
}
