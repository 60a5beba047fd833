// Text drawn through the OpenGL back end and read back from the screen: every pixel of a glyph
// cell must be ink or background exactly as the embedded font says, wherever the drawing state
// puts the cell.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "imagetext/font/font_data.h"
#include "imagetext/text/text.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"
#include "render2d/gl/gl_vex2d_driver.h"
#include "tests/support/graphics_fixtures.h"

namespace {
constexpr int kBlack = 0x000000;
constexpr int kWhite = 0xffffff;

class TextOnScreen : public OpenGLGraphicsTest {
 protected:
  TextOnScreen() : OpenGLGraphicsTest(320, 240) {}
  void SetUp() override {
    OpenGLGraphicsTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    SetClsColor(0, 0, 0);
    Cls();
  }
};

// Whether pixel (column, row) of the glyph for `code` is ink.
bool Ink(char16_t code, int column, int row) {
  if (column < 0 || column >= 8 || row < 0 || row >= 16) return false;
  return FontPixelIsSet(FindEmbeddedResource("zelkfont.bin"), code - 32, column, row);
}

// Compares the screen rectangle, colour by colour (alpha ignored), with the expectation and lists
// the first mismatches.
void ExpectScreen(int left, int top, int width, int height,
                  const std::function<int(int x, int y)>& expected) {
  const PixmapRef screen = GrabPixmap(left, top, width, height);
  std::ostringstream mismatches;
  int count = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int actual = screen->ReadPixel(x, y) & 0xffffff;
      const int wanted = expected(left + x, top + y);
      if (actual == wanted) continue;
      if (++count <= 8)
        mismatches << " (" << left + x << "," << top + y << ") is " << std::hex << actual << " not "
                   << wanted << std::dec << ";";
    }
  }
  EXPECT_EQ(count, 0) << "mismatching pixels:" << mismatches.str();
}
}  // namespace

TEST_F(TextOnScreen, TwoGlyphsLandSideBySideAtThePosition) {
  DrawString(u"AB", 100, 50);
  ExpectScreen(90, 40, 40, 36, [](int x, int y) {
    const bool ink = x < 108 ? Ink('A', x - 100, y - 50) : Ink('B', x - 108, y - 50);
    return ink ? kWhite : kBlack;
  });
}

TEST_F(TextOnScreen, TabTakesNoSpace) {
  DrawString(u"\tA", 100, 50);
  ExpectScreen(90, 40, 30, 36,
               [](int x, int y) { return Ink('A', x - 100, y - 50) ? kWhite : kBlack; });
}

TEST_F(TextOnScreen, RotationNinetyTurnsTheGlyphClockwise) {
  SetDrawRotation(90);
  DrawString(u"A", 100, 50);
  // Local x runs down the screen and local y to the left: glyph pixel (c, r) is screen
  // pixel (99 - r, 50 + c).
  ExpectScreen(76, 40, 34, 28,
               [](int x, int y) { return Ink('A', y - 50, 99 - x) ? kWhite : kBlack; });
}

TEST_F(TextOnScreen, ScaleTwoDoublesEveryGlyphPixel) {
  SetDrawScale(2, 2);
  DrawString(u"AB", 100, 50);
  ExpectScreen(96, 46, 40, 40, [](int x, int y) {
    const int lx = (x - 100) >= 0 ? (x - 100) / 2 : -1;
    const int ly = (y - 50) >= 0 ? (y - 50) / 2 : -1;
    const bool ink = lx < 8 ? Ink('A', lx, ly) : Ink('B', lx - 8, ly);
    return ink ? kWhite : kBlack;
  });
}

TEST_F(TextOnScreen, HandleAndOriginMoveTheText) {
  SetDrawHandle(8, 0);
  DrawString(u"A", 100, 50);
  ExpectScreen(86, 44, 20, 28,
               [](int x, int y) { return Ink('A', x - 92, y - 50) ? kWhite : kBlack; });
  Cls();
  SetDrawHandle(0, 0);
  SetDrawOrigin(10, 20);
  DrawString(u"A", 0, 0);
  ExpectScreen(0, 0, 30, 44,
               [](int x, int y) { return Ink('A', x - 10, y - 20) ? kWhite : kBlack; });
}

TEST_F(TextOnScreen, MaskModeLeavesTheBackgroundAndSolidModePaintsItBlack) {
  constexpr int kRed = 0xff0000;
  constexpr int kGreen = 0x00ff00;
  SetBlend(BLEND_SOLID);
  SetColor(255, 0, 0);
  DrawRect(80, 40, 80, 40);
  // Glyph ink takes the drawing colour.
  SetColor(0, 255, 0);
  SetBlend(BLEND_MASK);
  DrawString(u"A", 100, 50);
  SetBlend(BLEND_SOLID);
  DrawString(u"B", 130, 50);
  ExpectScreen(80, 40, 80, 40, [](int x, int y) {
    if (x >= 100 && x < 108 && y >= 50 && y < 66) return Ink('A', x - 100, y - 50) ? kGreen : kRed;
    if (x >= 130 && x < 138 && y >= 50 && y < 66)
      return Ink('B', x - 130, y - 50) ? kGreen : kBlack;
    return kRed;
  });
}

TEST_F(TextOnScreen, GlyphsAreDrawnAgainAfterTheGraphicsReopen) {
  DrawString(u"A", 100, 50);
  ASSERT_NE(OpenGraphics(320, 240, 0, 0, 0), nullptr);
  SetClsColor(0, 0, 0);
  Cls();
  DrawString(u"A", 100, 50);
  ExpectScreen(96, 46, 16, 24,
               [](int x, int y) { return Ink('A', x - 100, y - 50) ? kWhite : kBlack; });
}
