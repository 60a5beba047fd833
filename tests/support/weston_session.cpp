#include "tests/support/weston_session.h"

#include <X11/extensions/XTest.h>
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

WestonSession::WestonSession(WestonOutput output, int outputs) {
  Start(output, outputs);
  if (!error_.empty()) display_.clear();
}

void WestonSession::Start(WestonOutput output, int outputs) {
  std::vector<std::string> backend = {"--backend=headless-backend.so", "--width=1280",
                                      "--height=1024"};
  std::vector<std::string> environment;
  if (output == WestonOutput::kNestedInXvfb) {
    outer_ = std::make_unique<PrivateXServer>(
        std::vector<std::string>{"-screen", "0",
                                 std::to_string(outputs * kNestedWidth + 120) + "x" +
                                     std::to_string(kNestedHeight + 200) + "x24"});
    outer_display_ = outer_->display();
    if (outer_display_.empty()) {
      error_ = outer_->error();
      return;
    }
    backend = {
        "--backend=x11-backend.so", "--use-pixman", "--width=" + std::to_string(kNestedWidth),
        "--height=" + std::to_string(kNestedHeight), "--output-count=" + std::to_string(outputs)};
    environment.push_back("DISPLAY=" + outer_display_);
  }
  char folder[] = "/tmp/zirkulon-weston.XXXXXX";  // mkdtemp makes it mode 0700, as weston wants
  if (mkdtemp(folder) == nullptr) {
    error_ = "cannot make a runtime folder for weston in /tmp";
    return;
  }
  runtime_dir_ = folder;
  MakeXSocketFolder();
  const std::string log = runtime_dir_ + "/weston.log";
  const std::string weston_output = runtime_dir_ + "/weston.out";
  // No idle timeout: an idle desktop shell would blank the output and stop frame callbacks.
  std::vector<std::string> command = {"weston",        "--xwayland",   "--no-config",
                                      "--idle-time=0", "--log=" + log, "--socket=zirkulon-wayland"};
  command.insert(command.end(), backend.begin(), backend.end());
  environment.push_back("XDG_RUNTIME_DIR=" + runtime_dir_);
  weston_ = std::make_unique<BackgroundProcess>(command, environment, weston_output);
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
  outer_.reset();
  if (!runtime_dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(runtime_dir_, ignored);
  }
}

WestonSeat::WestonSeat(const WestonSession& session)
    : display_(XOpenDisplay(session.outer_display().c_str())) {}

WestonSeat::~WestonSeat() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

void WestonSeat::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
  XTestFakeMotionEvent(display_, 0, x, y, CurrentTime);
  XSync(display_, False);
}

void WestonSeat::MoveBy(int dx, int dy, int steps, int step_ms) {
  for (int step = 0; step < steps; ++step) {
    MoveTo(x_ + dx, y_ + dy);
    usleep(step_ms * 1000);
  }
}

void WestonSeat::Leave() {
  MoveTo(WestonSession::kNestedWidth + 60, y_);
}

void WestonSeat::Click(unsigned button) {
  XTestFakeButtonEvent(display_, button, True, CurrentTime);
  XTestFakeButtonEvent(display_, button, False, CurrentTime);
  XSync(display_, False);
}

void WestonSeat::TapKey(unsigned long keysym) {
  const KeyCode key = XKeysymToKeycode(display_, keysym);
  XTestFakeKeyEvent(display_, key, True, CurrentTime);
  XSync(display_, False);
  usleep(30000);  // two frames: the press and the release reach different polls
  XTestFakeKeyEvent(display_, key, False, CurrentTime);
  XSync(display_, False);
}
