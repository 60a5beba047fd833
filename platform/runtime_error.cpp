#include "platform/runtime_error.h"

#include <cstdio>
#include <cstdlib>

void RaiseRuntimeError(std::string_view text) {
  throw RuntimeError(std::string(text));
}

void EndWithUnhandledError(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
  std::exit(255);
}
