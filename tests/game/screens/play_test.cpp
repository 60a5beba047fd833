// One frame of play: steering, hits and losses, the end of a game, the serve release.
#include "game/screens/play.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/screens/screens.h"
#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"
#include "platform/events/event.h"
#include "platform/events/key_codes.h"
#include "tests/support/game_fixture.h"

namespace {

class Play : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    EnterGame();
    ASSERT_EQ(Game().screen, kScreenGame);
    Game().away = false;  // as after the game's first frame, which only re-centres the pointer
  }

  // Replaces the balls by one at (x, y) flying in direction ri.
  static std::shared_ptr<TBall> OnlyBall(float x, float y, float ri) {
    Balls().Clear();
    auto ball = ServeBall();
    ball->x = x;
    ball->y = y;
    ball->ri = ri;
    return ball;
  }
};

TEST_F(Play, ClickOrSpaceReleasesTheServe) {
  RunFrame();
  EXPECT_EQ(Game().paused, 1);
  Click(1);
  RunFrame();
  EXPECT_EQ(Game().paused, 0);
  StartGame();
  TapKey(kKeySpace);
  RunFrame();
  EXPECT_EQ(Game().paused, 0);
}

TEST_F(Play, PausedBallsAreDrawnButDoNotMove) {
  const auto ball = OnlyBall(410, 290, 45);
  ball->hls = 50;
  RunFrames(3);
  EXPECT_EQ(ball->x, 410);
  EXPECT_EQ(ball->y, 290);
  EXPECT_EQ(ball->hls, 47) << "the halo runs down while the serve waits";
  Game().paused = 0;
  RunFrame();
  EXPECT_NE(ball->x, 410);
}

TEST_F(Play, AGameWithNoHitsEndsInTheFrameTheScoreFallsToMinusTen) {
  Game().paused = 0;
  // Balls flying out at the top, far from the paddle at the bottom, never hit it.
  int previous_score = 0;
  for (int frame = 0; frame < 3000 && Game().nextScreen == kScreenGame; ++frame) {
    for (const auto& ball : Balls()) {
      if (ball && ball->die == 0) ball->ri = 0;
    }
    previous_score = Game().score;
    RunFrame();
    ASSERT_EQ(Game().best, 0);
    if (Game().score > -10) {
      EXPECT_EQ(Game().nextScreen, kScreenGame) << "score " << Game().score;
    }
  }
  EXPECT_EQ(Game().score, -10);
  EXPECT_EQ(previous_score, -9);
  EXPECT_EQ(Game().nextScreen, kScreenMenu);
  EXPECT_EQ(Game().highscore, 0);
}

TEST_F(Play, TwoBallsLostInOneFrameStillEndTheGame) {
  Game().paused = 0;
  Game().score = -9;
  Balls().Clear();
  for (const float x : {400.0f, 401.0f}) {
    auto ball = ServeBall();
    ball->x = x;
    ball->y = 41;
    ball->ri = 0;
  }
  // Keep the replacements away from the paddle.
  RunFrame();
  EXPECT_EQ(Game().score, -11);
  EXPECT_EQ(Game().nextScreen, kScreenMenu);
}

TEST_F(Play, LostBallCostsOnePointIsReplacedAtOnceAndFadesOverTenFrames) {
  Game().paused = 0;
  const auto ball = OnlyBall(kCentreX, 41, 0);
  RunFrame();
  EXPECT_EQ(Game().score, -1);
  EXPECT_EQ(Balls().Count(), 2u);
  EXPECT_FLOAT_EQ(ball->die, 0.1f);
  for (int frame = 2; frame <= 9; ++frame) {
    ball->ri = 0;
    RunFrame();
    bool listed = false;
    for (const auto& b : Balls()) listed = listed || b == ball;
    ASSERT_TRUE(listed) << "frame " << frame;
  }
  ball->ri = 0;
  RunFrame();
  for (const auto& b : Balls()) EXPECT_NE(b, ball);
  EXPECT_GT(ball->die, 1.0f);
  EXPECT_EQ(Game().score, -1) << "a fading ball costs nothing more";
}

TEST_F(Play, AHitScoresSpeedsUpAndTurnsTheBallBack) {
  // The paddle at angle 0 sits at (400, 530); the ball flies straight down into it.
  const auto ball = OnlyBall(kCentreX, 525, 180);
  RunFrame();
  EXPECT_EQ(Game().score, 1);
  EXPECT_EQ(Game().best, 1);
  EXPECT_FLOAT_EQ(ball->sp, 2.0f * 1.02f);
  EXPECT_GE(ball->ri, -20.0f);
  EXPECT_LE(ball->ri, 20.0f);
  EXPECT_EQ(ball->hls, 20);
}

