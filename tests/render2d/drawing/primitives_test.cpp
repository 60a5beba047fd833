#include "render2d/drawing/primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render2d/drawing/vex2d.h"
#include "tests/support/recording_vex2d_driver.h"

namespace {
using Args = std::vector<double>;
using Vertices = std::vector<TVertex2D>;

void ExpectNear(const TVertex2D& actual, TVertex2D expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-4) << what;
}

std::size_t OvalVertexCount(TRecordingSession& session, float width, float height) {
  session.driver.Clear();
  DrawOval(0, 0, width, height);
  return session.driver.Last().vertices.size();
}
}  // namespace

TEST(Primitives, PlotIgnoresRotationScaleAndHandleButNotTheOrigin) {
  TRecordingSession session;
  SetDrawTransform(45, 3, 3);
  SetDrawHandle(7, 7);
  session.driver.Clear();
  Plot(10, 20);
  EXPECT_EQ(session.driver.Last().args, (Args{10, 20}));
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{10.5f, 20.5f}}));
  SetDrawOrigin(50, 0);
  Plot(10, 20);
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{60.5f, 20.5f}}));
}

TEST(Primitives, ZeroLengthLineStillPlotsItsLastPixel) {
  TRecordingSession session;
  DrawLine(10, 10, 10, 10, 1);
  ASSERT_EQ(session.driver.Names(), (std::vector<std::string>{"DrawLine", "Plot"}));
  EXPECT_EQ(session.driver.calls[0].args, (Args{0, 0, 0, 0, 10, 10}));
  EXPECT_EQ(session.driver.calls[0].vertices, (Vertices{{10.5f, 10.5f}, {10.5f, 10.5f}}));
  EXPECT_EQ(session.driver.calls[1].vertices, (Vertices{{10.5f, 10.5f}}));
  session.driver.Clear();
  DrawLine(1, 2, 3, 4, 0);
  EXPECT_EQ(session.driver.Names(), std::vector<std::string>{"DrawLine"});
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{1.5f, 2.5f}, {3.5f, 4.5f}}));
}

TEST(Primitives, LastPixelOfARotatedLineFallsExactlyOnItsEndVertex) {
  TRecordingSession session;
  SetDrawRotation(90);
  session.driver.Clear();
  DrawLine(0, 0, 100, 0, 1);
  const TRecordedCall line = session.driver.calls.at(0);
  const TRecordedCall plot = session.driver.calls.at(1);
  ExpectNear(line.vertices[0], {0.5f, 0.5f}, "start");
  ExpectNear(line.vertices[1], {0.5f, 100.5f}, "end turned clockwise to below the start");
  EXPECT_EQ(plot.vertices[0], line.vertices[1]);

  // The same with handle, origin, scale and an odd angle.
  SetDrawTransform(33.3f, 1.7f, 0.6f);
  SetDrawHandle(3.25f, -1.5f);
  SetDrawOrigin(11.1f, 7.7f);
  session.driver.Clear();
  DrawLine(12.3f, 45.6f, 78.9f, 10.1f, 1);
  EXPECT_EQ(session.driver.calls.at(1).vertices[0], session.driver.calls.at(0).vertices[1]);
}

TEST(Primitives, RectWithHandleAndRotation) {
  TRecordingSession session;
  SetDrawHandle(20, 10);
  session.driver.Clear();
  DrawRect(100, 100, 40, 20);
  EXPECT_EQ(session.driver.Last().args, (Args{-20, -10, 20, 10, 100, 100}));
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{80, 90}, {120, 90}, {120, 110}, {80, 110}}));

  SetDrawRotation(90);
  DrawRect(100, 100, 40, 20);
  const Vertices& turned = session.driver.Last().vertices;
  ASSERT_EQ(turned.size(), 4u);
  ExpectNear(turned[0], {110, 80}, "top-left corner turned about (100, 100)");
  ExpectNear(turned[1], {110, 120}, "top-right");
  ExpectNear(turned[2], {90, 120}, "bottom-right");
  ExpectNear(turned[3], {90, 80}, "bottom-left");
}

TEST(Primitives, ScaleStretchesAboutTheHandle) {
  TRecordingSession session;
  SetDrawHandle(5, 5);
  SetDrawScale(2, 3);
  session.driver.Clear();
  DrawRect(50, 50, 10, 10);
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{40, 35}, {60, 35}, {60, 65}, {40, 65}}));
  SetDrawScale(0, 0);
  DrawRect(50, 50, 10, 10);
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{50, 50}, {50, 50}, {50, 50}, {50, 50}}));
}

TEST(Primitives, NegativeSizesExtendLeftAndUpWithTheVertexOrderKept) {
  TRecordingSession session;
  DrawRect(10, 10, -4, -6);
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{10, 10}, {6, 10}, {6, 4}, {10, 4}}));
  DrawOval(10, 10, -40, -40);
  const Vertices& oval = session.driver.Last().vertices;
  ASSERT_EQ(oval.size(), 40u);
  ExpectNear(oval[0], {-30, -10}, "first vertex at the negative half-width's end");
  EXPECT_GT(oval[1].y, oval[0].y) << "the winding is reversed";
}

