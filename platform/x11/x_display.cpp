#include "platform/x11/x_display.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/core/runtime_error.h"

namespace {
Display* display = nullptr;
bool opened = false;
volatile bool lost = false;
int last_error = 0;

int OnProtocolError(Display*, XErrorEvent* event) {
  last_error = event->error_code;
  return 0;
}

// NOTE: Xlib ends the process itself if this returns, so leave through exit(): the exit handlers
// still run and skip X because the connection is marked lost. If the process is already ending
// (the server died under an exit handler), a second exit() is not allowed: end at once.
int OnConnectionLost(Display*) {
  lost = true;
  static const char kText[] = "Lost the connection to the X server; the program has to end.\n";
  ssize_t ignored = write(STDERR_FILENO, kText, sizeof kText - 1);
  (void)ignored;
  if (ExitInProgress()) _exit(255);
  BeginExit();
  std::exit(255);
}
}  // namespace

Display* OpenXDisplay() {
  if (opened) return XDisplayConnection();
  opened = true;
  XSetErrorHandler(OnProtocolError);
  XSetIOErrorHandler(OnConnectionLost);
  display = XOpenDisplay(nullptr);
  return display;
}

Display* XDisplayConnection() {
  return lost ? nullptr : display;
}

bool XDisplayLost() {
  return lost;
}

int TakeLastXError() {
  const int code = last_error;
  last_error = 0;
  return code;
}

void CloseXDisplay() {
  if (display == nullptr || lost) return;
  XCloseDisplay(display);
  display = nullptr;
}
