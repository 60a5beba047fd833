// The background field: spawning, drifting, replacement at the bounds.
#include "game/world/background.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/random/random.h"
#include "game/world/border_glow.h"
#include "game/world/game_state.h"
#include "platform/core/numeric.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/game_fixture.h"
#include "tests/support/recording_vex2d_driver.h"

namespace {
struct Background : GameStateTest {};

// Computed apart from the game, by direct modular multiplication rather than Schrage's method.
// The first and third rectangles redraw their step once because both components were too small.
TEST_F(Background, TheFirstRectanglesFromAFreshSeed) {
  struct Expected {
    float speed;
    int w, h, cr, cg, cb;
    float rspeed;
    int mask;
    float mvx, mvy, x, y;
    int seed_after;
  };
  const Expected expected[] = {
      {0.9189887046813965f, 82, 154, 15, 57, 17, 2.6149909496307373f, 5, 5, 1, -236, -236,
       2091791246},
      {1.0990962982177734f, 87, 137, 58, 63, 81, 0.956007719039917f, 7, 3, 1, -224, -224,
       777095381},
      {0.5009914636611938f, 167, 57, 15, 23, 77, -4.581655025482178f, 11, 3, 3, -224, -224,
       603955929},
  };
  SetRandomSeed(4660);
  for (const Expected& e : expected) {
    const TRect& r = SpawnRect();
    EXPECT_EQ(r.speed, e.speed);
    EXPECT_EQ((std::vector{r.w, r.h, r.cr, r.cg, r.cb, r.mask}),
              (std::vector{e.w, e.h, e.cr, e.cg, e.cb, e.mask}));
    EXPECT_EQ(r.rspeed, e.rspeed);
    EXPECT_EQ((std::vector{r.mvx, r.mvy, r.x, r.y, r.rot}),
              (std::vector{e.mvx, e.mvy, e.x, e.y, 0.0f}));
    EXPECT_EQ(GetRandomSeed(), e.seed_after);
  }
  EXPECT_EQ(Rects().Count(), 3u);
}

TEST_F(Background, EveryRectangleStartsOutsideOnTheSideItMovesAwayFrom) {
  for (int i = 0; i < 500; ++i) {
    const TRect& r = SpawnRect();
    ASSERT_TRUE(AbsInt(TruncToInt(r.mvx)) > 2 || AbsInt(TruncToInt(r.mvy)) > 2);
    ASSERT_GE(r.w, 50);
    ASSERT_LE(r.w, 200);
    ASSERT_GE(r.speed, 0.5f);
    ASSERT_LE(r.speed, 1.5f);
    ASSERT_GE(r.mask, 0);
    ASSERT_LE(r.mask, 15);
    const float reach = static_cast<float>(r.w + r.h);
    EXPECT_EQ(r.x, r.mvx > 0 ? -reach : 800 + reach);
    EXPECT_EQ(r.y, r.mvy > 0 ? -reach : 600 + reach);
  }
}

TEST_F(Background, AFreshRectangleOnItsBoundIsNotReplaced) {
  TRect& r = SpawnRect();
  r.mvx = 0;
  r.mvy = 0;
  r.rspeed = 0;
  r.move();
  EXPECT_EQ(Rects().Count(), 1u);
  EXPECT_EQ(&**Rects().begin(), &r);
}

TEST_F(Background, MoveScalesByTempoAndSpeed) {
  TRect& r = SpawnRect();
  r.x = 100;
  r.y = 100;
  r.mvx = 4;
  r.mvy = -3;
  r.speed = 1.5f;
  r.rspeed = 2;
  Game().tempo = 0.5f;
  r.move();
  EXPECT_FLOAT_EQ(r.x, 103.0f);
  EXPECT_FLOAT_EQ(r.y, 97.75f);
  EXPECT_FLOAT_EQ(r.rot, 1.0f);
}

TEST_F(Background, ARectangleCrossingTwoBoundsIsReplacedOnce) {
  TRect& r = SpawnRect();
  r.w = 50;
  r.h = 50;
  r.x = 899;
  r.y = 699;
  r.mvx = 5;
  r.mvy = 5;
  r.speed = 1;
  r.move();
  ASSERT_EQ(Rects().Count(), 1u);
  EXPECT_NE(&**Rects().begin(), &r);
}

TEST_F(Background, NoReplacementWhileTempoIsNotAboveZero) {
  TRect& r = SpawnRect();
  r.w = 50;
  r.h = 50;
  r.x = -99;
  r.mvx = 5;
  r.speed = 1;
  Game().tempo = -0.5f;
  r.move();
  EXPECT_FLOAT_EQ(r.x, -101.5f);
  ASSERT_EQ(Rects().Count(), 1u);
  EXPECT_EQ(&**Rects().begin(), &r);
  Game().tempo = 0;
  r.move();
  EXPECT_EQ(&**Rects().begin(), &r);
}
}  // namespace

