// The pending-signal handler table and the mutex-guarded completion list.
#include "platform/process/pending_work.h"

#include <signal.h>
#include <time.h>

#include <array>
#include <mutex>
#include <vector>

#include "platform/process/clock.h"
#include "platform/process/signals.h"

namespace {
struct Completion {
  CompletionCallback callback;
  ObjectRef object;
  int result;
};

constexpr int kSignalSlots = 65;
constexpr int kAlarmPeriodMillis = 1;
std::array<PendingSignalHandler, kSignalSlots> signal_handlers{};

std::mutex completions_mutex;
std::vector<Completion> posted_completions;
}  // namespace

void SetPendingSignalHandler(int signal_number, PendingSignalHandler handler) {
  if (signal_number <= 0 || signal_number >= kSignalSlots) return;
  PendingSignalHandler& slot = signal_handlers[static_cast<std::size_t>(signal_number)];
  // The alarm's 1 ms timer serves only its handler; without one it would wake the process a
  // thousand times a second for nothing.
  if (signal_number == SIGALRM && (slot == nullptr) != (handler == nullptr))
    SetIntervalTimer(handler != nullptr ? kAlarmPeriodMillis : 0);
  slot = handler;
}

void PostCompletion(CompletionCallback callback, ObjectRef object, int result) {
  std::lock_guard<std::mutex> lock(completions_mutex);
  posted_completions.push_back({callback, std::move(object), result});
}

void RunPendingWork(int signal_number) {
  if (signal_number > 0 && signal_number < kSignalSlots) {
    if (PendingSignalHandler handler = signal_handlers[static_cast<std::size_t>(signal_number)])
      handler(signal_number);
  }
  std::vector<Completion> taken;
  {
    std::lock_guard<std::mutex> lock(completions_mutex);
    taken.swap(posted_completions);
  }
  // Outside the lock: a callback may post again; that entry waits for the next poll.
  for (Completion& completion : taken) {
    completion.callback(completion.object, completion.result);
    completion.object.reset();
  }
}

void WaitForPendingWork() {
  int pending = TakePendingSignal();
  if (pending == 0) {
    SleepBriefly();
    pending = TakePendingSignal();
  }
  RunPendingWork(pending);
}

void SleepBriefly() {
  // NOTE: a relative nanosleep is never restarted after a signal handler, whatever SA_RESTART
  // says, so an alarm or SIGTERM still ends it early.
  const timespec brief{0, 1000000};
  clock_nanosleep(CLOCK_MONOTONIC, 0, &brief, nullptr);
}
