// The OpenGL 2D driver with pixmaps and several contexts: pixmaps drawn and grabbed at every
// edge, state kept per context, frames made in the shared context, and closing.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/core/runtime_error.h"
#include "platform/glx/gl_graphics.h"
#include "platform/glx/glx_context.h"
#include "platform/glx/window_scale.h"
#include "render2d/drawing/primitives.h"
#include "render2d/gl/gl_image_frame.h"
#include "render2d/gl/gl_vex2d_driver.h"
#include "tests/render2d/gl/gl_vex2d_fixture.h"
#include "tests/support/gl_probe.h"

using namespace gl_vex2d_test;

namespace {
// The context current at each texture name made and at each size check, and whether size checks
// are to accept no size at all.
std::vector<const void*> name_contexts;
std::vector<const void*> size_check_contexts;
bool refuse_sizes = false;
}  // namespace

// NOTE: glIsTexture answers alike in every context of a share group, so the test binary is linked
// with these calls routed through here to see which context a frame is made in, and to fail one.
extern "C" {
void __real_glGenTextures(GLsizei count, GLuint* names);
void __wrap_glGenTextures(GLsizei count, GLuint* names) {
  name_contexts.push_back(CurrentGLContext());
  __real_glGenTextures(count, names);
}
void __real_glGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value);
void __wrap_glGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value) {
  __real_glGetTexLevelParameteriv(target, level, name, value);
  if (target != GL_PROXY_TEXTURE_2D) return;
  size_check_contexts.push_back(CurrentGLContext());
  if (refuse_sizes) *value = 0;
}
}

TEST_F(GLVex2D, DrawPixmapThenGrabPixmapRoundTripsEveryFormat) {
  for (int format : {I8, A8, BGR888, RGB888, BGRA8888, RGBA8888}) {
    SetClsColor(1, 2, 3);
    Cls();
    SetBlend(BLEND_ALPHA);
    SetColor(0, 0, 0);      // must not tint the copy
    SetDrawOrigin(30, 30);  // nor move it
    SetDrawRotation(45);
    PixmapRef pixmap = TPixmap::Create(5, 3, format);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        pixmap->WritePixel(x, y,
                           static_cast<int>(0xFF000000u | (x * 50) << 16 | (y * 100) << 8 | 77));
      }
    }
    DrawPixmap(*pixmap, 7, 9);
    EXPECT_EQ(GetBlend(), BLEND_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "DrawPixmap leaves the blend mode as it found it";
    PixmapRef grabbed = GrabPixmap(7, 9, 5, 3);
    ASSERT_EQ(grabbed->format, RGBA8888);
    ASSERT_EQ(grabbed->width, 5);
    PixmapRef expected = pixmap->Convert(RGBA8888);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(grabbed->ReadPixel(x, y) & 0xFFFFFF, expected->ReadPixel(x, y) & 0xFFFFFF)
            << "format " << format << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(ScreenPixel(6, 9), (Rgb{1, 2, 3})) << format;
    EXPECT_EQ(ScreenPixel(7, 12), (Rgb{1, 2, 3})) << format;
    SetDrawOrigin(0, 0);
    SetDrawRotation(0);
  }
}

TEST_F(GLVex2D, EachGraphicsKeepsItsStateAcrossContextSwitches) {
  SetClsColor(10, 20, 30);
  SetColor(200, 0, 0);
  SetViewport(5, 5, 50, 50);
  other = OpenVex2D(64, 48);
  ASSERT_NE(other, nullptr);
  SelectGraphics(other);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "the new context covers its whole window";
  EXPECT_EQ(ScreenPixel(0, 0), (Rgb{0, 0, 0})) << "its first activation cleared it";
  SetClsColor(40, 50, 60);
  SelectGraphics(graphics);
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(std::lround(clear[2] * 255), 30);
  Cls();
  EXPECT_EQ(ScreenPixel(5, 5), (Rgb{10, 20, 30}));
  SelectGraphics(other);
  Cls();
  EXPECT_EQ(ScreenPixel(63, 47), (Rgb{40, 50, 60}));
  int r, g, b;
  GetColor(r, g, b);
  EXPECT_EQ(r, 255) << "the other object keeps its own colour";
}

TEST_F(GLVex2D, FirstActivationClearsBothBuffersToTheClearColour) {
  other = OpenVex2D(32, 32);
  ASSERT_NE(other, nullptr);
  other->clscolor_green = 255;
  SelectGraphics(other);
  EXPECT_EQ(ScreenPixel(3, 3), (Rgb{0, 255, 0}));
  FlipFrame(0);
  EXPECT_EQ(ScreenPixel(3, 3), (Rgb{0, 255, 0}));
}

TEST_F(GLVex2D, SetGraphicsRefusesOtherKindsOfGraphics) {
  std::shared_ptr<TGraphics> plain = GLGraphicsDriver()->CreateGraphics(16, 16, 0, 60, 2);
  ASSERT_NE(plain, nullptr);
  const void* before = CurrentGLContext();
  GetGLVex2DDriver()->SetGraphics(plain);
  EXPECT_EQ(TVex2DGraphics::Current(), graphics);
  EXPECT_EQ(CurrentGLContext(), before);
  plain->Close();
}

