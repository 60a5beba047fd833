// The menu, help and farewell texts: where their lines stand and what they show.
#include "game/screens/screen_texts.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "game/world/game_state.h"
#include "imagetext/text/text.h"
#include "tests/support/game_fixture.h"

namespace {
struct ScreenTexts : GameStateTest {
  // Glyph quads by the y of their line, in drawing order.
  std::map<double, std::vector<TRecordedCall>> GlyphsByLine() const {
    std::map<double, std::vector<TRecordedCall>> lines;
    for (const auto& quad : session.driver.CallsNamed("FrameDraw"))
      lines[quad.args[5]].push_back(quad);
    return lines;
  }
  TRecordingSession session;
};

TEST_F(ScreenTexts, HelpHasATitleAnd23LinesEighteenPixelsApart) {
  DrawHelp();
  const auto lines = GlyphsByLine();
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines.begin()->first, 60);
  int k = 1;
  for (auto line = std::next(lines.begin()); line != lines.end(); ++line, ++k) {
    EXPECT_EQ(line->first, 97 + 18 * k) << "line " << k;
  }
}

TEST_F(ScreenTexts, TrailingBlanksMoveALineToTheLeft) {
  DrawHelp();
  // "Spiel, in dem es darum geht, die " has 33 characters with its blank: it starts at
  // 400 - 33 * 8 * 1.3 / 2 = 228.4, truncated; without the blank it would start at 233.
  const auto line = GlyphsByLine().at(133);
  EXPECT_EQ(line.front().args[4], 228);
}

TEST_F(ScreenTexts, EveryHelpLineStartsWhereItsLengthWithBlanksPutsIt) {
  DrawHelp();
  const auto lines = GlyphsByLine();
  // 400 - 8 * length * 1.3 / 2, truncated, for the 23 lines in order.
  const int starts[23] = {228, 228, 228, 249, 358, 228, 244, 218, 228, 218, 238, 238,
                          264, 244, 290, 238, 363, 223, 223, 223, 233, 233, 207};
  for (int k = 1; k <= 23; ++k) {
    ASSERT_EQ(lines.count(97 + 18 * k), 1u) << "line " << k;
    EXPECT_EQ(lines.at(97 + 18 * k).front().args[4], starts[k - 1]) << "line " << k;
  }
}

TEST_F(ScreenTexts, MenuShowsTheHighScore) {
  Game().highscore = 1234;
  DrawMenu();
  const auto lines = GlyphsByLine();
  ASSERT_EQ(lines.count(470), 1u);
  EXPECT_EQ(lines.at(470).size(), 4u);
  EXPECT_EQ(lines.at(80).size(), 8u) << "the title";
}

TEST_F(ScreenTexts, TheFarewellAddressFitsTheBoxAtScaleThree) {
  const std::u16string address = kFarewellAddress;
  EXPECT_LE(address.size(), 16u);
  EXPECT_LE(StringWidth(address) * 3, 400);
  DrawFarewell();
  const auto lines = GlyphsByLine();
  ASSERT_EQ(lines.count(460), 1u);
  EXPECT_GE(lines.at(460).front().args[4], 200);
}
}  // namespace
