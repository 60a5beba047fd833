#include "platform/glx/window_scale.h"

#include <GL/gl.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

namespace {
constexpr double kBaseDpi = 96;
constexpr int kPresentTextureSize = 1024;  // a power of two that holds the 800 x 600 picture

int requested_scale = 0;
}  // namespace

void RequestWindowScale(int scale) {
  requested_scale = scale;
}

int ScaleForResources(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi:";
  for (std::size_t start = 0; start < resources.size();) {
    std::size_t end = resources.find('\n', start);
    if (end == std::string_view::npos) end = resources.size();
    const std::string_view line = resources.substr(start, end - start);
    if (line.substr(0, kName.size()) == kName) {
      const double dpi = std::atof(std::string(line.substr(kName.size())).c_str());
      return dpi >= 2 * kBaseDpi ? static_cast<int>(dpi / kBaseDpi) : 1;
    }
    start = end + 1;
  }
  return 1;
}

int WindowScale(Display* display, int screen, int width, int height) {
  int scale = requested_scale;
  if (scale <= 0) {
    const char* resources = XResourceManagerString(display);
    scale = ScaleForResources(resources != nullptr ? resources : "");
  }
  if (scale > kLargestWindowScale) scale = kLargestWindowScale;
  const int root_width = DisplayWidth(display, screen);
  const int root_height = DisplayHeight(display, screen);
  while (scale > 1 && (width * scale > root_width || height * scale > root_height)) --scale;
  return scale < 1 ? 1 : scale;
}

void PresentEnlarged(unsigned& texture, int width, int height, int scale) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  if (texture == 0) {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kPresentTextureSize, kPresentTextureSize, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, height * (scale - 1), width, height);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // Rows count from the bottom here, as in the back buffer the picture was copied from.
  glOrtho(0, width * scale, 0, height * scale, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, width * scale, height * scale);
  for (const GLenum off : {GL_SCISSOR_TEST, GL_BLEND, GL_ALPHA_TEST, GL_TEXTURE_3D}) glDisable(off);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  const float u = static_cast<float>(width) / kPresentTextureSize;
  const float v = static_cast<float>(height) / kPresentTextureSize;
  const float x = static_cast<float>(width * scale);
  const float y = static_cast<float>(height * scale);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(u, 0);
  glVertex2f(x, 0);
  glTexCoord2f(u, v);
  glVertex2f(x, y);
  glTexCoord2f(0, v);
  glVertex2f(0, y);
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}
