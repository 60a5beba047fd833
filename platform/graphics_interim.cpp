// Interim stand-in for the graphics layer until its own implementation is merged: only what the
// 2D renderer's tests reach. Removed on the merge that brings the real one.
#include "platform/graphics.h"

namespace {
TGraphicsDriver* current_driver = nullptr;
std::shared_ptr<TGraphics> current_graphics;
int settings[5] = {};
int default_flags = 0;
}  // namespace

void SelectGraphicsDriver(TGraphicsDriver* driver, int flags) {
  if (driver != current_driver) {
    if (current_driver && current_graphics) current_driver->SetGraphics(nullptr);
    current_driver = driver;
  }
  default_flags = flags;
  current_graphics = nullptr;
  for (int& s : settings) s = 0;
}
TGraphicsDriver* CurrentGraphicsDriver() {
  return current_driver;
}
int DefaultGraphicsFlags() {
  return default_flags;
}
void SelectGraphics(const std::shared_ptr<TGraphics>& graphics) {
  if (!graphics) {
    if (current_driver && current_graphics) current_driver->SetGraphics(nullptr);
    current_graphics = nullptr;
    for (int& s : settings) s = 0;
    return;
  }
  TGraphicsDriver* driver = graphics->Driver();
  if (driver != current_driver) {
    if (current_driver && current_graphics) current_driver->SetGraphics(nullptr);
    current_driver = driver;
  }
  graphics->GetSettings(settings[0], settings[1], settings[2], settings[3], settings[4]);
  driver->SetGraphics(graphics);
  current_graphics = graphics;
}
std::shared_ptr<TGraphics> CurrentGraphics() {
  return current_graphics;
}
int CurrentGraphicsWidth() {
  return settings[0];
}
int CurrentGraphicsHeight() {
  return settings[1];
}
void FlipFrame(int sync) {
  if (current_driver) current_driver->Flip(sync == -1 ? 0 : sync);
}
void StartGraphicsModule() {}

// The OpenGL graphics driver is not here yet: it makes no contexts.
#include "platform/gl_graphics.h"
TGraphicsDriver* TGLGraphics::Driver() {
  return GLGraphicsDriver();
}
void TGLGraphics::GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) {
  width = height = depth = hertz = flags = 0;
}
void TGLGraphics::Close() {}
std::vector<TGraphicsMode> TGLGraphicsDriver::GraphicsModes() {
  return {};
}
std::shared_ptr<TGraphics> TGLGraphicsDriver::AttachGraphics(unsigned long, int) {
  return nullptr;
}
std::shared_ptr<TGraphics> TGLGraphicsDriver::CreateGraphics(int, int, int, int, int) {
  return nullptr;
}
void TGLGraphicsDriver::SetGraphics(const std::shared_ptr<TGraphics>&) {}
void TGLGraphicsDriver::Flip(int) {}
void TGLGraphicsDriver::SwapSharedContext() {}
TGLGraphicsDriver* GLGraphicsDriver() {
  static TGLGraphicsDriver driver;
  return &driver;
}
void StartGLGraphicsModule() {}
std::shared_ptr<TGraphics> NewGraphics(int width, int height, int depth, int hertz, int flags) {
  return current_driver
             ? current_driver->CreateGraphics(width, height, depth, hertz, flags | default_flags)
             : nullptr;
}
void CloseGraphicsContext(const std::shared_ptr<TGraphics>& graphics) {
  if (graphics == current_graphics) SelectGraphics(nullptr);
  graphics->Close();
}
