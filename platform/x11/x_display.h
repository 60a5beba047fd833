// The process's one connection to the X server, opened by the system driver at start and borrowed
// by the GLX layer. This file owns it: OpenXDisplay registers one exit function that first runs the
// closers the layers above registered (newest first: the GLX layer frees its windows and contexts
// there) and then closes the connection, so no order of other exit handlers can leave a window
// behind. A lost connection ends the program with one line on standard error; from then on
// XDisplayLost() is true and every X and GLX call is skipped.
//
// Protocol errors: inside an XErrorTrap they are collected for the code that provoked them;
// outside one, an unexpected error is reported once per kind as one line on standard error and the
// program goes on.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>

// Opens the default display once (DISPLAY); nullptr when no server is reachable.
Display* OpenXDisplay();

// The open connection, or nullptr when none was opened, it was closed or it was lost.
Display* XDisplayConnection();

bool XDisplayLost();

// Runs `closer` when the connection closes (at exit), before it closes; closers run newest first
// and also run when the connection was lost (they must then skip X calls).
void AtXDisplayClose(std::function<void()> closer);

// Runs the closers and closes the connection; the exit function. Afterwards no connection is
// open and none is opened again.
void CloseXDisplay();

// The X protocol error code of the last failed request since the previous call, 0 when none.
int TakeLastXError();

// "BadMatch (invalid parameter attributes) in X_CreateWindow": the error and the request it
// answered, named by the server's error database (an extension request by extension and minor).
std::string DescribeXError(Display* display, const XErrorEvent& error);

// Collects the protocol errors of the requests made while it lives, instead of reporting them.
// Traps nest; the innermost one collects.
class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display);
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // Waits for the server's answers to everything sent so far (a round trip), then tells whether
  // any request since the trap was set failed.
  bool Failed();
  // The first error collected, described; empty when none.
  const std::string& FirstError() const { return first_error_; }

 private:
  friend int CollectXError(Display* display, XErrorEvent* event);
  Display* display_;
  XErrorTrap* outer_;
  std::string first_error_;
};
