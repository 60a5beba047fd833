// Starting the desktop's opener with a web address as a plain argument.
#include "platform/x11/desktop_opener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {
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
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}
}  // namespace

bool RunDesktopOpener(const String& address) {
  const std::string text = ToUtf8(address);
  if (EnvironmentSet("KDE_FULL_DESKTOP")) return RunAndWait({"kfmclient", "exec", text});
  if (EnvironmentSet("GNOME_DESKTOP_SESSION_ID")) return RunAndWait({"gnome-open", text});
  return false;
}
