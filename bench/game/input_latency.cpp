// Input-to-picture latency in play: sends one sideways pointer motion at a random phase of the
// frame, reads the window back until the paddle has turned, and reports the spread of the delays.
// Usage: input_latency [--samples N] [--dx PX] [--settle MS] [--jitter MS] [--seed N]
//                      [--raw FILE] [--no-start] [--poll | --poll-band] [-- game [arguments]]
// With a game command it starts the game on DISPLAY and closes it after; without, it drives the
// game window already there. Unless --no-start, Space on the menu opens play first.
// The window is read each time the server reports it drawn (DAMAGE), so the probe takes no CPU
// from the game while it waits; --poll reads it every 0.1 ms instead, --poll-band the whole band.
// The result is one line: "latency_ms samples=N min=.. median=.. mean=.. p90=.. p99=.. max=..".
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/game/paddle_mask.h"
#include "game/world/screen_geometry.h"
#include "tests/support/game_window.h"
#include "tests/support/monotonic_clock.h"

namespace {
struct Options {
  int samples = 120;
  int dx = 30;              // window pixels; 3 of them turn the paddle by a degree at scale 1
  double settle_ms = 100;   // after a detected turn, so the next sample starts from rest
  double jitter_ms = 33.4;  // two frame periods: the motion lands at any phase of the frame
  unsigned seed = std::random_device{}();
  const char* raw = nullptr;
  bool start = true;
  bool poll = false;       // read every kPollMs rather than on each drawing
  bool poll_band = false;  // poll the whole band rather than the paddle's surroundings
  char** game = nullptr;   // null-terminated command, or null
};

// Where the paddle rests, in picture rows: at angle 0 it covers rows 525..534, and a 10 degree
// turn lifts its far end to about row 517.
constexpr int kBandTop = 500;
constexpr int kBandBottom = 560;
constexpr double kPollMs = 0.1;    // from one read of the window to the next
constexpr double kGiveUpMs = 500;  // a motion with no turn by then counts as missed
constexpr double kRestMs = 40;     // over two frames with no change: no frame is on its way

void SleepMs(double ms) {
  if (ms > 0) usleep(static_cast<useconds_t>(ms * 1000));
}

// Nearest rank, as the whole-game benchmark counts its percentiles.
double Percentile(const std::vector<double>& sorted, double p) {
  const std::size_t rank = static_cast<std::size_t>(std::ceil(p * sorted.size()));
  return sorted[std::min(sorted.size() - 1, rank > 0 ? rank - 1 : 0)];
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    const bool has_value = i + 1 < argc;
    if (word == "--") {
      if (i + 1 < argc) options.game = argv + i + 1;
      return true;
    }
    if (word == "--no-start") {
      options.start = false;
    } else if (word == "--poll") {
      options.poll = true;
    } else if (word == "--poll-band") {
      options.poll = options.poll_band = true;
    } else if (word == "--samples" && has_value) {
      options.samples = std::atoi(argv[++i]);
    } else if (word == "--dx" && has_value) {
      options.dx = std::atoi(argv[++i]);
    } else if (word == "--settle" && has_value) {
      options.settle_ms = std::atof(argv[++i]);
    } else if (word == "--jitter" && has_value) {
      options.jitter_ms = std::atof(argv[++i]);
    } else if (word == "--seed" && has_value) {
      options.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 0));
    } else if (word == "--raw" && has_value) {
      options.raw = argv[++i];
    } else {
      return false;
    }
  }
  return options.samples > 0 && options.dx != 0;
}

pid_t Launch(char** command) {
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(command[0], command);
    std::perror(command[0]);
    _exit(127);
  }
  return pid;
}

// Asks the game to close as a window manager would, and ends it if it does not.
int Close(GameWindow& window, pid_t game) {
  if (window.window() != 0) window.RequestClose();
  int status = 0;
  for (int waited = 0; waited < 100; ++waited) {
    if (waitpid(game, &status, WNOHANG) == game)
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    SleepMs(50);
  }
  kill(game, SIGTERM);
  waitpid(game, &status, 0);
  return -1;
}

// The largest change the band shows over `ms` with no input: the background drifting under the
// paddle, the score text, anything but a turn.
int RestNoise(const Picture& picture, const Rect& band, double ms) {
  PaddleMask first;
  PaddleMask now;
  if (!Read(picture, band, first)) return -1;
  int most = 0;
  for (const double end = MonotonicMillis() + ms; MonotonicMillis() < end;) {
    if (!Read(picture, band, now)) return -1;
    most = std::max(most, Differing(first, now));
    SleepMs(1);
  }
  return most;
}

struct Probe {
  Picture picture;
  Rect band;   // window pixels
  Rect whole;  // the window
  int margin;
  int threshold;
  bool poll_band;
  Damage damage;  // None when polling
  int damage_event;
};

