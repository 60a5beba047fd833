// The game's main program: starts the modules it stands on, opens the 800 x 600 window and runs
// the frame loop.
#include "game/zirkulon.h"

#include "game/frame.h"
#include "imagetext/text.h"
#include "platform/event_queue.h"
#include "platform/graphics.h"
#include "platform/runtime_error.h"
#include "platform/system_driver.h"
#include "render2d/gl_vex2d_driver.h"
#include "render2d/vex2d.h"

namespace {
bool started = false;

void StartModules() {
  StartSystemModule();
  StartGraphicsModule();
  StartVex2DModule();
  StartImageTextModule();
  StartEventQueueModule();
  StartGLVex2DModule();
}

void OpenGameWindow() {
  SelectGraphicsDriver(GetGLVex2DDriver(), 2);
  if (!OpenGraphics(800, 600, 0, 60, 0)) {
    RaiseRuntimeError(
        "Unable to open the 800x600 game window: check that an X display is reachable (DISPLAY), "
        "that it offers OpenGL through GLX and that it has a double-buffered RGBA visual");
  }
}
}  // namespace

void ZirkulonMain() {
  if (started) return;
  started = true;
  StartModules();
  OpenGameWindow();
  SetBlend(BLEND_LIGHT);
  CreateGameWorld();
  HideMousePointer();
  RunFrameLoop();
}
