// Zirkulon: the process entry answers --help and --version, then hands over to the game's main
// program. Every other argument is ignored.
#include <cstdio>
#include <cstring>

#include "game/app/zirkulon.h"
#include "platform/process/startup.h"

namespace {
constexpr const char* kHelp =
    "Usage: zirkulon [--help | --version]\n"
    "\n"
    "Zirkulon is an arcade game: steer a paddle around a circle and bounce the balls back\n"
    "before they escape. It opens an 800x600 window on the X display; all texts are German.\n"
    "\n"
    "Controls: mouse or arrow keys turn the paddle, left click or Space releases the ball,\n"
    "H shows the help page, Escape goes back and quits. See zirkulon(6) for more.\n";
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
  return ProcessEntry(argc, argv, &ZirkulonMain);
}
