// The OpenGL state the 2D driver caches for the current context: the texture bound to each target,
// the one target texturing is enabled for, the open run of textured quads and the matrix.
#include "render2d/gl/gl_state_cache.h"

#include <GL/gl.h>

namespace {
unsigned int bound_2d = 0;
unsigned int bound_3d = 0;
unsigned int enabled_target = 0;  // 0: none
bool quads_open = false;          // a run of textured quads is inside glBegin
TTransform2D matrix{0, 0, 0, 0};
}  // namespace

void ForgetTextureState() {
  EndQuadBatch();
  bound_2d = bound_3d = 0;
  enabled_target = 0;
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_3D);
}

void BindTexture(unsigned int target, unsigned int name) {
  unsigned int& bound = target == GL_TEXTURE_3D ? bound_3d : bound_2d;
  if (name == bound) return;
  EndQuadBatch();
  glBindTexture(target, name);
  bound = name;
}

void EnableTexturingOf(unsigned int target, unsigned int name) {
  BindTexture(target, name);
  if (enabled_target == target) return;
  EndQuadBatch();
  // NOTE: with both enabled, OpenGL samples the 3D texture: only one target is ever enabled.
  if (enabled_target != 0) glDisable(enabled_target);
  glEnable(target);
  enabled_target = target;
}

void DisableTexturing() {
  EndQuadBatch();
  if (enabled_target == 0) return;
  glDisable(enabled_target);
  enabled_target = 0;
}

void BeginTexturedQuads(unsigned int target, unsigned int name) {
  const unsigned int bound = target == GL_TEXTURE_3D ? bound_3d : bound_2d;
  if (quads_open && enabled_target == target && bound == name) return;
  EnableTexturingOf(target, name);
  EndQuadBatch();
  glBegin(GL_QUADS);
  quads_open = true;
}

void EndQuadBatch() {
  if (!quads_open) return;
  quads_open = false;
  glEnd();
}

TTransform2D GLVex2DMatrix() {
  return matrix;
}

void SetGLVex2DMatrix(const TTransform2D& m) {
  matrix = m;
}
