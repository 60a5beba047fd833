// The recording 2D driver and its fake graphics context.
#include "tests/support/recording_vex2d_driver.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/graphics/graphics.h"

namespace {
class TRecordingGraphics : public TGraphics {
 public:
  TRecordingGraphics(TRecordingVex2DDriver* driver, int width, int height, int depth, int hertz,
                     int flags)
      : driver_(driver), settings_{width, height, depth, hertz, flags} {}
  TGraphicsDriver* Driver() override { return driver_; }
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override {
    width = settings_[0], height = settings_[1], depth = settings_[2], hertz = settings_[3];
    flags = settings_[4];
  }
  void Close() override { driver_->Record("CloseContext", {}); }

 private:
  TRecordingVex2DDriver* driver_;
  int settings_[5];
};

class TRecordingImageFrame : public TImageFrame {
 public:
  explicit TRecordingImageFrame(TRecordingVex2DDriver* driver) : driver_(driver) {}
  void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override {
    TRecordedCall& call = driver_->Record("FrameDraw", {x0, y0, x1, y1, tx, ty});
    EmitRectVertices(driver_->matrix, x0, y0, x1, y1, tx, ty,
                     [&](TVertex2D v) { call.vertices.push_back(v); });
  }

 private:
  TRecordingVex2DDriver* driver_;
};
}  // namespace

TRecordedCall& TRecordingVex2DDriver::Record(std::string name, std::vector<double> args) {
  calls.push_back({std::move(name), std::move(args), {}});
  return calls.back();
}

const TRecordedCall& TRecordingVex2DDriver::Last() const {
  static const TRecordedCall none{"(no call)", {}, {}};
  if (calls.empty()) {
    ADD_FAILURE() << "the recording driver received no call";
    return none;
  }
  return calls.back();
}

std::vector<TRecordedCall> TRecordingVex2DDriver::CallsNamed(std::string_view name) const {
  std::vector<TRecordedCall> result;
  for (const TRecordedCall& call : calls) {
    if (call.name == name) result.push_back(call);
  }
  return result;
}

std::vector<std::string> TRecordingVex2DDriver::Names() const {
  std::vector<std::string> result;
  for (const TRecordedCall& call : calls) result.push_back(call.name);
  return result;
}

std::vector<TGraphicsMode> TRecordingVex2DDriver::GraphicsModes() {
  Record("GraphicsModes", {});
  return {};
}

std::shared_ptr<TGraphics> TRecordingVex2DDriver::AttachGraphics(unsigned long widget, int flags) {
  Record("AttachGraphics", {static_cast<double>(widget), static_cast<double>(flags)});
  return nullptr;
}

std::shared_ptr<TGraphics> TRecordingVex2DDriver::CreateGraphics(int width, int height, int depth,
                                                                 int hertz, int flags) {
  Record("CreateGraphics",
         {double(width), double(height), double(depth), double(hertz), double(flags)});
  return TVex2DGraphics::Create(
      std::make_shared<TRecordingGraphics>(this, width, height, depth, hertz, flags), this);
}

void TRecordingVex2DDriver::SetGraphics(const std::shared_ptr<TGraphics>& graphics) {
  if (!graphics) {
    Record("SetGraphics", {0});
    TVex2DGraphics::ClearCurrent();
    return;
  }
  auto vex = std::dynamic_pointer_cast<TVex2DGraphics>(graphics);
  if (!vex || vex->Driver() != this) {
    Record("SetGraphicsRefused", {});
    return;
  }
  Record("SetGraphics", {1});
  vex->MakeCurrent();
}

void TRecordingVex2DDriver::Flip(int sync) {
  Record("Flip", {double(sync)});
}

std::shared_ptr<TImageFrame> TRecordingVex2DDriver::CreateFrameFromPixmap(const TPixmap& pixmap,
                                                                          int flags) {
  Record("CreateFrameFromPixmap", {double(pixmap.width), double(pixmap.height), double(flags)});
  return std::make_shared<TRecordingImageFrame>(this);
}

