// Frame pacing of the default graphics: opens the game's 800 x 600 window at 60 Hz and flips empty
// frames with FlipFrame(-1), timing each flip's return on the monotonic clock.
// Counters: total_ms for all frames, mean_interval_ms, p50/p99/max of |interval - 16.667 ms|
// (dev_*), the same against each frame's own 16/17/17 slot (slot_dev_*), frames more than 5 ms
// late against their slot, how long after its due time each flip returned (the swap and the
// pump), and process CPU time per frame.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/glx/gl_graphics.h"
#include "platform/process/clock.h"
#include "platform/process/frame_pacing.h"
#include "tests/support/monotonic_clock.h"

namespace {
constexpr int kHertz = 60;
constexpr double kNominalMillis = 1000.0 / kHertz;

double ProcessCpuMillis() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto millis = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return millis(usage.ru_utime) + millis(usage.ru_stime);
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

void BM_FramePacing(benchmark::State& state) {
  StartClock();
  StartGLGraphicsModule();
  if (OpenGLGraphics(800, 600, 0, kHertz, 0) == nullptr) {
    state.SkipWithError("no window: is DISPLAY set and GLX available?");
    return;
  }
  // The first swaps allocate the buffers; the measured run starts after them.
  for (int warm_up = 0; warm_up < 3; ++warm_up) FlipFrame(-1);
  std::vector<double> returns = {MonotonicMillis()};
  std::vector<int> due = {GraphicsPacer().next_frame_time()};
  const double cpu_before = ProcessCpuMillis();
  for (auto _ : state) {
    FlipFrame(-1);
    returns.push_back(MonotonicMillis());
    due.push_back(GraphicsPacer().next_frame_time());
  }
  const double cpu_millis = ProcessCpuMillis() - cpu_before;
  CloseDefaultGraphics();

  const std::size_t frames = returns.size() - 1;
  std::vector<double> nominal_deviation;
  std::vector<double> slot_deviation;
  std::vector<double> after_due;
  int late = 0;
  for (std::size_t i = 1; i <= frames; ++i) {
    const double interval = returns[i] - returns[i - 1];
    const double slot = static_cast<double>(MillisBetween(due[i - 1], due[i]));
    nominal_deviation.push_back(std::fabs(interval - kNominalMillis));
    slot_deviation.push_back(std::fabs(interval - slot));
    if (interval - slot > 5.0) ++late;
    // Millis() reads the same monotonic clock in whole milliseconds, wrapping at 2^32.
    after_due.push_back(std::fmod(returns[i], 4294967296.0) - static_cast<unsigned>(due[i]));
  }
  const double total = returns.back() - returns.front();
  state.counters["frames"] = static_cast<double>(frames);
  state.counters["total_ms"] = total;
  state.counters["mean_interval_ms"] = total / static_cast<double>(frames);
  state.counters["dev_p50_ms"] = Percentile(nominal_deviation, 0.50);
  state.counters["dev_p99_ms"] = Percentile(nominal_deviation, 0.99);
  state.counters["dev_max_ms"] = Percentile(nominal_deviation, 1.0);
  state.counters["slot_dev_p50_ms"] = Percentile(slot_deviation, 0.50);
  state.counters["slot_dev_p99_ms"] = Percentile(slot_deviation, 0.99);
  state.counters["slot_dev_max_ms"] = Percentile(slot_deviation, 1.0);
  state.counters["late_over_5ms"] = late;
  state.counters["after_due_p50_ms"] = Percentile(after_due, 0.50);
  state.counters["after_due_p99_ms"] = Percentile(after_due, 0.99);
  state.counters["cpu_ms_per_frame"] = cpu_millis / static_cast<double>(frames);
}
BENCHMARK(BM_FramePacing)->Iterations(600)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
