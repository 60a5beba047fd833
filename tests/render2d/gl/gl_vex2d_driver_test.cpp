// The OpenGL 2D back end on a real context (Mesa under Xvfb): pixels and OpenGL state read back.
#include "render2d/gl/gl_vex2d_driver.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "platform/glx/gl_graphics.h"
#include "render2d/drawing/primitives.h"
#include "render2d/gl/gl_state_cache.h"
#include "tests/render2d/gl/gl_vex2d_fixture.h"
#include "tests/support/display.h"
#include "tests/support/gl_probe.h"

using namespace gl_vex2d_test;

// The fixture selects the driver itself, so the module start is checked in a process of its own.
TEST(GLVex2DModuleDeathTest, StartSelectsTheDriverWithDefaultFlagsTwo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // re-runs this test alone in a fresh process
  EXPECT_EXIT(
      {
        StartGLVex2DModule();
        const bool selected = CurrentGraphicsDriver() == GetGLVex2DDriver();
        std::exit(selected && DefaultGraphicsFlags() == 2 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(GLVex2D, OneDriverMakesTheGraphics) {
  EXPECT_EQ(GetGLVex2DDriver(), GetGLVex2DDriver());
  EXPECT_EQ(GetGLVex2DDriver()->ToString(), u"OpenGL");
  EXPECT_EQ(graphics->Driver(), GetGLVex2DDriver());
  int w, h, d, hz, flags;
  graphics->GetSettings(w, h, d, hz, flags);
  EXPECT_EQ(w, kWidth);
  EXPECT_EQ(h, kHeight);
  EXPECT_EQ(flags & 2, 2);
}

TEST_F(GLVex2D, AlphaBecomesATruncatedClampedByte) {
  const struct {
    float alpha;
    int byte;
  } cases[] = {{0.5f, 127}, {0.9f, 229}, {0.8f, 204}, {0.1f, 25},
               {1, 255},    {2, 255},    {-1, 0},     {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const auto& c : cases) {
    SetAlpha(c.alpha);
    EXPECT_EQ(CurrentAlphaByte(), c.byte) << "alpha " << c.alpha;
  }
  // And on the screen: white at alpha 0.5 over black with alpha blending.
  SetClsColor(0, 0, 0);
  Cls();
  SetBlend(BLEND_ALPHA);
  SetColor(255, 255, 255);
  SetAlpha(0.5f);
  DrawRect(0, 0, 10, 10);
  ExpectNearRgb(ScreenPixel(5, 5), 127, 127, 127, "half white over black");
}

TEST_F(GLVex2D, ColourChannelsAreClampedByTheBackEndOnly) {
  SetBlend(BLEND_SOLID);
  SetAlpha(0.8f);
  SetColor(-20, 128, 999);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(std::lround(colour[0] * 255), 0);
  EXPECT_EQ(std::lround(colour[1] * 255), 128);
  EXPECT_EQ(std::lround(colour[2] * 255), 255);
  EXPECT_EQ(std::lround(colour[3] * 255), 204) << "the alpha byte stays";
  DrawRect(20, 20, 5, 5);
  EXPECT_EQ(ScreenPixel(22, 22), (Rgb{0, 128, 255}));
  int r, g, b;
  GetColor(r, g, b);
  EXPECT_EQ(r, -20);
  EXPECT_EQ(b, 999);

  SetClsColor(255, 128, 0);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 1.0f);
  EXPECT_NEAR(clear[1], 0.502, 0.001);
  EXPECT_FLOAT_EQ(clear[2], 0.0f);
  EXPECT_FLOAT_EQ(clear[3], 1.0f);
  SetClsColor(300, -1, 64);
  Cls();
  EXPECT_EQ(ScreenPixel(0, 0), (Rgb{255, 0, 64}));
}

TEST_F(GLVex2D, EachBlendModeOnAKnownBackground) {
  const Rgb back{100, 50, 200};
  const Rgb src{200, 100, 50};
  const double a = 127 / 255.0;  // SetAlpha(0.5)
  struct Case {
    int mode;
    double r, g, b;
  };
  const Case cases[] = {
      {BLEND_MASK, 100, 50, 200},  // alpha below 0.5: nothing drawn
      {BLEND_SOLID, 200, 100, 50},
      {BLEND_ALPHA, 200 * a + 100 * (1 - a), 100 * a + 50 * (1 - a), 50 * a + 200 * (1 - a)},
      {BLEND_LIGHT, std::min(255.0, 200 * a + 100), 100 * a + 50, 50 * a + 200},
      {BLEND_SHADE, 200 * 100 / 255.0, 100 * 50 / 255.0, 50 * 200 / 255.0},
      {99, 200, 100, 50},  // unknown modes draw solid
  };
  for (const Case& c : cases) {
    SetClsColor(back.r, back.g, back.b);
    Cls();
    SetBlend(c.mode);
    SetColor(src.r, src.g, src.b);
    SetAlpha(0.5f);
    DrawRect(40, 40, 10, 10);
    const std::string what = "blend mode " + std::to_string(c.mode);
    ExpectNearRgb(ScreenPixel(45, 45), c.r, c.g, c.b, what + " via GrabPixmap");
    ExpectNearRgb(ReadPixelsAt(45, 45), c.r, c.g, c.b, what + " via glReadPixels");
    EXPECT_EQ(ScreenPixel(39, 45), back) << what << ": outside the rectangle";
  }
  // Mask mode draws opaque enough pixels unblended.
  Cls();
  SetBlend(BLEND_MASK);
  SetAlpha(0.6f);
  DrawRect(40, 40, 10, 10);
  EXPECT_EQ(ScreenPixel(45, 45), src);
}

TEST_F(GLVex2D, BlendTableOpenGLState) {
  GLint source = 0, destination = 0;
  SetBlend(BLEND_MASK);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  GLint func = 0;
  GLfloat ref = 0;
  glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
  glGetFloatv(GL_ALPHA_TEST_REF, &ref);
  EXPECT_EQ(func, GL_GEQUAL);
  EXPECT_FLOAT_EQ(ref, 0.5f);
  const struct {
    int mode;
    GLint source, destination;
  } blended[] = {{BLEND_ALPHA, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
                 {BLEND_LIGHT, GL_SRC_ALPHA, GL_ONE},
                 {BLEND_SHADE, GL_DST_COLOR, GL_ZERO}};
  for (const auto& c : blended) {
    SetBlend(c.mode);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << c.mode;
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST)) << c.mode;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, c.source) << c.mode;
    EXPECT_EQ(destination, c.destination) << c.mode;
  }
  SetBlend(BLEND_SOLID);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(GLVex2D, BlendCacheSkipsRepeatsAndStartsAfreshOnAContextSwitch) {
  SetBlend(BLEND_ALPHA);
  glDisable(GL_BLEND);  // behind the cache's back
  SetBlend(BLEND_ALPHA);
  EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "a repeated mode must cost no OpenGL call";

  // A fresh context whose stored mode equals the cached one still gets it applied.
  other = OpenVex2D(64, 64);
  ASSERT_NE(other, nullptr);
  other->blend_mode = BLEND_ALPHA;
  SelectGraphics(other);
  EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "the cache must be reset by the switch";
  SelectGraphics(graphics);
  EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "switching back re-applies the stored mode";
  EXPECT_EQ(GetBlend(), BLEND_ALPHA);
}

TEST_F(GLVex2D, TextureCacheBindsAndSwitchesOnlyOnChange) {
  GLuint names[2];
  glGenTextures(2, names);
  EnableTexturingOf(GL_TEXTURE_2D, names[0]);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), names[0]);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  glBindTexture(GL_TEXTURE_2D, 0);  // behind the cache's back
  BindTexture(GL_TEXTURE_2D, names[0]);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0) << "the cached name must not be bound again";
  BindTexture(GL_TEXTURE_2D, names[1]);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), names[1]);
  Plot(1, 1);  // primitives draw untextured
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glEnable(GL_TEXTURE_2D);
  DisableTexturing();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "already off as far as the cache knows";
  EnableTexturingOf(GL_TEXTURE_2D, names[1]);
  DisableTexturing();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glDeleteTextures(2, names);
}