TEST_F(GLVex2D, FramesAreMadeInTheSharedContextAndLeaveTheDrawingContextCurrent) {
  const GLContextRecord* shared = ContextRecord(SharedContext());
  ASSERT_NE(shared, nullptr);
  const void* drawing = CurrentGLContext();
  ASSERT_NE(drawing, shared->context);
  PixmapRef pixmap = TPixmap::Create(4, 4, RGBA8888);
  pixmap->ClearPixels(0);
  name_contexts.clear();
  const auto frame = std::dynamic_pointer_cast<TGLImageFrame>(
      GetGLVex2DDriver()->CreateFrameFromPixmap(*pixmap, 0));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(name_contexts, (std::vector<const void*>{shared->context}));
  EXPECT_EQ(CurrentGLContext(), drawing);
  EXPECT_TRUE(glIsTexture(frame->name)) << "the shared context's textures are every context's";

  // A creation that fails in the shared context leaves the drawing context current all the same.
  size_check_contexts.clear();
  refuse_sizes = true;
  EXPECT_THROW(GetGLVex2DDriver()->CreateFrameFromPixmap(*pixmap, 0), RuntimeError);
  refuse_sizes = false;
  ASSERT_FALSE(size_check_contexts.empty());
  EXPECT_EQ(size_check_contexts.back(), shared->context);
  EXPECT_EQ(CurrentGLContext(), drawing);
}

TEST_F(GLVex2D, ClosingTheCurrentGraphicsClearsThe2DState) {
  CloseGraphicsContext(graphics);
  graphics = nullptr;
  EXPECT_EQ(TVex2DGraphics::Current(), nullptr);
  EXPECT_EQ(CurrentVex2DDriver(), nullptr);
  SetColor(1, 2, 3);  // harmless
  DrawRect(0, 0, 5, 5);
  EXPECT_EQ(GrabPixmap(0, 0, 1, 1), nullptr);
}

TEST_F(GLVex2D, DrawPixmapReachesPastEveryEdgeOfTheWindow) {
  SetClsColor(0, 0, 0);
  Cls();
  PixmapRef pixmap = TPixmap::Create(6, 4, RGB888);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x)
      pixmap->WritePixel(
          x, y, static_cast<int>(0xFF000000u | (x * 40 + 1) << 16 | (y * 60 + 1) << 8 | 9));
  }
  const struct {
    int x, y;
  } corners[] = {{-2, -1}, {kWidth - 4, -3}, {-5, kHeight - 2}, {kWidth - 1, kHeight - 1}};
  for (const auto& at : corners) {
    Cls();
    DrawPixmap(*pixmap, at.x, at.y);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 6; ++x) {
        const int sx = at.x + x, sy = at.y + y;
        if (sx < 0 || sy < 0 || sx >= kWidth || sy >= kHeight) continue;
        const int c = pixmap->ReadPixel(x, y);
        EXPECT_EQ(ScreenPixel(sx, sy), (Rgb{c >> 16 & 255, c >> 8 & 255, c & 255}))
            << "pixmap at " << at.x << "," << at.y << ", pixel " << x << "," << y;
      }
    }
  }
}

TEST_F(GLVex2D, GrabPixmapReadsOffWindowPixelsAsTransparentBlack) {
  SetClsColor(10, 20, 30);
  Cls();
  const struct { int x, y; } corners[] = {{-2, -3}, {kWidth - 2, kHeight - 1}};
  for (const auto& at : corners) {
    PixmapRef grabbed;
    {
      PoisonedHeap poisoned;
      grabbed = GrabPixmap(at.x, at.y, 4, 4);
    }
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        const int sx = at.x + x, sy = at.y + y;
        const bool inside = sx >= 0 && sy >= 0 && sx < kWidth && sy < kHeight;
        EXPECT_EQ(grabbed->ReadPixel(x, y), inside ? static_cast<int>(0xFF0A141Eu) : 0)
            << "grab at " << at.x << "," << at.y << ", pixel " << x << "," << y;
      }
    }
  }
}

// Each window draws at its own rows and presents from them: the fixture's window of its picture's
// size, then one shown one and a half times as large, made after it, which takes the input.
TEST_F(GLVex2D, EachWindowPresentsItsOwnPictureFromItsOwnRows) {
  RequestWindowScale(1.5);
  other = OpenVex2D(64, 48);
  RequestWindowScale(0);
  ASSERT_NE(other, nullptr);
  // NOTE: read from the back buffer, which keeps what the swap showed, not from the screen, where
  // the windows of other tests may stand over this one.
  auto shown_at = [](int x, int y, int window_height) {
    std::uint8_t rgba[4] = {};
    glReadPixels(x, window_height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Rgb{rgba[0], rgba[1], rgba[2]};
  };
  // Each draws a 4-pixel square at (at, at) and reads its last row back in window rows.
  struct Shown {
    std::shared_ptr<TVex2DGraphics> window;
    double scale;
    int at, window_height;
  };
  for (const Shown& shown : {Shown{graphics, 1, 140, kHeight}, Shown{other, 1.5, 0, 72}}) {
    SelectGraphics(shown.window);
    SetClsColor(0, 0, 0);
    Cls();
    SetColor(255, 0, 0);
    DrawRect(shown.at, shown.at, 4, 4);
    FlipFrame(0);
    const int start = shown.at, end = start + static_cast<int>(4 * shown.scale);
    for (const int x : {start, end - 1, end})
      EXPECT_EQ(shown_at(x, end - 1, shown.window_height),
                (x < end ? Rgb{255, 0, 0} : Rgb{0, 0, 0}))
          << "scale " << shown.scale << ", column " << x;
  }
}
