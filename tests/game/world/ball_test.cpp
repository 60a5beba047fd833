// Balls: the serve, the paddle's hit test, the bounce and the flight.
#include "game/world/ball.h"

#include <gtest/gtest.h>

#include "game/random/random.h"
#include "game/world/game_state.h"
#include "tests/support/game_fixture.h"

namespace {
struct Ball : GameStateTest {};

TEST_F(Ball, ServeDrawsPositionAndDirectionInThatOrder) {
  const int x = RandomInt(350, 450);
  const int y = RandomInt(250, 350);
  const int ri = RandomInt(0, 359);
  SetRandomSeed(4660);
  const auto ball = ServeBall();
  EXPECT_EQ(ball->x, x);
  EXPECT_EQ(ball->y, y);
  EXPECT_EQ(ball->ri, ri);
  EXPECT_EQ(ball->sp, 2.0f);
  EXPECT_EQ(ball->hls, 50);
  EXPECT_EQ(ball->Start, 1);
  EXPECT_EQ(ball->die, 0.0f);
  EXPECT_EQ(Balls().Count(), 1u);
}

TEST_F(Ball, OverlapWithTheUnrotatedPaddle) {
  EXPECT_EQ(RotatedBoxOverlap(400, 530, 100, 10, 455, 540, 10, 0), 1);
  EXPECT_EQ(RotatedBoxOverlap(400, 530, 100, 10, 456, 540, 10, 0), 0);
  EXPECT_EQ(RotatedBoxOverlap(400, 530, 100, 10, 345, 520, 10, 0), 1);
  EXPECT_EQ(RotatedBoxOverlap(400, 530, 100, 10, 400, 519, 10, 0), 0);
}

TEST_F(Ball, OverlapWithThePaddleAtTheLeft) {
  // (175, 320): distance 20, direction 75, phi -15, mapped to (189, 294).
  EXPECT_EQ(RotatedBoxOverlap(170, 300, 100, 10, 175, 320, 10, 90), 1);
  // (175, 345) maps to (214, 294): the paddle runs vertically there.
  EXPECT_EQ(RotatedBoxOverlap(170, 300, 100, 10, 175, 345, 10, 90), 1);
  // Across the paddle, 11 pixels off its axis, it misses.
  EXPECT_EQ(RotatedBoxOverlap(170, 300, 100, 10, 181, 300, 10, 90), 0);
  EXPECT_EQ(RotatedBoxOverlap(170, 300, 100, 10, 180, 300, 10, 90), 1);
}

TEST_F(Ball, CollideBouncesOnlyBallsFlyingTowardThePaddle) {
  TBall ball;
  ball.ri = 270;  // flying left into a paddle at the left
  EXPECT_EQ(ball.collide(90), 1);
  EXPECT_GE(ball.ri, 70.0f);
  EXPECT_LE(ball.ri, 110.0f);
  EXPECT_EQ(ball.hls, 20);

  ball.ri = 90;  // flying right, away from it
  ball.hls = 3;
  EXPECT_EQ(ball.collide(90), 0);
  EXPECT_EQ(ball.ri, 90.0f);
  EXPECT_EQ(ball.hls, 20);

  ball.ri = 200;
  EXPECT_EQ(ball.collide(90), 1);
  EXPECT_GE(ball.ri, 140.0f);
  EXPECT_LE(ball.ri, 180.0f);
}

TEST_F(Ball, CollideDeviationUsesTheGenerator) {
  TBall ball;
  ball.ri = 270;
  const int saved = GetRandomSeed();
  const int deviation = RandomInt(-20, 20);
  SetRandomSeed(saved);
  ball.collide(90);
  EXPECT_EQ(ball.ri, 90.0f + deviation);
}

TEST_F(Ball, MoveNormalisesTheDirectionAndFliesStraight) {
  TBall ball;
  ball.x = 400;
  ball.y = 300;
  ball.sp = 2;
  ball.ri = -270;  // left over from a bounce: the same as 90
  ball.move();
  EXPECT_EQ(ball.ri, 90.0f);
  EXPECT_FLOAT_EQ(ball.x, 402.0f);
  EXPECT_NEAR(ball.y, 300.0f, 1e-4);
  ball.ri = 540;
  ball.move();
  EXPECT_EQ(ball.ri, 180.0f);
  EXPECT_FLOAT_EQ(ball.y, 302.0f);
}

TEST_F(Ball, LeavingTheFieldServesOnceAndFadesForTenFrames) {
  auto ball = ServeBall();
  ball->x = 400;
  ball->y = 41;
  ball->ri = 0;
  ball->move();
  EXPECT_EQ(Game().score, -1);
  EXPECT_EQ(Balls().Count(), 2u);
  for (int frame = 2; frame <= 9; ++frame) ball->move();
  EXPECT_EQ(Balls().Count(), 2u);
  EXPECT_LT(ball->die, 1.0f);
  ball->move();
  EXPECT_EQ(Balls().Count(), 1u);
  EXPECT_EQ(Game().score, -1);
}

// A ball is usually held by nothing but the list; its last fading frame removes it from there.
TBall* FadingBallHeldOnlyByTheList() {
  TBall* ball = ServeBall().get();
  ball->x = 400;
  ball->y = 30;
  ball->die = 0.95f;  // past the serve: the next move outside ends the fade
  return ball;
}

TEST_F(Ball, TheLastFadeFrameOfABallHeldOnlyByTheListKeepsItForReuse) {
  TBall* ball = FadingBallHeldOnlyByTheList();
  ball->move();  // under AddressSanitizer a ball freed by its removal is caught right here
  EXPECT_EQ(Balls().Count(), 0u);
  EXPECT_EQ(Game().score, 0);
  EXPECT_EQ(ServeBall().get(), ball) << "the removed ball should be reused";
}

TEST_F(Ball, TheLastFadeFrameHandsTheBallToTheSparePool) {
  TBall* ball = FadingBallHeldOnlyByTheList();
  std::weak_ptr<TBall> watch = ball->weak_from_this();
  ball->move();
  EXPECT_EQ(Balls().Count(), 0u);
  EXPECT_FALSE(watch.expired()) << "the spare pool should keep the removed ball";
}

TEST_F(Ball, ExactlyOnTheRimIsStillInside) {
  TBall ball;
  ball.x = 400;
  ball.y = 42;
  ball.ri = 0;
  ball.sp = 2;
  ball.move();  // distance 260
  EXPECT_EQ(ball.die, 0.0f);
  EXPECT_EQ(Game().score, 0);
}
}  // namespace
