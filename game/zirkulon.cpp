// The game's main program: starts the modules it stands on, opens the 800 x 600 window and runs
// the frame loop.
#include "game/zirkulon.h"

#include "game/frame.h"
#include "imagetext/imagetext_module.h"
#include "platform/event_queue.h"
#include "platform/graphics.h"
#include "platform/graphics_diagnosis.h"
#include "platform/runtime_error.h"
#include "platform/system_driver.h"
#include "render2d/gl_vex2d_driver.h"
#include "render2d/vex2d.h"

namespace {
bool started = false;
constexpr int kGraphicsFlags = 2;  // a back buffer
}  // namespace

void StartGameModules() {
  StartSystemModule();
  StartGraphicsModule();
  StartVex2DModule();
  StartImageTextModule();
  StartEventQueueModule();
  StartGLVex2DModule();
}

// NOTE: without a window there is nothing to draw on and no way to leave the loop, so a window
// that cannot be opened ends the program with the reason, as one whole line for the terminal.
void OpenGameWindow() {
  SelectGraphicsDriver(GetGLVex2DDriver(), kGraphicsFlags);
  if (!OpenGraphics(800, 600, 0, 60, 0)) {
    RaiseRuntimeError("Unable to open the 800x600 game window: " +
                      DescribeGraphicsFailure(kGraphicsFlags) + "\n");
  }
}

void ZirkulonMain() {
  if (started) return;
  started = true;
  StartGameModules();
  OpenGameWindow();
  SetBlend(BLEND_LIGHT);
  CreateGameWorld();
  HideMousePointer();
  RunFrameLoop();
}
