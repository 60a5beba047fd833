// What a window tells the window manager and the desktop's dock before it is shown, since they
// read it once: who it is (class, process, host, icon), that its size is fixed, that it takes the
// keyboard focus, and the protocols it answers.
#pragma once

#include <X11/Xlib.h>

void DescribeWindowToDesktop(Display* display, Window window, int width, int height);

// The size hints alone: `fixed` makes width x height the least and the largest size, otherwise
// it is only the size the window asks for.
void SetWindowSizeHints(Display* display, Window window, int width, int height, bool fixed);
