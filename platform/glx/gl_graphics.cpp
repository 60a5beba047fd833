// The OpenGL graphics driver: each operation forwards to the GLX glue.
#include "platform/glx/gl_graphics.h"

#include "platform/glx/glx_context.h"
#include "platform/x11/linux_system.h"

namespace {
constexpr std::size_t kModeCapacity = 1024;

TGLGraphicsDriver gl_driver;
bool started = false;
}  // namespace

TGraphicsDriver* TGLGraphics::Driver() {
  return &gl_driver;
}

void TGLGraphics::GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) {
  const GLContextRecord* record = ContextRecord(_context);
  if (record == nullptr) {
    width = height = depth = hertz = flags = 0;
    return;
  }
  width = record->width();
  height = record->height();
  depth = record->depth;
  hertz = record->hertz;
  flags = record->flags;
}

void TGLGraphics::Close() {
  CloseContextWindow(_context);
  _context = 0;
}

std::vector<TGraphicsMode> TGLGraphicsDriver::GraphicsModes() {
  return ListVideoModes(kModeCapacity);
}

std::shared_ptr<TGraphics> TGLGraphicsDriver::AttachGraphics(unsigned long widget, int flags) {
  return std::make_shared<TGLGraphics>(AttachContextWindow(widget, flags));
}

std::shared_ptr<TGraphics> TGLGraphicsDriver::CreateGraphics(int width, int height, int depth,
                                                             int hertz, int flags) {
  const int context = CreateContextWindow(width, height, depth, hertz, flags);
  if (context == 0) return nullptr;
  return std::make_shared<TGLGraphics>(context);
}

void TGLGraphicsDriver::SetGraphics(const std::shared_ptr<TGraphics>& graphics) {
  const auto* gl_graphics = dynamic_cast<const TGLGraphics*>(graphics.get());
  MakeContextCurrent(gl_graphics != nullptr ? gl_graphics->_context : 0);
}

void TGLGraphicsDriver::Flip(int sync) {
  SwapContext(sync);
}

TGLGraphicsDriver* GLGraphicsDriver() {
  return &gl_driver;
}

std::shared_ptr<TGraphics> OpenGLGraphics(int width, int height, int depth, int hertz, int flags) {
  SelectGraphicsDriver(GLGraphicsDriver(), GRAPHICS_BACKBUFFER);
  return OpenGraphics(width, height, depth, hertz, flags);
}

void StartGLGraphicsModule() {
  if (started) return;
  started = true;
  // NOTE: a GLX window delivers its input only through the X11 system driver's pump.
  StartLinuxSystemModule();
  StartGraphicsModule();
  SelectGraphicsDriver(GLGraphicsDriver(), GRAPHICS_BACKBUFFER);
}
