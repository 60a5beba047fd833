// A small program that counts its own X resources with the X Resource extension while it opens the
// game's graphics and ends: before opening, while open, after CloseDefaultGraphics ("close" mode),
// at the moment the display connection closes (after the glue freed its records), and, from a
// connection of its own in the very last exit handler, whether the server still knows the game's
// client. Modes: "close" (closes the graphics, then returns), "end" (returns with them open),
// "error" (raises a runtime error with them open).
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/core/runtime_error.h"
#include "platform/glx/gl_graphics.h"
#include "platform/process/startup.h"
#include "platform/x11/x_display.h"

namespace {
XID game_client_base = 0;

struct Counts {
  int windows = 0;
  int colormaps = 0;
  int contexts = 0;
};

Counts CountResources(Display* display, XID client_base) {
  Counts counts;
  int type_count = 0;
  XResType* types = nullptr;
  if (!XResQueryClientResources(display, client_base, &type_count, &types)) return counts;
  for (int i = 0; i < type_count; ++i) {
    char* name = XGetAtomName(display, types[i].resource_type);
    const std::string type = name != nullptr ? name : "";
    if (name != nullptr) XFree(name);
    if (type == "WINDOW") counts.windows = static_cast<int>(types[i].count);
    if (type == "COLORMAP") counts.colormaps = static_cast<int>(types[i].count);
    if (type == "GLXContext") counts.contexts = static_cast<int>(types[i].count);
  }
  XFree(types);
  return counts;
}

void Report(const char* moment) {
  Display* display = XDisplayConnection();
  if (display == nullptr) return;
  const Counts counts = CountResources(display, game_client_base);
  std::printf("%s windows=%d colormaps=%d contexts=%d\n", moment, counts.windows, counts.colormaps,
              counts.contexts);
  std::fflush(stdout);
}

bool ClientKnown(Display* display, XID base) {
  int client_count = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(display, &client_count, &clients)) return true;
  bool known = false;
  for (int i = 0; i < client_count; ++i) known = known || clients[i].resource_base == base;
  XFree(clients);
  return known;
}

// The resource base of the client behind `display`: the server's client whose range holds an id
// the connection hands out.
XID ClientBaseOf(Display* display) {
  const XID id = XAllocID(display);
  int client_count = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(display, &client_count, &clients)) return 0;
  XID base = 0;
  for (int i = 0; i < client_count; ++i) {
    if ((id & ~clients[i].resource_mask) == clients[i].resource_base)
      base = clients[i].resource_base;
  }
  XFree(clients);
  return base;
}

// NOTE: registered before the process entry, so it runs after every exit handler of the program.
// The server notices a closed connection on its own time: poll for up to five seconds by the clock
// (the 1 ms alarm cuts sleeps short); a connection that stays open keeps the client known until
// the process is gone.
void CheckDisplayClosedAtExit() {
  if (game_client_base == 0) return;
  Display* observer = XOpenDisplay(nullptr);
  if (observer == nullptr) return;
  // NOTE: the server reuses a closed client's slot: when the observer got the game's base, the
  // game's client is gone.
  const bool observer_took_the_slot = ClientBaseOf(observer) == game_client_base;
  bool known = !observer_took_the_slot;
  const timespec pause{0, 10 * 1000 * 1000};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (known && std::chrono::steady_clock::now() < deadline) {
    known = ClientKnown(observer, game_client_base);
    if (known) nanosleep(&pause, nullptr);
  }
  XCloseDisplay(observer);
  std::printf("display-closed=%d\n", known ? 0 : 1);
  std::fflush(stdout);
}

void ProbeMain() {
  const std::string mode = CommandArgs().size() > 1 ? ToUtf8(CommandArgs()[1]) : "end";
  // Registered before the glue's own closer, so it runs after the glue has freed its records.
  AtXDisplayClose([] { Report("at-close"); });
  StartGLGraphicsModule();
  Display* display = XDisplayConnection();
  if (display == nullptr) RaiseRuntimeError("no X display");
  game_client_base = ClientBaseOf(display);
  if (game_client_base == 0) RaiseRuntimeError("no X Resource extension");
  Report("before");
  if (!OpenGLGraphics(800, 600, 0, 60, 0)) RaiseRuntimeError("the graphics did not open");
  FlipFrame(-1);
  Report("open");
  if (mode == "close") {
    CloseDefaultGraphics();
    Report("closed");
  }
  if (mode == "error") RaiseRuntimeError("the probe's runtime error");
}
}  // namespace

int main(int argc, char** argv) {
  std::atexit(CheckDisplayClosedAtExit);
  return ProcessEntry(argc, argv, &ProbeMain);
}
