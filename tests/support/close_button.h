// What a window manager sends when a window's close button is pressed.
#pragma once

#include <X11/Xlib.h>

// Sends the close request to `window` and waits until the server has handled it.
void SendCloseButton(Display* display, Window window);
