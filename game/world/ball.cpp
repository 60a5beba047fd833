// Serving, drawing, bouncing and moving the balls, and the paddle's hit test.
#include "game/world/ball.h"

#include <cmath>

#include "game/random/random.h"
#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"
#include "game/world/spare_pool.h"
#include "platform/core/numeric.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"

namespace {
TList<TBall> balls;
TSparePool<TBall> spare_balls(8);

// Concentric ovals of radius 0 to `radius` around the centre: with additive blending a pixel at
// distance r gets radius - r + 1 layers, a glow that fades outward.
void DrawGlow(float x, float y, int radius) {
  for (int i = 0; i <= radius; ++i) {
    const float fi = static_cast<float>(i);
    DrawOval(x - fi, y - fi, 2 * fi, 2 * fi);
  }
}
}  // namespace

TList<TBall>& Balls() {
  return balls;
}

std::shared_ptr<TBall> ServeBall() {
  std::shared_ptr<TBall> ball = spare_balls.Take();
  ball->die = 0;
  ball->x = static_cast<float>(RandomInt(350, 450));
  ball->y = static_cast<float>(RandomInt(250, 350));
  ball->ri = static_cast<float>(RandomInt(0, 359));
  ball->sp = 2.0f;
  ball->hls = 50;
  ball->Start = 1;
  balls.AddLast(ball);
  return ball;
}

void TBall::draw() {
  SetBlend(BLEND_LIGHT);
  SetColor(50, 50, 50);
  SetAlpha(1 - die);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
  DrawGlow(x, y, 5);
  if (Start == 1) {
    SetColor(1, 1, 0);
  } else {
    SetColor(3, 2, 0);
  }
  if (hls > 0) {
    DrawGlow(x, y, hls);
    hls = hls - 1;
  } else {
    Start = 0;
  }
}

int TBall::collide(int a) {
  hls = 20;
  const double d = std::fmod(a - static_cast<double>(ri) + 360 + 90, 360);
  if (d < 180) return 0;
  // NOTE: the mirrored direction is rounded to a float before the deviation is added.
  const float mirrored = static_cast<float>(2.0 * a - ri + 180);
  ri = mirrored + static_cast<float>(RandomInt(-20, 20));
  return 1;
}

void TBall::move() {
  ri = static_cast<float>(std::fmod(static_cast<double>(ri) + 360, 360));
  x = static_cast<float>(x + SinDeg(ri) * sp);
  y = static_cast<float>(y - CosDeg(ri) * sp);
  const double dx = x - static_cast<double>(kCentreX);
  const double dy = y - static_cast<double>(kCentreY);
  if (SquareRoot(dx * dx + dy * dy) <= 260) return;
  TGameState& game = Game();
  if (die == 0) {
    ServeBall();
    game.score = game.score - 1;
  }
  // NOTE: ten float steps of 0.1 give 1.0000001, so the ball goes in its tenth frame outside.
  die = die + 0.1f;
  if (die >= 1) {
    // The list may hold the last reference: take ours before removing it.
    std::shared_ptr<TBall> self = weak_from_this().lock();
    balls.Remove(this);
    if (self) spare_balls.Keep(std::move(self));
  }
}

int RotatedBoxOverlap(int x1, int y1, int w1, int h1, int x2, int y2, int s2, int rot) {
  if (rot != 0) {
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const int dist =
        TruncToInt(SquareRoot(static_cast<double>(dy) * dy + static_cast<double>(dx) * dx));
    const int phi = TruncToInt(ATan2Deg(dy, dx)) - rot;
    x2 = TruncToInt(x1 + CosDeg(phi) * dist);
    y2 = TruncToInt(y1 + SinDeg(phi) * dist);
  }
  if (AbsInt(x1 - x2) > w1 / 2 + s2 / 2) return 0;
  if (AbsInt(y1 - y2) > h1 / 2 + s2 / 2) return 0;
  return 1;
}
