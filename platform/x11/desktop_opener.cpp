// Starting the desktop's opener with a web address as a plain argument.
#include "platform/x11/desktop_opener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/runtime_error.h"
#include "platform/process/signals.h"

extern char** environ;

namespace {
constexpr std::chrono::milliseconds kWaitStep{10};

bool EnvironmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

bool RunAndWait(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  // The opener may take long (or never end); a termination request must still end the program.
  for (;;) {
    int status = 0;
    const pid_t ended = waitpid(child, &status, WNOHANG);
    // NOTE: with SIGCHLD ignored the system reaps the opener itself, and waitpid says ECHILD.
    if (ended == child || (ended < 0 && errno == ECHILD)) return true;
    if (ended < 0 && errno != EINTR) {
      RaiseRuntimeError(std::string("Unable to wait for the desktop opener ") + argv[0] + ": " +
                        std::strerror(errno) + "\n");
    }
    RaisePendingTermination();
    std::this_thread::sleep_for(kWaitStep);
  }
}
}  // namespace

bool RunDesktopOpener(const String& address) {
  const std::string text = ToUtf8(address);
  if (EnvironmentSet("KDE_FULL_DESKTOP")) return RunAndWait({"kfmclient", "exec", text});
  if (EnvironmentSet("GNOME_DESKTOP_SESSION_ID")) return RunAndWait({"gnome-open", text});
  return false;
}
