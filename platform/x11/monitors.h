// The monitors of the screen, as RandR 1.5 lists them (one per output a compositor or the graphics
// card shows), for fitting a window to the one it opens on.
#pragma once

#include <X11/Xlib.h>

struct ScreenArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The monitor a new window opens on: the one under the pointer, where window managers place new
// windows, else the primary one, else the first. The whole screen where RandR lists no monitors.
ScreenArea MonitorForNewWindow(Display* display, int screen);

// The part of that monitor the desktop leaves to windows: its work area (_NET_WORKAREA of the
// current desktop, panels and docks left out) where the window manager sets one.
ScreenArea WorkAreaForNewWindow(Display* display, int screen);
