// What a window tells the window manager and the desktop's dock before it is shown, since they
// read it once: who it is (class, process, host, icon), that its size is fixed, that it takes the
// keyboard focus, and the protocols it answers.
#pragma once

#include <X11/Xlib.h>

#include <vector>

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

// A property of 32-bit values (Xlib hands them over as longs); empty when missing or when the
// window is gone.
std::vector<long> LongProperty(Display* display, Window window, const char* name, Atom type);

// Whether a window manager runs, naming itself on the root window (_NET_SUPPORTING_WM_CHECK,
// confirmed on its own window), and lists the atom `name` in _NET_SUPPORTED.
bool WindowManagerSupports(Display* display, const char* name);

struct FrameExtents {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
};

// The frame the window manager will put around a new window of ours: asked of a window that is
// never shown (_NET_REQUEST_FRAME_EXTENTS). None where it does not offer that or does not answer
// within a fifth of a second.
FrameExtents FrameForNewWindow(Display* display, int screen);
