// Texts in rainbow colours: centring, per-character colour and tilt, and the generator left as
// it was.
#include "game/screens/rainbow_text.h"

#include <gtest/gtest.h>

#include "game/random/random.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/game_fixture.h"
#include "tests/support/recording_vex2d_driver.h"

namespace {
using Args = std::vector<double>;

struct RainbowText : GameStateTest {
  TRecordingSession session;
};

TEST_F(RainbowText, LeavesTheGeneratorAsItFoundIt) {
  RandomUnit();
  const int before = GetRandomSeed();
  const double next = RandomUnit();
  SetRandomSeed(before);
  DrawRainbowText(u"Zirkulon", 400, 80, 0, 3.0f);
  DrawRainbowText(u"17", 400, 290, 17 * 2000, 3.0f);
  EXPECT_EQ(GetRandomSeed(), before);
  EXPECT_EQ(RandomUnit(), next);
}

TEST_F(RainbowText, EachCharacterGetsItsColourAndTiltFromTheSeed) {
  session.driver.Clear();
  DrawRainbowText(u"Zirkulon", 400, 80, 0, 3.0f);
  SetRandomSeed(400 * 80 * 8);
  const auto colours = session.driver.CallsNamed("SetColor");
  const auto glyphs = session.driver.CallsNamed("FrameDraw");
  ASSERT_EQ(colours.size(), 8u);
  ASSERT_EQ(glyphs.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    const int blue = RandomInt(100, 255);
    const int green = RandomInt(100, 255);
    const int red = RandomInt(100, 255);
    RandomInt(-10, 10);
    EXPECT_EQ(colours[i].args, (Args{static_cast<double>(red), static_cast<double>(green),
                                     static_cast<double>(blue)}))
        << i;
    // 400 - 64 * 3 / 2 = 304, then 24 pixels a character, whatever the tilt.
    EXPECT_EQ(glyphs[i].args[4], 304 + 24 * i) << i;
    EXPECT_EQ(glyphs[i].args[5], 80) << i;
  }
  float sx = 0;
  float sy = 0;
  GetDrawScale(sx, sy);
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
}

TEST_F(RainbowText, TiltIsAWholeDegreeBetweenMinusAndPlusTen) {
  DrawRainbowText(u"Zirkulon ist ein Plonkoaehnliches", 400, 115, 0, 1.3f);
  SetRandomSeed(400 * 115 * 33);
  float last = 0;
  for (int i = 0; i < 33; ++i) {
    for (int c = 0; c < 3; ++c) RandomInt(100, 255);
    last = static_cast<float>(RandomInt(-10, 10));
  }
  EXPECT_EQ(GetDrawRotation(), last) << "the last character's tilt stays in place";
}

TEST_F(RainbowText, SeedZeroSeedsWithPositionTimesLength) {
  DrawRainbowText(u"0", 0, 0, 1, 1.0f);  // the glyph's frame is made on its first use
  SetDrawRotation(0);
  session.driver.Clear();
  DrawRainbowText(u"0", 400, 290, 0, 3.0f);
  const auto by_position = session.driver.calls;
  const auto colours_by_position = session.driver.CallsNamed("SetColor");
  SetDrawRotation(0);
  session.driver.Clear();
  DrawRainbowText(u"0", 400, 290, 400 * 290 * 1, 3.0f);
  ASSERT_EQ(session.driver.calls.size(), by_position.size());
  for (std::size_t i = 0; i < by_position.size(); ++i) {
    EXPECT_EQ(session.driver.calls[i].name, by_position[i].name);
    EXPECT_EQ(session.driver.calls[i].args, by_position[i].args) << by_position[i].name;
  }
  session.driver.Clear();
  DrawRainbowText(u"0", 400, 290, 400 * 290 * 1 + 1, 3.0f);
  EXPECT_NE(session.driver.CallsNamed("SetColor").at(0).args, colours_by_position.at(0).args);
}

TEST_F(RainbowText, ScaledAdvancesAreTruncatedAfterSummingInFloat) {
  session.driver.Clear();
  // "ab" is 16 pixels wide: the start is 100 - 16 * 1.3 / 2 = 89.6, truncated to 89; the second
  // character follows at 89 + 8 * 1.3 = 99.4, truncated to 99.
  DrawRainbowText(u"ab", 100, 10, 5, 1.3f);
  const auto glyphs = session.driver.CallsNamed("FrameDraw");
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].args[4], 89);
  EXPECT_EQ(glyphs[1].args[4], 99);
}
}  // namespace
