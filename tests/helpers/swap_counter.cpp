// Preloaded into the game by the soak run: counts buffer swaps in a shared file, so that a watcher
// sees whether frames keep coming. ZIRKULON_SWAP_COUNTER names the file; it holds one 64-bit count.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<std::uint64_t>* counter = nullptr;

__attribute__((constructor)) void OpenCounter() {
  const char* path = std::getenv("ZIRKULON_SWAP_COUNTER");
  if (path == nullptr) return;
  const int file = open(path, O_RDWR | O_CREAT, 0600);
  if (file < 0 || ftruncate(file, sizeof(std::uint64_t)) != 0) {
    std::perror("swap_counter: unable to open the file named by ZIRKULON_SWAP_COUNTER");
    std::_Exit(70);
  }
  void* shared = mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
  close(file);
  if (shared == MAP_FAILED) {
    std::perror("swap_counter: unable to map the counter file");
    std::_Exit(70);
  }
  counter = static_cast<std::atomic<std::uint64_t>*>(shared);
}
}  // namespace

extern "C" void glXSwapBuffers(void* display, unsigned long drawable) {
  using SwapEntry = void (*)(void*, unsigned long);
  static const auto next = reinterpret_cast<SwapEntry>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  next(display, drawable);
  if (counter != nullptr) counter->fetch_add(1, std::memory_order_relaxed);
}