TEST_F(Play, TheExtraBallAtTenComesOnce) {
  Game().score = 9;
  Game().best = 9;
  OnlyBall(kCentreX, 525, 180);
  RunFrame();
  EXPECT_EQ(Game().score, 10);
  EXPECT_EQ(Game().level, 2);
  EXPECT_EQ(Balls().Count(), 2u);
  // Back to 9 and up to 10 again: nothing more.
  Game().score = 9;
  OnlyBall(kCentreX, 525, 180);
  RunFrame();
  EXPECT_EQ(Game().score, 10);
  EXPECT_EQ(Game().level, 2);
  EXPECT_EQ(Balls().Count(), 1u);
  Game().score = 19;
  OnlyBall(kCentreX, 525, 180);
  RunFrame();
  EXPECT_EQ(Game().level, 3);
  EXPECT_EQ(Balls().Count(), 2u);
}

TEST_F(Play, ABallFlyingInwardGetsItsHaloButNoPoint) {
  const auto ball = OnlyBall(kCentreX, 525, 0);
  ball->hls = 3;
  RunFrame();
  EXPECT_EQ(Game().score, 0);
  EXPECT_EQ(ball->ri, 0);
  EXPECT_EQ(ball->hls, 20);
}

TEST_F(Play, ArrowKeysAccelerateToSevenAndFrictionBrakes) {
  PressKey(kKeyLeft);
  RunFrame();
  EXPECT_EQ(Game().spin, -0.5f);
  RunFrames(13);
  EXPECT_EQ(Game().spin, -7.0f);
  RunFrames(5);
  EXPECT_EQ(Game().spin, -7.0f);
  ReleaseKey(kKeyLeft);
  RunFrame();
  EXPECT_EQ(Game().spin, -6.5f);
  RunFrames(13);
  EXPECT_EQ(Game().spin, 0.0f);
  PressKey(kKeyRight);
  RunFrames(20);
  EXPECT_EQ(Game().spin, 7.0f);
  ReleaseKey(kKeyRight);
  Game().spin = 0.3f;
  RunFrame();
  EXPECT_EQ(Game().spin, 0.0f) << "below 0.5 the spin snaps to 0";
}

TEST_F(Play, AngleStaysInRange) {
  PressKey(kKeyLeft);
  for (int frame = 0; frame < 200; ++frame) {
    RunFrame();
    ASSERT_GE(Game().angle, 0.0f);
    ASSERT_LT(Game().angle, 360.0f);
  }
  ReleaseKey(kKeyLeft);
  // An angle just below 0 rounds to exactly 360 on the first wrap; the second makes it 0.
  Game().spin = 0;
  Game().angle = -1e-6f;
  RunFrame();
  EXPECT_EQ(Game().angle, 0.0f);
  Game().angle = 359.5f;
  MoveMouse(kCentreX + 3 * 2, kCentreY);
  RunFrame();
  EXPECT_FLOAT_EQ(Game().angle, 1.5f);
}

TEST_F(Play, MouseTurnsThePaddleByAThirdOfItsMotion) {
  Game().angle = 100;
  for (const auto& [x, turn] : {std::pair{401, 0},
                                {402, 0},
                                {403, 1},
                                {405, 1},
                                {406, 2},
                                {398, 0},
                                {397, -1},
                                {394, -2},
                                {700, 100}}) {
    Game().angle = 100;
    MoveMouse(x, kCentreY);
    RunFrame();
    EXPECT_EQ(Game().angle, 100.0f + turn) << x;
  }
}

TEST_F(Play, APositionSeenBeforeIsNoNewMotion) {
  Game().angle = 100;
  MoveMouse(kCentreX + 30, kCentreY);
  RunFrames(3);  // no warp of this driver brings the pointer back
  EXPECT_EQ(Game().angle, 110);
  Game().screen = kScreenNone;  // the disc opens again over a new game
  Game().nextScreen = kScreenGame;
  RunFramesUntil([] { return Game().screen == kScreenGame; });
  const float started = Game().angle;
  MoveMouse(700, kCentreY);
  RunFrame();
  EXPECT_EQ(Game().angle, started) << "a new game's first frame only re-centres the pointer";
}

