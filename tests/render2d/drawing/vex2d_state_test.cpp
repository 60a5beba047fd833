#include <gtest/gtest.h>

#include <cmath>

#include "imagetext/font/image_font.h"
#include "platform/events/hooks.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/recording_vex2d_driver.h"

namespace {
using Args = std::vector<double>;

TTransform2D Matrix(const TVex2DGraphics& g) {
  return {g.tform_ix, g.tform_iy, g.tform_jx, g.tform_jy};
}
void ExpectSameMatrix(const TTransform2D& a, const TTransform2D& b) {
  EXPECT_EQ(a.ix, b.ix);
  EXPECT_EQ(a.iy, b.iy);
  EXPECT_EQ(a.jx, b.jx);
  EXPECT_EQ(a.jy, b.jy);
}
}  // namespace

TEST(Vex2DState, FreshGraphicsHasTheCreateValues) {
  TRecordingSession session(320, 200);
  int r, g, b, x, y, w, h;
  float fx, fy;
  EXPECT_EQ(GetBlend(), BLEND_MASK);
  GetColor(r, g, b);
  EXPECT_EQ((Args{double(r), double(g), double(b)}), (Args{255, 255, 255}));
  EXPECT_EQ(GetAlpha(), 1.0f);
  GetClsColor(r, g, b);
  EXPECT_EQ((Args{double(r), double(g), double(b)}), (Args{0, 0, 0}));
  EXPECT_EQ(GetLineWidth(), 1.0f);
  EXPECT_EQ(GetDrawRotation(), 0.0f);
  GetDrawScale(fx, fy);
  EXPECT_EQ((Args{fx, fy}), (Args{1, 1}));
  GetDrawOrigin(fx, fy);
  EXPECT_EQ((Args{fx, fy}), (Args{0, 0}));
  GetDrawHandle(fx, fy);
  EXPECT_EQ((Args{fx, fy}), (Args{0, 0}));
  GetViewport(x, y, w, h);
  EXPECT_EQ((Args{double(x), double(y), double(w), double(h)}), (Args{0, 0, 320, 200}));
  ExpectSameMatrix(Matrix(*session.graphics), TTransform2D{1, 0, 0, 1});
  EXPECT_EQ(session.graphics->_setup, 1);
  EXPECT_EQ(session.graphics->Driver(), &session.driver);
  EXPECT_EQ(TVex2DGraphics::Current(), session.graphics);
  EXPECT_EQ(CurrentVex2DDriver(), &session.driver);
}

TEST(Vex2DState, FirstActivationValidatesThenClearsBothBuffersOnce) {
  TRecordingVex2DDriver driver;
  StartVex2DModule();
  SelectGraphicsDriver(&driver, 0);
  auto graphics =
      std::static_pointer_cast<TVex2DGraphics>(driver.CreateGraphics(640, 480, 0, 60, 2));
  graphics->clscolor_red = 9;
  driver.Clear();
  // The flips of the first activation run the flip hooks, which must see the new graphics.
  static std::vector<std::shared_ptr<TGraphics>> seen_by_hooks;
  const HookFunction record = [](int, const ObjectRef& data, const ObjectRef&) {
    seen_by_hooks.push_back(CurrentGraphics());
    return data;
  };
  InsertHook(FlipHookId(), record, nullptr, 0);
  SelectGraphics(graphics);
  DeleteHook(FlipHookId(), record, nullptr);
  EXPECT_EQ(seen_by_hooks, (std::vector<std::shared_ptr<TGraphics>>{graphics, graphics}));
  const std::vector<std::string> expected = {
      "SetGraphics",  "SetBlend",     "SetColor",     "SetAlpha",    "SetClsColor",
      "SetLineWidth", "SetTransform", "SetTransform", "SetViewport", "Cls",
      "Flip",         "Cls",          "Flip"};
  EXPECT_EQ(driver.Names(), expected);
  EXPECT_EQ(driver.CallsNamed("SetClsColor")[0].args, (Args{9, 0, 0}));
  EXPECT_EQ(driver.CallsNamed("Flip")[0].args, (Args{0}));
  EXPECT_EQ(driver.CallsNamed("SetViewport")[0].args, (Args{0, 0, 640, 480}));

  driver.Clear();
  SelectGraphics(nullptr);
  SelectGraphics(graphics);
  EXPECT_TRUE(driver.CallsNamed("Cls").empty()) << "only the first activation clears";
  EXPECT_TRUE(driver.CallsNamed("Flip").empty());
  SelectGraphicsDriver(nullptr, 0);
  EXPECT_EQ(TVex2DGraphics::Current(), nullptr);
}

