// Full screen as today's desktops give it: the window manager shows the input window over the
// whole monitor at the desktop's own resolution (_NET_WM_STATE_FULLSCREEN), with no video mode
// switch and no grabs, so nothing is left changed if the program dies. While full screen the
// window is resizable and does not redirect resizing to itself; both come back with the window.
#pragma once

#include <X11/Xlib.h>

// Whether the running window manager offers full screen: it names itself on the root window
// (_NET_SUPPORTING_WM_CHECK, confirmed on its own window) and lists _NET_WM_STATE_FULLSCREEN in
// _NET_SUPPORTED. False without a window manager.
bool WindowManagerOffersFullScreen(Display* display);

// Before the window is first shown: asks for it full screen from the start (in _NET_WM_STATE).
// `windowed_width` x `windowed_height` is the size it returns to. False, changing nothing, where
// the window manager does not offer full screen.
bool AskFullScreenFromStart(Display* display, Window window, int windowed_width,
                            int windowed_height);

// Switches the shown input window between full screen and its windowed size, by the state the
// window manager last gave it. False, changing nothing, where there is no input window or the
// window manager does not offer full screen.
bool ToggleInputWindowFullScreen(Display* display);
// Called at each pump: a window manager that has not entered full screen a second after it was
// asked never will, and the window takes its fixed size back.
void KeepFixedSizeUnlessFullScreen(Display* display);

// Reads the input window's _NET_WM_STATE into the desktop's full screen (window_picture.h); back
// at its windowed size after full screen, its fixed size and resize redirection return. Called
// once the window selects property changes, and at each change of the property (see
// IsWindowManagerState).
void FollowWindowManagerState(Display* display);
bool IsWindowManagerState(Display* display, unsigned long atom);

// A window's new size from its ConfigureNotify, into its picture; the input window back at its
// windowed size after full screen has its fixed size and resize redirection return.
void FollowSizeAndRestoreFixedSize(Display* display, Window window, int width, int height);
