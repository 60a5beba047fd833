// The OpenGL driver's image frame: a picture in a texture made in the shared context, so that
// every graphics context sees it. A picture fills its texture from the top-left corner; a small
// unfiltered one flagged for packing does so in a layer of a 3D texture shared with others.
#pragma once

#include <memory>

#include "imagetext/pixmap/pixmap.h"
#include "render2d/drawing/image_frame.h"
#include "render2d/gl/gl_texture.h"

class TGLImageFrame final : public TImageFrame {
 public:
  float u0 = 0;  // texture coordinates of the picture's edges
  float v0 = 0;
  float u1 = 0;
  float v1 = 0;
  float r = -1;  // a packed picture's layer in its 3D texture; negative for a 2D texture
  std::shared_ptr<TGLTexture> texture;  // shared with the other pictures packed into it
  unsigned name = 0;                    // the OpenGL texture name
  int seq = 0;                          // the graphics serial the texture was made under

  // Makes the texture (or packs the picture) in the context that is current, which the 2D driver
  // has made the shared one. Raises "Unable to calculate tex size" when OpenGL accepts not even a
  // 1 x 1 texture.
  static std::shared_ptr<TGLImageFrame> CreateFromPixmap(const TPixmap& pixmap, int flags);

  // One textured quad with local corners (x0, y0)-(x1, y1) under the driver's current matrix,
  // moved by (tx, ty), in the driver's current colour, alpha and blend mode. Quads of one texture
  // in a row go out together.
  void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;
};

// Rounds both sizes up to powers of two, then halves them until OpenGL's proxy check accepts.
void FitTextureSize(int& width, int& height);

// A new texture name, bound, with its filters, wrapping and (mipmapped) every level allocated.
unsigned AllocateTexture(int width, int height, int flags);

// Uploads the RGBA8888 pixmap into level 0 of the bound texture and, if mipmapped, its halvings
// into the following levels down to 1 x 1.
void UploadTexture(const TPixmap& pixmap, int flags);
