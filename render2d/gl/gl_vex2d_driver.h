// The OpenGL 2D back end: fixed-function immediate-mode drawing on the contexts of the OpenGL
// graphics driver, which it wraps. It caches blend mode, bound texture and texturing so that
// unchanged settings cost no OpenGL call; the caches start afresh on every context switch.
#pragma once

#include <memory>

#include "platform/core/text.h"
#include "render2d/drawing/vex2d.h"

class TGLVex2DDriver : public TVex2DDriver {
 public:
  String ToString() const;  // "OpenGL"

  std::vector<TGraphicsMode> GraphicsModes() override;
  std::shared_ptr<TGraphics> AttachGraphics(unsigned long widget, int flags) override;
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  // Null clears the current 2D graphics. A TVex2DGraphics of this driver has its GLX context made
  // current, the context reset for 2D drawing and its state applied; anything else is refused.
  void SetGraphics(const std::shared_ptr<TGraphics>& graphics) override;
  void Flip(int sync) override;
  void FinishFrame() override;

  // A texture frame (gl_image_frame.h), made in the hidden shared context.
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
  void DrawPoly(std::span<const float> xy, float hx, float hy, float tx, float ty) override;
  void DrawPixmap(const TPixmap& pixmap, int x, int y) override;
  PixmapRef GrabPixmap(int x, int y, int width, int height) override;

  // Forgets the caches and sets up a y-down pixel projection over the whole context.
  void ResetGLContext(TGraphics& graphics);
};

// The one OpenGL 2D driver, made on first use.
TGLVex2DDriver* GetGLVex2DDriver();

// Starts the OpenGL graphics module, then selects this driver with a back buffer.
void StartGLVex2DModule();