void TRecordingVex2DDriver::SetBlend(int mode) {
  Record("SetBlend", {double(mode)});
}
void TRecordingVex2DDriver::SetAlpha(float alpha) {
  Record("SetAlpha", {alpha});
}
void TRecordingVex2DDriver::SetColor(int red, int green, int blue) {
  Record("SetColor", {double(red), double(green), double(blue)});
}
void TRecordingVex2DDriver::SetClsColor(int red, int green, int blue) {
  Record("SetClsColor", {double(red), double(green), double(blue)});
}
void TRecordingVex2DDriver::SetViewport(int x, int y, int width, int height) {
  Record("SetViewport", {double(x), double(y), double(width), double(height)});
}
void TRecordingVex2DDriver::SetTransform(float ix, float iy, float jx, float jy) {
  Record("SetTransform", {ix, iy, jx, jy});
  matrix = {ix, iy, jx, jy};
}
void TRecordingVex2DDriver::SetLineWidth(float width) {
  Record("SetLineWidth", {width});
}
void TRecordingVex2DDriver::SetPolygonOutlineMode(bool outline) {
  Record("SetPolygonOutlineMode", {outline ? 1.0 : 0.0});
}
void TRecordingVex2DDriver::Cls() {
  Record("Cls", {});
}

void TRecordingVex2DDriver::Plot(float x, float y) {
  Record("Plot", {x, y}).vertices.push_back(PixelCentre({x, y}));
}

void TRecordingVex2DDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) {
  TRecordedCall& call = Record("DrawLine", {x0, y0, x1, y1, tx, ty});
  call.vertices.push_back(PixelCentre(MapPoint(matrix, x0, y0, tx, ty)));
  call.vertices.push_back(PixelCentre(MapPoint(matrix, x1, y1, tx, ty)));
}

void TRecordingVex2DDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) {
  TRecordedCall& call = Record("DrawRect", {x0, y0, x1, y1, tx, ty});
  EmitRectVertices(matrix, x0, y0, x1, y1, tx, ty,
                   [&](TVertex2D v) { call.vertices.push_back(v); });
}

void TRecordingVex2DDriver::DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) {
  TRecordedCall& call = Record("DrawOval", {x0, y0, x1, y1, tx, ty});
  EmitOvalVertices(matrix, x0, y0, x1, y1, tx, ty,
                   [&](TVertex2D v) { call.vertices.push_back(v); });
}

void TRecordingVex2DDriver::DrawPoly(std::span<const float> xy, float hx, float hy, float tx,
                                     float ty) {
  std::vector<double> args{hx, hy, tx, ty};
  args.insert(args.end(), xy.begin(), xy.end());
  TRecordedCall& call = Record("DrawPoly", std::move(args));
  if (!PolyIsDrawable(xy)) return;
  EmitPolyVertices(matrix, xy, hx, hy, tx, ty, [&](TVertex2D v) { call.vertices.push_back(v); });
}

void TRecordingVex2DDriver::DrawPixmap(const TPixmap& pixmap, int x, int y) {
  Record("DrawPixmap", {double(pixmap.width), double(pixmap.height), double(x), double(y)});
}

PixmapRef TRecordingVex2DDriver::GrabPixmap(int x, int y, int width, int height) {
  Record("GrabPixmap", {double(x), double(y), double(width), double(height)});
  if (screen) return screen->Window(x, y, width, height)->Copy();
  PixmapRef pixmap = TPixmap::Create(width, height, RGBA8888, 4);
  pixmap->ClearPixels(0);
  return pixmap;
}

TRecordingSession::TRecordingSession(int width, int height) {
  StartVex2DModule();
  SelectGraphicsDriver(&driver, GRAPHICS_BACKBUFFER);
  // Hertz 0: flips are not paced, so tests run frames as fast as they like.
  graphics = std::dynamic_pointer_cast<TVex2DGraphics>(OpenGraphics(width, height, 0, 0, 0));
  if (graphics == nullptr) ADD_FAILURE() << "the recording driver gave no 2D graphics";
  driver.Clear();
}

TRecordingSession::~TRecordingSession() {
  CloseDefaultGraphics();
  SelectGraphicsDriver(nullptr, 0);
}
