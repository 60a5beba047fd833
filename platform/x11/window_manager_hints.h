// What a window tells the window manager and the desktop's dock before it is shown, since they
// read it once: who it is (class, process, host, icon), that its size is fixed, that it takes the
// keyboard focus, and the protocols it answers.
#pragma once

#include <X11/Xlib.h>

void DescribeWindowToDesktop(Display* display, Window window, int width, int height);

// The size hints alone: `fixed` makes width x height the least and the largest size, otherwise
// it is only the size the window asks for.
void SetWindowSizeHints(Display* display, Window window, int width, int height, bool fixed);

// Asks the window manager to send WM_DELETE_WINDOW to `window` instead of killing the client, and
// to ping it (_NET_WM_PING) so that a hung program can be told from a busy one. Part of
// DescribeWindowToDesktop.
void RegisterWindowManagerProtocols(Display* display, Window window);

// Which of those protocols a client message speaks: the close button, a ping, or neither.
enum class WindowManagerProtocol { kNone, kClose, kPing };
WindowManagerProtocol WindowManagerProtocolOf(const XClientMessageEvent& message);