// Forgets the drawing reported so far, so that a report comes for the next drawing.
// NOTE: reports left in the queue are dropped first, not after the round trip: a frame drawn during
// it sends the one report the window's drawing gives until the next subtraction.
void ClearDamage(const Probe& probe) {
  Display* display = probe.picture.display;
  XEvent event;
  while (XCheckTypedEvent(display, probe.damage_event + XDamageNotify, &event)) continue;
  XDamageSubtract(display, probe.damage, None, None);
  XSync(display, False);
}

// Waits until the server reports the window drawn, or until `deadline`; false at the deadline.
bool WaitForDrawing(const Probe& probe, double deadline) {
  Display* display = probe.picture.display;
  for (;;) {
    XEvent event;
    if (XCheckTypedEvent(display, probe.damage_event + XDamageNotify, &event)) {
      XDamageSubtract(display, probe.damage, None, None);
      return true;
    }
    const double left = deadline - MonotonicMillis();
    if (left <= 0) return false;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    if (poll(&connection, 1, static_cast<int>(std::ceil(left))) < 0 && errno != EINTR) {
      std::perror("input_latency: waiting on the X connection");
      return false;
    }
    XEventsQueued(display, QueuedAfterReading);
  }
}

// What one sample saw besides its delay.
struct Seen {
  int differing = 0;  // pixels of the paddle's mask changed in the read that showed the turn
  int reads = 0;
  double polled_ms = 0;  // from the motion to the last read
};

// Waits until the band has shown the same paddle for kRestMs, so that no frame of the last turn is
// still to come (a stalled game would show it during the next sample); false after 5 s.
bool WaitForRest(const Probe& probe, PaddleMask& rest) {
  if (!Read(probe.picture, probe.band, rest)) return false;
  double still_since = MonotonicMillis();
  const double deadline = still_since + 5000;
  PaddleMask now;
  while (MonotonicMillis() - still_since < kRestMs) {
    if (MonotonicMillis() > deadline) return false;
    SleepMs(5);
    if (!Read(probe.picture, probe.band, now)) return false;
    if (Differing(rest, now) >= probe.threshold) {
      rest = now;
      still_since = MonotonicMillis();
    }
  }
  return true;
}

// What a sample returns when it has no delay to report.
constexpr double kMissed = -1;
constexpr double kLost = -2;
constexpr double kNotAtRest = -3;

