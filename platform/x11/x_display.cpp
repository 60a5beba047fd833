#include "platform/x11/x_display.h"

#include <X11/Xlibint.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "platform/core/runtime_error.h"

namespace {
Display* display = nullptr;
bool opened = false;
volatile bool lost = false;
int last_error = 0;
XErrorTrap* innermost_trap = nullptr;
std::vector<std::function<void()>> closers;
std::set<std::pair<int, int>> reported_kinds;  // (request major code, error code)

// An error nobody provoked on purpose: named once per kind, and the program goes on.
void ReportUnexpectedError(Display* connection, const XErrorEvent& event) {
  if (!reported_kinds.insert({event.request_code, event.error_code}).second) return;
  const std::string text = DescribeXError(connection, event);
  std::fprintf(stderr, "X protocol error: %s; the program goes on.\n", text.c_str());
  std::fflush(stderr);
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

void CloseXDisplayAtExit() {
  RunExitWork(CloseXDisplay);
}

// The name of an extension's request from the extensions this client set up (NOTE: read from
// Xlib's own list, because an error handler must not send requests).
std::string ExtensionRequestName(Display* connection, const XErrorEvent& event) {
  for (const _XExtension* extension = connection->ext_procs; extension != nullptr;
       extension = extension->next) {
    if (extension->codes.major_opcode == event.request_code && extension->name != nullptr) {
      return std::string(extension->name) + " request " + std::to_string(event.minor_code);
    }
  }
  return "request " + std::to_string(event.request_code) + "." + std::to_string(event.minor_code);
}
}  // namespace

int CollectXError(Display* connection, XErrorEvent* event) {
  last_error = event->error_code;
  if (innermost_trap == nullptr) {
    ReportUnexpectedError(connection, *event);
  } else if (innermost_trap->first_error_.empty()) {
    innermost_trap->first_error_ = DescribeXError(connection, *event);
  }
  return 0;
}

Display* OpenXDisplay() {
  if (opened) return XDisplayConnection();
  opened = true;
  XSetErrorHandler(CollectXError);
  XSetIOErrorHandler(OnConnectionLost);
  display = XOpenDisplay(nullptr);
  if (display != nullptr) std::atexit(CloseXDisplayAtExit);
  return display;
}

Display* XDisplayConnection() {
  return lost ? nullptr : display;
}

bool XDisplayLost() {
  return lost;
}

void AtXDisplayClose(std::function<void()> closer) {
  closers.push_back(std::move(closer));
}

void CloseXDisplay() {
  while (!closers.empty()) {
    const std::function<void()> closer = std::move(closers.back());
    closers.pop_back();
    closer();
  }
  if (display == nullptr) return;
  if (!lost) XCloseDisplay(display);
  display = nullptr;
}

int TakeLastXError() {
  const int code = last_error;
  last_error = 0;
  return code;
}

std::string DescribeXError(Display* connection, const XErrorEvent& event) {
  char error_text[256] = {};
  XGetErrorText(connection, event.error_code, error_text, sizeof error_text);
  std::string request;
  if (event.request_code < 128) {
    const std::string number = std::to_string(event.request_code);
    char request_text[256] = {};
    XGetErrorDatabaseText(connection, "XRequest", number.c_str(), "", request_text,
                          sizeof request_text);
    request = request_text[0] != 0 ? request_text : "request " + number;
  } else {
    request = ExtensionRequestName(connection, event);
  }
  return std::string(error_text) + " in " + request;
}

XErrorTrap::XErrorTrap(Display* display) : display_(display), outer_(innermost_trap) {
  innermost_trap = this;
}

XErrorTrap::~XErrorTrap() {
  // Errors of requests still in flight belong to this trap, not to whoever comes next.
  if (display_ != nullptr && !lost) XSync(display_, False);
  innermost_trap = outer_;
}

bool XErrorTrap::Failed() {
  if (display_ != nullptr && !lost) XSync(display_, False);
  return !first_error_.empty();
}
