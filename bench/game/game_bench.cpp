// The whole-game benchmark: runs the real game under the X server for 10 s on the menu, six
// visits of the help page (the last staying 10 s) and 10 s in play (scripted input), with the
// frame probe preloaded, and reports frame pacing, CPU per frame of the game and of the X server,
// resident memory on the menu and after each help visit, peak memory, heap allocations per frame
// and the time to the first swapped frame. Usage: game_bench <game executable> <probe library>
// [seconds]
// With ZIRKULON_BENCH_RECORD=<prefix> it also writes <prefix>.summary ("<phase> <key> <value>"
// lines) and <prefix>.intervals ("<phase> <seconds into the phase> <interval ms>" lines).
// ZIRKULON_BENCH_LAUNCHER (words split at blanks) runs the game under another program, such as
// callgrind; with ZIRKULON_BENCH_PROFILE=menu, help or play the benchmark only brings the game to
// that screen and asks the probe to profile 300 frames there (ZIRKULON_PROBE_PROFILE).
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/game/proc_stats.h"
#include "tests/support/game_window.h"

namespace {
struct Swap {
  long long monotonic_ns;
  long long realtime_ns;
  long long allocations;
  long long own_allocations;
};

long long Now(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void Wait(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct Phase {
  const char* name;
  long long start_ns = 0;
  long long end_ns = 0;
  double game_cpu_ms = 0;
  double main_thread_cpu_ms = 0;  // the game's own code and the OpenGL front end
  double server_cpu_ms = 0;
};

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t index =
      std::min(values.size() - 1, static_cast<std::size_t>(std::ceil(p * values.size()) - 1));
  return values[index];
}

// Machine-readable copies of the report, for scripts that compare runs.
struct Record {
  std::FILE* summary = nullptr;
  std::FILE* intervals = nullptr;
};
Record record;

void OpenRecord() {
  const char* prefix = std::getenv("ZIRKULON_BENCH_RECORD");
  if (prefix == nullptr) return;
  record.summary = std::fopen((std::string(prefix) + ".summary").c_str(), "w");
  record.intervals = std::fopen((std::string(prefix) + ".intervals").c_str(), "w");
  if (record.summary == nullptr || record.intervals == nullptr) {
    std::perror("ZIRKULON_BENCH_RECORD");
    std::exit(1);
  }
}

void Note(const char* phase, const char* key, double value) {
  if (record.summary != nullptr) std::fprintf(record.summary, "%s %s %.6f\n", phase, key, value);
}

void Report(const Phase& phase, const std::vector<Swap>& all) {
  std::vector<Swap> swaps;
  for (const Swap& s : all) {
    if (s.monotonic_ns >= phase.start_ns && s.monotonic_ns < phase.end_ns) swaps.push_back(s);
  }
  if (swaps.size() < 3) {
    std::printf("%s: only %zu frames\n", phase.name, swaps.size());
    return;
  }
  const std::size_t frames = swaps.size() - 1;
  std::vector<double> errors;
  int late = 0;
  double longest = 0;
  for (std::size_t i = 1; i < swaps.size(); ++i) {
    const double interval = (swaps[i].monotonic_ns - swaps[i - 1].monotonic_ns) / 1e6;
    errors.push_back(std::abs(interval - 50.0 / 3));
    if (record.intervals != nullptr)
      std::fprintf(record.intervals, "%s %.4f %.4f\n", phase.name,
                   (swaps[i].monotonic_ns - swaps[0].monotonic_ns) / 1e9, interval);
    longest = std::max(longest, interval);
    // A frame that missed its 16 or 17 ms slot by more than a millisecond.
    if (interval > 18.0) ++late;
  }
  // Drift from the 16, 17, 17 ms schedule: where the last frame stands against 50 ms per three.
  const double span_ms = (swaps.back().monotonic_ns - swaps.front().monotonic_ns) / 1e6;
  const double drift_ms = span_ms - frames * 50.0 / 3;
  const double allocations_per_frame =
      static_cast<double>(swaps.back().allocations - swaps.front().allocations) / frames;
  const double own_per_frame =
      static_cast<double>(swaps.back().own_allocations - swaps.front().own_allocations) / frames;
  std::printf("%s: %zu frames in %.1f s, %.3f frames/s, mean interval %.3f ms (drift %+.1f ms)\n",
              phase.name, frames, span_ms / 1000, frames * 1000.0 / span_ms, span_ms / frames,
              drift_ms);
  std::printf(
      "  |interval - 16.667 ms|: median %.3f ms, p99 %.3f ms, longest interval %.3f ms, "
      "late frames (> 18 ms) %d\n",
      Percentile(errors, 0.5), Percentile(errors, 0.99), longest, late);
  std::printf(
      "  CPU per frame: game %.2f ms (main thread %.2f ms, the rest the rasteriser's "
      "threads), X server %.2f ms\n",
      phase.game_cpu_ms / frames, phase.main_thread_cpu_ms / frames, phase.server_cpu_ms / frames);
  std::printf("  heap allocations per frame: %.3f, of them by the game's own code %.3f\n",
              allocations_per_frame, own_per_frame);
  Note(phase.name, "fps", frames * 1000.0 / span_ms);
  Note(phase.name, "p99_ms", Percentile(errors, 0.99));
  Note(phase.name, "late", late);
  Note(phase.name, "game_cpu_ms", phase.game_cpu_ms / frames);
  Note(phase.name, "main_cpu_ms", phase.main_thread_cpu_ms / frames);
  Note(phase.name, "server_cpu_ms", phase.server_cpu_ms / frames);
  Note(phase.name, "allocs", allocations_per_frame);
}

std::vector<Swap> ReadProbe(const std::string& path, long& maxrss_kb) {
  std::vector<Swap> swaps;
  std::ifstream in(path);
  std::string word;
  while (in >> word) {
    if (word == "swap") {
      Swap s{};
      in >> s.monotonic_ns >> s.realtime_ns >> s.allocations >> s.own_allocations;
      swaps.push_back(s);
    } else if (word == "maxrss_kb") {
      in >> maxrss_kb;
    } else if (word == "own_site") {
      std::string offset;
      long long count = 0;
      in >> offset >> count;
      std::printf("own allocation site %s: %lld times after the first frame\n", offset.c_str(),
                  count);
    }
  }
  return swaps;
}

void Measure(Phase& phase, pid_t game, pid_t server, int seconds, void (*script)(GameWindow&, int),
             GameWindow& window) {
  const double game_before = CpuMillis(game);
  const double main_before = CpuMillis(game, game);
  const double server_before = server > 0 ? CpuMillis(server) : 0;
  phase.start_ns = Now(CLOCK_MONOTONIC);
  for (int tick = 0; tick < seconds * 10; ++tick) {
    if (script != nullptr) script(window, tick);
    Wait(100);
  }
  phase.end_ns = Now(CLOCK_MONOTONIC);
  phase.game_cpu_ms = CpuMillis(game) - game_before;
  phase.main_thread_cpu_ms = CpuMillis(game, game) - main_before;
  phase.server_cpu_ms = server > 0 ? CpuMillis(server) - server_before : 0;
}

// A screen is recognised once its opening has settled, some seconds after the key; the help
// page's first opening takes longest.
constexpr int kScreenMs = 20000;

// Waits for `screen`, saying what was shown instead if it never came.
bool Reach(GameWindow& window, ShownScreen screen) {
  if (window.WaitForScreen(screen, kScreenMs)) return true;
  std::fprintf(stderr, "expected the %s screen, saw %s\n", ScreenName(screen),
               ScreenName(window.last_seen()));
  return false;
}

double Mib(long kb) {
  return kb / 1024.0;
}

// Resident memory around the help page's visits: whatever the page keeps after it is left, or
// builds again on each opening, shows as growth over the menu's figure.
constexpr int kHelpVisits = 6;
struct HelpMemory {
  long menu_kb = -1;  // on the menu, before the first visit
  long visit_kb[kHelpVisits] = {};
  long menu_after_kb = -1;  // on the menu again after the last visit
};

// Opens the help page from the menu and returns to the menu six times, reading the resident
// memory once the page has been shown for a second; the last visit stays for the measured stretch.
bool VisitHelp(Phase& help, HelpMemory& memory, pid_t game, pid_t server, int seconds,
               GameWindow& window) {
  // A tap that a busy machine stretches past the repeat delay would reach the game as two
  // presses, and a second Escape on the menu leaves it.
  Display* display = window.display();
  XKeyboardState keyboard{};
  XGetKeyboardControl(display, &keyboard);
  XAutoRepeatOff(display);
  XFlush(display);
  // The game's first key makes Xlib load the keyboard's tables (about 0.3 MiB), whatever the key:
  // one the menu ignores pays for them before the baseline, so the help page is not charged.
  window.TapKey(XK_x);
  Wait(500);
  memory.menu_kb = StatusKb(game, "VmRSS");
  bool ok = true;
  for (int visit = 0; visit < kHelpVisits && ok; ++visit) {
    window.TapKey(XK_h);
    ok = Reach(window, ShownScreen::kHelp);
    if (!ok) break;
    Wait(1000);
    memory.visit_kb[visit] = StatusKb(game, "VmRSS");
    if (visit == kHelpVisits - 1) Measure(help, game, server, seconds, nullptr, window);
    window.TapKey(XK_Escape);
    ok = Reach(window, ShownScreen::kMenu);
    Wait(200);  // each visit opens the page from a menu that is really shown
  }
  if (ok) {
    Wait(800);
    memory.menu_after_kb = StatusKb(game, "VmRSS");
  }
  // Restored, so that play is measured under the server's usual settings.
  if (keyboard.global_auto_repeat == AutoRepeatModeOn) XAutoRepeatOn(display);
  XFlush(display);
  return ok;
}

void ReportHelpMemory(const HelpMemory& memory) {
  std::printf("resident memory (VmRSS): menu %.1f MiB before the help page; after visit",
              Mib(memory.menu_kb));
  double most = 0;
  for (int visit = 0; visit < kHelpVisits; ++visit) {
    const double added = Mib(memory.visit_kb[visit] - memory.menu_kb);
    most = visit == 0 ? added : std::max(most, added);
    std::printf(" %d: %+.1f", visit + 1, added);
    Note("help", ("rss_added_" + std::to_string(visit + 1) + "_mib").c_str(), added);
  }
  std::printf(" MiB (the page adds at most %.1f MiB); menu again %.1f MiB\n", most,
              Mib(memory.menu_after_kb));
  Note("help", "menu_rss_mib", Mib(memory.menu_kb));
  Note("help", "rss_added_max_mib", most);
  Note("help", "menu_after_rss_mib", Mib(memory.menu_after_kb));
}

// Steering as a player would: the arrow keys in turns, and the mouse now and then.
void PlayScript(GameWindow& window, int tick) {
  switch (tick % 30) {
    case 0:
      window.PressKey(XK_Left);
      break;
    case 8:
      window.ReleaseKey(XK_Left);
      break;
    case 15:
      window.PressKey(XK_Right);
      break;
    case 23:
      window.ReleaseKey(XK_Right);
      break;
    case 27:
      window.MovePointer(430, 300);
      break;
  }
}
}  // namespace

// The launcher's words, then the game.
std::vector<std::string> GameCommand(const char* game) {
  std::vector<std::string> words;
  if (const char* launcher = std::getenv("ZIRKULON_BENCH_LAUNCHER")) {
    std::istringstream in(launcher);
    for (std::string word; in >> word;) words.push_back(word);
  }
  words.emplace_back(game);
  return words;
}

// Brings the game to the screen and has the probe profile frames there; the probe ends the game.
bool Profile(const std::string& screen, pid_t game, GameWindow& window) {
  // Instrumented, the game runs tens of times slower.
  constexpr int kSlowMs = 900000;
  bool ok = window.Find(kSlowMs) && window.WaitForScreen(ShownScreen::kMenu, kSlowMs);
  if (ok && screen == "help") {
    window.TapKey(XK_h);
    ok = window.WaitForScreen(ShownScreen::kHelp, kSlowMs);
  }
  if (ok && screen == "play") {
    window.TapKey(XK_space);
    ok = window.WaitForScreen(ShownScreen::kGame, kSlowMs);
    if (ok) window.Click(1);
  }
  if (!ok) {
    std::fprintf(stderr, "the game did not reach the %s screen\n", screen.c_str());
    kill(game, SIGTERM);
  } else {
    Wait(3000);  // past the click and the ball's first frames
    kill(game, SIGUSR2);
  }
  int status = 0;
  waitpid(game, &status, 0);
  return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <game executable> <probe library> [seconds]\n", argv[0]);
    return 2;
  }
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;
  OpenRecord();
  const std::string probe_out = "/tmp/zirkulon-probe-" + std::to_string(getpid());
  const pid_t server = FindXServer();
  const long long launched = Now(CLOCK_REALTIME);
  const pid_t game = fork();
  if (game == 0) {
    setenv("LD_PRELOAD", argv[2], 1);
    setenv("ZIRKULON_PROBE_OUT", probe_out.c_str(), 1);
    if (std::getenv("ZIRKULON_BENCH_PROFILE") != nullptr)
      setenv("ZIRKULON_PROBE_PROFILE", "300", 1);
    std::vector<std::string> words = GameCommand(argv[1]);
    std::vector<char*> command;
    for (std::string& word : words) command.push_back(word.data());
    command.push_back(nullptr);
    execvp(command[0], command.data());
    _exit(127);
  }
  GameWindow window;
  if (const char* screen = std::getenv("ZIRKULON_BENCH_PROFILE")) {
    const bool profiled = Profile(screen, game, window);
    std::remove(probe_out.c_str());
    return profiled ? 0 : 1;
  }
  // Menu, help, play: the menu is measured first, as before, and its resident memory is the
  // baseline of the help page's growth before a game has added anything of its own. Play follows
  // help as it follows the menu; only the peak memory can carry the help page's part, so it is
  // also read before the help page.
  bool ok = window.Find(10000) && Reach(window, ShownScreen::kMenu);
  Phase menu{"menu"};
  Phase help{"help"};
  Phase play{"play"};
  HelpMemory help_memory;
  long menu_peak_kb = -1;
  long peak_kb = -1;
  if (ok) {
    Measure(menu, game, server, seconds, nullptr, window);
    menu_peak_kb = StatusKb(game, "VmHWM");
    ok = VisitHelp(help, help_memory, game, server, seconds, window);
  }
  if (ok) {
    window.TapKey(XK_space);
    ok = Reach(window, ShownScreen::kGame);
  }
  if (ok) {
    window.Click(1);
    Wait(500);
    Measure(play, game, server, seconds, PlayScript, window);
    peak_kb = StatusKb(game, "VmHWM");
    window.ReleaseKey(XK_Left);
    window.ReleaseKey(XK_Right);
  }
  window.RequestClose();
  int status = 0;
  waitpid(game, &status, 0);
  long maxrss_kb = -1;
  const std::vector<Swap> swaps = ReadProbe(probe_out, maxrss_kb);
  std::remove(probe_out.c_str());
  if (!ok || swaps.empty()) return 1;
  std::printf("time from start to the first swapped frame: %.1f ms\n",
              (swaps.front().realtime_ns - launched) / 1e6);
  Note("start", "first_frame_ms", (swaps.front().realtime_ns - launched) / 1e6);
  Report(menu, swaps);
  Report(help, swaps);
  ReportHelpMemory(help_memory);
  Report(play, swaps);
  std::printf(
      "peak resident memory: %ld kB (VmHWM on the menu, before help), %ld kB (VmHWM in play), %ld "
      "kB (maxrss at exit)\n",
      menu_peak_kb, peak_kb, maxrss_kb);
  std::printf("game exit status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  for (std::FILE* file : {record.summary, record.intervals}) {
    if (file != nullptr && std::fclose(file) != 0) std::perror("ZIRKULON_BENCH_RECORD");
  }
  return 0;
}
