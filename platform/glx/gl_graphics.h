// The OpenGL graphics driver: graphics contexts that are GLX contexts on X windows. Other drivers
// (the 2D renderer's) wrap this one, so its operations stay public and virtual.
#pragma once

#include <memory>
#include <vector>

#include "platform/graphics/graphics.h"

class TGLGraphics : public TGraphics {
 public:
  explicit TGLGraphics(int context) : _context(context) {}
  // Deleting a context's object does not close its window; only Close does.
  ~TGLGraphics() override = default;

  TGraphicsDriver* Driver() override;
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override;
  void Close() override;

  // The handle of its GLX context record, 0 once closed.
  int _context;
};

class TGLGraphicsDriver : public TGraphicsDriver {
 public:
  std::vector<TGraphicsMode> GraphicsModes() override;
  std::shared_ptr<TGraphics> AttachGraphics(unsigned long widget, int flags) override;
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  void SetGraphics(const std::shared_ptr<TGraphics>& graphics) override;
  // Swaps the current context's buffers; the caller pumps the events afterwards.
  void Flip(int sync) override;
};

// The one OpenGL graphics driver.
TGLGraphicsDriver* GLGraphicsDriver();

// Selects the OpenGL driver with default flags 2 and opens the default graphics on it.
std::shared_ptr<TGraphics> OpenGLGraphics(int width, int height, int depth, int hertz, int flags);

// Starts the graphics module and makes the OpenGL driver current with default flags 2.
void StartGLGraphicsModule();
