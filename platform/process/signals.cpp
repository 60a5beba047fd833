#include "platform/process/signals.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/core/runtime_error.h"

namespace {
volatile sig_atomic_t pending_signal = 0;
volatile sig_atomic_t termination_requested = 0;
bool alarm_installed = false;

// An alternate stack large enough for the reporter even when the main stack overflowed.
alignas(16) char alternate_stack[64 * 1024];

// Async-signal-safe: formats into a caller's buffer without locale or allocation.
std::size_t FormatSignalText(int signal_number, char* out, std::size_t capacity) {
  static const char kPrefix[] = "appstub.linux signal handler ";
  std::size_t length = 0;
  for (const char* p = kPrefix; *p != '\0' && length + 1 < capacity; ++p) out[length++] = *p;
  char digits[12];
  int count = 0;
  unsigned value = signal_number < 0 ? 0u - static_cast<unsigned>(signal_number)
                                     : static_cast<unsigned>(signal_number);
  if (signal_number < 0 && length + 1 < capacity) out[length++] = '-';
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0 && length + 1 < capacity) out[length++] = digits[--count];
  out[length] = '\0';
  return length;
}

void OnAlarm(int signal_number) {
  pending_signal = signal_number;
}

void OnTerminate(int) {
  termination_requested = 1;
}

void OnCrash(int signal_number) {
  char text[64];
  const std::size_t length = FormatSignalText(signal_number, text, sizeof text);
  ssize_t ignored = write(STDERR_FILENO, text, length);
  (void)ignored;
  _exit(255);
}

// Raises "<what> failed: <reason>" from errno.
[[noreturn]] void RaiseSystemError(const std::string& what) {
  RaiseRuntimeError(what + " failed: " + std::strerror(errno));
}
}  // namespace

void InstallSignalHandler(int signal_number, void (*handler)(int), int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  if (sigaction(signal_number, &action, nullptr) != 0)
    RaiseSystemError("sigaction for signal " + std::to_string(signal_number));
}

const char* SignalErrorText(int signal_number, char (&buffer)[64]) {
  FormatSignalText(signal_number, buffer, sizeof buffer);
  return buffer;
}

void InstallCrashHandlers() {
  stack_t stack{};
  stack.ss_sp = alternate_stack;
  stack.ss_size = sizeof alternate_stack;
  if (sigaltstack(&stack, nullptr) != 0) RaiseSystemError("sigaltstack");

  if (signal(SIGPIPE, SIG_IGN) == SIG_ERR) RaiseSystemError("ignoring SIGPIPE");
  for (int crash : {SIGBUS, SIGSEGV, SIGTRAP})
    InstallSignalHandler(crash, OnCrash, SA_ONSTACK | SA_RESETHAND);
  InstallSignalHandler(SIGTERM, OnTerminate, SA_RESTART);
}

void InstallAlarmHandler() {
  if (alarm_installed) return;
  InstallSignalHandler(SIGALRM, OnAlarm, SA_RESTART);
  alarm_installed = true;
}

int TakePendingSignal() {
  const int signal_number = pending_signal;
  pending_signal = 0;
  return signal_number;
}

void RaisePendingTermination() {
  if (!termination_requested) return;
  termination_requested = 0;
  char text[64];
  throw TerminationRequest(SignalErrorText(SIGTERM, text));
}
