// Text drawing and measuring against the recording driver: where each glyph quad lands under
// origin, handle, rotation and scale, which characters take space, and font selection.
#include "imagetext/text/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/graphics/graphics.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/graphics_fixtures.h"

namespace {
class TextOnRecorder : public RecordedGraphicsTest {
 protected:
  std::vector<TRecordedCall> Quads() const { return driver.CallsNamed("FrameDraw"); }
};

void ExpectQuad(const TRecordedCall& quad, float left, float top, float right, float bottom) {
  ASSERT_EQ(quad.vertices.size(), 4u);
  EXPECT_EQ(quad.vertices[0], (TVertex2D{left, top}));
  EXPECT_EQ(quad.vertices[1], (TVertex2D{right, top}));
  EXPECT_EQ(quad.vertices[2], (TVertex2D{right, bottom}));
  EXPECT_EQ(quad.vertices[3], (TVertex2D{left, bottom}));
}

void ExpectNear(TVertex2D actual, float x, float y) {
  EXPECT_NEAR(actual.x, x, 1e-4) << "x of (" << actual.x << ", " << actual.y << ")";
  EXPECT_NEAR(actual.y, y, 1e-4) << "y of (" << actual.x << ", " << actual.y << ")";
}
}  // namespace

TEST_F(TextOnRecorder, GlyphsFollowOneAnotherEightPixelsApart) {
  DrawString(u"AB", 100, 50);
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 2u);
  ExpectQuad(quads[0], 100, 50, 108, 66);
  ExpectQuad(quads[1], 108, 50, 116, 66);
  // Each glyph gets its own 8 x 16 frame made once, to be packed with the others: A and B.
  const auto frames = driver.CallsNamed("CreateFrameFromPixmap");
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].args, (std::vector<double>{8, 16, PACKEDIMAGE}));
}

TEST_F(TextOnRecorder, FramesAreMadeOncePerGlyphAndGraphicsSerial) {
  DrawString(u"ABBA", 0, 0);
  DrawString(u"BAA", 0, 20);
  EXPECT_EQ(driver.CallsNamed("CreateFrameFromPixmap").size(), 2u);
  EXPECT_EQ(Quads().size(), 7u);
  // Reopening the graphics moves the serial on: every glyph is made afresh on its next draw.
  ASSERT_NE(OpenGraphics(800, 600, 0, 0, 0), nullptr);
  driver.Clear();
  DrawString(u"AB", 0, 0);
  EXPECT_EQ(driver.CallsNamed("CreateFrameFromPixmap").size(), 2u);
}

TEST_F(TextOnRecorder, RotatedTextRunsAlongTheMatrixXColumn) {
  SetDrawRotation(90);
  DrawString(u"AB", 100, 50);
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 2u);
  ExpectNear(quads[0].vertices[0], 100, 50);
  ExpectNear(quads[0].vertices[1], 100, 58);
  ExpectNear(quads[0].vertices[2], 84, 58);
  ExpectNear(quads[0].vertices[3], 84, 50);
  // The second character starts where the first one's pen left off, below it.
  ExpectNear(quads[1].vertices[0], 100, 58);
}

TEST_F(TextOnRecorder, ScaleStretchesGlyphsAndAdvanceButNotTheWidth) {
  SetDrawScale(2, 2);
  DrawString(u"AB", 100, 50);
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 2u);
  ExpectQuad(quads[0], 100, 50, 116, 82);
  ExpectQuad(quads[1], 116, 50, 132, 82);
  EXPECT_EQ(StringWidth(u"AB"), 16);
}

TEST_F(TextOnRecorder, HandleLandsOnTheDrawingPosition) {
  SetDrawHandle(8, 0);
  DrawString(u"A", 100, 50);
  ASSERT_EQ(Quads().size(), 1u);
  ExpectQuad(Quads()[0], 92, 50, 100, 66);
}

TEST_F(TextOnRecorder, HandleTurnsAndStretchesWithTheText) {
  // The handle is a point in unscaled text coordinates: with scale 2 and a 90 degree turn the
  // handle (8, 4) sits 16 pixels along the turned x axis and 8 along the turned y axis.
  SetDrawHandle(8, 4);
  SetDrawTransform(90, 2, 2);
  DrawString(u"A", 100, 50);
  ASSERT_EQ(Quads().size(), 1u);
  ExpectNear(Quads()[0].vertices[0], 108, 34);
}

TEST_F(TextOnRecorder, OriginMovesTextLikeEveryShape) {
  SetDrawOrigin(10, 20);
  DrawString(u"A", 0, 0);
  ASSERT_EQ(Quads().size(), 1u);
  ExpectQuad(Quads()[0], 10, 20, 18, 36);
}

