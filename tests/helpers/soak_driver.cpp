// The soak run: plays the real game with random input through XTest for a given time, starting it
// again whenever it ends, and fails on a sanitizer report, an unexpected exit status, frames that
// stop for more than a second or resident memory that keeps growing.
//   soak_driver <game> <swap counter library> <seconds> <work directory>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "tests/support/game_window.h"

namespace {
constexpr long long kStallMs = 1000;        // longest time without a frame
constexpr long long kFirstFrameMs = 15000;  // from start to the first frame
// Resident memory swings by several MiB from moment to moment (the OpenGL driver and the
// sanitizer's allocator return and take pages): the baseline is the peak of seconds 5 to 15 of a
// run, and growth is what a later peak adds to it.
constexpr long long kBaselineFromMs = 5000;
constexpr long long kBaselineToMs = 15000;
// ZIRKULON_SOAK_MAX_GROWTH_MB overrides the default of 8 MiB.
long max_growth_kb = 8 * 1024;
constexpr long long kEndAfterSigtermMs = 3000;

long long NowMillis() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Totals {
  int runs = 0;
  long long frames = 0;
  long long inputs = 0;
  long peak_kb = 0;
};

class Soak {
 public:
  Soak(std::string game, std::string counter_library, std::string work)
      : game_(std::move(game)), library_(std::move(counter_library)), work_(std::move(work)) {}

  // One run of the game until it ends or the deadline passes; false with a reason on failure.
  bool Run(long long deadline, std::string& failure);
  const Totals& totals() const { return totals_; }

 private:
  pid_t Start(const std::string& counter_path, const std::string& error_path);
  void SendRandomInput(GameWindow& window, Display* display);
  bool Judge(int status, bool terminated, const std::string& error_path, std::string& failure);