// One sample from `rest`: the delay from the motion to the end of the first read that shows the
// paddle turned (so at most one read late), or one of the negative outcomes above.
double Sample(const Probe& probe, const PaddleMask& rest, int dx, Seen& seen) {
  PaddleMask band;
  if (!Read(probe.picture, probe.band, band) || band.count == 0) return kLost;
  if (Differing(rest, band) >= probe.threshold) return kNotAtRest;
  // Polling only around the paddle: its own pixels go dark as it turns, and a small read is quick.
  const Rect box = probe.poll_band ? probe.band : PaddleBox(band, probe.margin, probe.whole);
  const PaddleMask reference = Crop(band, box);
  PaddleMask now;
  if (probe.damage != None) ClearDamage(probe);
  XTestFakeRelativeMotionEvent(probe.picture.display, dx, 0, CurrentTime);
  XSync(probe.picture.display, False);  // the server has taken the motion in
  const double sent = MonotonicMillis();
  for (;;) {
    const double asked = MonotonicMillis();
    if (probe.damage != None && !WaitForDrawing(probe, sent + kGiveUpMs)) return kMissed;
    if (!Read(probe.picture, box, now)) return kLost;
    const double at = MonotonicMillis();
    ++seen.reads;
    seen.polled_ms = at - sent;
    seen.differing = Differing(reference, now);
    if (seen.differing >= probe.threshold) return at - sent;
    if (at - sent > kGiveUpMs) return kMissed;
    if (probe.damage != None) continue;
    // Yielding, not sleeping: under load a sleep this short oversleeps by 0.2 ms and more; and
    // not spinning outright, which slowed the game's frames on a busy two-core machine.
    while (MonotonicMillis() < asked + kPollMs) sched_yield();
  }
}
}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--samples N] [--dx PX] [--settle MS] [--jitter MS] [--seed N] "
                 "[--raw FILE] [--no-start] [--poll-band] [-- game [arguments]]\n",
                 argv[0]);
    return 2;
  }
  GameWindow window;
  if (window.display() == nullptr) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  const pid_t game = options.game != nullptr ? Launch(options.game) : 0;
  auto fail = [&](const char* why) {
    std::fprintf(stderr, "input_latency: %s\n", why);
    if (game > 0) Close(window, game);
    return 1;
  };
  // A game started under a busy machine may take a while to show its first screen.
  if (!window.Find(20000)) return fail("no game window");
  if (options.start) {
    if (!window.WaitForScreen(ShownScreen::kMenu, 20000)) return fail("the menu never showed");
    window.TapKey(XK_space);
  }
  if (!window.WaitForScreen(ShownScreen::kGame, 20000)) return fail("play never showed");
  SleepMs(500);  // past the first frames of play, which only centre the pointer

  Display* display = window.display();
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, window.window(), &attributes);
  const double scale = std::min(static_cast<double>(attributes.width) / kScreenWidth,
                                static_cast<double>(attributes.height) / kScreenHeight);
  const Picture picture{display, window.window(), (attributes.width - kScreenWidth * scale) / 2,
                        (attributes.height - kScreenHeight * scale) / 2, scale};
  Probe probe{
      picture,
      {static_cast<int>(picture.left), static_cast<int>(picture.top + kBandTop * scale),
       static_cast<int>(kScreenWidth * scale), static_cast<int>((kBandBottom - kBandTop) * scale)},
      {0, 0, attributes.width, attributes.height},
      static_cast<int>(std::lround(6 * scale)),
      0,
      options.poll_band,
      None,
      0};
  int damage_error = 0;
  if (!options.poll) {
    if (!XDamageQueryExtension(display, &probe.damage_event, &damage_error))
      return fail("the X server has no DAMAGE extension; run with --poll");
    probe.damage = XDamageCreate(display, window.window(), XDamageReportNonEmpty);
  }
  PaddleMask band;
  if (!Read(picture, probe.band, band) || band.count == 0)
    return fail("no paddle in the band where it rests");
  const int noise = RestNoise(picture, probe.band, 500);
  // A turn of a few degrees changes hundreds of the paddle's pixels; a tenth of them is far
  // above what the band shows at rest.
  probe.threshold = std::max({8, band.count / 10, 2 * noise + 1});
  std::printf(
      "# window %dx%d (scale %.2f), band rows %d..%d, paddle %d pixels, rest noise %d, "
      "threshold %d, dx %+d, seed %u\n",
      attributes.width, attributes.height, scale, probe.band.y,
      probe.band.y + probe.band.height - 1, band.count, noise, probe.threshold, options.dx,
      options.seed);

  std::mt19937 random(options.seed);
  std::uniform_real_distribution<double> phase(0, options.jitter_ms);
  std::vector<double> delays;
  int missed = 0;
  long reads = 0;
  double polled_ms = 0;
  std::FILE* raw = options.raw != nullptr ? std::fopen(options.raw, "w") : nullptr;
  int motions = 0;
  int restarts = 0;
  while (static_cast<int>(delays.size()) < options.samples) {
    if (missed > options.samples / 10 + 3) return fail("too many motions never showed");
    if (restarts > options.samples) return fail("the paddle keeps moving with no input");
    PaddleMask rest;
    if (!WaitForRest(probe, rest)) return fail("the paddle never came to rest");
    SleepMs(phase(random));
    // Alternating directions keep the paddle near the bottom, inside the band.
    const int dx = motions % 2 == 0 ? options.dx : -options.dx;
    Seen seen;
    const double ms = Sample(probe, rest, dx, seen);
    if (ms == kLost) return fail("the paddle left the band or the window went away");
    if (ms == kNotAtRest) {
      ++restarts;
      continue;
    }
    ++motions;
    reads += seen.reads;
    polled_ms += seen.polled_ms;
    if (ms == kMissed) {
      ++missed;
      std::fprintf(stderr, "# motion %d: no turn within %.0f ms\n", motions, kGiveUpMs);
    } else {
      delays.push_back(ms);
      if (raw != nullptr) std::fprintf(raw, "%.3f %d %d\n", ms, dx, seen.differing);
    }
    SleepMs(options.settle_ms);
  }
  if (raw != nullptr) std::fclose(raw);
  const int status = game > 0 ? Close(window, game) : 0;

  std::printf("# one read of the window every %.3f ms while waiting for a turn (%s)\n",
              reads > 0 ? polled_ms / reads : 0.0, options.poll ? "polled" : "on each drawing");
  std::sort(delays.begin(), delays.end());
  const double mean = std::accumulate(delays.begin(), delays.end(), 0.0) / delays.size();
  std::printf(
      "latency_ms samples=%zu min=%.2f median=%.2f mean=%.2f p90=%.2f p99=%.2f max=%.2f "
      "missed=%d restarts=%d\n",
      delays.size(), delays.front(), Percentile(delays, 0.5), mean, Percentile(delays, 0.9),
      Percentile(delays, 0.99), delays.back(), missed, restarts);
  if (game > 0 && status != 0) std::fprintf(stderr, "# game exit status %d\n", status);
  return 0;
}
