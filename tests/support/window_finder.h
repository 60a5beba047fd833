// Finds another process's window on an X display by its title, as a player would spot it.
#pragma once

#include <X11/Xlib.h>

#include <string_view>

// The title every window of the runtime carries.
inline constexpr std::string_view kApplicationTitle = "Ostrandel Application";

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
