// The monitors of the screen, as RandR 1.5 lists them (one per output a compositor or the graphics
// card shows), for fitting a window to the one it opens on.
#pragma once

#include <X11/Xlib.h>

struct MonitorSize {
  int width = 0;
  int height = 0;
};

// The size of the monitor a new window opens on: the one under the pointer, where window managers
// place new windows, else the primary one, else the first. The whole screen's where RandR lists no
// monitors.
MonitorSize MonitorForNewWindow(Display* display, int screen);
