#include "platform/core/runtime_error.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

void RaiseRuntimeError(std::string_view text) {
  throw RuntimeError(std::string(text));
}

namespace {
volatile bool exiting = false;
}  // namespace

void BeginExit() {
  exiting = true;
}

bool ExitInProgress() {
  return exiting;
}

void EndWithUnhandledError(std::string_view text) {
  BeginExit();
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
  std::exit(255);
}

void RunExitWork(void (*work)()) noexcept {
  try {
    work();
  } catch (const std::exception& error) {
    const std::string_view text = error.what();
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(nullptr);
    _exit(255);
  }
}
