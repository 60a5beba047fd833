// OpenGL texture names owned by RAII, and the stacks of layers that small pictures share so that
// drawing one after another needs no change of texture.
#pragma once

#include <memory>

#include "imagetext/pixmap/pixmap.h"

// One texture name of a target (GL_TEXTURE_2D or GL_TEXTURE_3D), made in the hidden shared
// context. Deleted there when the last owner goes, and in the current context too while the
// graphics it was made under are still open.
class TGLTexture {
 public:
  TGLTexture(unsigned texture_target, unsigned texture_name);
  ~TGLTexture();
  TGLTexture(const TGLTexture&) = delete;
  TGLTexture& operator=(const TGLTexture&) = delete;

  const unsigned target;
  const unsigned name;
  const int seq;  // the graphics serial at creation
};

// 1 doubled while below n: 0 and 1 give 1, 8 gives 8, 9 gives 16; at most 2^30.
int NextPowerOfTwo(int n);

// The pixmap that fills a texture of the given size: the picture in the top-left corner, then its
// last column and row once more beside it, so that sampling at its edges reads the picture.
PixmapRef PadToTexture(const TPixmap& picture, int texture_width, int texture_height);

// Where a packed picture sits: its shared texture, the texture coordinates of its edges and its
// layer's r coordinate.
struct TPackedPlace {
  std::shared_ptr<TGLTexture> texture;  // null when the picture could not be packed
  float u1 = 0, v1 = 0, r = 0;
};

// The largest picture packed, in either direction; larger ones get textures of their own.
inline constexpr int kLargestPackedPicture = 64;

// Uploads the picture into the next free layer of a 3D texture shared by pictures of its texture
// size (made in the context that is current, which must be the shared one). Each layer holds the
// picture exactly as a texture of its own would, and r picks the layer's middle, so every sample
// reads the very texel a texture of its own gives: the pixels drawn are the same.
TPackedPlace PackIntoLayers(const TPixmap& picture);
