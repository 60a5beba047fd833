// The process's one connection to the X server, opened by the system driver at start and borrowed
// by the GLX layer. A lost connection ends the program with one line on standard error; exit
// handlers ask XDisplayLost() and skip every X and GLX call once it is true.
#pragma once

#include <X11/Xlib.h>

// Opens the default display once (DISPLAY); nullptr when no server is reachable.
Display* OpenXDisplay();

// The open connection, or nullptr when none was opened or it was lost.
Display* XDisplayConnection();

bool XDisplayLost();

// The X protocol error code of the last failed request since the previous call, 0 when none.
// Protocol errors never end the program: callers that provoke them on purpose check this.
int TakeLastXError();

// Closes the connection (at exit); does nothing when it was never opened or is lost.
void CloseXDisplay();
