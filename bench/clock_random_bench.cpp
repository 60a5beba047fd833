// Throughput of the random generator and the overshoot of DelayMillis, which frame pacing needs
// to stay within about a millisecond.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "game/random/random.h"
#include "platform/process/clock.h"
#include "tests/support/monotonic_clock.h"

namespace {
void BM_RandomInt(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RandomInt(350, 450));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomInt);

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(values.size() * fraction))];
}

// Requests of 1..17 ms, started at a random phase within the millisecond as frame pacing does.
// "overshoot" is the actual wait minus the request; "late" is how long after the millisecond
// boundary at which Millis() reached the deadline the call returned (the wake-up latency).
void BM_DelayMillisOvershoot(benchmark::State& state) {
  StartClock();
  std::vector<double> overshoot;
  std::vector<double> late;
  int request = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const double spin_until = MonotonicMillis() + RandomUnit();
    while (MonotonicMillis() < spin_until) {
    }
    request = request % 17 + 1;
    state.ResumeTiming();
    const double start = MonotonicMillis();
    DelayMillis(request);
    const double end = MonotonicMillis();
    overshoot.push_back(end - start - request);
    late.push_back(end - (static_cast<long long>(start) + request));
  }
  state.counters["overshoot_median_ms"] = Percentile(overshoot, 0.5);
  state.counters["overshoot_p99_ms"] = Percentile(overshoot, 0.99);
  state.counters["late_median_ms"] = Percentile(late, 0.5);
  state.counters["late_p99_ms"] = Percentile(late, 0.99);
}
BENCHMARK(BM_DelayMillisOvershoot)->Iterations(680)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
