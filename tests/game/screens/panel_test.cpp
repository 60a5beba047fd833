// The panel: the fill one pixel inside, then the white outline, for the box and for the disc.
#include "game/screens/panel.h"

#include <gtest/gtest.h>

#include "game/world/game_state.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/game_fixture.h"
#include "tests/support/recording_vex2d_driver.h"

namespace {
using Args = std::vector<double>;
using Names = std::vector<std::string>;

struct Panel : GameStateTest {
  TRecordingSession session;
};

TEST_F(Panel, OpenBoxIsFilledInsideItsOutline) {
  Game().boxW = 400;
  Game().boxH = 501;
  session.driver.Clear();
  DrawPanel();
  const auto& calls = session.driver.calls;
  ASSERT_EQ(session.driver.Names(),
            (Names{"SetBlend", "SetAlpha", "SetColor", "DrawRect", "SetColor",
                   "SetPolygonOutlineMode", "DrawLine", "Plot", "DrawLine", "Plot", "DrawLine",
                   "Plot", "DrawLine", "Plot", "SetPolygonOutlineMode"}));
  EXPECT_EQ(calls[0].args, (Args{BLEND_ALPHA}));
  EXPECT_EQ(calls[1].args, (Args{0.9f}));
  EXPECT_EQ(calls[2].args, (Args{0, 0, 0}));
  EXPECT_EQ(calls[3].args, (Args{0, 0, 398, 499, 201, 51}));
  EXPECT_EQ(calls[4].args, (Args{255, 255, 255}));
  EXPECT_EQ(calls[5].args, (Args{1}));
  // Top, left, right, bottom: the box covers x 200 to 600 and y 50 to 551.
  EXPECT_EQ(calls[6].args, (Args{0, 0, 400, 0, 200, 50}));
  EXPECT_EQ(calls[8].args, (Args{0, 0, 0, 501, 200, 50}));
  EXPECT_EQ(calls[10].args, (Args{0, 0, 0, 501, 600, 50}));
  EXPECT_EQ(calls[12].args, (Args{0, 0, 400, 0, 200, 551}));
  EXPECT_EQ(calls[13].args, (Args{600, 551}));
  EXPECT_EQ(calls[14].args, (Args{0}));
  // The texts that follow are drawn with what the panel leaves.
  EXPECT_EQ(GetBlend(), BLEND_ALPHA);
  EXPECT_EQ(GetAlpha(), 0.9f);
}

TEST_F(Panel, WideningLineHasANegativeFill) {
  Game().boxW = 10;
  Game().boxH = 1;
  session.driver.Clear();
  DrawPanel();
  const auto rects = session.driver.CallsNamed("DrawRect");
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].args, (Args{0, 0, 8, -1, 396, 301}));
  EXPECT_EQ(session.driver.CallsNamed("DrawLine")[0].args, (Args{0, 0, 10, 0, 395, 300}));
}

TEST_F(Panel, ClosedPanelsDrawNothingButTheirState) {
  Game().boxW = 0;
  Game().boxH = -9;
  Game().disc = 0;
  session.driver.Clear();
  DrawPanel();
  EXPECT_EQ(session.driver.Names(), (Names{"SetBlend", "SetAlpha", "SetColor", "SetColor",
                                           "SetPolygonOutlineMode", "SetPolygonOutlineMode"}));
}

TEST_F(Panel, DiscIsFilledThenOutlined) {
  Game().disc = 500;
  session.driver.Clear();
  DrawPanel();
  const auto ovals = session.driver.CallsNamed("DrawOval");
  ASSERT_EQ(ovals.size(), 2u);
  EXPECT_EQ(ovals[0].args, (Args{0, 0, 498, 498, 151, 51}));
  EXPECT_EQ(ovals[1].args, (Args{0, 0, 500, 500, 150, 50}));
  // Only the second oval is drawn in outline mode, which ends with the panel.
  EXPECT_EQ(session.driver.Names(),
            (Names{"SetBlend", "SetAlpha", "SetColor", "DrawOval", "SetColor",
                   "SetPolygonOutlineMode", "DrawOval", "SetPolygonOutlineMode"}));
  EXPECT_EQ(session.driver.CallsNamed("SetPolygonOutlineMode")[0].args, (Args{1}));
  EXPECT_EQ(session.driver.CallsNamed("SetPolygonOutlineMode")[1].args, (Args{0}));
  EXPECT_TRUE(session.driver.CallsNamed("DrawRect").empty());
}
}  // namespace
