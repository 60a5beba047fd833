// What a 2D driver makes from a pixmap so that it can be drawn: a picture that draws itself onto
// a rectangle mapped by the driver's current matrix, in the current colour, alpha and blend mode.
#pragma once

// Image flags: an image keeps them and hands them on to the driver's CreateFrameFromPixmap.
inline constexpr int MASKEDIMAGE = 1;     // a pixmap without alpha gets its key colour transparent
inline constexpr int FILTEREDIMAGE = 2;   // linear texture filtering instead of nearest
inline constexpr int MIPMAPPEDIMAGE = 4;  // a full chain of mipmap levels
inline constexpr int DYNAMICIMAGE = 8;    // set by NewDrawImage; no effect with OpenGL
inline constexpr int PACKEDIMAGE = 16;    // small: may share a texture with other small pictures

class TImageFrame {
 public:
  virtual ~TImageFrame() = default;
  // The rectangle's local corners (x0, y0) and (x1, y1) are mapped like DrawRect's and moved by
  // (tx, ty).
  virtual void Draw(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
};
