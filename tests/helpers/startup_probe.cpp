// A small program on the real process entry, for tests that need a real process: it reports what
// start-up recorded, or provokes one of the ways a program ends.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/core/runtime_error.h"
#include "platform/process/clock.h"
#include "platform/process/startup.h"

namespace {
// Recurses until the stack runs out; the depth check only hides the recursion from the compiler.
int Recurse(volatile int* depth) {
  volatile char frame[4096];
  frame[0] = static_cast<char>(*depth);
  *depth = *depth + 1;
  if (*depth < 0) return frame[0];
  return Recurse(depth) + frame[0];
}

// A real segmentation fault; the undefined-behaviour sanitizer would report it before the signal.
__attribute__((noinline, no_sanitize("undefined"))) void WriteThroughNull() {
  // The pointer itself is volatile, so that the optimiser cannot see that it is null.
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
}

void ProbeMain() {
  const auto& args = CommandArgs();
  const std::string mode = args.size() > 1 ? ToUtf8(args[1]) : "report";
  if (mode == "report") {
    char cwd[1024];
    std::printf("cwd=%s\n", getcwd(cwd, sizeof cwd));
    std::printf("start=%s\n", ToUtf8(StartDir()).c_str());
    std::printf("dir=%s\n", ToUtf8(ExecutableDir()).c_str());
    std::printf("path=%s\n", ToUtf8(ExecutablePath()).c_str());
    std::printf("title=%s\n", ToUtf8(ApplicationTitle()).c_str());
    std::printf("argc=%zu\n", args.size());
  } else if (mode == "wait") {
    std::printf("waiting\n");
    std::fflush(stdout);
    for (;;) DelayMillis(1000);
  } else if (mode == "segv") {
    WriteThroughNull();
  } else if (mode == "recursion") {
    volatile int depth = 0;
    std::printf("%d\n", Recurse(&depth));
  } else if (mode == "trap") {
    std::raise(SIGTRAP);
  } else if (mode == "error") {
    std::atexit([] { std::fputs("exit handler ran\n", stdout); });
    RaiseRuntimeError("Something failed");
  } else if (mode == "end") {
    std::atexit([] { std::fputs("exit handler ran\n", stdout); });
    EndProgram();
  } else if (mode == "delay") {
    // Times DelayMillis(300), for runs under a faked wall clock; the time of day is read before
    // and after, so a stepped clock is visible to the program.
    std::printf("wall=%ld\n", static_cast<long>(time(nullptr)));
    std::fflush(stdout);  // the test steps the clock once it sees the wait begin
    const int before = Millis();
    DelayMillis(300);
    const unsigned delayed = MillisBetween(before, Millis());
    std::printf("wall=%ld\ndelayed=%u\n", static_cast<long>(time(nullptr)), delayed);
  }
}
}  // namespace

int main(int argc, char** argv) {
  return ProcessEntry(argc, argv, &ProbeMain);
}
