// What a 2D driver makes from a pixmap so that it can be drawn: a picture that draws itself onto
// a rectangle mapped by the driver's current matrix, in the current colour, alpha and blend mode.
#pragma once

class TImageFrame {
 public:
  virtual ~TImageFrame() = default;
  // The rectangle's local corners (x0, y0) and (x1, y1) are mapped like DrawRect's and moved by
  // (tx, ty).
  virtual void Draw(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
};