TEST(Primitives, OriginMovesShapesButNotPixmapCopies) {
  TRecordingSession session;
  SetDrawOrigin(50, 0);
  session.driver.Clear();
  DrawRect(0, 0, 1, 1);
  EXPECT_EQ(session.driver.Last().vertices[0], (TVertex2D{50, 0}));
  DrawOval(0, 0, 2, 2);
  ExpectNear(session.driver.Last().vertices[0], {52, 1}, "oval");
  const float tri[] = {0, 0, 4, 0, 4, 4};
  DrawPoly(tri);
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{50, 0}, {54, 0}, {54, 4}}));
  PixmapRef pixmap = TPixmap::Create(3, 2, RGB888);
  DrawPixmap(*pixmap, 5, 6);
  EXPECT_EQ(session.driver.Last().args, (Args{3, 2, 5, 6}));
  PixmapRef grabbed = GrabPixmap(1, 2, 3, 4);
  EXPECT_EQ(session.driver.Last().args, (Args{1, 2, 3, 4}));
  ASSERT_NE(grabbed, nullptr);
  EXPECT_EQ(grabbed->width, 3);
  EXPECT_EQ(grabbed->format, RGBA8888);
}

TEST(Primitives, OvalSegmentCountsFollowTheBoxSize) {
  TRecordingSession session;
  EXPECT_EQ(OvalVertexCount(session, 2, 2), 12u);
  EXPECT_EQ(OvalVertexCount(session, 20, 20), 20u);
  EXPECT_EQ(OvalVertexCount(session, 25, 25), 24u);
  EXPECT_EQ(OvalVertexCount(session, 100, 100), 100u);
  EXPECT_EQ(OvalVertexCount(session, 100, 50), 72u);
  SetDrawScale(10, 10);
  EXPECT_EQ(OvalVertexCount(session, 4, 4), 12u) << "scale does not change the count";
}

TEST(Primitives, OvalStartsOnTheRightAndTurnsUpward) {
  TRecordingSession session;
  DrawOval(10, 20, 100, 50);
  const Vertices& v = session.driver.Last().vertices;
  ASSERT_EQ(v.size(), 72u);
  EXPECT_EQ(v[0], (TVertex2D{110, 45}));
  EXPECT_LT(v[1].y, v[0].y);
  ExpectNear(v[18], {60, 20}, "a quarter turn: top of the box");
  ExpectNear(v[36], {10, 45}, "half a turn: left end");
  ExpectNear(v[54], {60, 70}, "three quarters: bottom");
}

TEST(Primitives, EmptyOvalCollapsesOntoItsPosition) {
  TRecordingSession session;
  DrawOval(0, 0, 0, 0);
  const Vertices& v = session.driver.Last().vertices;
  ASSERT_EQ(v.size(), 12u);
  for (const TVertex2D& vertex : v) {
    EXPECT_EQ(vertex, (TVertex2D{0, 0}));
  }
}

TEST(Primitives, HugeOvalSegmentCountIsCapped) {
  EXPECT_EQ(OvalSegmentCount(0, 0, 2e6f, 2e6f), kMaxOvalSegments);
  EXPECT_EQ(OvalSegmentCount(0, 0, 1e30f, 1e30f), kMaxOvalSegments);
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(OvalSegmentCount(0, 0, inf, 1), kMaxOvalSegments);
  EXPECT_EQ(OvalSegmentCount(0, 0, std::nanf(""), 1), 12);
  EXPECT_EQ(OvalSegmentCount(0, 0, 1402, 0), 700) << "below the cap the rule holds";
  EXPECT_EQ(kMaxOvalSegments % 4, 0);
  TRecordingSession session;
  DrawOval(0, 0, 1e9f, 1e9f);
  EXPECT_EQ(session.driver.Last().vertices.size(), static_cast<std::size_t>(kMaxOvalSegments));
}

TEST(Primitives, PolyNeedsThreeWholePoints) {
  TRecordingSession session;
  SetDrawHandle(1, 2);
  SetDrawOrigin(10, 20);
  session.driver.Clear();
  const float four[] = {0, 0, 1, 1};
  const float seven[] = {0, 0, 1, 1, 2, 2, 3};
  const float six[] = {0, 0, 8, 0, 8, 8};
  DrawPoly(four);
  EXPECT_TRUE(session.driver.Last().vertices.empty());
  DrawPoly(seven);
  EXPECT_TRUE(session.driver.Last().vertices.empty());
  DrawPoly(six);
  EXPECT_EQ(session.driver.Last().args, (Args{-1, -2, 10, 20, 0, 0, 8, 0, 8, 8}));
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{9, 18}, {17, 18}, {17, 26}}));
}

TEST(Primitives, ClsAndFramesGoThroughTheDriver) {
  TRecordingSession session;
  Cls();
  EXPECT_EQ(session.driver.Last().name, "Cls");
  PixmapRef glyph = TPixmap::Create(8, 16, RGBA8888);
  auto frame = session.driver.CreateFrameFromPixmap(*glyph, 2);
  EXPECT_EQ(session.driver.Last().args, (Args{8, 16, 2}));
  SetDrawScale(2, 2);
  frame->Draw(0, 0, 8, 16, 100, 50);
  EXPECT_EQ(session.driver.Last().vertices, (Vertices{{100, 50}, {116, 50}, {116, 82}, {100, 82}}));
}