TEST(Vex2DState, SettersStoreRawValuesAndPassThemOnUnclamped) {
  TRecordingSession session;
  SetColor(300, -5, 128);
  EXPECT_EQ(session.driver.Last().args, (Args{300, -5, 128}));
  int r, g, b;
  GetColor(r, g, b);
  EXPECT_EQ((Args{double(r), double(g), double(b)}), (Args{300, -5, 128}));

  SetAlpha(1.5f);
  EXPECT_EQ(GetAlpha(), 1.5f);
  EXPECT_EQ(session.driver.Last().args, (Args{1.5}));
  SetAlpha(-0.2f);
  EXPECT_EQ(GetAlpha(), -0.2f);

  SetClsColor(-1, 256, 7);
  GetClsColor(r, g, b);
  EXPECT_EQ((Args{double(r), double(g), double(b)}), (Args{-1, 256, 7}));
  SetLineWidth(-3);
  EXPECT_EQ(GetLineWidth(), -3.0f);
  SetBlend(99);
  EXPECT_EQ(GetBlend(), 99);
  SetViewport(10, 20, -5, 50);
  int x, y, w, h;
  GetViewport(x, y, w, h);
  EXPECT_EQ((Args{double(x), double(y), double(w), double(h)}), (Args{10, 20, -5, 50}));
  EXPECT_EQ(session.driver.Names(),
            (std::vector<std::string>{"SetColor", "SetAlpha", "SetAlpha", "SetClsColor",
                                      "SetLineWidth", "SetBlend", "SetViewport"}));
}

TEST(Vex2DState, OriginAndHandleAreStoredWithoutADriverCall) {
  TRecordingSession session;
  SetDrawHandle(10, 5);
  EXPECT_EQ(session.graphics->handle_x, -10.0f);
  EXPECT_EQ(session.graphics->handle_y, -5.0f);
  float x, y;
  GetDrawHandle(x, y);
  EXPECT_EQ((Args{x, y}), (Args{10, 5}));
  SetDrawOrigin(3.5f, -2);
  GetDrawOrigin(x, y);
  EXPECT_EQ((Args{x, y}), (Args{3.5, -2}));
  EXPECT_TRUE(session.driver.calls.empty());
}

TEST(Vex2DState, RotationAndScaleGiveTheSameMatrixInAnyOrder) {
  TRecordingSession session;
  SetDrawRotation(30);
  SetDrawScale(2, 1);
  const TTransform2D rotate_then_scale = Matrix(*session.graphics);
  SetDrawTransform(0, 1, 1);
  SetDrawScale(2, 1);
  SetDrawRotation(30);
  const TTransform2D scale_then_rotate = Matrix(*session.graphics);
  SetDrawTransform(0, 1, 1);
  session.driver.Clear();
  SetDrawTransform(30, 2, 1);
  EXPECT_EQ(session.driver.Names(), std::vector<std::string>{"SetTransform"}) << "once";
  const TTransform2D at_once = Matrix(*session.graphics);
  ExpectSameMatrix(rotate_then_scale, scale_then_rotate);
  ExpectSameMatrix(rotate_then_scale, at_once);
  // Rotation times scale: x is stretched first, then turned clockwise on the screen.
  EXPECT_FLOAT_EQ(at_once.ix, 2 * std::cos(M_PI / 6));
  EXPECT_FLOAT_EQ(at_once.iy, -0.5f);
  EXPECT_FLOAT_EQ(at_once.jx, 1.0f);
  EXPECT_FLOAT_EQ(at_once.jy, std::cos(M_PI / 6));
  const TRecordedCall& sent = session.driver.Last();
  EXPECT_EQ(sent.args, (Args{at_once.ix, at_once.iy, at_once.jx, at_once.jy}));
  // Nothing accumulates.
  SetDrawRotation(30);
  SetDrawRotation(30);
  ExpectSameMatrix(Matrix(*session.graphics), at_once);
}

TEST(Vex2DState, DegenerateAndQuarterTurnMatrices) {
  TRecordingSession session;
  SetDrawScale(0, 0);
  EXPECT_EQ(session.driver.Last().args, (Args{0, -0.0, 0, 0}));
  SetDrawTransform(90, 1, 1);
  const float cos90 = static_cast<float>(std::cos(90 * 0.017453292519943295));
  EXPECT_EQ(session.graphics->tform_ix, cos90);
  EXPECT_NE(session.graphics->tform_ix, 0.0f) << "the cosine of 90 degrees is not exactly 0";
  EXPECT_EQ(session.graphics->tform_jx, 1.0f);
  EXPECT_EQ(session.graphics->tform_iy, -1.0f);
}

TEST(Vex2DState, EachGraphicsObjectKeepsItsOwnState) {
  TRecordingSession session;
  auto other =
      std::static_pointer_cast<TVex2DGraphics>(session.driver.CreateGraphics(100, 50, 0, 60, 0));
  SetColor(1, 2, 3);
  SetBlend(BLEND_LIGHT);
  SetDrawRotation(45);
  SelectGraphics(other);
  int r, g, b;
  GetColor(r, g, b);
  EXPECT_EQ((Args{double(r), double(g), double(b)}), (Args{255, 255, 255}));
  EXPECT_EQ(GetBlend(), BLEND_MASK);
  SetColor(7, 8, 9);
  session.driver.Clear();
  SelectGraphics(session.graphics);
  EXPECT_EQ(session.driver.CallsNamed("SetColor")[0].args, (Args{1, 2, 3}));
  EXPECT_EQ(session.driver.CallsNamed("SetBlend")[0].args, (Args{BLEND_LIGHT}));
  EXPECT_EQ(session.driver.CallsNamed("SetViewport")[0].args, (Args{0, 0, 800, 600}));
  EXPECT_EQ(session.driver.matrix.jx, session.graphics->tform_jx);
  EXPECT_TRUE(session.driver.CallsNamed("Cls").empty());
  EXPECT_EQ(other->color_red, 7);
  EXPECT_EQ(GetDrawRotation(), 45.0f);
}

