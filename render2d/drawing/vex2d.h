// The 2D drawing state: one TVex2DGraphics per graphics context holds colour, alpha, blend mode,
// clear colour, line width, rotation, scale, origin, handle, viewport and font; the module-level
// setters store into the current one and pass what the back end needs to the current 2D driver.
#pragma once

#include <memory>
#include <span>

#include "imagetext/pixmap/pixmap.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/image_frame.h"
#include "render2d/drawing/vertices.h"

class TImageFont;  // text's font; render2d only holds it

inline constexpr int BLEND_MASK = 1;   // no blending; alpha below 0.5 is not drawn
inline constexpr int BLEND_SOLID = 2;  // source replaces destination
inline constexpr int BLEND_ALPHA = 3;  // source * alpha + destination * (1 - alpha)
inline constexpr int BLEND_LIGHT = 4;  // additive: source * alpha + destination
inline constexpr int BLEND_SHADE = 5;  // multiplicative: source * destination

// The abstract 2D driver. Values arrive unclamped: clamping is the driver's business.
class TVex2DDriver : public TGraphicsDriver {
 public:
  // Null when the driver cannot make a frame.
  virtual std::shared_ptr<TImageFrame> CreateFrameFromPixmap(const TPixmap& pixmap, int flags) = 0;
  virtual void SetBlend(int mode) = 0;
  virtual void SetAlpha(float alpha) = 0;
  virtual void SetColor(int red, int green, int blue) = 0;
  virtual void SetClsColor(int red, int green, int blue) = 0;
  // Top-left origin, in screen pixels.
  virtual void SetViewport(int x, int y, int width, int height) = 0;
  // The matrix for all later vertices.
  virtual void SetTransform(float ix, float iy, float jx, float jy) = 0;
  virtual void SetLineWidth(float width) = 0;
  // Rectangles, ovals and polygons as outlines (true) or filled (false), for all later drawing.
  virtual void SetPolygonOutlineMode(bool outline) = 0;
  virtual void Cls() = 0;
  // A screen position: no matrix.
  virtual void Plot(float x, float y) = 0;
  // Local points, mapped by the matrix and moved by (tx, ty).
  virtual void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  // Points (x + hx, y + hy), mapped and moved; ignored unless PolyIsDrawable.
  virtual void DrawPoly(std::span<const float> xy, float hx, float hy, float tx, float ty) = 0;
  // Unblended and untransformed, top-left pixel at screen pixel (x, y).
  virtual void DrawPixmap(const TPixmap& pixmap, int x, int y) = 0;
  // RGBA8888, first row is screen row y.
  virtual PixmapRef GrabPixmap(int x, int y, int width, int height) = 0;
};

class TVex2DGraphics : public TGraphics, public std::enable_shared_from_this<TVex2DGraphics> {
 public:
  int color_red = 255;
  int color_green = 255;
  int color_blue = 255;
  float color_alpha = 1;
  int clscolor_red = 0;
  int clscolor_green = 0;
  int clscolor_blue = 0;
  float line_width = 1;
  float tform_rot = 0;
  float tform_scale_x = 1;
  float tform_scale_y = 1;
  float tform_ix = 1;
  float tform_iy = 0;
  float tform_jx = 0;
  float tform_jy = 1;
  int viewport_x = 0;
  int viewport_y = 0;
  int viewport_w = 0;
  int viewport_h = 0;
  float origin_x = 0;
  float origin_y = 0;
  float handle_x = 0;  // the handle, stored negated
  float handle_y = 0;
  std::shared_ptr<TImageFont> image_font;
  int blend_mode = BLEND_MASK;
  std::shared_ptr<TGraphics> _graphics;
  TVex2DDriver* _driver = nullptr;
  int _setup = 0;  // 1 once the first activation has cleared both buffers

  // Wraps a context of `driver`: the Create values, the viewport over the whole context and the
  // default font. Does not make it current.
  static std::shared_ptr<TVex2DGraphics> Create(std::shared_ptr<TGraphics> graphics,
                                                TVex2DDriver* driver);
  TVex2DDriver* Driver() override;
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override;
  void Close() override;

  // Re-applies every stored setting through the module-level setters.
  void Validate();
  // Makes this object and its driver current; the first time, clears both buffers.
  void MakeCurrent();
  static void ClearCurrent();
  static std::shared_ptr<TVex2DGraphics> Current();
};

// The current 2D driver: always the current graphics' driver while one is current.
TVex2DDriver* CurrentVex2DDriver();

// Drawing state of the current graphics object. Setters store the raw values (getters return
// them) and only the driver clamps. With no current graphics every setter does nothing and every
// getter reports 0.
void SetBlend(int mode);
int GetBlend();
void SetAlpha(float alpha);
float GetAlpha();
void SetColor(int red, int green, int blue);
void GetColor(int& red, int& green, int& blue);
void SetClsColor(int red, int green, int blue);
void GetClsColor(int& red, int& green, int& blue);
void SetLineWidth(float width);
float GetLineWidth();
void SetViewport(int x, int y, int width, int height);
// Not part of the stored state: the caller switches it back before anything else is drawn.
void SetPolygonOutlineMode(bool outline);
void GetViewport(int& x, int& y, int& width, int& height);
void SetDrawOrigin(float x, float y);
void GetDrawOrigin(float& x, float& y);
// The point of a shape, in its own unscaled coordinates, that lands on the drawing position.
void SetDrawHandle(float x, float y);
void GetDrawHandle(float& x, float& y);
// Degrees; positive turns shapes clockwise on the screen.
void SetDrawRotation(float degrees);
float GetDrawRotation();
void SetDrawScale(float sx, float sy);
void GetDrawScale(float& sx, float& sy);
void SetDrawTransform(float degrees, float sx, float sy);
// Recomputes the matrix (rotation times scale) from the stored rotation and scale and sends it
// to the driver; nothing accumulates.
void UpdateTransform();
// The stored matrix of the current graphics (identity with none).
TTransform2D CurrentDrawMatrix();

// The font text uses: `font`, or the default font when `font` is null.
void SetImageFont(std::shared_ptr<TImageFont> font);
std::shared_ptr<TImageFont> GetImageFont();

// The process-wide default font, handed over by the images-and-text module when it starts (the
// renderer only holds it): graphics created from then on start with it.
void UseDefaultImageFont(std::shared_ptr<TImageFont> font);
std::shared_ptr<TImageFont> DefaultImageFont();

void StartVex2DModule();
