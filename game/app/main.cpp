// Zirkulon: the process entry hands over to the game's main program.
#include "game/app/zirkulon.h"
#include "platform/process/startup.h"

int main(int argc, char** argv) {
  return ProcessEntry(argc, argv, &ZirkulonMain);
}
