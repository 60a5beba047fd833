// What the window manager and the desktop tell the input window: the keyboard focus coming and
// going, the window hidden and shown, its size, and the protocols it answers (the close button, the
// ping).
#pragma once

// NOTE: Xlib's own declarations, repeated so that includers do not get Xlib's macros.
typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

// Translates the window events above into system events and window state; false for any other
// event, which is left to the caller.
bool TranslateWindowEvent(Display* display, XEvent& event);

// Asks the window manager to send WM_DELETE_WINDOW to `window` instead of killing the client, and
// to ping it (_NET_WM_PING) so that a hung program can be told from a busy one. Set before the
// window is shown: window managers read it once.
void RegisterWindowManagerProtocols(unsigned long window);

// Close requests turned into AppTerminate so far.
int CloseRequestCount();
