// Finds another process's window on an X display by its title, as a player would spot it.
#pragma once

#include <X11/Xlib.h>

#include <string_view>

// The title every window of the runtime carries.
inline constexpr std::string_view kApplicationTitle = "Ostrandel Application";

// While it lives, X protocol errors are expected and ignored (a window that may be gone, say); the
// previous handler, the runtime's among them, is put back after a round trip.
class QuietErrors {
 public:
  explicit QuietErrors(Display* display);
  ~QuietErrors();
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  Display* display_;
  XErrorHandler previous_;
};

struct WindowQuery {
  std::string_view title = kApplicationTitle;
  int width = 0;  // > 0: only windows of this size count
  int height = 0;
};

// A viewable window anywhere below the root that matches `query`, the topmost first; 0 if none.
Window FindWindow(Display* display, const WindowQuery& query = {});
// Looks until such a window appears; 0 after the timeout.
Window WaitForWindow(Display* display, int timeout_ms, const WindowQuery& query = {});
// Looks until no such window is left; false after the timeout.
bool WaitForNoWindow(Display* display, int timeout_ms, const WindowQuery& query = {});
