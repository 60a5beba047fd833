// A 2D driver for tests that need no window: it records every call with its exact arguments and
// the screen vertices the call produces (the same vertex arithmetic as the OpenGL back end).
//
//   TRecordingSession session(800, 600);   // a current graphics object on a recording driver
//   DrawRect(10, 20, 30, 40);
//   const TRecordedCall& rect = session.driver.Last();
//   EXPECT_EQ(rect.name, "DrawRect");
//   EXPECT_EQ(rect.vertices[2], (TVertex2D{40, 60}));
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render2d/drawing/vex2d.h"

struct TRecordedCall {
  std::string name;          // the driver operation, e.g. "SetBlend", "DrawOval", "Flip"
  std::vector<double> args;  // its arguments in order, exactly (ints and floats fit a double)
  std::vector<TVertex2D>
      vertices;  // screen vertices in emission order, half-pixel offsets included
};

class TRecordingVex2DDriver : public TVex2DDriver {
 public:
  std::vector<TRecordedCall> calls;
  TTransform2D matrix{0, 0, 0, 0};  // the matrix last given to SetTransform
  PixmapRef screen;                 // what GrabPixmap reads when set

  const TRecordedCall& Last() const;  // the latest call; fails the test when there is none
  std::vector<TRecordedCall> CallsNamed(std::string_view name) const;
  std::vector<std::string> Names() const;  // every call's name, in order
  void Clear() { calls.clear(); }

  std::vector<TGraphicsMode> GraphicsModes() override;
  std::shared_ptr<TGraphics> AttachGraphics(unsigned long widget, int flags) override;
  // A TVex2DGraphics on a fake context of that size; depth, hertz and flags are reported back.
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  // Null clears the current 2D graphics; a TVex2DGraphics of this driver is made current; any
  // other object is refused (recorded as "SetGraphicsRefused") without effect.
  void SetGraphics(const std::shared_ptr<TGraphics>& graphics) override;
  void Flip(int sync) override;

  // Returns a frame whose Draw is recorded here as "FrameDraw" with the rectangle's vertices.
  std::shared_ptr<TImageFrame> CreateFrameFromPixmap(const TPixmap& pixmap, int flags) override;
  void SetBlend(int mode) override;
  void SetAlpha(float alpha) override;
  void SetColor(int red, int green, int blue) override;
  void SetClsColor(int red, int green, int blue) override;
  void SetViewport(int x, int y, int width, int height) override;
  void SetTransform(float ix, float iy, float jx, float jy) override;
  void SetLineWidth(float width) override;
  void SetPolygonOutlineMode(bool outline) override;
  void Cls() override;
  void Plot(float x, float y) override;
  void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override;
  // Arguments recorded as hx, hy, tx, ty, then the array.
  void DrawPoly(std::span<const float> xy, float hx, float hy, float tx, float ty) override;
  void DrawPixmap(const TPixmap& pixmap, int x, int y) override;
  // A copy of that rectangle of `screen`, or without one a transparent black pixmap of its size.
  PixmapRef GrabPixmap(int x, int y, int width, int height) override;

  TRecordedCall& Record(std::string name, std::vector<double> args);
};

// The default graphics opened on a recording driver as the game opens its window (back buffer,
// unpaced), with the 2D module started; the calls of opening are cleared. Each
// opening moves the graphics serial on, so no image frame of an earlier test is reused. Leaving
// the scope closes the graphics and deselects the driver, so nothing leaks into the next test.
class TRecordingSession {
 public:
  explicit TRecordingSession(int width = 800, int height = 600);
  ~TRecordingSession();
  TRecordingSession(const TRecordingSession&) = delete;
  TRecordingSession& operator=(const TRecordingSession&) = delete;

  TRecordingVex2DDriver driver;
  std::shared_ptr<TVex2DGraphics> graphics;
};
