// One frame of the loop: what it draws first, the world it starts with, and the ways out.
#include "game/screens/frame.h"

#include <gtest/gtest.h>

#include "game/world/background.h"
#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "platform/events/event.h"
#include "tests/support/game_fixture.h"

namespace {
using Frame = GameTest;

TEST_F(Frame, TheWorldStartsWith150RectanglesAndOneBall) {
  CreateGameWorld();
  EXPECT_EQ(Rects().Count(), 150u);
  EXPECT_EQ(Balls().Count(), 1u);
  // The field stays at 150 while rectangles leave and are replaced.
  RunFrames(600);
  EXPECT_EQ(Rects().Count(), 150u);
}

TEST_F(Frame, AFrameClearsThenDrawsTheGlowBeforeAnythingElse) {
  CreateGameWorld();
  RunFrame();
  const auto& calls = Recorder().calls;
  ASSERT_GT(calls.size(), 3u);
  EXPECT_EQ(calls[0].name, "Cls");
  const auto rects = Recorder().CallsNamed("DrawRect");
  ASSERT_FALSE(rects.empty());
  EXPECT_EQ(rects[0].args, (std::vector<double>{0, 0, 798, 598, 1, 1}));
}

TEST_F(Frame, TheCloseButtonLeavesTheLoop) {
  OpenMenu();
  EXPECT_TRUE(RunFrame());
  EmitEvent(EVENT_APPTERMINATE, 0, 0, 0);
  EXPECT_FALSE(RunFrame());
  EXPECT_TRUE(RunFrame()) << "the request is read once";
}

}  // namespace
