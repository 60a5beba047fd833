// Plays the real game through its screens and saves each as a PNG file: menu, help, a game in
// play and the farewell screen. Usage: screen_tour <game executable> <output directory>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>

#include "tests/support/game_window.h"
#include "tests/support/png_file.h"
#include "tests/support/process.h"

namespace {
constexpr int kScreenMs = 20000;

bool Save(GameWindow& window, const std::string& path) {
  const GameShot shot = window.CaptureWindow();
  if (shot.width == 0 || !WritePngFile(path, shot.width, shot.height, shot.pixels)) {
    std::fprintf(stderr, "could not capture %s\n", path.c_str());
    return false;
  }
  std::printf("%s\n", path.c_str());
  return true;
}

bool Reach(GameWindow& window, ShownScreen screen) {
  if (window.WaitForScreen(screen, kScreenMs)) return true;
  std::fprintf(stderr, "expected the %s screen, saw %s\n", ScreenName(screen),
               ScreenName(window.last_seen()));
  return false;
}

void Wait(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool Tour(GameWindow& window, const std::string& out) {
  if (!window.Find(10000) || !Reach(window, ShownScreen::kMenu)) return false;
  Wait(200);
  if (!Save(window, out + "/menu.png")) return false;
  window.TapKey(XK_h);
  if (!Reach(window, ShownScreen::kHelp) || !Save(window, out + "/help.png")) return false;
  window.TapKey(XK_Escape);
  if (!Reach(window, ShownScreen::kMenu)) return false;
  window.TapKey(XK_space);
  if (!Reach(window, ShownScreen::kGame)) return false;
  window.Click(1);
  // A little play: the paddle turns left for a while, then coasts.
  window.PressKey(XK_Left);
  Wait(700);
  window.ReleaseKey(XK_Left);
  Wait(1300);
  if (!Save(window, out + "/game.png")) return false;
  window.TapKey(XK_Escape);
  if (!Reach(window, ShownScreen::kMenu)) return false;
  window.TapKey(XK_Escape);
  if (!Reach(window, ShownScreen::kFarewell) || !Save(window, out + "/farewell.png")) return false;
  window.TapKey(XK_space);
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <game executable> <output directory>\n", argv[0]);
    return 2;
  }
  const std::string game = argv[1];
  ProcessOptions options;
  options.timeout_ms = 60000;
  auto run = std::async(std::launch::async, [&] { return RunProcess({game}, options); });
  GameWindow window;
  const bool toured = Tour(window, argv[2]);
  if (!toured) window.RequestClose();
  const ProcessResult result = run.get();
  if (!result.standard_error.empty()) std::fprintf(stderr, "%s", result.standard_error.c_str());
  return toured && result.exit_status == 0 ? 0 : 1;
}
