// One frame of the game in the order the screen needs it, and the loop around it.
#include "game/screens/frame.h"

#include "game/screens/screens.h"
#include "game/world/background.h"
#include "game/world/ball.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/primitives.h"

namespace {
constexpr int kBackgroundRects = 150;
}  // namespace

void CreateGameWorld() {
  for (int i = 0; i < kBackgroundRects; ++i) SpawnRect();
  ServeBall();
}

void DrawGameFrame() {
  Cls();
  UpdateTempo();
  DrawBackground();
  UpdateScreen();
}

bool HandleFrameInput() {
  HandleScreenKeys();
  // The window's business, not a screen's: where the desktop offers no full screen, nothing.
  if (KeyHits(kKeyF11) > 0) ToggleFullScreenWindow();
  // NOTE: the screen keys have consumed this frame's Escape hits; only one that arrived in
  // between leaves here.
  if (KeyHits(kKeyEscape) > 0) return false;
  return AppTerminateRequested() == 0;
}

void RunFrameLoop() {
  do {
    DrawGameFrame();
    FlipFrame(-1);
  } while (HandleFrameInput());
}
