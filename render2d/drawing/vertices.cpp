// Segment count of an ellipse.
#include "render2d/drawing/vertices.h"

#include <cmath>

int OvalSegmentCount(float x0, float y0, float x1, float y1) {
  const float xr = (x1 - x0) * 0.5f;
  const float yr = (y1 - y0) * 0.5f;
  const float sum = std::fabs(xr) + std::fabs(yr);
  // TruncToInt saturates and maps NaN to 0; the cap comes before the rounding to a multiple of 4.
  int n = sum >= static_cast<float>(kMaxOvalSegments) ? kMaxOvalSegments : TruncToInt(sum);
  if (n < 12) n = 12;
  return n & ~3;
}
