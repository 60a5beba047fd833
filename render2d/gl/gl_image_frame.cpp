// Texture frames: power-of-two textures (or layers of shared ones) with the picture in the top-left
// corner and its last column and row repeated beside it, so that sampling at the edges reads the
// picture.
#include "render2d/gl/gl_image_frame.h"

#include <GL/gl.h>

#include <algorithm>
#include <utility>

#include "platform/core/runtime_error.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/image_frame.h"
#include "render2d/gl/gl_state_cache.h"

namespace {
// NOTE: a filtered or mipmapped picture would blend in its neighbours' texels.
bool Packable(const TPixmap& pixmap, int flags) {
  return (flags & (PACKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE)) == PACKEDIMAGE &&
         pixmap.width <= kLargestPackedPicture && pixmap.height <= kLargestPackedPicture;
}

std::shared_ptr<TGLImageFrame> PackedFrame(const TPixmap& pixmap) {
  const TPackedPlace place = PackIntoLayers(pixmap);
  if (!place.texture) return nullptr;
  auto frame = std::make_shared<TGLImageFrame>();
  frame->texture = place.texture;
  frame->u1 = place.u1;
  frame->v1 = place.v1;
  frame->r = place.r;
  frame->name = place.texture->name;
  frame->seq = place.texture->seq;
  return frame;
}
}  // namespace

void FitTextureSize(int& width, int& height) {
  width = NextPowerOfTwo(width);
  height = NextPowerOfTwo(height);
  for (;;) {
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLint accepted_width = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &accepted_width);
    if (accepted_width != 0) return;
    if (width == 1 && height == 1) RaiseRuntimeError("Unable to calculate tex size");
    if (width > 1) width /= 2;
    if (height > 1) height /= 2;
  }
}

unsigned AllocateTexture(int width, int height, int flags) {
  GLuint name = 0;
  glGenTextures(1, &name);
  // NOTE: bound directly, not through the back end's cache: this runs in the shared context,
  // whose binding the cache of the drawing context knows nothing about.
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  const bool mipmapped = flags & MIPMAPPEDIMAGE;
  if (flags & FILTEREDIMAGE) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  } else {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapped ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST);
  }
  for (int level = 0;; ++level) {
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    if (!mipmapped || (width == 1 && height == 1)) break;
    if (width > 1) width /= 2;
    if (height > 1) height /= 2;
  }
  return name;
}

void UploadTexture(const TPixmap& pixmap, int flags) {
  PixmapRef smaller;  // the level being uploaded, once past level 0
  const TPixmap* level_pixmap = &pixmap;
  for (int level = 0;; ++level) {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, level_pixmap->pitch / BytesPerPixel(level_pixmap->format));
    glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, level_pixmap->width, level_pixmap->height, GL_RGBA,
                    GL_UNSIGNED_BYTE, level_pixmap->pixels);
    const int w = level_pixmap->width;
    const int h = level_pixmap->height;
    if (!(flags & MIPMAPPEDIMAGE) || (w == 1 && h == 1)) break;
    smaller = ResizePixmap(*level_pixmap, std::max(w / 2, 1), std::max(h / 2, 1));
    level_pixmap = smaller.get();
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

std::shared_ptr<TGLImageFrame> TGLImageFrame::CreateFromPixmap(const TPixmap& pixmap, int flags) {
  // An empty picture has no texels to show and no edge to repeat.
  if (pixmap.width <= 0 || pixmap.height <= 0) return nullptr;
  if (Packable(pixmap, flags)) {
    if (auto frame = PackedFrame(pixmap)) return frame;
  }
  int texture_width = pixmap.width;
  int texture_height = pixmap.height;
  FitTextureSize(texture_width, texture_height);
  const int w = std::min(pixmap.width, texture_width);
  const int h = std::min(pixmap.height, texture_height);
  PixmapRef resized;  // only when OpenGL cannot take the picture's size
  const TPixmap* picture = &pixmap;
  if (w != pixmap.width || h != pixmap.height) {
    resized = ResizePixmap(pixmap, w, h);
    picture = resized.get();
  }
  PixmapRef texture;  // the picture itself serves when it fills the texture in RGBA8888
  if (w < texture_width || h < texture_height)
    texture = PadToTexture(*picture, texture_width, texture_height);
  else if (picture->format != RGBA8888)
    texture = picture->Convert(RGBA8888);

  auto frame = std::make_shared<TGLImageFrame>();
  frame->texture = std::make_shared<TGLTexture>(
      GL_TEXTURE_2D, AllocateTexture(texture_width, texture_height, flags));
  frame->name = frame->texture->name;
  UploadTexture(texture ? *texture : *picture, flags);
  frame->u1 = static_cast<float>(w) / static_cast<float>(texture_width);
  frame->v1 = static_cast<float>(h) / static_cast<float>(texture_height);
  frame->seq = frame->texture->seq;
  return frame;
}

void TGLImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
  BeginTexturedQuads(texture->target, name);
  const TTransform2D m = GLVex2DMatrix();
  // Texture coordinates for the corners in the order the rectangle's vertices come.
  const float u[4] = {u0, u1, u1, u0};
  const float v[4] = {v0, v0, v1, v1};
  int corner = 0;
  EmitRectVertices(m, x0, y0, x1, y1, tx, ty, [&](TVertex2D vertex) {
    if (r < 0)
      glTexCoord2f(u[corner], v[corner]);
    else
      glTexCoord3f(u[corner], v[corner], r);
    glVertex2f(vertex.x, vertex.y);
    ++corner;
  });
}
