// One frame of the game in the order the screen needs it, and the loop around it.
#include "game/frame.h"

#include "game/background.h"
#include "game/ball.h"
#include "game/screens.h"
#include "platform/graphics.h"
#include "platform/polled_input.h"
#include "render2d/primitives.h"

namespace {
constexpr int kBackgroundRects = 150;
constexpr int kKeyEscape = 27;
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
