// The drifting rectangles and the edge glow behind every screen.
#include "game/world/background.h"

#include <memory>

#include "game/random/random.h"
#include "game/world/border_glow.h"
#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"
#include "game/world/spare_pool.h"
#include "platform/core/numeric.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"

namespace {
TList<TRect> rects;
TSparePool<TRect> spare_rects(16);
}  // namespace

TList<TRect>& Rects() {
  return rects;
}

void TRect::move() {
  const float tempo = Game().tempo;
  rot = rot + rspeed * tempo;
  x = x + mvx * speed * tempo;
  y = y + mvy * speed * tempo;
  const float reach = static_cast<float>(w + h);
  if (x > reach + kScreenWidth || x < -reach || y > reach + kScreenHeight || y < -reach) del();
}

void TRect::del() {
  // NOTE: with the tempo at 0 or below the field runs backwards; rectangles that leave then stay
  // where they are instead of being replaced.
  if (Game().tempo <= 0) return;
  std::shared_ptr<TRect> self = weak_from_this().lock();
  rects.Remove(this);
  SpawnRect();
  // NOTE: the pass that moved it still draws it once; it is reused only after that, when
  // nothing holds it any more.
  if (self) spare_rects.Keep(std::move(self));
}

void TRect::draw() const {
  const int remembered = TruncToInt(GetDrawRotation());
  SetColor(cr, cg, cb);
  SetDrawRotation(rot);
  DrawQuarterRects(TruncToInt(x), TruncToInt(y), w, h, mask);
  SetDrawRotation(static_cast<float>(remembered));
}

TRect& SpawnRect() {
  std::shared_ptr<TRect> created = spare_rects.Take();
  TRect& r = *created;
  rects.AddLast(std::move(created));
  r.speed = static_cast<float>(RandomReal(0.5, 1.5));
  r.w = RandomInt(50, 200);
  r.h = RandomInt(50, 200);
  r.cr = RandomInt(0, 100);
  r.cg = RandomInt(0, 100);
  r.cb = RandomInt(0, 100);
  r.rspeed = static_cast<float>(RandomReal(-5, 5));
  r.mask = RandomInt(0, 15);
  int vx = 0;
  int vy = 0;
  do {
    // NOTE: truncation toward zero makes a step of 0 twice as likely as any other.
    vx = TruncToInt(RandomReal(-6, 6));
    vy = TruncToInt(RandomReal(-6, 6));
  } while (AbsInt(vx) <= 2 && AbsInt(vy) <= 2);
  r.mvx = static_cast<float>(vx);
  r.mvy = static_cast<float>(vy);
  r.x = static_cast<float>(vx > 0 ? -r.w - r.h : kScreenWidth + r.w + r.h);
  r.y = static_cast<float>(vy > 0 ? -r.w - r.h : kScreenHeight + r.w + r.h);
  return r;
}

void DrawQuarterRects(int x, int y, int w, int h, int mask) {
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  const float half_w = static_cast<float>(w / 2);
  const float half_h = static_cast<float>(h / 2);
  if (mask & 1) DrawRect(fx, fy, half_w, half_h);
  if (mask & 2) DrawRect(fx, fy, -half_w, half_h);
  if (mask & 4) DrawRect(fx, fy, half_w, -half_h);
  if (mask & 8) DrawRect(fx, fy, -half_w, -half_h);
}

void DrawBackground() {
  DrawBorderGlow();
  SetAlpha(1.0f);
  for (const auto& r : rects) {
    if (!r) continue;
    r->move();
    r->draw();
  }
}
