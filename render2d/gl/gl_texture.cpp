#include "render2d/gl/gl_texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <map>
#include <utility>

#include "platform/glx/shared_context_scope.h"
#include "platform/graphics/graphics.h"
#include "render2d/gl/gl_state_cache.h"

namespace {
constexpr int kLayers = 128;  // the default font's 96 glyphs take one stack

struct Stack {
  std::weak_ptr<TGLTexture> texture;  // goes with the last picture in it
  int used = 0;                       // layers given out; freed ones are not reused
};
std::map<std::pair<int, int>, Stack> stacks;  // by texture width and height

std::shared_ptr<TGLTexture> NewStack(int width, int height, int layers) {
  GLuint name = 0;
  glGenTextures(1, &name);
  // NOTE: bound directly, not through the cache: this runs in the shared context.
  glBindTexture(GL_TEXTURE_3D, name);
  for (const GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R})
    glTexParameteri(GL_TEXTURE_3D, wrap, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, width, height, layers, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               nullptr);
  return std::make_shared<TGLTexture>(GL_TEXTURE_3D, name);
}

int LayersPerStack() {
  static const int layers = [] {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_3D_TEXTURE_SIZE, &largest);
    return std::min(kLayers, static_cast<int>(largest));
  }();
  return layers;
}
}  // namespace

TGLTexture::TGLTexture(unsigned texture_target, unsigned texture_name)
    : target(texture_target), name(texture_name), seq(GraphicsSerial()) {}

TGLTexture::~TGLTexture() {
  EndQuadBatch();
  {
    // NOTE: the GLX layer's own guard, not the driver object: the default font's frames go when
    // the program's statics are destroyed, and the driver object may be gone by then.
    SharedContextScope shared;
    if (GLContextIsCurrent()) glDeleteTextures(1, &name);
  }
  if (seq == GraphicsSerial() && GLContextIsCurrent()) {
    glDeleteTextures(1, &name);
    // NOTE: the drawing context may still have this texture bound, and OpenGL hands the freed
    // name to the next new texture; a cache still holding the name would then skip binding it.
    BindTexture(target, 0);
  }
}

int NextPowerOfTwo(int n) {
  // Doubling past 2^30 would overflow; no texture gets near that size, so the proxy check
  // refuses it and the size is halved from there.
  constexpr int kLargestPower = 1 << 30;
  int power = 1;
  while (power < n && power < kLargestPower) power *= 2;
  return power;
}

PixmapRef PadToTexture(const TPixmap& picture, int texture_width, int texture_height) {
  const int w = picture.width;
  const int h = picture.height;
  PixmapRef texture = TPixmap::Create(texture_width, texture_height, RGBA8888, 4);
  // Cleared, so that the texels past the repeated edge never feed stale memory into the smaller
  // mipmap levels.
  texture->ClearPixels(0);
  texture->Paste(picture, 0, 0);
  if (w < texture_width) texture->Paste(*texture->Window(w - 1, 0, 1, h), w, 0);
  if (h < texture_height) {
    const int copied_width = std::min(w + 1, texture_width);
    texture->Paste(*texture->Window(0, h - 1, copied_width, 1), 0, h);
  }
  return texture;
}

TPackedPlace PackIntoLayers(const TPixmap& picture) {
  const int width = NextPowerOfTwo(picture.width);
  const int height = NextPowerOfTwo(picture.height);
  const int layers = LayersPerStack();
  if (width > layers || height > layers) return {};  // a server with tiny 3D textures
  Stack& stack = stacks[{width, height}];
  std::shared_ptr<TGLTexture> texture = stack.texture.lock();
  if (!texture || stack.used == layers) {
    texture = NewStack(width, height, layers);
    stack = {texture, 0};
  }
  const int layer = stack.used++;
  const PixmapRef padded = PadToTexture(picture, width, height);
  glBindTexture(GL_TEXTURE_3D, texture->name);
  glTexSubImage3D(GL_TEXTURE_3D, 0, 0, 0, layer, width, height, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                  padded->pixels);
  return {texture, static_cast<float>(picture.width) / static_cast<float>(width),
          static_cast<float>(picture.height) / static_cast<float>(height),
          (static_cast<float>(layer) + 0.5f) / static_cast<float>(layers)};
}
