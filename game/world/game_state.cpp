// The single instance of the game-wide state.
#include "game/world/game_state.h"

#include "game/world/background.h"
#include "game/world/ball.h"

namespace {
TGameState state;
}  // namespace

TGameState& Game() {
  return state;
}

void ResetGameState() {
  state = TGameState{};
  Rects().Clear();
  Balls().Clear();
}
