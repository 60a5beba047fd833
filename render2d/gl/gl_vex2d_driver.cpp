// The OpenGL 2D driver: graphics objects wrap the OpenGL graphics driver's contexts; drawing state
// becomes fixed-function OpenGL state, primitives go out in immediate mode.
#include "render2d/gl/gl_vex2d_driver.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/glx/gl_graphics.h"
#include "platform/glx/glx_context.h"
#include "platform/glx/shared_context_scope.h"
#include "render2d/gl/gl_image_frame.h"
#include "render2d/gl/gl_state_cache.h"

namespace {
// Back-end state for whichever context the last SetGraphics made current.
int cached_blend = 0;                        // 0: none applied yet
std::uint8_t color_bytes[4] = {0, 0, 0, 0};  // red, green, blue, alpha for glColor4ubv
bool started = false;
int picture_rows_up = 0;  // the picture's bottom row in OpenGL's window rows (picture_in_window.h)
struct {
  bool on = false;
  int x = 0, y = 0, width = 0, height = 0;  // in picture pixels, rows from the top
} scissor;

void ApplyScissor() {
  // OpenGL counts window rows from the bottom.
  glScissor(scissor.x, picture_rows_up + CurrentGraphicsHeight() - scissor.y - scissor.height,
            scissor.width, scissor.height);
}

// The rows of the current context's window for the frame about to be drawn: the picture stays at
// the window's top left when the window manager resizes the window (full screen), and the frame is
// presented with the rows it was drawn with.
int TakePictureRows() {
  const PictureInWindow* picture = TakePictureForFrame();
  return picture != nullptr ? picture->rows_up : 0;
}

void FollowPictureRows() {
  const int rows_up = TakePictureRows();
  if (rows_up == picture_rows_up) return;
  picture_rows_up = rows_up;
  glViewport(0, rows_up, CurrentGraphicsWidth(), CurrentGraphicsHeight());
  if (scissor.on) ApplyScissor();
}

#ifndef NDEBUG
// Reports, but does not stop on, an error: some are legitimate (a line width of 0 is passed on
// unchanged and rejected by OpenGL).
void CheckGLError(const char* where) {
  for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
    std::fprintf(stderr, "OpenGL error 0x%x by the time of %s\n", error, where);
  }
}
#else
void CheckGLError(const char*) {}
#endif

std::uint8_t ClampByte(int value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

void ApplyBlend(int mode) {
  switch (mode) {
    case BLEND_MASK:
      glDisable(GL_BLEND);
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GEQUAL, 0.5f);
      break;
    case BLEND_ALPHA:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      glDisable(GL_ALPHA_TEST);
      break;
    case BLEND_LIGHT:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      glDisable(GL_ALPHA_TEST);
      break;
    case BLEND_SHADE:
      glEnable(GL_BLEND);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      glDisable(GL_ALPHA_TEST);
      break;
    default:  // BLEND_SOLID and unknown modes
      glDisable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      break;
  }
}

void Vertex(TVertex2D v) {
  glVertex2f(v.x, v.y);
}
}  // namespace

String TGLVex2DDriver::ToString() const {
  return u"OpenGL";
}

std::vector<TGraphicsMode> TGLVex2DDriver::GraphicsModes() {
  return GLGraphicsDriver()->GraphicsModes();
}

std::shared_ptr<TGraphics> TGLVex2DDriver::AttachGraphics(unsigned long widget, int flags) {
  std::shared_ptr<TGraphics> context = GLGraphicsDriver()->AttachGraphics(widget, flags);
  return context ? TVex2DGraphics::Create(std::move(context), this) : nullptr;
}

std::shared_ptr<TGraphics> TGLVex2DDriver::CreateGraphics(int width, int height, int depth,
                                                          int hertz, int flags) {
  std::shared_ptr<TGraphics> context =
      GLGraphicsDriver()->CreateGraphics(width, height, depth, hertz, flags);
  return context ? TVex2DGraphics::Create(std::move(context), this) : nullptr;
}

