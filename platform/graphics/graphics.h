// The device-independent graphics layer: drivers create graphics contexts (a window with a
// rendering context), one context is current at a time, and every frame ends with a flip that shows
// the back buffer, paced in software to the rate the default graphics was opened with, and then
// pumps the system driver's events.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/text.h"

class TGraphicsDriver;
class FrameClock;
class FramePacer;

// Graphics flags: bits may be combined.
constexpr int GRAPHICS_BACKBUFFER = 2;
constexpr int GRAPHICS_ALPHABUFFER = 4;
constexpr int GRAPHICS_DEPTHBUFFER = 8;
constexpr int GRAPHICS_STENCILBUFFER = 16;
constexpr int GRAPHICS_ACCUMBUFFER = 32;

// A graphics context. Drivers are process-lifetime singletons, so Driver() hands out a plain
// pointer; contexts themselves are counted references.
class TGraphics {
 public:
  virtual ~TGraphics() = default;
  virtual TGraphicsDriver* Driver() = 0;
  virtual void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) = 0;
  virtual void Close() = 0;
};

struct TGraphicsMode {
  int width = 0;
  int height = 0;
  int depth = 0;
  int hertz = 0;

  // "800,600,24 60Hz"
  String ToString() const;
};

class TGraphicsDriver {
 public:
  virtual ~TGraphicsDriver() = default;
  virtual std::vector<TGraphicsMode> GraphicsModes() = 0;
  // `widget` is a window made elsewhere (an X window id for the OpenGL driver).
  virtual std::shared_ptr<TGraphics> AttachGraphics(unsigned long widget, int flags) = 0;
  // Depth 0 asks for a window, any other depth for full screen. Null when nothing can be made.
  virtual std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                                    int flags) = 0;
  // Null makes no context of this driver current.
  virtual void SetGraphics(const std::shared_ptr<TGraphics>& graphics) = 0;
  // -1 is never passed here; 0 swaps at once, any other value waits for the vertical retrace.
  virtual void Flip(int sync) = 0;
  // Before a paced frame waits until it is due: hands what was drawn to the renderer, so that it
  // is rendered while the frame waits rather than after.
  virtual void FinishFrame() {}
};

// Makes `driver` the one that creates contexts (when it is a different one) and stores the flags
// OR-ed into every creation request. Always leaves no graphics current.
void SelectGraphicsDriver(TGraphicsDriver* driver, int default_flags);
TGraphicsDriver* CurrentGraphicsDriver();
int DefaultGraphicsFlags();

// The current driver's modes, asked for once per driver and then served from a cache.
std::vector<TGraphicsMode> ListGraphicsModes();
int GraphicsModeCount();
void GraphicsModeAt(int index, int& width, int& height, int& depth, int& hertz);
// 1 when some listed mode matches; an argument of 0 matches anything.
int HasGraphicsMode(int width, int height, int depth, int hertz);

// The current driver's creation with the default flags added. A runtime error raised during
// creation comes back as null, its text kept in GraphicsCreationError; any other exception
// passes on.
std::shared_ptr<TGraphics> NewGraphics(int width, int height, int depth, int hertz, int flags);
std::shared_ptr<TGraphics> AttachGraphicsTo(unsigned long widget, int flags);
// The text of the runtime error the last creation raised; empty when it raised none.
const std::string& GraphicsCreationError();

void CloseGraphicsContext(const std::shared_ptr<TGraphics>& graphics);
void SelectGraphics(const std::shared_ptr<TGraphics>& graphics);
std::shared_ptr<TGraphics> CurrentGraphics();

// The settings of the current graphics as it reported them when it became current.
int CurrentGraphicsWidth();
int CurrentGraphicsHeight();
int CurrentGraphicsDepth();
int CurrentGraphicsHertz();
int CurrentGraphicsFlags();

// Opens the default graphics (closing the previous one first) and enables polled input. Null when
// the driver cannot create it; the serial, the pacing and polled input then stay as they were.
std::shared_ptr<TGraphics> OpenGraphics(int width, int height, int depth, int hertz, int flags);
std::shared_ptr<TGraphics> DefaultGraphics();
void CloseDefaultGraphics();

// Ends the frame in five steps: runs the flip hooks; waits until the frame is due (-1 paces the
// default graphics in software, 0 swaps at once and 1 swaps on the vertical retrace); has the
// driver swap the buffers; pumps the system events; and, while the window is hidden, sleeps until
// it is shown (or asked to close), restarting the pacing afterwards.
void FlipFrame(int sync);

// Changes whenever the default graphics is replaced or closed; never 0 after the first change.
int GraphicsSerial();
// The serial that follows `serial`: one more, skipping 0.
int NextGraphicsSerial(int serial);

// The hook id run with null data at the start of every flip.
int FlipHookId();

// Whether FlipFrame(-1) paces the default graphics in software (off at 0 Hz, and in full screen
// when the retrace probe found swaps that really wait for the retrace).
bool GraphicsPaced();
// The schedule of the default graphics: period, remainder, accumulator and next frame time.
const FramePacer& GraphicsPacer();
// The clock FlipFrame paces on and the retrace probe reads; null restores the millisecond clock.
void UseFrameClock(FrameClock* clock);

void StartGraphicsModule();
