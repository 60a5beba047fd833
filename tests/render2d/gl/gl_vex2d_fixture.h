// What the OpenGL 2D driver tests share: a small real window as the current 2D graphics, and
// pixel reads straight from the framebuffer.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>

#include "platform/graphics/graphics.h"
#include "render2d/drawing/primitives.h"
#include "render2d/gl/gl_vex2d_driver.h"
#include "tests/support/display.h"

namespace gl_vex2d_test {
constexpr int kWidth = 200;
constexpr int kHeight = 150;

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

inline Rgb ScreenPixel(int x, int y) {
  PixmapRef p = GrabPixmap(x, y, 1, 1);
  return {p->pixels[0], p->pixels[1], p->pixels[2]};
}

// The same pixel straight through glReadPixels, rows counted from the bottom.
inline Rgb ReadPixelsAt(int x, int y) {
  std::uint8_t rgba[4] = {};
  glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}

inline void ExpectNearRgb(Rgb actual, double r, double g, double b, const std::string& what) {
  EXPECT_NEAR(actual.r, r, 1.01) << what;
  EXPECT_NEAR(actual.g, g, 1.01) << what;
  EXPECT_NEAR(actual.b, b, 1.01) << what;
}

inline int CurrentAlphaByte() {
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  return static_cast<int>(std::lround(colour[3] * 255));
}

// Fresh heap memory comes filled with 0xAA while this lives, so uninitialised bytes show.
class PoisonedHeap {
 public:
  PoisonedHeap() { mallopt(M_PERTURB, 0x55); }
  ~PoisonedHeap() { mallopt(M_PERTURB, 0); }
  PoisonedHeap(const PoisonedHeap&) = delete;
  PoisonedHeap& operator=(const PoisonedHeap&) = delete;
};

inline std::shared_ptr<TVex2DGraphics> OpenVex2D(int width = kWidth, int height = kHeight) {
  return std::dynamic_pointer_cast<TVex2DGraphics>(NewGraphics(width, height, 0, 60, 0));
}

class GLVex2D : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_DISPLAY();
    StartGLVex2DModule();
    SelectGraphicsDriver(GetGLVex2DDriver(), GRAPHICS_BACKBUFFER);
    graphics = OpenVex2D();
    ASSERT_NE(graphics, nullptr) << "no OpenGL window: is Xvfb running with GLX?";
    SelectGraphics(graphics);
    ASSERT_EQ(TVex2DGraphics::Current(), graphics);
  }
  void TearDown() override {
    for (auto& g : {other, graphics}) {
      if (g) CloseGraphicsContext(g);
    }
  }
  std::shared_ptr<TVex2DGraphics> graphics;
  std::shared_ptr<TVex2DGraphics> other;
};
}  // namespace gl_vex2d_test