void TGLVex2DDriver::SetGraphics(const std::shared_ptr<TGraphics>& graphics) {
  EndQuadBatch();
  if (!graphics) {
    TVex2DGraphics::ClearCurrent();
    GLGraphicsDriver()->SetGraphics(nullptr);
    return;
  }
  auto vex = std::dynamic_pointer_cast<TVex2DGraphics>(graphics);
  // Only our own wrappers of a still-open context: anything else would leave the renderer's
  // state pointing at a context it cannot draw into.
  if (!vex || vex->Driver() != this || !vex->_graphics) return;
  GLGraphicsDriver()->SetGraphics(vex->_graphics);
  ResetGLContext(*vex);
  vex->MakeCurrent();
}

// NOTE: a software renderer renders on its own threads once the commands are flushed; the swap
// then only waits for what is left.
void TGLVex2DDriver::FinishFrame() {
  EndQuadBatch();
  glFlush();
}

void TGLVex2DDriver::Flip(int sync) {
  EndQuadBatch();
  GLGraphicsDriver()->Flip(sync);
  FollowPictureRows();
}

std::shared_ptr<TImageFrame> TGLVex2DDriver::CreateFrameFromPixmap(const TPixmap& pixmap,
                                                                   int flags) {
  EndQuadBatch();
  SharedContextScope shared;
  return TGLImageFrame::CreateFromPixmap(pixmap, flags);
}

void TGLVex2DDriver::SetBlend(int mode) {
  if (mode == cached_blend) return;
  EndQuadBatch();
  cached_blend = mode;
  ApplyBlend(mode);
}

void TGLVex2DDriver::SetAlpha(float alpha) {
  float a = alpha;
  if (a > 1) a = 1;
  if (!(a >= 0)) a = 0;  // negative or not a number
  color_bytes[3] = static_cast<std::uint8_t>(a * 255);
  glColor4ubv(color_bytes);
}

void TGLVex2DDriver::SetColor(int red, int green, int blue) {
  color_bytes[0] = ClampByte(red);
  color_bytes[1] = ClampByte(green);
  color_bytes[2] = ClampByte(blue);
  glColor4ubv(color_bytes);
}

void TGLVex2DDriver::SetClsColor(int red, int green, int blue) {
  EndQuadBatch();
  glClearColor(ClampByte(red) / 255.0f, ClampByte(green) / 255.0f, ClampByte(blue) / 255.0f, 1);
}

void TGLVex2DDriver::SetViewport(int x, int y, int width, int height) {
  EndQuadBatch();
  scissor.on =
      x != 0 || y != 0 || width != CurrentGraphicsWidth() || height != CurrentGraphicsHeight();
  if (!scissor.on) {
    glDisable(GL_SCISSOR_TEST);
    return;
  }
  scissor = {true, x, y, width, height};
  glEnable(GL_SCISSOR_TEST);
  ApplyScissor();
}

void TGLVex2DDriver::SetTransform(float ix, float iy, float jx, float jy) {
  SetGLVex2DMatrix({ix, iy, jx, jy});
}

void TGLVex2DDriver::SetLineWidth(float width) {
  EndQuadBatch();
  glLineWidth(width);
}

void TGLVex2DDriver::SetPolygonOutlineMode(bool outline) {
  EndQuadBatch();
  glPolygonMode(GL_FRONT_AND_BACK, outline ? GL_LINE : GL_FILL);
}

void TGLVex2DDriver::Cls() {
  EndQuadBatch();
  FollowPictureRows();
  glClear(GL_COLOR_BUFFER_BIT);
}

void TGLVex2DDriver::Plot(float x, float y) {
  DisableTexturing();
  glBegin(GL_POINTS);
  Vertex(PixelCentre({x, y}));
  glEnd();
}

void TGLVex2DDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) {
  DisableTexturing();
  glBegin(GL_LINES);
  Vertex(PixelCentre(MapPoint(GLVex2DMatrix(), x0, y0, tx, ty)));
  Vertex(PixelCentre(MapPoint(GLVex2DMatrix(), x1, y1, tx, ty)));
  glEnd();
}

