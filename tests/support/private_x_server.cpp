#include "tests/support/private_x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/monotonic_clock.h"

namespace {
constexpr int kStartTimeoutMs = 30000;  // Xvfb with GLX starts in well under a second when idle

// The last line Xvfb wrote to its error log, for the report of a failed start.
std::string LastLine(int fd) {
  std::string text;
  char buffer[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  const auto start = text.rfind('\n');
  return start == std::string::npos ? text : text.substr(start + 1);
}
}  // namespace

PrivateXServer::PrivateXServer(const std::vector<std::string>& options) {
  if (std::getenv("ZIRKULON_DISPLAY_FREE") != nullptr) {
    error_ = "this test starts an X server, but runs among the tests that need no display";
    return;
  }
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) {
    error_ = "cannot make a pipe for Xvfb's display number: check the open file limit";
    return;
  }
  FILE* log = std::tmpfile();
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // The server must not outlive a test process that crashes.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    dup2(ready[1], 3);  // dup2 clears close-on-exec on the copy
    if (log != nullptr) dup2(fileno(log), STDERR_FILENO);
    std::vector<std::string> args = {"Xvfb",      "-displayfd",   "3",          "-screen",
                                     "0",         "1280x1024x24", "+extension", "GLX",
                                     "-nolisten", "tcp",          "-noreset"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp("Xvfb", argv.data());
    _exit(127);
  }
  close(ready[1]);
  if (pid_ < 0) {
    error_ = "cannot fork to start Xvfb: check the process limit";
  } else {
    // Xvfb writes the number it picked once it accepts connections; end of file means it died.
    std::string number;
    const double deadline = MonotonicMillis() + kStartTimeoutMs;
    pollfd fd{ready[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos) {
      const int left = static_cast<int>(deadline - MonotonicMillis());
      if (left <= 0 || poll(&fd, 1, left) <= 0) break;
      char buffer[32];
      const ssize_t got = read(ready[0], buffer, sizeof buffer);
      if (got <= 0) break;
      number.append(buffer, got);
    }
    if (number.find('\n') != std::string::npos) {
      display_ = ":" + number.substr(0, number.find('\n'));
    } else {
      const std::string last = log != nullptr ? LastLine(fileno(log)) : "";
      error_ = "Xvfb did not start (" + (last.empty() ? std::string("no message") : last) +
               "): check that xvfb is installed (scripts/install-deps.sh)";
    }
  }
  close(ready[0]);
  if (log != nullptr) std::fclose(log);
}

PrivateXServer::~PrivateXServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  // A server stuck in a request may ignore the request to end: it is killed after a while.
  for (int i = 0; i < 500; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) != 0) return;
    usleep(10000);
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

std::string UsePrivateDisplay(std::string* error, const std::vector<std::string>& options) {
  static const PrivateXServer server(options);
  static const bool exported = [] {
    if (!server.display().empty()) setenv("DISPLAY", server.display().c_str(), 1);
    return true;
  }();
  (void)exported;
  if (error != nullptr) *error = server.error();
  return server.display();
}