TEST(Vex2DState, WithoutCurrentGraphicsEverythingIsHarmless) {
  // The driver stays the selected graphics driver; only the graphics object is gone.
  TRecordingSession session;
  TRecordingVex2DDriver& driver = session.driver;
  SelectGraphics(nullptr);
  driver.Clear();
  ASSERT_EQ(TVex2DGraphics::Current(), nullptr);
  SetBlend(3);
  SetAlpha(0.5f);
  SetColor(1, 2, 3);
  SetClsColor(1, 2, 3);
  SetLineWidth(2);
  SetViewport(1, 2, 3, 4);
  SetDrawOrigin(1, 2);
  SetDrawHandle(1, 2);
  SetDrawRotation(10);
  SetDrawScale(2, 2);
  SetDrawTransform(1, 2, 3);
  UpdateTransform();
  SetImageFont(nullptr);
  Cls();
  Plot(1, 2);
  DrawLine(0, 0, 5, 5);
  DrawRect(0, 0, 5, 5);
  DrawOval(0, 0, 5, 5);
  const float tri[] = {0, 0, 5, 0, 5, 5};
  DrawPoly(tri);
  PixmapRef pixmap = TPixmap::Create(1, 1, RGBA8888);
  DrawPixmap(*pixmap, 0, 0);
  EXPECT_EQ(GrabPixmap(0, 0, 1, 1), nullptr);
  int r = -1, g = -1, b = -1, w = -1;
  float x = -1, y = -1;
  GetColor(r, g, b);
  EXPECT_EQ((Args{double(r), double(g), double(b)}), (Args{0, 0, 0}));
  GetClsColor(r, g, b);
  GetViewport(r, g, b, w);
  EXPECT_EQ(w, 0);
  GetDrawOrigin(x, y);
  GetDrawHandle(x, y);
  GetDrawScale(x, y);
  EXPECT_EQ((Args{x, y}), (Args{0, 0}));
  EXPECT_EQ(GetBlend(), 0);
  EXPECT_EQ(GetAlpha(), 0.0f);
  EXPECT_EQ(GetLineWidth(), 0.0f);
  EXPECT_EQ(GetDrawRotation(), 0.0f);
  EXPECT_EQ(GetImageFont(), nullptr);
  EXPECT_EQ(CurrentVex2DDriver(), nullptr);
  EXPECT_TRUE(driver.calls.empty());
}

TEST(Vex2DState, SetGraphicsRefusesAnotherKindOfObject) {
  TRecordingSession session;
  TRecordingVex2DDriver stranger;
  auto foreign = stranger.CreateGraphics(10, 10, 0, 60, 0);
  SetColor(4, 5, 6);
  session.driver.Clear();
  session.driver.SetGraphics(foreign);
  EXPECT_EQ(session.driver.Names(), std::vector<std::string>{"SetGraphicsRefused"});
  EXPECT_EQ(TVex2DGraphics::Current(), session.graphics);
  int r, g, b;
  GetColor(r, g, b);
  EXPECT_EQ(r, 4);
}

TEST(Vex2DState, CloseReleasesTheContextOnce) {
  TRecordingSession session;
  auto other =
      std::static_pointer_cast<TVex2DGraphics>(session.driver.CreateGraphics(10, 10, 0, 60, 0));
  session.driver.Clear();
  other->Close();
  other->Close();
  EXPECT_EQ(session.driver.Names(), std::vector<std::string>{"CloseContext"});
  EXPECT_EQ(other->_graphics, nullptr);
  EXPECT_EQ(other->Driver(), nullptr);
  int w = -1, h = -1, d, hz, f;
  other->GetSettings(w, h, d, hz, f);
  EXPECT_EQ(w, 0);
}

TEST(Vex2DState, TheDefaultFontIsHandedOverAndStandsInForNone) {
  const std::shared_ptr<TImageFont> before = DefaultImageFont();
  auto font = std::make_shared<TImageFont>();
  UseDefaultImageFont(font);
  TRecordingSession session;
  EXPECT_EQ(GetImageFont(), font) << "new graphics start with the default font";
  auto own = std::make_shared<TImageFont>();
  SetImageFont(own);
  EXPECT_EQ(GetImageFont(), own);
  SetImageFont(nullptr);
  EXPECT_EQ(GetImageFont(), font);
  UseDefaultImageFont(before);
}
