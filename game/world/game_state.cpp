// The single instance of the game-wide state.
#include "game/world/game_state.h"

namespace {
TGameState state;
}  // namespace

TGameState& Game() {
  return state;
}
