// The graphics layer's module state: the current driver and graphics, the default graphics with its
// pacing, the mode cache and the serial that tells driver frames when to be rebuilt.
#include "platform/graphics/graphics.h"

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/core/runtime_error.h"
#include "platform/events/hooks.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "platform/process/clock.h"
#include "platform/process/frame_pacing.h"

namespace {
constexpr int kProbeMillis = 1000;
constexpr int kProbeHitsNeeded = 3;

struct Settings {
  int width = 0;
  int height = 0;
  int depth = 0;
  int hertz = 0;
  int flags = 0;
};

TGraphicsDriver* current_driver = nullptr;
int default_flags = 0;
std::vector<TGraphicsMode> cached_modes;
std::shared_ptr<TGraphics> current_graphics;
Settings current_settings;
std::shared_ptr<TGraphics> default_graphics;
int graphics_serial = 0;
bool paced = false;
FramePacer pacer;
FrameClock* frame_clock = nullptr;
int flip_hook_id = -1;
std::string creation_error;  // the text of the runtime error the last creation raised
bool exit_handler_registered = false;
bool started = false;

FrameClock& Clock() {
  return frame_clock != nullptr ? *frame_clock : SystemFrameClock();
}

// A driver change invalidates the context current on the old driver and the mode cache.
void ChangeDriver(TGraphicsDriver* driver) {
  if (current_driver != nullptr && current_graphics) current_driver->SetGraphics(nullptr);
  cached_modes.clear();
  current_driver = driver;
}

const std::vector<TGraphicsMode>& CachedModes() {
  if (cached_modes.empty() && current_driver != nullptr) {
    cached_modes = current_driver->GraphicsModes();
  }
  return cached_modes;
}

// Flips on the retrace for up to a second: three swaps in a row that each took one period
// (within a millisecond) show that the retrace really paces the display.
bool RetraceKeepsTime(int hertz) {
  FrameClock& clock = Clock();
  const int period = 1000 / hertz;
  // NOTE: clock readings wrap, so they are compared only by their unsigned 32-bit difference.
  const int start_of_probe = clock.Now();
  int hits = 0;
  while (MillisBetween(start_of_probe, clock.Now()) < static_cast<unsigned>(kProbeMillis)) {
    const int start = clock.Now();
    current_driver->Flip(1);
    const long long error = static_cast<long long>(MillisBetween(start, clock.Now())) - period;
    if (error >= -1 && error <= 1) {
      if (++hits == kProbeHitsNeeded) return true;
    } else {
      hits = 0;
    }
  }
  return false;
}

// The pacing step of a frame: -1 waits in software until the default graphics' next frame is due
// and swaps at once (or, unpaced, swaps on the retrace in full screen); 0 and 1 pass unchanged.
// Returns the sync the swap is made with.
bool PacedDefaultGraphicsIsCurrent() {
  return current_graphics && current_graphics == default_graphics && paced;
}

int WaitUntilFrameDue(int sync) {
  if (sync != -1) return sync;
  if (!PacedDefaultGraphicsIsCurrent()) return current_settings.depth != 0 ? 1 : 0;
  current_driver->FinishFrame();
  pacer.WaitForNextFrame(Clock());
  return 0;
}

// Runs a creation; one that raises a runtime error makes nothing, and the error's text is kept
// for the report.
std::shared_ptr<TGraphics> CreateKeepingItsError(
    const std::function<std::shared_ptr<TGraphics>()>& create) {
  creation_error.clear();
  try {
    return create();
  } catch (const TerminationRequest&) {
    throw;  // a termination is no failure to create: it ends the program
  } catch (const RuntimeError& error) {
    creation_error = error.what();
    return nullptr;
  }
}

// NOTE: whether this runs before or after the display's own exit function does not matter: the
// window layer frees every window it still holds when its display closes.
void CloseDefaultGraphicsAtExit() {
  RunExitWork(CloseDefaultGraphics);
}
}  // namespace

String TGraphicsMode::ToString() const {
  return IntToString(width) + u"," + IntToString(height) + u"," + IntToString(depth) + u" " +
         IntToString(hertz) + u"Hz";
}

void SelectGraphicsDriver(TGraphicsDriver* driver, int flags) {
  if (driver != current_driver) ChangeDriver(driver);
  default_flags = flags;
  current_graphics = nullptr;
  current_settings = {};
}

TGraphicsDriver* CurrentGraphicsDriver() {
  return current_driver;
}

int DefaultGraphicsFlags() {
  return default_flags;
}

std::vector<TGraphicsMode> ListGraphicsModes() {
  return CachedModes();
}

int GraphicsModeCount() {
  return static_cast<int>(CachedModes().size());
}

void GraphicsModeAt(int index, int& width, int& height, int& depth, int& hertz) {
  const auto& modes = CachedModes();
  if (index < 0 || index >= static_cast<int>(modes.size())) {
    RaiseRuntimeError("Graphics mode index out of range");
  }
  const TGraphicsMode& mode = modes[static_cast<std::size_t>(index)];
  width = mode.width;
  height = mode.height;
  depth = mode.depth;
  hertz = mode.hertz;
}

