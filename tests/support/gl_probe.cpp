#include "tests/support/gl_probe.h"

#include <GL/glx.h>

const void* CurrentGLContext() {
  return glXGetCurrentContext();
}
