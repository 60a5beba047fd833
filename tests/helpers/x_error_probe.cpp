// A small program whose game window the X server refuses: linked with the linker's wrapping of
// XCreateWindow and XMapRaised, it turns the request for the 800 x 600 window into one the server
// answers with a real protocol error (or, for the map, into no request at all), while the hidden
// shared window is made as usual. It reports whether the window opened, how long the attempt
// took, the game's error text, and its own window and colormap counts before and after.
// Modes: "bad-window" (a depth the screen lacks: BadMatch), "bad-map" (maps a window that does not
// exist: BadWindow), "never-mapped" (the map request is never sent, so no MapNotify ever comes),
// "first-map-lost" (only the first request is lost, as a window manager that is starting may lose
// it).
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/core/runtime_error.h"
#include "platform/glx/gl_graphics.h"
#include "platform/glx/graphics_diagnosis.h"
#include "platform/process/startup.h"
#include "platform/x11/x_display.h"

namespace {
constexpr unsigned kGameWidth = 800;
std::string mode;
Window game_window = 0;  // the 800 x 600 window, once made

int CountOf(Display* display, const char* wanted) {
  const XID id = XAllocID(display);
  int count = 0;
  XResType* types = nullptr;
  if (!XResQueryClientResources(display, id, &count, &types)) return -1;
  int found = 0;
  for (int i = 0; i < count; ++i) {
    char* name = XGetAtomName(display, types[i].resource_type);
    if (name != nullptr && std::string(name) == wanted) found = static_cast<int>(types[i].count);
    if (name != nullptr) XFree(name);
  }
  XFree(types);
  return found;
}

void Report(const char* moment) {
  Display* display = XDisplayConnection();
  std::printf("%s windows=%d colormaps=%d\n", moment, CountOf(display, "WINDOW"),
              CountOf(display, "COLORMAP"));
}

void ProbeMain() {
  mode = CommandArgs().size() > 1 ? ToUtf8(CommandArgs()[1]) : "bad-window";
  StartGLGraphicsModule();
  if (XDisplayConnection() == nullptr) RaiseRuntimeError("no X display");
  // The hidden shared window first, so that the counts below compare like with like.
  OpenGLGraphics(64, 48, 0, 60, 0);
  CloseDefaultGraphics();
  Report("before");
  std::fflush(stdout);  // a test may wait for this line to know the creation has begun
  const auto start = std::chrono::steady_clock::now();
  const bool opened = OpenGLGraphics(kGameWidth, 600, 0, 60, 0) != nullptr;
  const auto took = std::chrono::steady_clock::now() - start;
  std::printf(
      "opened=%d\nmillis=%lld\n", opened ? 1 : 0,
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
  std::printf("failure=%s\n", DescribeGraphicsFailure(GRAPHICS_BACKBUFFER).c_str());
  Report("after");
  std::fflush(stdout);
}
}  // namespace

extern "C" {
Window __real_XCreateWindow(Display*, Window, int, int, unsigned, unsigned, unsigned, int, unsigned,
                            Visual*, unsigned long, XSetWindowAttributes*);
int __real_XMapRaised(Display*, Window);

Window __wrap_XCreateWindow(Display* display, Window parent, int x, int y, unsigned width,
                            unsigned height, unsigned border, int depth, unsigned window_class,
                            Visual* visual, unsigned long mask, XSetWindowAttributes* attributes) {
  // NOTE: no screen has depth 7, so the server answers BadMatch.
  if (mode == "bad-window" && width == kGameWidth) depth = 7;
  const Window window = __real_XCreateWindow(display, parent, x, y, width, height, border, depth,
                                             window_class, visual, mask, attributes);
  if (width == kGameWidth) game_window = window;
  return window;
}

int __wrap_XMapRaised(Display* display, Window window) {
  if (window != game_window) return __real_XMapRaised(display, window);
  static int requests = 0;
  if (mode == "never-mapped" || (mode == "first-map-lost" && ++requests == 1)) return 1;
  // NOTE: the id of no window: a fresh id the client never used for anything.
  if (mode == "bad-map") window = XAllocID(display);
  return __real_XMapRaised(display, window);
}
}

int main(int argc, char** argv) {
  return ProcessEntry(argc, argv, &ProbeMain);
}
