#include "tests/support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "tests/support/monotonic_clock.h"

namespace {
// Whether the process has a handler for SIGTERM: bit 15 of its caught-signal mask.
bool CatchesSigterm(pid_t process) {
  std::ifstream status("/proc/" + std::to_string(process) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigCgt:", 0) == 0)
      return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1) != 0;
  }
  return false;
}
}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "cannot make pipes for a child process: %s (check the open file limit)\n",
                 std::strerror(errno));
    std::abort();
  }
  const pid_t child = fork();
  if (child == 0) {
    dup2(out_pipe[1], STDOUT_FILENO);
    dup2(err_pipe[1], STDERR_FILENO);
    if (!options.working_directory.empty() && chdir(options.working_directory.c_str()) != 0)
      _exit(126);
    for (const auto& entry : options.extra_environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);

  ProcessResult result;
  const double start = MonotonicMillis();
  double sigterm_from =
      options.sigterm_after_output.empty() && !options.sigterm_delay_from_handler ? start : -1;
  double terminated_at = -1;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  int open_pipes = 2;
  while (open_pipes > 0) {
    const double now = MonotonicMillis();
    const double elapsed = now - start;
    if (sigterm_from < 0 &&
        (options.sigterm_after_output.empty() ||
         result.standard_output.find(options.sigterm_after_output) != std::string::npos) &&
        (!options.sigterm_delay_from_handler || CatchesSigterm(child)))
      sigterm_from = now;
    if (terminated_at < 0 && options.send_sigterm_after_ms >= 0 && sigterm_from >= 0 &&
        now - sigterm_from >= options.send_sigterm_after_ms) {
      kill(child, SIGTERM);
      terminated_at = now;
    }
    const bool outlived_sigterm = terminated_at >= 0 && options.kill_after_sigterm_ms >= 0 &&
                                  now - terminated_at >= options.kill_after_sigterm_ms;
    if (elapsed >= options.timeout_ms || outlived_sigterm) {
      kill(child, SIGKILL);
      break;
    }
    // Waiting for the handler, the loop looks again every millisecond.
    // Short polls while waiting for the child to be ready, so the SIGTERM delay starts on time.
    if (poll(fds, 2, sigterm_from < 0 ? 1 : 10) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
        continue;
      }
      (i == 0 ? result.standard_output : result.standard_error).append(buffer, got);
      if (i == 0 && options.on_output) options.on_output(result.standard_output);
    }
  }
  for (auto& fd : fds)
    if (fd.fd >= 0) close(fd.fd);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.terminating_signal = WTERMSIG(status);
  return result;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv,
                                     const std::vector<std::string>& extra_environment,
                                     const std::string& output_path) {
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ != 0) return;
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(1);
  const int out = output_path.empty() ? -1 : open(output_path.c_str(), O_WRONLY | O_CREAT, 0600);
  if (out >= 0) {
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
  }
  for (const auto& entry : extra_environment) putenv(const_cast<char*>(entry.c_str()));
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

BackgroundProcess::~BackgroundProcess() {
  if (!Running()) return;
  kill(pid_, SIGTERM);
  const double deadline = MonotonicMillis() + 5000;
  while (Running() && MonotonicMillis() < deadline) usleep(10000);
  if (Running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool BackgroundProcess::Running(int* status) const {
  if (pid_ > 0 && waitpid(pid_, status, WNOHANG) == pid_) pid_ = -1;  // ended and reaped
  return pid_ > 0;
}

std::future<ProcessResult> StartCountingSwaps(const std::vector<std::string>& argv,
                                              const std::string& library,
                                              const std::string& counter,
                                              const std::vector<std::string>& environment,
                                              int timeout_ms) {
  unlink(counter.c_str());
  const char* preloaded = std::getenv("LD_PRELOAD");
  const char* asan = std::getenv("ASAN_OPTIONS");
  ProcessOptions options;
  options.timeout_ms = timeout_ms;
  options.extra_environment = {
      "ZIRKULON_SWAP_COUNTER=" + counter,
      "LD_PRELOAD=" + (preloaded != nullptr ? std::string(preloaded) + ":" : "") + library,
      // The counter is not instrumented: a sanitizer build of the game must accept it first.
      "ASAN_OPTIONS=" + (asan != nullptr ? std::string(asan) + ":" : "") +
          "verify_asan_link_order=0"};
  options.extra_environment.insert(options.extra_environment.end(), environment.begin(),
                                   environment.end());
  return std::async(std::launch::async, [argv, options] { return RunProcess(argv, options); });
}

std::uint64_t SwapCount(const std::string& counter) {
  std::uint64_t count = 0;
  const int file = open(counter.c_str(), O_RDONLY);
  if (file < 0) return 0;
  if (pread(file, &count, sizeof count, 0) != sizeof count) count = 0;
  close(file);
  return count;
}

bool WaitForSwaps(const std::string& counter, std::uint64_t frames, int timeout_ms) {
  const std::uint64_t until = SwapCount(counter) + frames;
  const double deadline = MonotonicMillis() + timeout_ms;
  while (SwapCount(counter) < until && MonotonicMillis() < deadline) usleep(2000);
  return SwapCount(counter) >= until;
}