  std::string game_, library_, work_;
  std::mt19937 random_{std::random_device{}()};
  Totals totals_;
};

pid_t Soak::Start(const std::string& counter_path, const std::string& error_path) {
  const pid_t child = fork();
  if (child != 0) return child;
  const int error_file = open(error_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int null_file = open("/dev/null", O_WRONLY);
  if (error_file < 0 || null_file < 0) _exit(71);
  dup2(error_file, STDERR_FILENO);
  dup2(null_file, STDOUT_FILENO);
  // The counter joins whatever the soak run already preloads.
  const char* preloaded = std::getenv("LD_PRELOAD");
  const std::string preload = preloaded != nullptr && preloaded[0] != '\0'
                                  ? std::string(preloaded) + ":" + library_
                                  : library_;
  setenv("LD_PRELOAD", preload.c_str(), 1);
  setenv("ZIRKULON_SWAP_COUNTER", counter_path.c_str(), 1);
  execl(game_.c_str(), game_.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

void Soak::SendRandomInput(GameWindow& window, Display* display) {
  static const KeySym kKeys[] = {XK_space, XK_h, XK_Left, XK_Right, XK_Up, XK_Down,
                                 XK_a,     XK_q, XK_z,    XK_m,     XK_1};
  const int choice = std::uniform_int_distribution<int>(0, 9999)(random_);
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
  };
  // Rare enough that a run lasts some seconds: Escape twice from the menu reaches the farewell.
  if (choice < 2) {
    window.RequestClose();
  } else if (choice < 8) {
    window.PressKey(XK_Escape);
    window.ReleaseKey(XK_Escape);
  } else if (choice < 4000) {
    const KeySym key = kKeys[pick(0, std::size(kKeys) - 1)];
    window.PressKey(key);
    if (pick(0, 3) != 0)
      window.ReleaseKey(key);  // some keys stay down for a while
    else
      window.ReleaseKey(kKeys[pick(0, std::size(kKeys) - 1)]);
  } else if (choice < 6000) {
    const unsigned button = static_cast<unsigned>(pick(1, 5));  // 4 and 5: the wheel
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
  } else if (choice < 8000) {
    window.MovePointer(pick(-50, 850), pick(-50, 650));
  } else {
    const int y = pick(0, 599);
    for (int x = pick(0, 200); x < 800; x += pick(5, 60)) window.MovePointer(x, y);
  }
  ++totals_.inputs;
}

bool Soak::Judge(int status, bool terminated, const std::string& error_path, std::string& failure) {
  const std::string errors = ReadFile(error_path);
  for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"}) {
    if (errors.find(report) != std::string::npos) {
      failure = "sanitizer report (see " + error_path + "):\n" + errors;
      return false;
    }
  }
  if (!WIFEXITED(status)) {
    failure = "the game was killed by signal " + std::to_string(WTERMSIG(status)) + "\n" + errors;
    return false;
  }
  const int code = WEXITSTATUS(status);
  // A SIGTERM that arrives while the game already ends on its own may find it past the last poll.
  if (code == 0 || (terminated && code == 255 &&
                    errors.find("appstub.linux signal handler 15") != std::string::npos)) {
    return true;
  }
  failure = "exit status " + std::to_string(code) + (terminated ? " after SIGTERM" : "") +
            ", standard error: " + errors;
  return false;
}

bool Soak::Run(long long deadline, std::string& failure) {
  const std::string counter_path = work_ + "/swaps";
  const std::string error_path = work_ + "/run-" + std::to_string(totals_.runs + 1) + ".err";
  const int counter_file = open(counter_path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  if (counter_file < 0 || ftruncate(counter_file, sizeof(std::uint64_t)) != 0) {
    failure = "unable to make the swap counter file " + counter_path;
    return false;
  }
  void* shared = mmap(nullptr, sizeof(std::uint64_t), PROT_READ, MAP_SHARED, counter_file, 0);
  close(counter_file);
  if (shared == MAP_FAILED) {
    failure = "unable to map the swap counter file " + counter_path;
    return false;
  }
  const auto* swaps = static_cast<const std::atomic<std::uint64_t>*>(shared);

  const long long start = NowMillis();
  const pid_t child = Start(counter_path, error_path);
  ++totals_.runs;
  // Now and then the run ends by a SIGTERM of our own.
  const bool plan_sigterm = std::uniform_int_distribution<int>(0, 6)(random_) == 0;
  const long long sigterm_at = start + std::uniform_int_distribution<int>(300, 20000)(random_);
  bool terminated = false;
  long long terminated_at = 0;

  GameWindow window;
  Display* display = XOpenDisplay(nullptr);
  bool found = false;
  std::uint64_t last_frames = 0;
  long long last_frame_at = start;
  long baseline_kb = 0, run_peak_kb = 0;
  int status = 0;
  bool ok = true;
  for (;;) {
    if (waitpid(child, &status, WNOHANG) == child) break;
    const long long now = NowMillis();
    const std::uint64_t frames = swaps->load(std::memory_order_relaxed);
    if (frames != last_frames) last_frames = frames, last_frame_at = now;
    const long resident = ResidentKb(child);
    totals_.peak_kb = std::max(totals_.peak_kb, resident);
    if (now - start >= kBaselineToMs) {
      run_peak_kb = std::max(run_peak_kb, resident);
    } else if (now - start >= kBaselineFromMs) {
      baseline_kb = std::max(baseline_kb, resident);
    }
    const long long quiet = now - last_frame_at;
    if (!terminated && (frames == 0 ? quiet > kFirstFrameMs : quiet > kStallMs)) {
      failure = "no frame for " + std::to_string(quiet) + " ms after " + std::to_string(frames) +
                " frames";
      ok = false;
    } else if (run_peak_kb != 0 && run_peak_kb - baseline_kb > max_growth_kb) {
      failure = "resident memory grew from " + std::to_string(baseline_kb) + " KiB to " +
                std::to_string(run_peak_kb) + " KiB";
      ok = false;
    }
    if (terminated && now - terminated_at > kEndAfterSigtermMs) {
      failure =
          "the game did not end within " + std::to_string(kEndAfterSigtermMs) + " ms of SIGTERM";
      ok = false;
    }
    if (!ok) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      break;
    }
    if (!terminated && (now >= deadline || (plan_sigterm && now >= sigterm_at))) {
      kill(child, SIGTERM);
      terminated = true;
      terminated_at = now;
    }
    if (!found && frames > 0) found = window.Find(2000);
    if (found && !terminated && display != nullptr) {
      // Bursts faster than a frame, then pauses of up to a few frames.
      const int burst = std::uniform_int_distribution<int>(1, 12)(random_);
      for (int i = 0; i < burst; ++i) SendRandomInput(window, display);
      usleep(std::uniform_int_distribution<int>(1000, 50000)(random_));
    } else {
      usleep(10000);
    }
  }
  if (display != nullptr) XCloseDisplay(display);
  totals_.frames += static_cast<long long>(swaps->load(std::memory_order_relaxed));
  munmap(shared, sizeof(std::uint64_t));
  if (!ok) return false;
  return Judge(status, terminated, error_path, failure);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s <game> <swap counter library> <seconds> <work directory>\n",
                 argv[0]);
    return 2;
  }
  if (const char* limit = std::getenv("ZIRKULON_SOAK_MAX_GROWTH_MB"))
    max_growth_kb = std::atol(limit) * 1024;
  Soak soak(argv[1], argv[2], argv[4]);
  const long long deadline = NowMillis() + std::atoll(argv[3]) * 1000;
  std::string failure;
  bool ok = true;
  while (ok && NowMillis() < deadline) ok = soak.Run(deadline, failure);
  const Totals& totals = soak.totals();
  std::printf("runs %d, frames %lld, input events %lld, peak resident memory %.1f MiB\n",
              totals.runs, totals.frames, totals.inputs, totals.peak_kb / 1024.0);
  if (!ok) std::fprintf(stderr, "soak failed in run %d: %s\n", totals.runs, failure.c_str());
  return ok ? 0 : 1;
}
