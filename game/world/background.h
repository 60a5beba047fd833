// The moving background: a golden glow along the window edges and a field of translucent
// rectangles that drift and turn across the window at a speed set by the game's tempo.
#pragma once

#include <memory>

#include "platform/core/object_list.h"

class TRect : public std::enable_shared_from_this<TRect> {
 public:
  float x = 0;
  float y = 0;
  int w = 0;
  int h = 0;
  int cr = 0;
  int cg = 0;
  int cb = 0;
  float rot = 0;
  float rspeed = 0;
  float mvx = 0;
  float mvy = 0;
  int mask = 0;
  float speed = 0;

  void move();
  void del();
  void draw() const;
};

TList<TRect>& Rects();

// Creates one rectangle just outside the window on the side it moves away from and appends it.
// The order of the random draws decides the whole background field of a run.
TRect& SpawnRect();

// Draws the quarters of a w x h rectangle centred on (x, y) that `mask` selects (1 right below,
// 2 left below, 4 right above, 8 left above), each from the centre with signed sizes, so that
// the current rotation turns the whole about its centre.
void DrawQuarterRects(int x, int y, int w, int h, int mask);

// The edge glow (see border_glow.h), then every rectangle moved and drawn in list order.
void DrawBackground();
