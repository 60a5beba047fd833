// The OpenGL state the 2D driver caches for the current context, shared by the driver and its
// texture frames within this library: each call reaches OpenGL only on a change.
#pragma once

#include "render2d/drawing/vertices.h"

void BindTextureName(unsigned int name);
void EnableTexturing(unsigned int name);  // binds, then enables GL_TEXTURE_2D
void DisableTexturing();

// The matrix last given to SetTransform; texture frames map their corners with it.
TTransform2D GLVex2DMatrix();
