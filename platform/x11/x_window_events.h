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

// Close requests turned into AppTerminate so far.
int CloseRequestCount();