TEST_F(TextOnRecorder, CharactersWithoutGlyphsNeitherDrawNorTakeSpace) {
  DrawString(u"\tA\u00e4\nB", 100, 50);
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 2u);
  ExpectQuad(quads[0], 100, 50, 108, 66);
  ExpectQuad(quads[1], 108, 50, 116, 66);
  EXPECT_EQ(StringWidth(u"\tAB"), 16);
  EXPECT_EQ(StringWidth(u"\u00e4\u007f\u0080"), 8);
}

TEST_F(TextOnRecorder, SpaceDrawsItsEmptyGlyphAndAdvances) {
  DrawString(u" A", 100, 50);
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 2u);
  ExpectQuad(quads[1], 108, 50, 116, 66);
}

TEST_F(TextOnRecorder, WidthCountsEightPerCharacterAndHeightIsTheFonts) {
  EXPECT_EQ(StringWidth(u""), 0);
  EXPECT_EQ(StringWidth(u"Beenden"), 56);
  EXPECT_EQ(StringWidth(u"Bisher erreichte Hoechstpunktzahl hat"), 37 * 8);
  SetDrawTransform(30, 3, 0.5f);
  SetDrawOrigin(5, 5);
  SetDrawHandle(4, 4);
  EXPECT_EQ(StringWidth(u"Beenden"), 56) << "measuring ignores the drawing state";
  EXPECT_EQ(StringHeight(u""), 16);
  EXPECT_EQ(StringHeight(u"Beenden"), 16);
}

TEST_F(TextOnRecorder, NoFontSelectsTheDefaultFontAgain) {
  const ImageFontRef default_font = GetDrawFont();
  ASSERT_NE(default_font, nullptr);
  EXPECT_EQ(default_font, DefaultImageFont());
  auto other = std::make_shared<TImageFont>();  // no glyphs at all
  SetDrawFont(other);
  EXPECT_EQ(GetDrawFont(), other);
  EXPECT_EQ(StringWidth(u"AB"), 0);
  DrawString(u"AB", 0, 0);
  EXPECT_TRUE(Quads().empty());
  SetDrawFont(nullptr);
  EXPECT_EQ(GetDrawFont(), default_font);
}

TEST_F(TextOnRecorder, ValidateReappliesTheFont) {
  auto other = std::make_shared<TImageFont>();
  SetDrawFont(other);
  TVex2DGraphics::Current()->Validate();
  EXPECT_EQ(GetDrawFont(), other);
  TVex2DGraphics::Current()->image_font = nullptr;
  TVex2DGraphics::Current()->Validate();
  EXPECT_EQ(GetDrawFont(), DefaultImageFont());
}

TEST_F(TextOnRecorder, GlyphOffsetsAndAdvancesTurnWithTheMatrix) {
  // A font of two glyphs: ' ' a 3 x 5 picture offset by (1, -3) advancing 4.25, '!' no picture
  // advancing 6.5. Turned by 90 degrees, local x runs down the screen and local y to the left.
  auto font = std::make_shared<TImageFont>();
  font->_glyphs.resize(2);
  font->_glyphs[0] = std::make_unique<TImageGlyph>();
  font->_glyphs[0]->_image = TImage::Load(TPixmap::Create(3, 5, RGBA8888, 4), 0, 0, 0, 0);
  font->_glyphs[0]->_advance = 4.25f;
  font->_glyphs[0]->_x = 1;
  font->_glyphs[0]->_y = -3;
  font->_glyphs[1] = std::make_unique<TImageGlyph>();
  font->_glyphs[1]->_advance = 6.5f;
  SetDrawFont(font);
  SetDrawRotation(90);
  DrawString(u" !A ", 100, 50);
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 2u) << "'!' has no picture and 'A' no glyph";
  // Pen (100, 50); the picture's corner sits 1 down and 3 right of it.
  ExpectNear(quads[0].vertices[0], 103, 51);
  ExpectNear(quads[0].vertices[1], 103, 54);
  ExpectNear(quads[0].vertices[2], 98, 54);
  // Pen moved down by 4.25 + 6.5.
  ExpectNear(quads[1].vertices[0], 103, 61.75f);
  // Each running sum is truncated: 4, then 10, then 14 (the float total would be 15).
  EXPECT_EQ(StringWidth(u" ! "), 14);
  SetDrawFont(nullptr);
}

TEST_F(TextOnRecorder, PenPositionsAreThirtyTwoBitSums) {
  // At scale 1.3 the pen steps by the float 8 * 1.3; the quads must start exactly there.
  const float scale = 1.3f;
  SetDrawScale(scale, scale);
  DrawString(u"ABC", 0.5f, 0);
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 3u);
  float pen = 0.5f;
  for (const auto& quad : quads) {
    EXPECT_EQ(quad.vertices[0].x, pen);
    pen = pen + 8.0f * scale;
  }
}
