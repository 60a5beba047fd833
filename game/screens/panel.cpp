// The panel: a translucent black fill one pixel inside a white outline.
#include "game/screens/panel.h"

#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"

void DrawPanel() {
  const TGameState& game = Game();
  const int box_w = game.boxW;
  const int box_h = game.boxH;
  const int disc = game.disc;
  SetBlend(BLEND_ALPHA);
  SetAlpha(0.9f);
  SetColor(0, 0, 0);
  // NOTE: while the box is a line (height 1 widening, width 0 shortening) the fill has a
  // negative size; the outline shows the line.
  if (box_h > 0) {
    DrawRect(static_cast<float>(401 - box_w / 2), static_cast<float>(301 - box_h / 2),
             static_cast<float>(box_w - 2), static_cast<float>(box_h - 2));
  }
  if (disc > 0) {
    DrawOval(static_cast<float>(401 - disc / 2), static_cast<float>(301 - disc / 2),
             static_cast<float>(disc - 2), static_cast<float>(disc - 2));
  }
  SetColor(255, 255, 255);
  SetPolygonOutlineMode(true);
  if (box_h > 0) {
    const float left = static_cast<float>(kCentreX - box_w / 2);
    const float top = static_cast<float>(kCentreY - box_h / 2);
    const float right = left + static_cast<float>(box_w);
    const float bottom = top + static_cast<float>(box_h);
    DrawLine(left, top, right, top, 1);
    DrawLine(left, top, left, bottom, 1);
    DrawLine(right, top, right, bottom, 1);
    DrawLine(left, bottom, right, bottom, 1);
  }
  if (disc > 0) {
    // The outline mode turns the filled ellipse into its circumference.
    DrawOval(static_cast<float>(kCentreX - disc / 2), static_cast<float>(kCentreY - disc / 2),
             static_cast<float>(disc), static_cast<float>(disc));
  }
  SetPolygonOutlineMode(false);
}
