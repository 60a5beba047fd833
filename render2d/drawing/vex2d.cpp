// The drawing-state object of each graphics context and the module-level setters and getters that
// act on the current one.
#include "render2d/drawing/vex2d.h"

#include <utility>

namespace {
std::shared_ptr<TVex2DGraphics> current_graphics;
TVex2DDriver* current_driver = nullptr;
std::shared_ptr<TImageFont> default_font;
bool started = false;

// The state to act on; null when no graphics object is current, which makes every call harmless.
TVex2DGraphics* State() {
  return current_graphics.get();
}
}  // namespace

std::shared_ptr<TVex2DGraphics> TVex2DGraphics::Create(std::shared_ptr<TGraphics> graphics,
                                                       TVex2DDriver* driver) {
  int width = 0, height = 0, depth = 0, hertz = 0, flags = 0;
  graphics->GetSettings(width, height, depth, hertz, flags);
  auto result = std::make_shared<TVex2DGraphics>();
  result->viewport_w = width;
  result->viewport_h = height;
  result->image_font = default_font;
  result->_graphics = std::move(graphics);
  result->_driver = driver;
  return result;
}

TVex2DDriver* TVex2DGraphics::Driver() {
  return _driver;
}

void TVex2DGraphics::GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) {
  width = height = depth = hertz = flags = 0;
  if (_graphics) _graphics->GetSettings(width, height, depth, hertz, flags);
}

void TVex2DGraphics::Close() {
  if (!_graphics) return;
  _graphics->Close();
  _graphics = nullptr;
  _driver = nullptr;
}

void TVex2DGraphics::Validate() {
  // Each setter stores back the very value it is given, so reading the fields as we go is safe
  // even though they are the current object's own.
  SetBlend(blend_mode);
  SetColor(color_red, color_green, color_blue);
  SetAlpha(color_alpha);
  SetClsColor(clscolor_red, clscolor_green, clscolor_blue);
  SetLineWidth(line_width);
  SetDrawRotation(tform_rot);
  SetDrawScale(tform_scale_x, tform_scale_y);
  SetViewport(viewport_x, viewport_y, viewport_w, viewport_h);
  SetDrawOrigin(origin_x, origin_y);
  SetDrawHandle(-handle_x, -handle_y);
  SetImageFont(image_font);
}

void TVex2DGraphics::MakeCurrent() {
  current_graphics = shared_from_this();
  current_driver = Driver();
  Validate();
  if (_setup == 0) {
    // A new context's buffers hold garbage: clear both to the clear colour, once. A flip's hooks
    // may close the graphics meanwhile.
    const auto clear = [] {
      if (current_graphics && current_driver) current_driver->Cls();
    };
    clear();
    FlipFrame(0);
    clear();
    FlipFrame(0);
    _setup = 1;
  }
}

void TVex2DGraphics::ClearCurrent() {
  current_graphics = nullptr;
  current_driver = nullptr;
}

std::shared_ptr<TVex2DGraphics> TVex2DGraphics::Current() {
  return current_graphics;
}

TVex2DDriver* CurrentVex2DDriver() {
  return current_graphics ? current_driver : nullptr;
}

void SetBlend(int mode) {
  if (TVex2DGraphics* s = State()) {
    s->blend_mode = mode;
    if (current_driver) current_driver->SetBlend(mode);
  }
}
int GetBlend() {
  return State() ? State()->blend_mode : 0;
}

void SetAlpha(float alpha) {
  if (TVex2DGraphics* s = State()) {
    s->color_alpha = alpha;
    if (current_driver) current_driver->SetAlpha(alpha);
  }
}
float GetAlpha() {
  return State() ? State()->color_alpha : 0;
}

void SetColor(int red, int green, int blue) {
  if (TVex2DGraphics* s = State()) {
    s->color_red = red, s->color_green = green, s->color_blue = blue;
    if (current_driver) current_driver->SetColor(red, green, blue);
  }
}
void GetColor(int& red, int& green, int& blue) {
  const TVex2DGraphics* s = State();
  red = s ? s->color_red : 0, green = s ? s->color_green : 0, blue = s ? s->color_blue : 0;
}

