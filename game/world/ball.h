// The balls of the play: served near the centre, flying straight outward, bounced back by the
// paddle, fading out once they have left the field.
#pragma once

#include <memory>

#include "platform/core/object_list.h"

class TBall : public std::enable_shared_from_this<TBall> {
 public:
  float die = 0;  // 0 in the field; grows by 0.1 per frame once outside, drawn with alpha 1 - die
  float x = 0;
  float y = 0;
  float ri = 0;   // flight direction, degrees: 0 up, 90 right
  float sp = 0;   // pixels per frame
  int hls = 0;    // frames of halo left
  int Start = 0;  // 1 until the halo of the serve has run out

  void draw();
  // A paddle at angle `a` sends back a ball flying outward toward it; returns 1 on a bounce.
  int collide(int a);
  void move();
};

TList<TBall>& Balls();

// Serves one ball: a random place near the centre, a random direction, and appends it.
std::shared_ptr<TBall> ServeBall();

// 1 if the square of side s2 centred on (x2, y2) meets the w1 x h1 box centred on (x1, y1) and
// turned by rot degrees; the square's centre is brought into the box's frame in whole pixels and
// degrees.
int RotatedBoxOverlap(int x1, int y1, int w1, int h1, int x2, int y2, int s2, int rot);
