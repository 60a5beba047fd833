// Zirkulon: the process entry answers --help and --version, takes --scale and --fullscreen, then
// hands over to the game's main program. Every other argument is ignored.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "game/app/command_line.h"
#include "game/app/zirkulon.h"
#include "platform/glx/window_scale.h"
#include "platform/process/startup.h"
#include "platform/x11/pointer_motion.h"

namespace {
constexpr const char* kHelp =
    "Usage: zirkulon [--help | --version] [--scale N] [--fullscreen] [--free-pointer]\n"
    "\n"
    "Zirkulon is an arcade game: steer a paddle around a circle and bounce the balls back\n"
    "before they escape. It opens an 800x600 window on the X display; all texts are German.\n"
    "\n"
    "Controls: mouse or arrow keys turn the paddle, left click or Space releases the ball,\n"
    "H shows the help page, F11 switches full screen on and off, Escape goes back and quits.\n"
    "See zirkulon(6) for more.\n"
    "\n"
    "  --scale N   show the window N times as large, N from 1 to 4 (1.5, 1.75, 2 ...; default:\n"
    "              the desktop's scale from Xft.dpi; a scale the screen cannot hold is reduced)\n"
    "  --fullscreen  start full screen where the window manager offers it\n"
    "  --free-pointer  steer without holding the pointer in the window, which it may then\n"
    "              leave: for a tablet or remote desktop under a Wayland desktop, which ignores\n"
    "              their positions while it holds the pointer\n";
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("zirkulon " ZIRKULON_VERSION);
    return 0;
  }
  const double scale = ParseScale(argc, argv);
  if (scale == 0) {
    std::fputs("zirkulon: --scale takes a number from 1 to 4, such as 1.5 or 2\n", stderr);
    return 2;
  }
  if (scale > 0) RequestWindowScale(scale);
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--fullscreen") RequestFullScreenAtStart();
    if (std::string_view(argv[i]) == "--free-pointer") SetPointerWarpsWanted(false);
  }
  return ProcessEntry(argc, argv, &ZirkulonMain);
}
