// The X event pump: drains the connection's queue into system events.
#pragma once

// NOTE: Xlib's own declarations, repeated so that includers do not get Xlib's macros (None, Bool,
// Status...) that clash with other headers.
typedef struct _XDisplay Display;

// Drains the X queue, handing every event to the translation into system events.
void PumpXEvents(Display* display);
