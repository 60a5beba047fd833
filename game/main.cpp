// Zirkulon: the process entry hands over to the game's main program.
#include "game/zirkulon.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  return ProcessEntry(argc, argv, &ZirkulonMain);
}
