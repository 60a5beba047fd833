#include "game/screens/game_round.h"

#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "platform/core/numeric.h"
#include "platform/events/polled_input.h"

void StartGame() {
  TGameState& game = Game();
  Balls().Clear();
  game.paused = 1;
  game.level = 1;
  game.score = 0;
  game.best = 0;
  game.away = true;  // the pointer's position is the menu's, not motion in play
  ServeBall();
}

void EndGame() {
  TGameState& game = Game();
  game.highscore = MaxInt(game.score, game.highscore);
  ClearKeys();
  ClearMouse();
  game.nextScreen = kScreenMenu;
}
