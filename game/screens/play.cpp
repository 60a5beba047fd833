// The play screen: a paddle on a circle of radius 230 around (400, 300), steered by sideways mouse
// motion and the arrow keys, and the balls it bounces back.
#include "game/screens/play.h"

#include <cmath>

#include "game/screens/game_round.h"
#include "game/screens/rainbow_text.h"
#include "game/world/background.h"
#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"
#include "platform/core/numeric.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"

namespace {
constexpr float kMaxSpin = 7.0f;
constexpr float kSpinStep = 0.5f;

// Sideways pointer motion since the last frame, with the pointer put back to the middle of the
// picture: in both axes, so that no up-and-down motion carries it to an edge (under Xwayland a warp
// works only while the pointer is over the window). While the window is out of focus the pointer
// belongs to the other windows: play pauses and the pointer stays where the player moves it. While
// the pointer is elsewhere the system refuses the warp and nothing steers. The first frame that has
// the pointer again, like the first of a game, only re-centres it.
int MouseSteering(TGameState& game) {
  if (AppIsSuspended()) {
    game.paused = 1;
    game.away = true;
    return 0;
  }
  const int mx = MousePosX();
  const int moved = MouseMoved();
  if (!PlaceMouse(kCentreX, kCentreY)) {
    game.away = true;
    return 0;
  }
  if (game.away) {
    game.away = false;
    return 0;
  }
  return moved != 0 ? (mx - kCentreX) / 3 : 0;
}

// While play is suspended the paddle stays where the player left it: no spin coasts on.
void SteerPaddle(TGameState& game) {
  game.angle = game.angle + static_cast<float>(MouseSteering(game));
  if (AppIsSuspended()) {
    game.spin = 0;
  } else if (KeyIsDown(kKeyLeft)) {
    game.spin = game.spin - kSpinStep;
  } else if (KeyIsDown(kKeyRight)) {
    game.spin = game.spin + kSpinStep;
  } else if (AbsReal(game.spin) >= kSpinStep) {
    game.spin = static_cast<float>(SignReal(game.spin) * (AbsReal(game.spin) - kSpinStep));
  } else {
    game.spin = 0;
  }
  if (AbsReal(game.spin) > kMaxSpin) game.spin = static_cast<float>(SignReal(game.spin) * kMaxSpin);
  game.angle = game.angle + game.spin;
  // NOTE: rounding to float can turn an angle just below 0 into exactly 360; the second pass
  // makes that 0.
  while (game.angle < 0 || game.angle >= 360) {
    game.angle = static_cast<float>(std::fmod(static_cast<double>(game.angle) + 360, 360));
  }
}

void DrawScore(const TGameState& game) {
  SetBlend(BLEND_ALPHA);
  SetAlpha(0.8f);
  DrawRainbowText(IntToString(game.score), kCentreX, 290, game.score * 2000, 3.0f);
  if (game.best != game.score) {
    String best = u"(";
    best += IntToString(game.best);
    best += u')';
    DrawRainbowText(best, kCentreX, 330, game.best * 2000, 2.0f);
  }
}

// Lit (green) marks are the balls that may still be lost; dark (blue) ones fill from the left.
void DrawLossBar(int remaining) {
  SetBlend(BLEND_LIGHT);
  SetAlpha(1.0f);
  for (int i = 0; i < kLossesAllowed; ++i) {
    if (remaining > i) {
      SetColor(7, 10, 0);
    } else {
      SetColor(7, 4, 10);
    }
    for (int j = 0; j <= 4; ++j) {
      DrawRect(static_cast<float>(420 - 5 * i), static_cast<float>(270 + j),
               static_cast<float>(4 - j), static_cast<float>(10 - 2 * j));
    }
  }
}
}  // namespace

void DrawPaddle(int x, int y, float angle) {
  SetBlend(BLEND_LIGHT);
  SetDrawRotation(angle);
  SetColor(200, 200, 200);
  DrawQuarterRects(x, y, 100, 10, 15);
  SetDrawRotation(0);
}

void PlayFrame() {
  TGameState& game = Game();
  // The paddle's centre comes from the angle of the previous frame.
  const int ox = TruncToInt(-SinDeg(game.angle) * 230);
  const int oy = TruncToInt(CosDeg(game.angle) * 230);
  const int paddle_x = ox + kCentreX;
  const int paddle_y = oy + kCentreY;
  SteerPaddle(game);
  DrawScore(game);

  DrawPaddle(paddle_x, paddle_y, game.angle);

  const int paddle_rot = TruncToInt(game.angle);
  for (const auto& ball : Balls()) {
    if (!ball) continue;
    ball->draw();
    if (RotatedBoxOverlap(paddle_x, paddle_y, 100, 10, TruncToInt(ball->x), TruncToInt(ball->y), 10,
                          paddle_rot) == 1 &&
        ball->collide(paddle_rot) == 1) {
      game.score = game.score + 1;
      game.best = MaxInt(game.score, game.best);
      ball->sp = ball->sp * 1.02f;
      if (game.score == game.level * 10) {
        game.level = game.level + 1;
        ServeBall();
      }
    }
    if (game.paused == 0) ball->move();
  }

  // Two balls lost in one frame can take the count past 0; the game ends all the same.
  const int remaining = kLossesAllowed - (game.best - game.score);
  if (remaining <= 0) EndGame();
  DrawLossBar(remaining);

  if (game.paused == 1 && (MouseHits(kMouseLeft) > 0 || KeyHits(kKeySpace) > 0)) game.paused = 0;
}