int HasGraphicsMode(int width, int height, int depth, int hertz) {
  for (const TGraphicsMode& mode : CachedModes()) {
    if (width != 0 && mode.width != width) continue;
    if (height != 0 && mode.height != height) continue;
    if (depth != 0 && mode.depth != depth) continue;
    if (hertz != 0 && mode.hertz != hertz) continue;
    return 1;
  }
  return 0;
}

std::shared_ptr<TGraphics> NewGraphics(int width, int height, int depth, int hertz, int flags) {
  if (current_driver == nullptr) return nullptr;
  return CreateKeepingItsError([&] {
    return current_driver->CreateGraphics(width, height, depth, hertz, flags | default_flags);
  });
}

std::shared_ptr<TGraphics> AttachGraphicsTo(unsigned long widget, int flags) {
  if (current_driver == nullptr) return nullptr;
  return CreateKeepingItsError(
      [&] { return current_driver->AttachGraphics(widget, flags | default_flags); });
}

const std::string& GraphicsCreationError() {
  return creation_error;
}

void CloseGraphicsContext(const std::shared_ptr<TGraphics>& graphics) {
  if (!graphics) return;
  const std::shared_ptr<TGraphics> keep = graphics;  // the caller may hold it through a global
  if (keep == default_graphics) default_graphics = nullptr;
  if (keep == current_graphics) SelectGraphics(nullptr);
  keep->Close();
}

void SelectGraphics(const std::shared_ptr<TGraphics>& graphics) {
  if (!graphics) {
    if (current_driver != nullptr && current_graphics) current_driver->SetGraphics(nullptr);
    current_graphics = nullptr;
    current_settings = {};
    return;
  }
  TGraphicsDriver* driver = graphics->Driver();
  if (driver != current_driver) ChangeDriver(driver);
  Settings settings;
  graphics->GetSettings(settings.width, settings.height, settings.depth, settings.hertz,
                        settings.flags);
  current_settings = settings;
  // NOTE: recorded before the driver makes it current: a context's first activation clears and
  // flips its buffers, and the flip hooks and the event pump that run then see this graphics.
  current_graphics = graphics;
  current_driver->SetGraphics(graphics);
}

std::shared_ptr<TGraphics> CurrentGraphics() {
  return current_graphics;
}

int CurrentGraphicsWidth() {
  return current_settings.width;
}
int CurrentGraphicsHeight() {
  return current_settings.height;
}
int CurrentGraphicsDepth() {
  return current_settings.depth;
}
int CurrentGraphicsHertz() {
  return current_settings.hertz;
}
int CurrentGraphicsFlags() {
  return current_settings.flags;
}

std::shared_ptr<TGraphics> OpenGraphics(int width, int height, int depth, int hertz, int flags) {
  CloseDefaultGraphics();
  std::shared_ptr<TGraphics> graphics = NewGraphics(width, height, depth, hertz, flags);
  if (!graphics) return nullptr;
  graphics_serial = NextGraphicsSerial(graphics_serial);
  SelectGraphics(graphics);

  paced = hertz > 0;
  if (paced && depth != 0 && RetraceKeepsTime(hertz)) paced = false;
  pacer.Restart(hertz, Clock().Now());

  default_graphics = graphics;
  if (depth != 0) PlaceMouse(width / 2, height / 2);
  EnablePolledInput(nullptr);
  if (!exit_handler_registered) {
    exit_handler_registered = true;
    std::atexit(CloseDefaultGraphicsAtExit);
  }
  return graphics;
}

std::shared_ptr<TGraphics> DefaultGraphics() {
  return default_graphics;
}

void CloseDefaultGraphics() {
  if (!default_graphics) return;
  graphics_serial = NextGraphicsSerial(graphics_serial);
  DisablePolledInput();
  CloseGraphicsContext(default_graphics);
}

void FlipFrame(int sync) {
  CallHooks(flip_hook_id, nullptr);
  if (current_driver == nullptr) return;
  const int swap_sync = WaitUntilFrameDue(sync);
  current_driver->Flip(swap_sync);
  // NOTE: the input is read as late as the next frame's work allows, not right after this swap:
  // read then, it would wait most of a frame for a picture that shows it.
  if (sync == -1 && PacedDefaultGraphicsIsCurrent()) pacer.WaitUntilWorkStarts(Clock());
  PollSystemEvents();
  // A hidden window gets no frames at all; when it is shown again the schedule starts afresh
  // rather than catching up on the frames it missed.
  if (WaitWhileWindowHidden()) pacer.Restart(pacer.hertz(), Clock().Now());
}

int GraphicsSerial() {
  return graphics_serial;
}

int NextGraphicsSerial(int serial) {
  const int next = static_cast<int>(static_cast<unsigned>(serial) + 1u);
  return next == 0 ? 1 : next;
}

int FlipHookId() {
  return flip_hook_id;
}

bool GraphicsPaced() {
  return paced;
}

const FramePacer& GraphicsPacer() {
  return pacer;
}

void UseFrameClock(FrameClock* clock) {
  frame_clock = clock;
}

void StartGraphicsModule() {
  if (started) return;
  started = true;
  StartPolledInputModule();  // and with it the system module
  flip_hook_id = NewHookId();
}
