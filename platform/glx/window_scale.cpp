#include "platform/glx/window_scale.h"

#include <GL/gl.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/x11/monitors.h"

namespace {
constexpr double kBaseDpi = 96;

constexpr double kLeastDesktopDpi = 120;  // 125 %: below it a desktop's scale is left alone

double requested_scale = 0;
bool full_screen_at_start = false;

// A power of two that holds the picture.
int TextureSizeFor(int width, int height) {
  int size = 1;
  while (size < width || size < height) size *= 2;
  return size;
}
}  // namespace

void RequestWindowScale(double scale) {
  requested_scale = scale;
}

void RequestFullScreenAtStart() {
  full_screen_at_start = true;
}

bool FullScreenAtStartRequested() {
  return full_screen_at_start;
}

double ScaleForResources(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi:";
  for (std::size_t start = 0; start < resources.size();) {
    std::size_t end = resources.find('\n', start);
    if (end == std::string_view::npos) end = resources.size();
    const std::string_view line = resources.substr(start, end - start);
    if (line.substr(0, kName.size()) == kName) {
      const double dpi = std::atof(std::string(line.substr(kName.size())).c_str());
      if (!(dpi >= kLeastDesktopDpi)) return 1;  // NaN too
      return std::min(dpi / kBaseDpi, kLargestWindowScale);
    }
    start = end + 1;
  }
  return 1;
}

double WindowScale(Display* display, int screen, int width, int height) {
  double scale = requested_scale;
  if (scale <= 0) {
    const char* resources = XResourceManagerString(display);
    scale = ScaleForResources(resources != nullptr ? resources : "");
  }
  scale = std::clamp(scale, 1.0, kLargestWindowScale);
  const MonitorSize monitor = MonitorForNewWindow(display, screen);
  if (ScaledSide(width, scale) <= monitor.width && ScaledSide(height, scale) <= monitor.height)
    return scale;
  int whole = static_cast<int>(scale);
  while (whole > 1 && (width * whole > monitor.width || height * whole > monitor.height)) --whole;
  return whole;
}

int ScaledSide(int side, double scale) {
  return static_cast<int>(std::lround(side * scale));
}

namespace {
// Window pixels as OpenGL counts them, rows from the bottom, with nothing that could change a
// pixel on its way: no scissor, blending, alpha test or texturing.
void EnterWindowSpace(int window_width, int window_height) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, window_width, 0, window_height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, window_width, window_height);
  for (const GLenum off : {GL_SCISSOR_TEST, GL_BLEND, GL_ALPHA_TEST, GL_TEXTURE_2D, GL_TEXTURE_3D})
    glDisable(off);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void LeaveWindowSpace() {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

// A whole scale that fills the window: the pixel zoom repeats every pixel as a block, and the
// copy reads the picture as a whole before it writes. On the software rasteriser this costs less
// than copying into a texture and drawing it.
void ZoomPicture(int width, int height, int window_height, const PicturePlacement& placed) {
  glPixelZoom(static_cast<float>(placed.width / width), static_cast<float>(placed.height / height));
  glRasterPos2i(0, 0);
  glCopyPixels(0, window_height - height, width, height, GL_COLOR);
}

// Any other placement: the picture goes through a texture, drawn as a quad centred on black and
// sampled at the nearest texel, so that every window pixel shows one picture pixel's own colour.
void DrawPictureTexture(unsigned& texture, int width, int height, int window_height,
                        const PicturePlacement& placed) {
  const int texture_size = TextureSizeFor(width, height);
  if (texture == 0) {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture_size, texture_size, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  const int up = window_height - height;  // the picture's bottom row in OpenGL's window rows
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, up, width, height);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  const float u = static_cast<float>(width) / static_cast<float>(texture_size);
  const float v = static_cast<float>(height) / static_cast<float>(texture_size);
  const auto left = static_cast<float>(placed.left);
  const auto right = static_cast<float>(placed.left + placed.width);
  const auto bottom = static_cast<float>(window_height - placed.top - placed.height);
  const auto top = static_cast<float>(window_height - placed.top);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(left, bottom);
  glTexCoord2f(u, 0);
  glVertex2f(right, bottom);
  glTexCoord2f(u, v);
  glVertex2f(right, top);
  glTexCoord2f(0, v);
  glVertex2f(left, top);
  glEnd();
}
}  // namespace

void PresentPicture(unsigned& texture, const PictureInWindow& picture) {
  const int width = picture.picture_width;
  const int height = picture.picture_height;
  const int window_width = picture.window_width;
  const int window_height = picture.window_height;
  const PicturePlacement& placed = picture.placed;
  const bool whole_scale = placed.width % width == 0 && placed.height % height == 0;
  const bool fills_window = placed.width == window_width && placed.height == window_height;
  EnterWindowSpace(window_width, window_height);
  if (whole_scale && fills_window)
    ZoomPicture(width, height, window_height, placed);
  else
    DrawPictureTexture(texture, width, height, window_height, placed);
  LeaveWindowSpace();
}