namespace {
using Args = std::vector<double>;

constexpr int kGlowInside = static_cast<int>(0xff968c00u);

// What the glow layers leave, in short: a flat opaque inside and an edge that differs from it at
// most six pixels in (two stray pixels, so the deepest one decides).
PixmapRef GlowScreen() {
  PixmapRef screen = TPixmap::Create(800, 600, RGBA8888, 4);
  screen->ClearPixels(kGlowInside);
  screen->WritePixel(0, 0, static_cast<int>(0xff0f0e00u));
  screen->WritePixel(5, 300, static_cast<int>(0xff8c7e00u));
  return screen;
}

struct BackgroundDrawing : Background {
  void SetUp() override {
    Background::SetUp();
    session.driver.screen = GlowScreen();
  }
  TRecordingSession session;
};

TEST_F(BackgroundDrawing, QuarterRectsAreDrawnFromTheCentreWithSignedSizes) {
  session.driver.Clear();
  DrawQuarterRects(100, 200, 51, 11, 15);
  const auto rects = session.driver.CallsNamed("DrawRect");
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_EQ(rects[0].args, (Args{0, 0, 25, 5, 100, 200}));
  EXPECT_EQ(rects[1].args, (Args{0, 0, -25, 5, 100, 200}));
  EXPECT_EQ(rects[2].args, (Args{0, 0, 25, -5, 100, 200}));
  EXPECT_EQ(rects[3].args, (Args{0, 0, -25, -5, 100, 200}));
  session.driver.Clear();
  DrawQuarterRects(100, 200, 51, 11, 6);
  const auto some = session.driver.CallsNamed("DrawRect");
  ASSERT_EQ(some.size(), 2u);
  EXPECT_EQ(some[0].args, (Args{0, 0, -25, 5, 100, 200}));
  EXPECT_EQ(some[1].args, (Args{0, 0, 25, -5, 100, 200}));
  session.driver.Clear();
  DrawQuarterRects(100, 200, 51, 11, 0);
  EXPECT_TRUE(session.driver.calls.empty());
}

TEST_F(BackgroundDrawing, ARectangleRestoresTheRotationAsWholeDegrees) {
  TRect& r = SpawnRect();
  r.rot = 33.5f;
  SetDrawRotation(12.7f);
  r.draw();
  EXPECT_EQ(GetDrawRotation(), 12.0f);
}

TEST_F(BackgroundDrawing, TheFirstFrameDrawsTheGlowLayersTheSecondKeepsThem) {
  for (int i = 0; i < 3; ++i) SpawnRect().mask = 15;
  session.driver.Clear();
  DrawBackground();
  // The first frame goes out without waiting for a read-back.
  EXPECT_EQ(session.driver.CallsNamed("DrawRect").size(), 10u + 3 * 4);
  EXPECT_TRUE(session.driver.CallsNamed("GrabPixmap").empty());
  EXPECT_TRUE(session.driver.CallsNamed("FrameDraw").empty());
  session.driver.Clear();
  DrawBackground();
  const auto rects = session.driver.CallsNamed("DrawRect");
  ASSERT_EQ(rects.size(), 10u + 3 * 4);
  EXPECT_EQ(rects[0].args, (Args{0, 0, 798, 598, 1, 1}));
  EXPECT_EQ(rects[9].args, (Args{0, 0, 780, 580, 10, 10}));
  // The layers are read back whole, before any rectangle lands on them, and made a texture.
  const auto names = session.driver.Names();
  const auto grab = std::find(names.begin(), names.end(), "GrabPixmap");
  ASSERT_NE(grab, names.end());
  EXPECT_EQ(std::count(grab, names.end(), "DrawRect"), 3 * 4);
  EXPECT_EQ(session.driver.CallsNamed("GrabPixmap")[0].args, (Args{0, 0, 800, 600}));
  EXPECT_EQ(session.driver.CallsNamed("CreateFrameFromPixmap").size(), 4u);
  EXPECT_TRUE(session.driver.CallsNamed("FrameDraw").empty());
  const auto alphas = session.driver.CallsNamed("SetAlpha");
  ASSERT_EQ(alphas.size(), 2u);
  EXPECT_EQ(alphas[0].args, (Args{0.1f}));
  EXPECT_EQ(alphas[1].args, (Args{1.0f}));
  EXPECT_EQ(GetBlend(), BLEND_LIGHT);
}

TEST_F(BackgroundDrawing, LaterFramesClearToTheGlowsInsideCopyItsEdgeThenDrawEveryRectangle) {
  using Corners = std::vector<TVertex2D>;
  struct Case {
    const char* glow;
    PixmapRef screen;
    Args inside;                  // the clear colour
    std::vector<Corners> strips;  // top-left and bottom-right corner of each copy
  };
  const std::vector<Case> cases = {
      {"flat inside",
       GlowScreen(),
       {150, 140, 0},
       {{{0, 0}, {800, 6}}, {{0, 594}, {800, 600}}, {{0, 6}, {6, 594}}, {{794, 6}, {800, 594}}}},
      // A transparent centre cannot be cleared to: the two halves are copied over the clear.
      {"transparent", nullptr, {0, 0, 0}, {{{0, 0}, {800, 300}}, {{0, 300}, {800, 600}}}},
  };
  for (int i = 0; i < 3; ++i) SpawnRect().mask = 15;
  for (const Case& c : cases) {
    // A context of its own for each: the glow kept in one is drawn afresh in the next.
    CloseDefaultGraphics();
    ASSERT_NE(OpenGraphics(800, 600, 0, 0, 0), nullptr);
    session.driver.screen = c.screen;
    DrawBackground();
    DrawBackground();
    SetClsColor(7, 8, 9);
    session.driver.Clear();
    DrawBackground();
    // Cleared to the inside with the caller's clear colour put back, then copies of the edge
    // (their bytes are checked on OpenGL) before every rectangle.
    std::vector<std::string> expected = {"SetClsColor", "Cls",      "SetClsColor",
                                         "SetBlend",    "SetColor", "SetAlpha"};
    expected.insert(expected.end(), c.strips.size(), "FrameDraw");
    expected.insert(expected.end(), {"SetBlend", "SetColor"});
    const auto names = session.driver.Names();
    const auto first = std::find(names.begin(), names.end(), "SetClsColor");
    ASSERT_GE(names.end() - first, static_cast<std::ptrdiff_t>(expected.size())) << c.glow;
    EXPECT_EQ(std::vector<std::string>(first, first + expected.size()), expected) << c.glow;
    EXPECT_EQ(std::count(first, names.end(), "DrawRect"), 3 * 4) << c.glow;
    EXPECT_EQ(std::count(names.begin(), names.end(), "FrameDraw"), c.strips.size()) << c.glow;
    const auto cls_colors = session.driver.CallsNamed("SetClsColor");
    EXPECT_EQ(cls_colors[0].args, c.inside) << c.glow;
    EXPECT_EQ(cls_colors[1].args, (Args{7, 8, 9}));
    const auto draws = session.driver.CallsNamed("FrameDraw");
    for (std::size_t i = 0; i < draws.size(); ++i)
      EXPECT_EQ((Corners{draws[i].vertices.at(0), draws[i].vertices.at(2)}), c.strips[i]) << c.glow;
  }
}

TEST_F(BackgroundDrawing, ANewGraphicsSerialOrContextDrawsTheLayersAgain) {
  for (int frame = 0; frame < 3; ++frame) DrawBackground();
  // Reopened graphics: a new serial and a new context.
  CloseDefaultGraphics();
  ASSERT_NE(OpenGraphics(800, 600, 0, 0, 0), nullptr);
  for (int frame = 0; frame < 2; ++frame) {
    session.driver.Clear();
    DrawBackground();
    EXPECT_EQ(session.driver.CallsNamed("DrawRect").size(), 10u) << frame;
    EXPECT_EQ(session.driver.CallsNamed("GrabPixmap").size(), frame == 1 ? 1u : 0u) << frame;
    EXPECT_TRUE(session.driver.CallsNamed("FrameDraw").empty()) << frame;
  }
  session.driver.Clear();
  DrawBackground();
  EXPECT_EQ(session.driver.CallsNamed("FrameDraw").size(), 4u);
  // Another context made current under the same serial.
  const int serial = GraphicsSerial();
  std::shared_ptr<TGraphics> other = session.driver.CreateGraphics(800, 600, 0, 0, 0);
  std::shared_ptr<TGraphics> first = CurrentGraphics();
  SelectGraphics(other);
  ASSERT_EQ(GraphicsSerial(), serial);
  session.driver.Clear();
  DrawBackground();
  EXPECT_EQ(session.driver.CallsNamed("DrawRect").size(), 10u);
  SelectGraphics(first);
}
}  // namespace
