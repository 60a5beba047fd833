// The single instance of the game-wide state.
#include "game/game_state.h"

#include "game/background.h"
#include "game/ball.h"

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