void TGLVex2DDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) {
  DisableTexturing();
  glBegin(GL_QUADS);
  EmitRectVertices(GLVex2DMatrix(), x0, y0, x1, y1, tx, ty, Vertex);
  glEnd();
}

void TGLVex2DDriver::DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) {
  DisableTexturing();
  glBegin(GL_POLYGON);
  EmitOvalVertices(GLVex2DMatrix(), x0, y0, x1, y1, tx, ty, Vertex);
  glEnd();
}

void TGLVex2DDriver::DrawPoly(std::span<const float> xy, float hx, float hy, float tx, float ty) {
  if (!PolyIsDrawable(xy)) return;
  DisableTexturing();
  glBegin(GL_POLYGON);
  EmitPolyVertices(GLVex2DMatrix(), xy, hx, hy, tx, ty, Vertex);
  glEnd();
}

void TGLVex2DDriver::DrawPixmap(const TPixmap& pixmap, int x, int y) {
  const int remembered_blend = cached_blend;
  DisableTexturing();
  SetBlend(BLEND_SOLID);
  PixmapRef rows = FlipPixmapVertical(pixmap);  // OpenGL draws pixel rows bottom-up
  if (rows->format != RGBA8888) rows = rows->Convert(RGBA8888);
  // NOTE: glRasterPos would be clipped away for a position left of or below the window; moving
  // a valid position by a bitmap's zero-size advance reaches any corner, inside or out.
  glRasterPos2i(0, 0);
  glBitmap(0, 0, 0, 0, static_cast<float>(x), static_cast<float>(-y - rows->height), nullptr);
  glDrawPixels(rows->width, rows->height, GL_RGBA, GL_UNSIGNED_BYTE, rows->pixels);
  SetBlend(remembered_blend);
  CheckGLError("DrawPixmap");
}

PixmapRef TGLVex2DDriver::GrabPixmap(int x, int y, int width, int height) {
  EndQuadBatch();
  PixmapRef rows = TPixmap::Create(width, height, RGBA8888, 4);
  const int screen_width = CurrentGraphicsWidth();
  const int screen_height = CurrentGraphicsHeight();
  // Only the part inside the picture is read; the rest reads as transparent black. NOTE: an
  // enlarged window has rows of its own below the picture, so the window's edge is not enough.
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + width, screen_width);
  const int bottom = std::min(y + height, screen_height);
  if (left != x || top != y || right != x + width || bottom != y + height) rows->ClearPixels(0);
  if (left < right && top < bottom) {
    // Rows go bottom-up: the rows below the picture's bottom edge are skipped.
    glPixelStorei(GL_PACK_ROW_LENGTH, width);
    glPixelStorei(GL_PACK_SKIP_PIXELS, left - x);
    glPixelStorei(GL_PACK_SKIP_ROWS, y + height - bottom);
    glReadPixels(left, picture_rows_up + screen_height - bottom, right - left, bottom - top,
                 GL_RGBA, GL_UNSIGNED_BYTE, rows->pixels);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  }
  CheckGLError("GrabPixmap");
  return FlipPixmapVertical(*rows);
}

void TGLVex2DDriver::ResetGLContext(TGraphics& graphics) {
  int width = 0, height = 0, depth = 0, hertz = 0, flags = 0;
  graphics.GetSettings(width, height, depth, hertz, flags);
  cached_blend = 0;
  ForgetTextureState();
  // One unit per pixel, (0, 0) at the top-left corner, y growing downward.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  picture_rows_up = TakePictureRows();
  glViewport(0, picture_rows_up, width, height);
  CheckGLError("ResetGLContext");
}

TGLVex2DDriver* GetGLVex2DDriver() {
  static TGLVex2DDriver driver;
  return &driver;
}

void StartGLVex2DModule() {
  if (started) return;
  started = true;
  StartVex2DModule();
  StartGLGraphicsModule();
  SelectGraphicsDriver(GetGLVex2DDriver(), GRAPHICS_BACKBUFFER);
}