void SetClsColor(int red, int green, int blue) {
  if (TVex2DGraphics* s = State()) {
    s->clscolor_red = red, s->clscolor_green = green, s->clscolor_blue = blue;
    if (current_driver) current_driver->SetClsColor(red, green, blue);
  }
}
void GetClsColor(int& red, int& green, int& blue) {
  const TVex2DGraphics* s = State();
  red = s ? s->clscolor_red : 0, green = s ? s->clscolor_green : 0;
  blue = s ? s->clscolor_blue : 0;
}

void SetLineWidth(float width) {
  if (TVex2DGraphics* s = State()) {
    s->line_width = width;
    if (current_driver) current_driver->SetLineWidth(width);
  }
}
void SetPolygonOutlineMode(bool outline) {
  if (State() && current_driver) current_driver->SetPolygonOutlineMode(outline);
}

float GetLineWidth() {
  return State() ? State()->line_width : 0;
}

void SetViewport(int x, int y, int width, int height) {
  if (TVex2DGraphics* s = State()) {
    s->viewport_x = x, s->viewport_y = y, s->viewport_w = width, s->viewport_h = height;
    if (current_driver) current_driver->SetViewport(x, y, width, height);
  }
}
void GetViewport(int& x, int& y, int& width, int& height) {
  const TVex2DGraphics* s = State();
  x = s ? s->viewport_x : 0, y = s ? s->viewport_y : 0;
  width = s ? s->viewport_w : 0, height = s ? s->viewport_h : 0;
}

void SetDrawOrigin(float x, float y) {
  if (TVex2DGraphics* s = State()) s->origin_x = x, s->origin_y = y;
}
void GetDrawOrigin(float& x, float& y) {
  const TVex2DGraphics* s = State();
  x = s ? s->origin_x : 0, y = s ? s->origin_y : 0;
}

void SetDrawHandle(float x, float y) {
  if (TVex2DGraphics* s = State()) s->handle_x = -x, s->handle_y = -y;
}
void GetDrawHandle(float& x, float& y) {
  const TVex2DGraphics* s = State();
  x = s ? -s->handle_x : 0, y = s ? -s->handle_y : 0;
}

void SetDrawRotation(float degrees) {
  if (TVex2DGraphics* s = State()) {
    s->tform_rot = degrees;
    UpdateTransform();
  }
}
float GetDrawRotation() {
  return State() ? State()->tform_rot : 0;
}

void SetDrawScale(float sx, float sy) {
  if (TVex2DGraphics* s = State()) {
    s->tform_scale_x = sx, s->tform_scale_y = sy;
    UpdateTransform();
  }
}
void GetDrawScale(float& sx, float& sy) {
  const TVex2DGraphics* s = State();
  sx = s ? s->tform_scale_x : 0, sy = s ? s->tform_scale_y : 0;
}

void SetDrawTransform(float degrees, float sx, float sy) {
  if (TVex2DGraphics* s = State()) {
    s->tform_rot = degrees, s->tform_scale_x = sx, s->tform_scale_y = sy;
    UpdateTransform();
  }
}

void UpdateTransform() {
  TVex2DGraphics* s = State();
  if (!s) return;
  const double sine = SinDeg(s->tform_rot);
  const double cosine = CosDeg(s->tform_rot);
  s->tform_ix = static_cast<float>(cosine * s->tform_scale_x);
  s->tform_iy = static_cast<float>(-sine * s->tform_scale_y);
  s->tform_jx = static_cast<float>(sine * s->tform_scale_x);
  s->tform_jy = static_cast<float>(cosine * s->tform_scale_y);
  if (current_driver)
    current_driver->SetTransform(s->tform_ix, s->tform_iy, s->tform_jx, s->tform_jy);
}

TTransform2D CurrentDrawMatrix() {
  const TVex2DGraphics* s = State();
  if (!s) return {};
  return {s->tform_ix, s->tform_iy, s->tform_jx, s->tform_jy};
}

void SetImageFont(std::shared_ptr<TImageFont> font) {
  if (TVex2DGraphics* s = State()) s->image_font = font ? std::move(font) : default_font;
}
std::shared_ptr<TImageFont> GetImageFont() {
  return State() ? State()->image_font : nullptr;
}

void UseDefaultImageFont(std::shared_ptr<TImageFont> font) {
  default_font = std::move(font);
}
std::shared_ptr<TImageFont> DefaultImageFont() {
  return default_font;
}

void StartVex2DModule() {
  if (started) return;
  started = true;
  StartGraphicsModule();
}
