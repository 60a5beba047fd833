#include "game/zirkulon.h"

namespace {
bool started = false;
}  // namespace

void ZirkulonMain() {
  if (started) return;
  started = true;
}
