// Web addresses: normalising a bare file name or host into an address, and starting the desktop's
// opener with the address as a plain argument.
#include "platform/web_address.h"

#include <limits.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/system_driver.h"

extern char** environ;

namespace {
bool EnvironmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

bool StartsWithScheme(const String& address) {
  String head = address.substr(0, 5);
  for (char16_t& c : head)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return head == u"http:" || head == u"file:";
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

String NormaliseWebAddress(const String& address) {
  if (StartsWithScheme(address)) return address;
  const auto hash = address.find(u'#');
  const String path = address.substr(0, hash);
  const String anchor = hash == String::npos ? String() : address.substr(hash);
  char resolved[PATH_MAX];
  if (!path.empty() && realpath(ToUtf8(path).c_str(), resolved) != nullptr)
    return u"file:" + FromUtf8(resolved) + anchor;
  return u"http:" + address;
}

bool RunDesktopOpener(const String& address) {
  const std::string text = ToUtf8(address);
  if (EnvironmentSet("KDE_FULL_DESKTOP")) return RunAndWait({"kfmclient", "exec", text});
  if (EnvironmentSet("GNOME_DESKTOP_SESSION_ID")) return RunAndWait({"gnome-open", text});
  return false;
}
