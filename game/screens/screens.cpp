// Screen changes animated by the panel, and the keys that request them.
#include "game/screens/screens.h"

#include "game/screens/game_round.h"
#include "game/screens/panel.h"
#include "game/screens/play.h"
#include "game/screens/screen_texts.h"
#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "platform/core/numeric.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/process/startup.h"

namespace {

// The left button first; Space is asked only when the button reports no hit.
bool MouseOrSpaceHit() {
  return MouseHits(kMouseLeft) > 0 || KeyHits(kKeySpace) > 0;
}

void RunScreen(int screen) {
  switch (screen) {
    case kScreenGame:
      PlayFrame();
      break;
    case kScreenMenu:
      DrawMenu();
      break;
    case kScreenFarewell:
      DrawFarewell();
      break;
    case kScreenHelp:
      DrawHelp();
      break;
  }
}

void StepTransition(TGameState& game) {
  if (game.screen != kScreenNone) {
    // The old panel closes first; the farewell screen never closes.
    if (game.screen == kScreenMenu || game.screen == kScreenHelp) CloseBox();
    if (game.screen == kScreenGame) CloseDisc();
    return;
  }
  if (game.nextScreen == kScreenGame) {
    OpenDisc();
  } else {
    OpenBox(game.nextScreen);
  }
  // Whatever was pressed while the panel opens is dropped.
  ClearMouse();
  ClearKeys();
}
}  // namespace

void UpdateScreen() {
  DrawPanel();
  TGameState& game = Game();
  if (game.nextScreen != game.screen) {
    StepTransition(game);
  } else {
    RunScreen(game.screen);
  }
}

void OpenBox(int target) {
  TGameState& game = Game();
  if (game.boxW < 400) {
    game.boxH = 1;
    game.boxW = game.boxW + 10;
  } else {
    game.boxH = game.boxH + 10;
  }
  if (game.boxH > 500) game.screen = target;
}

void CloseBox() {
  TGameState& game = Game();
  if (game.boxW > 0) {
    game.boxW = game.boxW - 10;
  } else {
    game.boxH = game.boxH - 10;
  }
  if (game.boxH <= 0) game.screen = kScreenNone;
}

void OpenDisc() {
  TGameState& game = Game();
  game.paused = 1;
  game.disc = game.disc + 10;
  if (game.disc >= 500) {
    StartGame();
    game.screen = kScreenGame;
  }
}

void CloseDisc() {
  TGameState& game = Game();
  game.disc = game.disc - 10;
  if (game.disc <= 0) game.screen = kScreenNone;
}

void HandleScreenKeys() {
  TGameState& game = Game();
  if (game.screen == kScreenFarewell && MouseOrSpaceHit()) EndProgram();
  if (game.screen == kScreenMenu && MouseOrSpaceHit()) game.nextScreen = kScreenGame;
  if (game.screen == kScreenMenu && KeyHits(kKeyH) > 0) game.nextScreen = kScreenHelp;
  if (game.screen == kScreenHelp && MouseOrSpaceHit()) game.nextScreen = kScreenMenu;
  if (KeyHits(kKeyEscape) == 0) return;
  switch (game.screen) {
    case kScreenMenu:
      game.nextScreen = kScreenFarewell;
      break;
    case kScreenFarewell:
      EndProgram();
    case kScreenGame:
      EndGame();
      break;
    case kScreenHelp:
      game.nextScreen = kScreenMenu;
      break;
  }
}

void UpdateTempo() {
  TGameState& game = Game();
  const double target = game.screen == kScreenGame ? 0.1 + game.score / 40.0 : 1.0;
  game.tempo = static_cast<float>(game.tempo + (target - game.tempo) / 10);
}
