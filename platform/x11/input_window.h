// The window that takes the input, as the window layer sets it and the pump follows it: pointer
// warps and cursor changes apply to it, its scale turns window pixels into picture pixels, and
// its MapNotify and UnmapNotify tell whether it is shown.
#pragma once

#include <X11/Xlib.h>

// The window that pointer warps and cursor changes apply to; 0 until the window layer sets it.
// A newly set window counts as shown.
void SetInputWindow(Window window);
Window InputWindow();
// How many times its picture's size the input window is (1 when set): the pump reports pointer
// positions in picture pixels, and warps take them.
void SetInputWindowScale(int scale);
int InputWindowScale();
// Picture pixels from window pixels, rounding down (also left of and above the window).
int PicturePixel(int window_pixel);

// Whether the input window is mapped: the pump follows its MapNotify and UnmapNotify.
void SetInputWindowShown(bool shown);
bool InputWindowShown();