TEST_F(Play, AwayFromTheWindowPlayPausesAndTheReturnDoesNotJerkThePaddle) {
  const auto ball = OnlyBall(410, 290, 45);
  Game().paused = 0;
  Game().angle = 100;
  Game().spin = 5;  // the arrow key let go just before: no coasting while away
  EmitEvent(EVENT_APPSUSPEND, 0, 0, 0);
  MoveMouse(700, kCentreY);  // the pointer travels over other windows
  RunFrames(2);
  EXPECT_EQ(Game().paused, 1);
  EXPECT_EQ(Game().angle, 100) << "no steering by a pointer or a spin while away";
  EXPECT_EQ(ball->x, 410);
  EmitEvent(EVENT_APPRESUME, 0, 0, 0);
  RunFrame();
  EXPECT_EQ(Game().angle, 100) << "the first frame back only re-centres the pointer";
  MoveMouse(kCentreX + 3, kCentreY);
  RunFrame();
  EXPECT_EQ(Game().angle, 101);
  EXPECT_EQ(Game().paused, 1) << "play waits for the serve rule";
  Click(kMouseLeft);
  RunFrame();
  EXPECT_EQ(Game().paused, 0);
}
}  // namespace

namespace {
using Args = std::vector<double>;

int CountColour(const TRecordingVex2DDriver& driver, Args colour) {
  int count = 0;
  for (const auto& call : driver.CallsNamed("SetColor")) count += call.args == colour;
  return count;
}

TEST_F(Play, TheBarShowsTheBallsThatMayStillBeLost) {
  Game().score = 4;
  Game().best = 7;
  RunFrame();
  EXPECT_EQ(CountColour(Recorder(), {7, 10, 0}), 7);
  EXPECT_EQ(CountColour(Recorder(), {7, 4, 10}), 3);
  // Mark 0 stands at x 420, five nested rectangles from y 270.
  const auto rects = Recorder().CallsNamed("DrawRect");
  ASSERT_GE(rects.size(), 50u);
  const std::size_t first = rects.size() - 50;
  EXPECT_EQ(rects[first].args, (Args{0, 0, 4, 10, 420, 270}));
  EXPECT_EQ(rects[first + 4].args, (Args{0, 0, 0, 2, 420, 274}));
  EXPECT_EQ(rects.back().args, (Args{0, 0, 0, 2, 375, 274}));
}

// Textured quads of the frame other than the kept border glow's copies, which span the window's
// width (the recording driver's blank glow is copied as two halves).
std::size_t GlyphDraws(const TRecordingVex2DDriver& driver) {
  std::size_t count = 0;
  for (const auto& quad : driver.CallsNamed("FrameDraw"))
    count += quad.vertices.size() == 4 && !(quad.vertices[0].x == 0 && quad.vertices[2].x == 800);
  return count;
}

TEST_F(Play, TheBestScoreIsShownOnlyWhileTheScoreIsBelowIt) {
  Game().score = 12;
  Game().best = 12;
  RunFrame();
  EXPECT_EQ(GlyphDraws(Recorder()), 2u);
  Game().score = 11;
  RunFrame();
  EXPECT_EQ(GlyphDraws(Recorder()), 2u + 4u) << "\"11\" and \"(12)\"";
}

TEST_F(Play, ThePaddleIsAQuarteredRectangleOnItsCircle) {
  Game().angle = 90;
  RunFrame();
  std::vector<TRecordedCall> paddle;
  for (const auto& call : Recorder().CallsNamed("DrawRect")) {
    if (call.args[4] == 170 && call.args[5] == 300) paddle.push_back(call);
  }
  ASSERT_EQ(paddle.size(), 4u);
  EXPECT_EQ(paddle[0].args, (Args{0, 0, 50, 5, 170, 300}));
  EXPECT_EQ(paddle[3].args, (Args{0, 0, -50, -5, 170, 300}));
  // Turned by 90 degrees: the long side runs down the screen.
  EXPECT_NEAR(paddle[0].vertices[2].x, 170 - 5, 1e-3);
  EXPECT_NEAR(paddle[0].vertices[2].y, 300 + 50, 1e-3);
}

TEST_F(Play, ThePaddleStandsWhereTheLastFrameLeftItButTurnsByThisFramesSteering) {
  Game().angle = 90;
  MoveMouse(kCentreX + 30, kCentreY);  // ten degrees more this frame
  RunFrame();
  ASSERT_EQ(Game().angle, 100.0f);
  std::vector<TRecordedCall> paddle;
  for (const auto& call : Recorder().CallsNamed("DrawRect")) {
    if (call.args[4] == 170 && call.args[5] == 300) paddle.push_back(call);
  }
  ASSERT_EQ(paddle.size(), 4u) << "centred where angle 90 puts it";
  // The quarter right below the centre, (50, 5) in the paddle's frame, turned by 100 degrees.
  const double turn = 100 * 3.14159265358979323846 / 180;
  EXPECT_NEAR(paddle[0].vertices[2].x, 170 + 50 * std::cos(turn) - 5 * std::sin(turn), 1e-3);
  EXPECT_NEAR(paddle[0].vertices[2].y, 300 + 50 * std::sin(turn) + 5 * std::cos(turn), 1e-3);
}
}  // namespace
