// Preloaded into the game by the whole-game benchmark: stamps every buffer swap with the time and
// the number of heap allocations so far, and writes them out when the process ends.
//   ZIRKULON_PROBE_OUT         file to write: "swap <monotonic ns at its start> <realtime ns at
//                              its end> <allocations so far> <of them by the game's own code>"
//                              lines, then "maxrss_kb <n>"
//   ZIRKULON_PROBE_EXIT_AFTER  end the process (status 0) after this many swaps
//   ZIRKULON_PROBE_PROFILE     under callgrind: on SIGUSR2, zero the counts at the next swap, and
//                              after this many more swaps dump them and end the process
#include <dlfcn.h>
#include <link.h>
#include <signal.h>
#include <sys/resource.h>
#include <time.h>
#include <valgrind/callgrind.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

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
  long long own_allocations;  // asked for by code of the game executable itself
};

std::atomic<long long> allocations{0};
std::atomic<long long> own_allocations{0};
// The game's own code (everything but the shared libraries) lies in the main program's segments.
std::uintptr_t own_code_begin = 0;
std::uintptr_t own_code_end = 0;
std::uintptr_t load_base = 0;

// Where the game's own allocations come from: return addresses and how often, counted from the
// first swap on (start-up allocations are expected).
constexpr int kMaxSites = 64;
struct Site {
  std::uintptr_t address;
  long long count;
};
Site sites[kMaxSites];
std::atomic<int> swap_count_seen{0};

void CountSite(std::uintptr_t address) {
  if (swap_count_seen.load(std::memory_order_relaxed) == 0) return;
  for (Site& site : sites) {
    if (site.address == address || site.address == 0) {
      site.address = address;
      ++site.count;
      return;
    }
  }
}

void Count(const void* caller) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  const auto address = reinterpret_cast<std::uintptr_t>(caller);
  if (address >= own_code_begin && address < own_code_end) {
    own_allocations.fetch_add(1, std::memory_order_relaxed);
    CountSite(address);
  }
}

int FindMainProgram(dl_phdr_info* info, size_t, void*) {
  // The first object listed is the main program.
  load_base = info->dlpi_addr;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) continue;
    const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
    if (own_code_begin == 0 || begin < own_code_begin) own_code_begin = begin;
    if (begin + segment.p_memsz > own_code_end) own_code_end = begin + segment.p_memsz;
  }
  return 1;
}
Swap swaps[kMaxSwaps];
int swap_count = 0;
int exit_after = -1;
bool written = false;
int profile_frames = 0;
volatile sig_atomic_t profile_requested = 0;
int profile_end = -1;  // the swap count at which the profiled frames are complete

void RequestProfile(int) {
  profile_requested = 1;
}

// Called after every swap: the profiled frames run from one swap to another.
void StepProfile() {
  if (profile_requested && profile_end < 0) {
    CALLGRIND_ZERO_STATS;
    profile_end = swap_count + profile_frames;
  } else if (profile_end >= 0 && swap_count >= profile_end) {
    CALLGRIND_DUMP_STATS;
    std::exit(0);
  }
}

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
    std::fprintf(out, "swap %lld %lld %lld %lld\n", swaps[i].monotonic_ns, swaps[i].realtime_ns,
                 swaps[i].allocations, swaps[i].own_allocations);
  }
  // Offsets into the executable, for addr2line.
  for (const Site& site : sites) {
    if (site.address != 0)
      std::fprintf(out, "own_site %#lx %lld\n",
                   static_cast<unsigned long>(site.address - load_base), site.count);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::fprintf(out, "maxrss_kb %ld\n", usage.ru_maxrss);
  std::fclose(out);
}

__attribute__((constructor)) void StartProbe() {
  if (const char* after = std::getenv("ZIRKULON_PROBE_EXIT_AFTER")) exit_after = std::atoi(after);
  if (const char* frames = std::getenv("ZIRKULON_PROBE_PROFILE")) {
    profile_frames = std::atoi(frames);
    struct sigaction action {};
    action.sa_handler = RequestProfile;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(SIGUSR2, &action, nullptr) != 0) std::perror("frame probe: sigaction");
  }
  dl_iterate_phdr(FindMainProgram, nullptr);
  std::atexit(WriteOut);
}

void* CountedNew(std::size_t size, const void* caller) {
  Count(caller);
  if (void* block = __libc_malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
}  // namespace

extern "C" {
void* malloc(size_t size) {
  Count(__builtin_return_address(0));
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  Count(__builtin_return_address(0));
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
  Count(__builtin_return_address(0));
  return __libc_realloc(pointer, size);
}
void* memalign(size_t alignment, size_t size) {
  Count(__builtin_return_address(0));
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, size_t alignment, size_t size) {
  Count(__builtin_return_address(0));
  *result = __libc_memalign(alignment, size);
  return *result == nullptr ? 12 : 0;
}
void* aligned_alloc(size_t alignment, size_t size) {
  Count(__builtin_return_address(0));
  return __libc_memalign(alignment, size);
}

}  // extern "C"

// operator new is counted where it is called from, not inside the C++ library.
void* operator new(std::size_t size) {
  return CountedNew(size, __builtin_return_address(0));
}
void* operator new[](std::size_t size) {
  return CountedNew(size, __builtin_return_address(0));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  Count(__builtin_return_address(0));
  return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  Count(__builtin_return_address(0));
  return __libc_malloc(size == 0 ? 1 : size);
}

extern "C" {
void glXSwapBuffers(void* display, unsigned long drawable) {
  using SwapEntry = void (*)(void*, unsigned long);
  static const auto next = reinterpret_cast<SwapEntry>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  // The pacing decides when a swap starts; the player sees the frame once it has returned.
  const long long started = Now(CLOCK_MONOTONIC);
  next(display, drawable);
  if (swap_count < kMaxSwaps) {
    swaps[swap_count++] = {started, Now(CLOCK_REALTIME),
                           allocations.load(std::memory_order_relaxed),
                           own_allocations.load(std::memory_order_relaxed)};
  }
  swap_count_seen.store(swap_count, std::memory_order_relaxed);
  if (exit_after > 0 && swap_count >= exit_after) std::exit(0);
  if (profile_frames > 0) StepProfile();
}
}
