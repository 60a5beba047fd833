// Texture frames on real OpenGL (Xvfb with Mesa): sizes, texture coordinates, edge padding,
// filters and mipmaps, rebuilding under a new graphics serial, and release of the texture.
#include "render2d/gl/gl_image_frame.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "imagetext/image/image.h"
#include "platform/core/numeric.h"
#include "platform/core/runtime_error.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"
#include "render2d/gl/gl_state_cache.h"
#include "render2d/gl/gl_vex2d_driver.h"
#include "tests/support/graphics_fixtures.h"

namespace {
class GLTextures : public OpenGLGraphicsTest {
 protected:
  GLTextures() : OpenGLGraphicsTest(160, 120) {}

  static std::shared_ptr<TGLImageFrame> MakeFrame(const TPixmap& pixmap, int flags) {
    return std::dynamic_pointer_cast<TGLImageFrame>(
        GetGLVex2DDriver()->CreateFrameFromPixmap(pixmap, flags));
  }
};

// A distinct colour for every pixel, so that any misplaced texel shows.
PixmapRef Gradient(int width, int height) {
  PixmapRef pixmap = TPixmap::Create(width, height, RGBA8888, 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixmap->WritePixel(
          x, y,
          static_cast<int>((200u + x + y) << 24 | (10u * x + 1) << 16 | (20u * y + 2) << 8 | 100u));
  return pixmap;
}

struct TLevel {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  // As a colour value: alpha in the top byte, then red, green, blue.
  int At(int x, int y) const {
    const std::uint8_t* p = &rgba[(y * width + x) * 4];
    return static_cast<int>(static_cast<unsigned>(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2]);
  }
};

TLevel ReadLevel(unsigned name, int level) {
  BindTexture(GL_TEXTURE_2D, name);
  TLevel result;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &result.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &result.height);
  result.rgba.resize(static_cast<std::size_t>(result.width * result.height * 4));
  if (!result.rgba.empty())
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, result.rgba.data());
  return result;
}

int TextureParameter(unsigned name, GLenum parameter) {
  BindTexture(GL_TEXTURE_2D, name);
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
  return value;
}
}  // namespace

TEST(TextureSize, NextPowerOfTwoDoublesFromOne) {
  const std::vector<std::pair<int, int>> cases = {{-3, 1}, {0, 1},  {1, 1},   {2, 2},      {3, 4},
                                                  {8, 8},  {9, 16}, {17, 32}, {1000, 1024}};
  for (const auto& [n, expected] : cases) EXPECT_EQ(NextPowerOfTwo(n), expected) << n;
}

TEST(TextureSize, NextPowerOfTwoStopsAtTheLargestIntPower) {
  EXPECT_EQ(NextPowerOfTwo(1 << 30), 1 << 30);
  EXPECT_EQ(NextPowerOfTwo((1 << 30) + 1), 1 << 30);
  EXPECT_EQ(NextPowerOfTwo(std::numeric_limits<int>::max()), 1 << 30);
}

TEST(TextureSize, NothingAcceptedDownToOneTexelRaisesTheError) {
  // In a fresh process no OpenGL context is current, so the proxy check accepts no size at all:
  // the sizes must halve down to 1 x 1 and then give up with the error.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        int width = 300;
        int height = 5;
        try {
          FitTextureSize(width, height);
        } catch (const RuntimeError& error) {
          std::fprintf(stderr, "%s at %dx%d", error.what(), width, height);
          std::_Exit(3);
        }
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(3), "^Unable to calculate tex size at 1x1$");
}

