// The game's main program: starts the modules it stands on, opens the 800 x 600 window and runs
// the frame loop.
#include "game/app/zirkulon.h"

#include "game/app/window_icon.h"
#include "game/screens/frame.h"
#include "game/world/screen_geometry.h"
#include "imagetext/text/imagetext_module.h"
#include "platform/core/runtime_error.h"
#include "platform/events/event_queue.h"
#include "platform/events/system_driver.h"
#include "platform/glx/graphics_diagnosis.h"
#include "platform/graphics/graphics.h"
#include "platform/process/startup.h"
#include "platform/x11/linux_system.h"
#include "render2d/drawing/vex2d.h"
#include "render2d/gl/gl_vex2d_driver.h"

namespace {
bool started = false;
}  // namespace

void StartGameModules() {
  StartLinuxSystemModule();
  StartGraphicsModule();
  StartVex2DModule();
  StartImageTextModule();
  StartEventQueueModule();
  StartGLVex2DModule();
}

// NOTE: without a window there is nothing to draw on and no way to leave the loop, so a window
// that cannot be opened ends the program with the reason, as one whole line for the terminal.
void OpenGameWindow() {
  // The class names the desktop entry's StartupWMClass, so docks match the window to it.
  SetApplicationClass("zirkulon", "org.zirkulon.Zirkulon");
  SetApplicationIcon(WindowIcon());
  SelectGraphicsDriver(GetGLVex2DDriver(), GRAPHICS_BACKBUFFER);
  if (!OpenGraphics(kScreenWidth, kScreenHeight, 0, 60, 0)) {
    RaiseRuntimeError("Unable to open the 800x600 game window: " +
                      DescribeGraphicsFailure(GRAPHICS_BACKBUFFER) + "\n");
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
