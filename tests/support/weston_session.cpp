#include "tests/support/weston_session.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/monotonic_clock.h"

namespace {
constexpr int kStartTimeoutMs = 60000;  // idle, weston names its display in well under a second
constexpr char kListening[] = "xserver listening on display ";
constexpr char kInstall[] = ": check that weston and xwayland are installed";

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string LastLine(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  const auto start = text.rfind('\n');
  return start == std::string::npos ? text : text.substr(start + 1);
}

// NOTE: weston binds the X socket itself and, when /tmp/.X11-unix is missing (no X server has
// made it yet), fails and then crashes instead of naming a display.
void MakeXSocketFolder() {
  if (mkdir("/tmp/.X11-unix", 01777) == 0) chmod("/tmp/.X11-unix", 01777);  // past the umask
}
}  // namespace

WestonSession::WestonSession() {
  Start();
  if (!error_.empty()) display_.clear();
}

void WestonSession::Start() {
  char folder[] = "/tmp/zirkulon-weston.XXXXXX";  // mkdtemp makes it mode 0700, as weston wants
  if (mkdtemp(folder) == nullptr) {
    error_ = "cannot make a runtime folder for weston in /tmp";
    return;
  }
  runtime_dir_ = folder;
  MakeXSocketFolder();
  const std::string log = runtime_dir_ + "/weston.log";
  const std::string output = runtime_dir_ + "/weston.out";
  // No idle timeout: an idle desktop shell would blank the output and stop frame callbacks.
  weston_ = std::make_unique<BackgroundProcess>(
      std::vector<std::string>{"weston", "--backend=headless-backend.so", "--xwayland",
                               "--no-config", "--idle-time=0", "--width=1280", "--height=1024",
                               "--socket=zirkulon-wayland", "--log=" + log},
      std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtime_dir_}, output);
  // Weston picks the X display itself and names it in its log once it listens there.
  const double deadline = MonotonicMillis() + kStartTimeoutMs;
  while (display_.empty()) {
    int status = 0;
    if (!weston_->Running(&status)) {
      error_ = WIFEXITED(status) && WEXITSTATUS(status) == 127
                   ? std::string("weston could not be run") + kInstall
                   : "weston ended before naming an X display (" + LogTail() + ")" + kInstall;
      return;
    }
    const std::string text = ReadFile(log);
    const auto at = text.find(kListening);
    if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
      const std::size_t start = at + sizeof kListening - 1;
      display_ = text.substr(start, text.find('\n', at) - start);
    } else if (MonotonicMillis() > deadline) {
      error_ = "weston named no X display in time (" + LogTail() + ")";
      return;
    } else {
      usleep(20000);
    }
  }
  // Xwayland is only started by this first connection; weston closes it when Xwayland fails.
  while ((keep_alive_ = XOpenDisplay(display_.c_str())) == nullptr) {
    if (MonotonicMillis() > deadline) {
      error_ =
          "Xwayland did not accept connections on " + display_ + " (" + LogTail() + ")" + kInstall;
      return;
    }
    usleep(100000);
  }
}

// The last lines of weston's log and of its (and Xwayland's) standard error.
std::string WestonSession::LogTail() const {
  std::string tail;
  for (const char* name : {"/weston.log", "/weston.out"}) {
    const std::string line = LastLine(ReadFile(runtime_dir_ + name));
    if (!line.empty()) tail += (tail.empty() ? "" : "; ") + line;
  }
  return tail.empty() ? "no message" : tail;
}

WestonSession::~WestonSession() {
  if (keep_alive_ != nullptr) XCloseDisplay(keep_alive_);
  weston_.reset();
  if (!runtime_dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(runtime_dir_, ignored);
  }
}