TEST_F(GLVex2D, ViewportBecomesAScissorBoxAndClsStaysInsideIt) {
  SetViewport(0, 0, kWidth, kHeight);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  SetClsColor(255, 0, 0);
  Cls();
  SetViewport(10, 20, 100, 50);
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  GLint box[4];
  glGetIntegerv(GL_SCISSOR_BOX, box);
  EXPECT_EQ((std::vector<int>{box[0], box[1], box[2], box[3]}),
            (std::vector<int>{10, kHeight - 20 - 50, 100, 50}));
  SetClsColor(0, 0, 255);
  Cls();
  const Rgb red{255, 0, 0}, blue{0, 0, 255};
  EXPECT_EQ(ScreenPixel(10, 20), blue);
  EXPECT_EQ(ScreenPixel(109, 69), blue);
  EXPECT_EQ(ScreenPixel(9, 20), red);
  EXPECT_EQ(ScreenPixel(110, 69), red);
  EXPECT_EQ(ScreenPixel(10, 19), red);
  EXPECT_EQ(ScreenPixel(10, 70), red);
  SetViewport(0, 0, kWidth, kHeight);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(GLVex2D, PrimitivesHitTheirPixels) {
  SetBlend(BLEND_SOLID);
  SetClsColor(0, 0, 0);
  Cls();
  SetColor(255, 255, 255);
  DrawRect(10, 10, 20, 10);
  EXPECT_EQ(ScreenPixel(10, 10), (Rgb{255, 255, 255}));
  EXPECT_EQ(ScreenPixel(29, 19), (Rgb{255, 255, 255}));
  EXPECT_EQ(ScreenPixel(30, 10), (Rgb{0, 0, 0}));
  EXPECT_EQ(ScreenPixel(10, 20), (Rgb{0, 0, 0}));
  SetColor(0, 255, 0);
  Plot(5, 5);
  EXPECT_EQ(ScreenPixel(5, 5), (Rgb{0, 255, 0}));
  EXPECT_EQ(ScreenPixel(0, 0), (Rgb{0, 0, 0})) << "GrabPixmap(0, 0, 1, 1) is the top-left pixel";
  Plot(0, 0);
  EXPECT_EQ(ScreenPixel(0, 0), (Rgb{0, 255, 0}));
  DrawLine(40, 40, 50, 40, 1);
  EXPECT_EQ(ScreenPixel(40, 40), (Rgb{0, 255, 0}));
  EXPECT_EQ(ScreenPixel(50, 40), (Rgb{0, 255, 0})) << "the last pixel";
  EXPECT_EQ(ScreenPixel(51, 40), (Rgb{0, 0, 0}));
  SetColor(0, 0, 255);
  DrawOval(100, 100, 20, 20);
  EXPECT_EQ(ScreenPixel(110, 110), (Rgb{0, 0, 255}));
  EXPECT_EQ(ScreenPixel(101, 101), (Rgb{0, 0, 0})) << "outside the circle, inside its box";
  const float triangle[] = {150, 10, 180, 10, 150, 40};
  DrawPoly(triangle);
  EXPECT_EQ(ScreenPixel(155, 15), (Rgb{0, 0, 255}));
  EXPECT_EQ(ScreenPixel(178, 38), (Rgb{0, 0, 0}));
}

TEST_F(GLVex2D, OutlineModeDrawsShapesAsOutlines) {
  SetBlend(BLEND_SOLID);
  Cls();
  SetColor(255, 255, 255);
  SetPolygonOutlineMode(true);
  DrawRect(60, 60, 20, 20);
  SetPolygonOutlineMode(false);
  EXPECT_EQ(ScreenPixel(70, 70), (Rgb{0, 0, 0}));
  EXPECT_EQ(ScreenPixel(70, 60), (Rgb{255, 255, 255}));
  DrawRect(60, 60, 20, 20);
  EXPECT_EQ(ScreenPixel(70, 70), (Rgb{255, 255, 255}));
}

TEST_F(GLVex2D, LineWidthIsPassedOnUnchecked) {
  while (glGetError() != GL_NO_ERROR) {
  }
  SetLineWidth(3);
  GLfloat width = 0;
  glGetFloatv(GL_LINE_WIDTH, &width);
  EXPECT_FLOAT_EQ(width, 3);
  SetLineWidth(0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE)) << "0 reaches glLineWidth";
  EXPECT_EQ(GetLineWidth(), 0.0f);
}
