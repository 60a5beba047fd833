// The OpenGL state the 2D driver caches for the current context, shared by the driver, its texture
// frames and textures within this library: each call reaches OpenGL only on a change.
#pragma once

#include "render2d/drawing/vertices.h"

// Textures are bound per target (GL_TEXTURE_2D, GL_TEXTURE_3D); texturing is enabled for at most
// one target at a time.
void BindTexture(unsigned int target, unsigned int name);
void EnableTexturingOf(unsigned int target, unsigned int name);  // binds, then enables the target
void DisableTexturing();

// Textured quads go out in runs: a run stays open (inside glBegin) while quads of the same texture
// follow, each with the colour current when it is drawn. Every other OpenGL call of the back end
// ends the run first.
void BeginTexturedQuads(unsigned int target, unsigned int name);
void EndQuadBatch();

// A context made current: nothing is bound or enabled for texturing any more (ends a run first).
void ForgetTextureState();

// The matrix last given to SetTransform; primitives and texture frames map their corners with it.
void SetGLVex2DMatrix(const TTransform2D& m);
TTransform2D GLVex2DMatrix();
