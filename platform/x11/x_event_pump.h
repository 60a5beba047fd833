// The X event pump: drains the connection's queue into system events, and the window manager's
// close button that it turns into an AppTerminate event.
#pragma once

// NOTE: Xlib's own declarations, repeated so that includers do not get Xlib's macros (None, Bool,
// Status...) that clash with other headers.
typedef struct _XDisplay Display;
using XWindowId = unsigned long;

// Drains the X queue, handing every event to the translation into system events.
void PumpXEvents(Display* display);

// Asks the window manager to send WM_DELETE_WINDOW to `window` instead of killing the client; the
// pump turns that message into an AppTerminate event.
void RegisterCloseButton(XWindowId window);
