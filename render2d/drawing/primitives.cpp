// The module-level primitives: the split between drawing position, origin and handle.
#include "render2d/drawing/primitives.h"

#include "render2d/drawing/vex2d.h"

namespace {
// The current state and driver together, or nulls.
struct Target {
  TVex2DGraphics* state;
  TVex2DDriver* driver;
  explicit operator bool() const { return state != nullptr && driver != nullptr; }
};

Target Current() {
  TVex2DDriver* driver = CurrentVex2DDriver();
  return {driver ? TVex2DGraphics::Current().get() : nullptr, driver};
}
}  // namespace

void Cls() {
  if (Target t = Current()) t.driver->Cls();
}

void Plot(float x, float y) {
  if (Target t = Current()) t.driver->Plot(x + t.state->origin_x, y + t.state->origin_y);
}

void DrawLine(float x, float y, float x2, float y2, int draw_last_pixel) {
  Target t = Current();
  if (!t) return;
  const TVex2DGraphics& s = *t.state;
  const float bx = s.handle_x + x2 - x;
  const float by = s.handle_y + y2 - y;
  const float tx = x + s.origin_x;
  const float ty = y + s.origin_y;
  t.driver->DrawLine(s.handle_x, s.handle_y, bx, by, tx, ty);
  if (draw_last_pixel != 0) {
    const TTransform2D m{s.tform_ix, s.tform_iy, s.tform_jx, s.tform_jy};
    const TVertex2D end = MapPoint(m, bx, by, tx, ty);
    t.driver->Plot(end.x, end.y);
  }
}

void DrawRect(float x, float y, float width, float height) {
  if (Target t = Current()) {
    const TVex2DGraphics& s = *t.state;
    t.driver->DrawRect(s.handle_x, s.handle_y, s.handle_x + width, s.handle_y + height,
                       x + s.origin_x, y + s.origin_y);
  }
}

void DrawOval(float x, float y, float width, float height) {
  if (Target t = Current()) {
    const TVex2DGraphics& s = *t.state;
    t.driver->DrawOval(s.handle_x, s.handle_y, s.handle_x + width, s.handle_y + height,
                       x + s.origin_x, y + s.origin_y);
  }
}

void DrawPoly(std::span<const float> xy) {
  if (Target t = Current()) {
    const TVex2DGraphics& s = *t.state;
    t.driver->DrawPoly(xy, s.handle_x, s.handle_y, s.origin_x, s.origin_y);
  }
}

void DrawPixmap(const TPixmap& pixmap, int x, int y) {
  if (Target t = Current()) t.driver->DrawPixmap(pixmap, x, y);
}

PixmapRef GrabPixmap(int x, int y, int width, int height) {
  Target t = Current();
  return t ? t.driver->GrabPixmap(x, y, width, height) : nullptr;
}
