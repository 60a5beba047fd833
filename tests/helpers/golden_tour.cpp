// Plays the game in this process on a fixed script and saves four of its frames as PNG files,
// <output>/menu.png, help.png, play.png and farewell.png, the same bytes in every run: input goes
// in at fixed frame numbers and the frame pacing runs on a clock that never waits, so nothing
// depends on how fast the machine is. Usage: golden_tour <output directory> [scale]  (needs an X
// display that nothing else moves the pointer on). With a scale above 1 the frames are read from
// the enlarged window after their flip, as the player sees them.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/app/zirkulon.h"
#include "game/screens/frame.h"
#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"
#include "imagetext/pixmap/pixmap.h"
#include "platform/core/runtime_error.h"
#include "platform/events/event.h"
#include "platform/events/key_codes.h"
#include "platform/events/system_driver.h"
#include "platform/glx/window_scale.h"
#include "platform/graphics/graphics.h"
#include "platform/process/startup.h"
#include "platform/x11/x_display.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/game_window.h"
#include "tests/support/manual_clock.h"
#include "tests/support/png_file.h"

namespace {
std::filesystem::path output_dir;
double scale = 1;

void TapKey(int code) {
  EmitEvent(EVENT_KEYDOWN, code, 0, 0);
  EmitEvent(EVENT_KEYUP, code, 0, 0);
}

// Input goes in after the flip of its frame, where the event pump delivers it. The panel takes
// 90 frames to open and 91 to close, the disc 50 each way; every step leaves a margin of 20 or
// more frames after its screen has settled.
struct Input {
  int frame;
  void (*send)();
};
constexpr Input kScript[] = {
    {120, [] { TapKey(kKeyH); }},
    {330, [] { TapKey(kKeyEscape); }},
    {540, [] { TapKey(kKeySpace); }},  // the game is shown from frame 682
    {700,
     [] {
       EmitEvent(EVENT_MOUSEDOWN, kMouseLeft, 0, 0);  // serves
       EmitEvent(EVENT_MOUSEUP, kMouseLeft, 0, 0);
       EmitEvent(EVENT_KEYDOWN, kKeyLeft, 0, 0);
     }},
    {730, [] { EmitEvent(EVENT_KEYUP, kKeyLeft, 0, 0); }},
    {780, [] { TapKey(kKeyEscape); }},
    {950, [] { TapKey(kKeyEscape); }},
};

// A frame is read back from the back buffer before its flip: exactly what that frame drew,
// whether or not the window is mapped, covered or being composited.
struct Shot {
  int frame;
  const char* name;
  int screen;
};
constexpr Shot kShots[] = {
    {120, "menu", kScreenMenu},
    {330, "help", kScreenHelp},
    {780, "play", kScreenGame},
    {1160, "farewell", kScreenFarewell},
};

// A screen counts as reached once no transition is pending and its panel is fully open.
bool Settled(int screen) {
  const TGameState& game = Game();
  if (game.screen != screen || game.nextScreen != screen) return false;
  return screen == kScreenGame ? game.disc >= 500 : game.boxH > 500;
}

void Save(const Shot& shot) {
  if (!Settled(shot.screen)) {
    RaiseRuntimeError("frame " + std::to_string(shot.frame) + " does not show the settled " +
                      shot.name + " screen: the script's frame counts need new margins\n");
  }
  int width = kScreenWidth;
  int height = kScreenHeight;
  std::vector<std::uint32_t> rgb;
  if (scale > 1) {
    XSync(XDisplayConnection(), False);  // the swap's pixels are on the server
    GameWindow window;
    if (!window.FindLeavingPointer(5000)) RaiseRuntimeError("the game's window is not found\n");
    GameShot seen = window.CaptureWindow();
    width = seen.width;
    height = seen.height;
    rgb = std::move(seen.pixels);
  } else {
    const PixmapRef frame = GrabPixmap(0, 0, kScreenWidth, kScreenHeight);
    if (!frame) RaiseRuntimeError("no pixels were read back\n");
    for (int y = 0; y < kScreenHeight; ++y)
      for (int x = 0; x < kScreenWidth; ++x) rgb.push_back(frame->ReadPixel(x, y) & 0xffffff);
  }
  const std::filesystem::path path = output_dir / (std::string(shot.name) + ".png");
  if (!WritePngFile(path, width, height, rgb))
    RaiseRuntimeError("cannot write " + path.string() + "\n");
  std::printf("%s\n", path.c_str());
}

void GoldenTourMain() {
  // NOTE: each Delay moves this clock on by exactly what the pacing asked for, so FlipFrame never
  // sleeps and no frame is ever late: the pacing takes the same path in every run.
  static ManualClock clock;
  StartGameModules();
  UseFrameClock(&clock);
  OpenGameWindow();
  SetBlend(BLEND_LIGHT);
  CreateGameWorld();
  HideMousePointer();
  // NOTE: play reads the pointer's sideways motion and warps it back to the middle every frame.
  // Starting it in the middle makes every such motion 0: the X pointer, never moved on this
  // display, then cannot turn the paddle, and the warps' own MotionNotify events say (400, 300).
  EmitEvent(EVENT_MOUSEMOVE, 0, kCentreX, kCentreY);
  const Input* input = std::begin(kScript);
  const Shot* shot = std::begin(kShots);
  for (int frame = 1; shot != std::end(kShots); ++frame) {
    const bool due = frame == shot->frame;
    DrawGameFrame();
    if (due && scale == 1) Save(*shot);
    FlipFrame(-1);
    if (due && scale > 1) Save(*shot);
    if (due) ++shot;
    for (; input != std::end(kScript) && input->frame == frame; ++input) input->send();
    if (!HandleFrameInput()) RaiseRuntimeError("the game ended before the last screen\n");
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <output directory> [scale]\n", argv[0]);
    return 2;
  }
  if (argc == 3) scale = std::atof(argv[2]);
  RequestWindowScale(scale);
  // The runtime changes to the executable's directory; the output stays where it was meant.
  output_dir = std::filesystem::absolute(argv[1]);
  return ProcessEntry(argc, argv, &GoldenTourMain);
}