TEST_F(GLTextures, PowerOfTwoPictureFillsItsTexture) {
  const PixmapRef picture = Gradient(8, 16);
  const auto frame = MakeFrame(*picture, 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->u0, 0.0f);
  EXPECT_EQ(frame->v0, 0.0f);
  EXPECT_EQ(frame->u1, 1.0f);
  EXPECT_EQ(frame->v1, 1.0f);
  EXPECT_EQ(frame->seq, GraphicsSerial());
  const TLevel level = ReadLevel(frame->name, 0);
  ASSERT_EQ(level.width, 8);
  ASSERT_EQ(level.height, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(level.At(x, y), picture->ReadPixel(x, y)) << x << "," << y;
}

TEST_F(GLTextures, SmallerPictureSitsTopLeftWithItsEdgesRepeated) {
  const PixmapRef picture = Gradient(5, 3);
  const auto frame = MakeFrame(*picture, 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->u1, 0.625f);
  EXPECT_EQ(frame->v1, 0.75f);
  const TLevel level = ReadLevel(frame->name, 0);
  ASSERT_EQ(level.width, 8);
  ASSERT_EQ(level.height, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      // Column 5 repeats column 4, row 3 repeats row 2; what lies beyond stays transparent black.
      const int expected =
          x <= 5 && y <= 3 ? picture->ReadPixel(std::min(x, 4), std::min(y, 2)) : 0;
      EXPECT_EQ(level.At(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(GLTextures, WindowOfALargerPixmapIsUploadedAlongItsParentsRows) {
  // The window fills its texture exactly, so it is uploaded in place: its rows lie one parent
  // row apart in memory, not one window row.
  const PixmapRef parent = Gradient(16, 8);
  const PixmapRef window = parent->Window(3, 2, 8, 4);
  ASSERT_GT(window->pitch, window->width * 4);
  const auto frame = MakeFrame(*window, 0);
  ASSERT_NE(frame, nullptr);
  const TLevel level = ReadLevel(frame->name, 0);
  ASSERT_EQ(level.width, 8);
  ASSERT_EQ(level.height, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(level.At(x, y), parent->ReadPixel(3 + x, 2 + y)) << x << "," << y;
}

TEST_F(GLTextures, PaddedPictureIsDrawnWithItsOwnTextureCoordinates) {
  // A 5 x 3 picture in an 8 x 4 texture, each picture pixel blown up to a 4 x 4 square: only
  // texture coordinates up to 0.625 and 0.75 keep every square the colour of its own pixel.
  const PixmapRef picture = Gradient(5, 3);
  const ImageRef image = TImage::Load(picture, 0, 0, 0, 0);
  SetBlend(BLEND_SOLID);
  SetColor(255, 255, 255);
  SetDrawScale(4, 4);
  DrawImageAt(*image, 20, 30, 0);
  SetDrawScale(1, 1);
  const PixmapRef screen = GrabPixmap(20, 30, 20, 12);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 5; ++column) {
      EXPECT_EQ(screen->ReadPixel(column * 4 + 2, row * 4 + 2) & 0xffffff,
                picture->ReadPixel(column, row) & 0xffffff)
          << "picture pixel " << column << "," << row;
    }
  }
}

TEST_F(GLTextures, PicturesInOtherFormatsAreUploadedAsRGBA) {
  PixmapRef rgb = TPixmap::Create(4, 2, RGB888, 4);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      rgb->WritePixel(x, y, static_cast<int>(0xff000000u | (x * 60u) << 16 | (y * 90u)));
  const auto frame = MakeFrame(*rgb, 0);
  ASSERT_NE(frame, nullptr);
  const TLevel level = ReadLevel(frame->name, 0);
  ASSERT_EQ(level.width, 4);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(level.At(x, y), rgb->ReadPixel(x, y)) << x << "," << y;
}

TEST_F(GLTextures, FlagsChooseFilteringAndMipmaps) {
  const PixmapRef picture = Gradient(8, 16);
  const auto plain = MakeFrame(*picture, 0);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(TextureParameter(plain->name, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
  EXPECT_EQ(TextureParameter(plain->name, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
  EXPECT_EQ(TextureParameter(plain->name, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(TextureParameter(plain->name, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(ReadLevel(plain->name, 1).width, 0) << "no mipmap levels without the flag";

  const auto filtered = MakeFrame(*picture, 2);
  EXPECT_EQ(TextureParameter(filtered->name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(TextureParameter(filtered->name, GL_TEXTURE_MIN_FILTER), GL_LINEAR);

  const auto nearest_mipmapped = MakeFrame(*picture, 4);
  EXPECT_EQ(TextureParameter(nearest_mipmapped->name, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
  EXPECT_EQ(TextureParameter(nearest_mipmapped->name, GL_TEXTURE_MIN_FILTER),
            GL_NEAREST_MIPMAP_NEAREST);

  const auto mipmapped = MakeFrame(*picture, 6);
  EXPECT_EQ(TextureParameter(mipmapped->name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(TextureParameter(mipmapped->name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  const int sizes[][2] = {{8, 16}, {4, 8}, {2, 4}, {1, 2}, {1, 1}};
  for (int level = 0; level < 5; ++level) {
    const TLevel read = ReadLevel(mipmapped->name, level);
    EXPECT_EQ(read.width, sizes[level][0]) << "level " << level;
    EXPECT_EQ(read.height, sizes[level][1]) << "level " << level;
  }
  EXPECT_EQ(ReadLevel(mipmapped->name, 5).width, 0) << "the chain ends at 1 x 1";
}

TEST_F(GLTextures, MipmapLevelsHoldTheHalvedPicture) {
  // Left half red, right half blue: every level down to width 2 keeps the halves apart.
  PixmapRef picture = TPixmap::Create(8, 8, RGBA8888, 4);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) picture->WritePixel(x, y, x < 4 ? 0xffff0000 : 0xff0000ff);
  const auto frame = MakeFrame(*picture, 6);
  ASSERT_NE(frame, nullptr);
  for (int level = 1; level <= 2; ++level) {
    const TLevel read = ReadLevel(frame->name, level);
    ASSERT_EQ(read.width, 8 >> level);
    for (int y = 0; y < read.height; ++y) {
      for (int x = 0; x < read.width; ++x) {
        const unsigned expected = x < read.width / 2 ? 0xffff0000 : 0xff0000ff;
        EXPECT_EQ(static_cast<unsigned>(read.At(x, y)), expected)
            << "level " << level << " at " << x << "," << y;
      }
    }
  }
  const TLevel last = ReadLevel(frame->name, 3);
  ASSERT_EQ(last.width, 1);
  EXPECT_EQ(last.At(0, 0) >> 24 & 0xff, 0xff) << "the 1 x 1 level is uploaded too";
}

TEST_F(GLTextures, OversizedPictureIsScaledToTheLargestAcceptedTexture) {
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  ASSERT_GT(max_size, 0);
  const int width = max_size + 1;  // its power of two is twice the maximum
  PixmapRef wide = TPixmap::Create(width, 1, RGBA8888, 4);
  wide->ClearPixels(-1);
  const auto frame = MakeFrame(*wide, 0);
  ASSERT_NE(frame, nullptr);
  const TLevel level = ReadLevel(frame->name, 0);
  EXPECT_EQ(level.width, max_size);
  EXPECT_EQ(level.height, 1);
  EXPECT_EQ(frame->u1, 1.0f) << "the picture is resized to fill the texture it fits";

  // Too tall alike: the height is halved while the width stays at 1.
  PixmapRef tall = TPixmap::Create(1, max_size + 1, RGBA8888, 4);
  tall->ClearPixels(-1);
  const auto tall_frame = MakeFrame(*tall, 0);
  ASSERT_NE(tall_frame, nullptr);
  const TLevel tall_level = ReadLevel(tall_frame->name, 0);
  EXPECT_EQ(tall_level.width, 1);
  EXPECT_EQ(tall_level.height, max_size);
  EXPECT_EQ(tall_frame->v1, 1.0f);
}

TEST_F(GLTextures, EmptyPictureMakesNoFrame) {
  PixmapRef empty = TPixmap::Create(0, 4, RGBA8888, 4);
  EXPECT_EQ(MakeFrame(*empty, 0), nullptr);
}

TEST_F(GLTextures, ImageFrameIsRebuiltAsANewTextureAfterGraphicsReopen) {
  const ImageRef image = TImage::Load(Gradient(8, 16), 0, 0, 0, 0);
  TImageFrame* first = image->Frame(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(image->Frame(0), first) << "reused while the serial stands";
  const int first_serial = GraphicsSerial();
  EXPECT_EQ(image->seqs[0], first_serial);
  const unsigned first_name = dynamic_cast<TGLImageFrame&>(*first).name;

  ASSERT_NE(OpenGraphics(160, 120, 0, 0, 0), nullptr);
  ASSERT_NE(GraphicsSerial(), first_serial);
  auto* rebuilt = dynamic_cast<TGLImageFrame*>(image->Frame(0));
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(rebuilt->seq, GraphicsSerial());
  EXPECT_EQ(image->seqs[0], GraphicsSerial());
  EXPECT_TRUE(glIsTexture(rebuilt->name));
  EXPECT_NE(rebuilt->name, first_name);
  // The frame it replaced was made under the closed graphics: its texture goes all the same.
  EXPECT_FALSE(glIsTexture(first_name));
  const TLevel level = ReadLevel(rebuilt->name, 0);
  ASSERT_EQ(level.width, 8);
  EXPECT_EQ(level.At(3, 5), image->pixmaps[0]->ReadPixel(3, 5));
}

TEST_F(GLTextures, WritingThroughLockRebuildsTheFrame) {
  const ImageRef image = TImage::Load(Gradient(8, 16), 0, 0, 0, 0);
  ASSERT_NE(image->Frame(0), nullptr);
  image->Lock(0, 1, 1)->WritePixel(0, 0, -1);
  EXPECT_EQ(image->seqs[0], 0);
  auto* rebuilt = dynamic_cast<TGLImageFrame*>(image->Frame(0));
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(static_cast<unsigned>(ReadLevel(rebuilt->name, 0).At(0, 0)), 0xffffffffu);
}

TEST_F(GLTextures, ReleasingTheLastReferenceDeletesTheTexture) {
  auto frame = MakeFrame(*Gradient(8, 16), 0);
  ASSERT_NE(frame, nullptr);
  const unsigned name = frame->name;
  EXPECT_TRUE(glIsTexture(name));
  auto second_reference = frame;
  frame.reset();
  EXPECT_TRUE(glIsTexture(name)) << "still referenced";
  second_reference.reset();
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(GLTextures, ReleasingTheBoundTextureLeavesNothingStaleBound) {
  // OpenGL may hand a freed name to the next new texture. If the drawing context kept the freed
  // texture bound, the texture cache would take that later texture for bound and skip binding it.
  PixmapRef white = TPixmap::Create(8, 8, RGBA8888, 4);
  white->ClearPixels(-1);
  PixmapRef red = TPixmap::Create(8, 8, RGBA8888, 4);
  red->ClearPixels(static_cast<int>(0xffff0000u));
  SetBlend(BLEND_SOLID);
  SetColor(255, 255, 255);
  auto frame = MakeFrame(*white, 0);
  ASSERT_NE(frame, nullptr);
  frame->Draw(0, 0, 8, 8, 10, 10);
  const unsigned freed = frame->name;
  frame.reset();
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_NE(static_cast<unsigned>(bound), freed);

  auto replacement = MakeFrame(*red, 0);
  ASSERT_NE(replacement, nullptr);
  replacement->Draw(0, 0, 8, 8, 30, 10);
  const PixmapRef screen = GrabPixmap(30, 10, 8, 8);
  EXPECT_EQ(screen->ReadPixel(4, 4) & 0xffffff, 0xff0000);
}

// Glyph-sized pictures drawn turned, enlarged and at fractional places, as texts are: the packed
// picture must sample exactly the texels a texture of its own gives, on its edges too.
TEST_F(GLTextures, APackedPictureDrawsTheSamePixelsAsOneWithATextureOfItsOwn) {
  std::vector<std::shared_ptr<TGLImageFrame>> neighbours;  // so that it is not the first layer
  for (int i = 0; i < 40; ++i) neighbours.push_back(MakeFrame(*Gradient(7, 9 + i % 3), 16));
  const PixmapRef picture = Gradient(8, 16);
  const auto own = MakeFrame(*picture, 0);
  const auto packed = MakeFrame(*picture, 16);
  ASSERT_EQ(packed->name, neighbours.front()->name) << "one texture for all";
  ASSERT_NE(packed->name, own->name);
  SetBlend(BLEND_ALPHA);
  for (const float degrees : {0.0f, 3.0f, -7.5f, 90.0f, 173.0f}) {
    for (const float scale : {1.0f, 2.0f, 2.7f}) {
      for (const float x : {40.0f, 40.3f, 40.5f, 40.71f}) {
        const float c = CosDeg(degrees) * scale;
        const float s = SinDeg(degrees) * scale;
        GetGLVex2DDriver()->SetTransform(c, -s, s, c);
        PixmapRef drawn[2];
        for (int i = 0; i < 2; ++i) {
          Cls();
          (i == 0 ? own : packed)->Draw(-4, -8, 4, 8, x, 60.25f);
          drawn[i] = GrabPixmap(0, 0, 160, 120);
        }
        for (int y = 0; y < 120; ++y)
          for (int column = 0; column < 160; ++column)
            ASSERT_EQ(drawn[1]->ReadPixel(column, y), drawn[0]->ReadPixel(column, y))
                << "at " << column << "," << y << ", turned " << degrees << ", scaled " << scale
                << ", x " << x;
      }
    }
  }
  GetGLVex2DDriver()->SetTransform(1, 0, 0, 1);
}
