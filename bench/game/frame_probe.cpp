// Preloaded into the game by the whole-game benchmark: stamps every buffer swap with the time and
// the number of heap allocations so far, and writes them out when the process ends.
//   ZIRKULON_PROBE_OUT         file to write: "swap <monotonic ns at its start> <realtime ns at
//                              its end> <allocations so far>" lines, then "maxrss_kb <n>"

//   ZIRKULON_PROBE_EXIT_AFTER  end the process (status 0) after this many swaps
#include <dlfcn.h>
#include <sys/resource.h>
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {
constexpr int kMaxSwaps = 1 << 16;

struct Swap {
  long long monotonic_ns;
  long long realtime_ns;
  long long allocations;
};

std::atomic<long long> allocations{0};
Swap swaps[kMaxSwaps];
int swap_count = 0;
int exit_after = -1;
bool written = false;

long long Now(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void WriteOut() {
  if (written) return;
  written = true;
  const char* path = std::getenv("ZIRKULON_PROBE_OUT");
  if (path == nullptr) return;
  std::FILE* out = std::fopen(path, "w");
  if (out == nullptr) return;
  for (int i = 0; i < swap_count; ++i) {
    std::fprintf(out, "swap %lld %lld %lld\n", swaps[i].monotonic_ns, swaps[i].realtime_ns,
                 swaps[i].allocations);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::fprintf(out, "maxrss_kb %ld\n", usage.ru_maxrss);
  std::fclose(out);
}

__attribute__((constructor)) void StartProbe() {
  if (const char* after = std::getenv("ZIRKULON_PROBE_EXIT_AFTER")) exit_after = std::atoi(after);
  std::atexit(WriteOut);
}
}  // namespace

extern "C" {
void* malloc(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(pointer, size);
}
void* memalign(size_t alignment, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, size_t alignment, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  *result = __libc_memalign(alignment, size);
  return *result == nullptr ? 12 : 0;
}
void* aligned_alloc(size_t alignment, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_memalign(alignment, size);
}

void glXSwapBuffers(void* display, unsigned long drawable) {
  using SwapEntry = void (*)(void*, unsigned long);
  static const auto next = reinterpret_cast<SwapEntry>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  // The pacing decides when a swap starts; the player sees the frame once it has returned.
  const long long started = Now(CLOCK_MONOTONIC);
  next(display, drawable);
  if (swap_count < kMaxSwaps) {
    swaps[swap_count++] = {started, Now(CLOCK_REALTIME),
                           allocations.load(std::memory_order_relaxed)};
  }
  if (exit_after > 0 && swap_count >= exit_after) std::exit(0);
}
}
