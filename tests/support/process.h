// Runs a program as a real process and collects its exit status and standard error.
#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <vector>

struct ProcessResult {
  int exit_status = -1;  // the status passed to exit, or -1 when killed by a signal
  int terminating_signal = 0;
  std::string standard_output;
  std::string standard_error;
};

struct ProcessOptions {
  std::string working_directory;               // empty: inherit
  std::vector<std::string> extra_environment;  // "NAME=value" entries added to the environment
  int send_sigterm_after_ms = -1;              // >= 0: SIGTERM the child after this delay
  // Non-empty: the SIGTERM delay counts from when standard output first contains this text, so a
  // child slow to start on a loaded machine is not ended before it is ready.
  std::string sigterm_after_output;
  // Counts that delay from when the child catches SIGTERM, i.e. once its runtime has started: a
  // SIGTERM before then (while the loader still maps libraries) kills any program outright.
  bool sigterm_delay_from_handler = false;
  int timeout_ms = 20000;  // the child is killed (SIGKILL) after this
  // >= 0: the child is killed (SIGKILL) when it outlives the SIGTERM by this long, so a test can
  // bound how promptly a request to end is honoured however slowly the child started.
  int kill_after_sigterm_ms = -1;
  // Called on the collecting thread with all standard output so far, each time more arrives.
  std::function<void(const std::string&)> on_output;
};

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// Runs `argv` (a game) in the background with the swap counter `library` (tests/helpers/
// swap_counter) preloaded after whatever is preloaded already, its live count of frames in
// `counter` (removed first), and `environment` added.
std::future<ProcessResult> StartCountingSwaps(const std::vector<std::string>& argv,
                                              const std::string& library,
                                              const std::string& counter,
                                              const std::vector<std::string>& environment = {},
                                              int timeout_ms = 20000);
// The count of frames the preloaded counter keeps in `counter`; 0 before the game made it.
std::uint64_t SwapCount(const std::string& counter);
// Waits until `frames` more than now are counted. The game pumps its events once a frame: from the
// second on, it has read what the server had queued for it by now, and drawn it. False on timeout.
bool WaitForSwaps(const std::string& counter, std::uint64_t frames, int timeout_ms = 10000);

// A program left running beside the test (a window manager, a compositor), ended with SIGTERM
// (SIGKILL when it is still there five seconds later) and waited for when this goes; it also ends
// should the test process die. Its output goes to `output_path` when one is given.
class BackgroundProcess {
 public:
  explicit BackgroundProcess(const std::vector<std::string>& argv,
                             const std::vector<std::string>& extra_environment = {},
                             const std::string& output_path = {});
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // False once it has ended; `status` then gets its wait status.
  bool Running(int* status = nullptr) const;

 private:
  mutable int pid_ = -1;
};
