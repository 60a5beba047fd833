#include "platform/glx/window_scale.h"

#include <GL/gl.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <string>

#include "platform/x11/monitors.h"
#include "platform/x11/window_manager_hints.h"

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

double FitWindowScale(double wanted, int width, int height, WindowRoom room) {
  const double scale = std::clamp(wanted, 1.0, kLargestWindowScale);
  auto fits = [&](double tried) {
    const PictureSize window = WindowSizeFor(width, height, tried);
    return window.width <= room.width && window.height <= room.height;
  };
  if (fits(scale)) return scale;
  int whole = static_cast<int>(scale);
  while (whole > 1 && !fits(whole)) --whole;
  return whole;
}

double WindowScale(Display* display, int screen, int width, int height) {
  double scale = requested_scale;
  if (scale <= 0) {
    const char* resources = XResourceManagerString(display);
    scale = ScaleForResources(resources != nullptr ? resources : "");
  }
  if (scale <= 1) return 1;  // nothing to fit: the frame need not be asked for
  const ScreenArea work = WorkAreaForNewWindow(display, screen);
  const FrameExtents frame = FrameForNewWindow(display, screen);
  return FitWindowScale(
      scale, width, height,
      {work.width - frame.left - frame.right, work.height - frame.top - frame.bottom});
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
void ZoomPicture(const PictureInWindow& picture) {
  const PicturePlacement& placed = picture.placed;
  glPixelZoom(static_cast<float>(placed.width / picture.picture_width),
              static_cast<float>(placed.height / picture.picture_height));
  glRasterPos2i(0, 0);
  glCopyPixels(0, picture.rows_up, picture.picture_width, picture.picture_height, GL_COLOR);
}

// Any other placement: the picture goes through a texture, drawn as a quad centred on black and
// sampled at the nearest texel, so that every window pixel shows one picture pixel's own colour.
void DrawPictureTexture(unsigned& texture, const PictureInWindow& picture) {
  const int width = picture.picture_width;
  const int height = picture.picture_height;
  const int window_height = picture.window_height;
  const PicturePlacement& placed = picture.placed;
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
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, picture.rows_up, width, height);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  // A window pixel's centre can fall exactly on a texel edge (at 1.5, column 1 samples s = 1.0),
  // where the rasteriser's rounding would pick the texel. Every sample moves back by half the
  // least distance any other sample keeps from an edge, gcd(picture, 2 placed) / (4 placed)
  // texels: one on an edge takes the texel before it (the picture's left column, its lower row),
  // the rest keep theirs, and at a whole scale the blocks stay exact.
  const auto back = [texture_size](int picture, int placed_side) {
    return -std::gcd(picture, 2 * placed_side) / (4.0 * placed_side * texture_size);
  };
  const auto u0 = static_cast<float>(back(width, placed.width));
  const auto v0 = static_cast<float>(back(height, placed.height));
  const auto u = static_cast<float>(back(width, placed.width) + 1.0 * width / texture_size);
  const auto v = static_cast<float>(back(height, placed.height) + 1.0 * height / texture_size);
  const auto left = static_cast<float>(placed.left);
  const auto right = static_cast<float>(placed.left + placed.width);
  const auto bottom = static_cast<float>(window_height - placed.top - placed.height);
  const auto top = static_cast<float>(window_height - placed.top);
  glBegin(GL_QUADS);
  glTexCoord2f(u0, v0);
  glVertex2f(left, bottom);
  glTexCoord2f(u, v0);
  glVertex2f(right, bottom);
  glTexCoord2f(u, v);
  glVertex2f(right, top);
  glTexCoord2f(u0, v);
  glVertex2f(left, top);
  glEnd();
}
}  // namespace

void PresentPicture(unsigned& texture, const PictureInWindow& picture) {
  const PicturePlacement& placed = picture.placed;
  const bool whole_scale =
      placed.width % picture.picture_width == 0 && placed.height % picture.picture_height == 0;
  const bool fills_window =
      placed.width == picture.window_width && placed.height == picture.window_height;
  EnterWindowSpace(picture.window_width, picture.window_height);
  if (whole_scale && fills_window)
    ZoomPicture(picture);
  else
    DrawPictureTexture(texture, picture);
  LeaveWindowSpace();
}
