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
#include "tests/support/display.h"
#include "tests/support/gl_probe.h"

namespace {
constexpr int kWidth = 200;
constexpr int kHeight = 150;

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb ScreenPixel(int x, int y) {
  PixmapRef p = GrabPixmap(x, y, 1, 1);
  return {p->pixels[0], p->pixels[1], p->pixels[2]};
}

// The same pixel straight through glReadPixels, rows counted from the bottom.
Rgb ReadPixelsAt(int x, int y) {
  std::uint8_t rgba[4] = {};
  glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}

void ExpectNearRgb(Rgb actual, double r, double g, double b, const std::string& what) {
  EXPECT_NEAR(actual.r, r, 1.01) << what;
  EXPECT_NEAR(actual.g, g, 1.01) << what;
  EXPECT_NEAR(actual.b, b, 1.01) << what;
}

int CurrentAlphaByte() {
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

std::shared_ptr<TVex2DGraphics> OpenVex2D(int width = kWidth, int height = kHeight) {
  return std::dynamic_pointer_cast<TVex2DGraphics>(NewGraphics(width, height, 0, 60, 0));
}

class GLVex2D : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_DISPLAY();
    StartGLVex2DModule();
    SelectGraphicsDriver(GetGLVex2DDriver(), 2);
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
}  // namespace

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
  EnableTexturing(names[0]);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), names[0]);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  glBindTexture(GL_TEXTURE_2D, 0);  // behind the cache's back
  BindTextureName(names[0]);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0) << "the cached name must not be bound again";
  BindTextureName(names[1]);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), names[1]);
  Plot(1, 1);  // primitives draw untextured
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glEnable(GL_TEXTURE_2D);
  DisableTexturing();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "already off as far as the cache knows";
  EnableTexturing(names[1]);
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

TEST_F(GLVex2D, FramesAreMadeInTheSharedContextByTheRegisteredFactory) {
  PixmapRef pixmap = TPixmap::Create(4, 4, RGBA8888);
  SetTextureFrameFactory(nullptr);
  EXPECT_EQ(GetGLVex2DDriver()->CreateFrameFromPixmap(*pixmap, 0), nullptr);

  const void* drawing = CurrentGLContext();
  const void* during = nullptr;
  int seen_flags = 0;
  SetTextureFrameFactory([&](const TPixmap& p, int flags) -> std::shared_ptr<TImageFrame> {
    during = CurrentGLContext();
    seen_flags = flags + p.width;
    return nullptr;
  });
  GetGLVex2DDriver()->CreateFrameFromPixmap(*pixmap, 6);
  EXPECT_NE(during, nullptr);
  EXPECT_NE(during, drawing);
  EXPECT_EQ(seen_flags, 10);
  EXPECT_EQ(CurrentGLContext(), drawing);

  SetTextureFrameFactory([](const TPixmap&, int) -> std::shared_ptr<TImageFrame> {
    throw std::runtime_error("no texture");
  });
  EXPECT_THROW(GetGLVex2DDriver()->CreateFrameFromPixmap(*pixmap, 0), std::runtime_error);
  EXPECT_EQ(CurrentGLContext(), drawing) << "a failed frame leaves the drawing context current";
  SetTextureFrameFactory(nullptr);
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
