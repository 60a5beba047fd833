// The vertex arithmetic every 2D driver shares: a 2 x 2 matrix plus a translation maps local
// points to the screen, and each primitive has a fixed vertex order. Drivers feed the vertices to
// a sink, so no primitive allocates.
#pragma once

#include <span>

#include "platform/core/numeric.h"

struct TTransform2D {
  float ix = 1;  // weight of local x in screen x
  float iy = 0;  // weight of local y in screen x
  float jx = 0;  // weight of local x in screen y
  float jy = 1;  // weight of local y in screen y
};

struct TVertex2D {
  float x = 0;
  float y = 0;
  bool operator==(const TVertex2D&) const = default;
};

// Each sum is formed in 32-bit floats, in the same order everywhere, so a point computed twice
// (a line's end and its last pixel) lands on the identical vertex.
inline TVertex2D MapPoint(const TTransform2D& m, float lx, float ly, float tx, float ty) {
  return {lx * m.ix + ly * m.iy + tx, lx * m.jx + ly * m.jy + ty};
}

// NOTE: an oval is far more segments than the game ever draws (its largest ellipse has fewer
// than 700) long before this; the cap keeps a huge or infinite box from hanging or exhausting
// memory. A multiple of 4, like every count.
inline constexpr int kMaxOvalSegments = 65536;

// Half-width plus half-height of the unscaled box, at least 12, rounded down to a multiple of 4,
// capped at kMaxOvalSegments. Scale does not change it.
int OvalSegmentCount(float x0, float y0, float x1, float y1);

// Emits the oval's vertices: the first at the right end of the horizontal axis, then toward
// smaller local y (counter-clockwise on the screen before the matrix).
template <typename Sink>
void EmitOvalVertices(const TTransform2D& m, float x0, float y0, float x1, float y1, float tx,
                      float ty, Sink&& emit) {
  const float xr = (x1 - x0) * 0.5f;
  const float yr = (y1 - y0) * 0.5f;
  const int n = OvalSegmentCount(x0, y0, x1, y1);
  const float cx = x0 + xr;
  const float cy = y0 + yr;
  for (int i = 0; i < n; ++i) {
    const float theta = static_cast<float>(i) * 360.0f / static_cast<float>(n);
    const float px = static_cast<float>(cx + xr * CosDeg(theta));
    // NOTE: the y term stays in double precision through the matrix, unlike x.
    const double py = cy - yr * SinDeg(theta);
    emit(TVertex2D{static_cast<float>(px * m.ix + py * m.iy + tx),
                   static_cast<float>(px * m.jx + py * m.jy + ty)});
  }
}

// A polygon needs at least three points and whole x, y pairs.
inline bool PolyIsDrawable(std::span<const float> xy) {
  return xy.size() >= 6 && xy.size() % 2 == 0;
}

template <typename Sink>
void EmitPolyVertices(const TTransform2D& m, std::span<const float> xy, float hx, float hy,
                      float tx, float ty, Sink&& emit) {
  for (std::size_t k = 0; k + 1 < xy.size(); k += 2) {
    emit(MapPoint(m, xy[k] + hx, xy[k + 1] + hy, tx, ty));
  }
}

// The four corners of a rectangle in drawing order: (x0,y0), (x1,y0), (x1,y1), (x0,y1).
template <typename Sink>
void EmitRectVertices(const TTransform2D& m, float x0, float y0, float x1, float y1, float tx,
                      float ty, Sink&& emit) {
  emit(MapPoint(m, x0, y0, tx, ty));
  emit(MapPoint(m, x1, y0, tx, ty));
  emit(MapPoint(m, x1, y1, tx, ty));
  emit(MapPoint(m, x0, y1, tx, ty));
}

// Lines and points sit on pixel centres.
inline TVertex2D PixelCentre(TVertex2D v) {
  return {v.x + 0.5f, v.y + 0.5f};
}
