// Throughput of the random generator and the overshoot of DelayMillis, which frame pacing needs
// to stay within about a millisecond.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <vector>

#include "game/random.h"
#include "platform/clock.h"

namespace {
double MonotonicMillis() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

void BM_RandomInt(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RandomInt(350, 450));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomInt);

// Reports median and p99 of (actual - requested) in milliseconds, over requests of 1..17 ms.
void BM_DelayMillisOvershoot(benchmark::State& state) {
  StartClock();
  const int requested = static_cast<int>(state.range(0));
  std::vector<double> overshoot;
  for (auto _ : state) {
    const double start = MonotonicMillis();
    DelayMillis(requested);
    overshoot.push_back(MonotonicMillis() - start - requested);
  }
  std::sort(overshoot.begin(), overshoot.end());
  state.counters["median_ms"] = overshoot[overshoot.size() / 2];
  state.counters["p99_ms"] = overshoot[std::min(overshoot.size() - 1, overshoot.size() * 99 / 100)];
  state.counters["max_ms"] = overshoot.back();
}
BENCHMARK(BM_DelayMillisOvershoot)
    ->DenseRange(1, 17, 4)
    ->Arg(17)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
