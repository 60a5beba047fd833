// The X11 system driver's console requesters and desktop opener, reached through the module
// functions as a program reaches them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/events/system_driver.h"
#include "platform/process/signals.h"
#include "platform/x11/linux_system.h"
#include "tests/support/process.h"

namespace {
const std::string kProbe = std::string(ZIRKULON_HELPERS_DIR) + "/system_probe";

// Runs `ask` with standard input reading `input` from a pipe; returns what it wrote to standard
// output. What `ask` leaves unread is dropped with the pipe.
template <typename Ask>
std::string Console(const std::string& input, Ask ask) {
  int answers[2];
  if (pipe(answers) != 0) ADD_FAILURE() << "pipe failed";
  EXPECT_EQ(write(answers[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  close(answers[1]);
  const int old_in = dup(STDIN_FILENO);
  dup2(answers[0], STDIN_FILENO);
  close(answers[0]);
  std::ostringstream out;
  auto* old_out = std::cout.rdbuf(out.rdbuf());
  ask();
  std::cout.rdbuf(old_out);
  dup2(old_in, STDIN_FILENO);
  close(old_in);
  return out.str();
}
}  // namespace

TEST(LinuxSystemDriver, ConsoleRequesters) {
  StartLinuxSystemModule();
  EXPECT_EQ(Console("", [] { Notify(u"Hallo"); }), "Hallo\r\n");
  int answer = -9;
  EXPECT_EQ(Console("Yes\n", [&] { answer = Confirm(u"Weiter"); }), "Weiter (Yes/No)?");
  EXPECT_EQ(answer, 1);
  Console("no\n", [&] { answer = Confirm(u"?"); });
  EXPECT_EQ(answer, 0);
  Console("", [&] { answer = Confirm(u"?"); });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(Console("n\n", [&] { answer = Proceed(u"Speichern"); }), "Speichern (Yes/No/Cancel)?");
  EXPECT_EQ(answer, 0);
  Console("Y\n", [&] { answer = Proceed(u"?"); });
  EXPECT_EQ(answer, 1);
  Console("abbrechen\n", [&] { answer = Proceed(u"?"); });
  EXPECT_EQ(answer, -1);

  String line;
  EXPECT_EQ(Console("/tmp/a b.txt \r\nnext\n", [&] { line = RequestFile(u"Open"); }),
            "Enter a filename:");
  EXPECT_EQ(line, u"/tmp/a b.txt ");  // only the one white-space right before the line feed goes
  EXPECT_EQ(Console("dir\n", [&] { line = RequestDir(u"Pick"); }), "Enter a directory name:");
  EXPECT_EQ(line, u"dir");
  Console("", [&] { line = RequestDir(u"Pick"); });
  EXPECT_EQ(line, u"");
}

TEST(LinuxSystemDriver, ConsoleAnswersPipedTogetherAreReadOneLineEach) {
  StartLinuxSystemModule();
  int first = -9, second = -9;
  Console("y\nn\n", [&] {
    first = Confirm(u"a");
    second = Confirm(u"b");
  });
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
}

TEST(LinuxSystemDriver, ALineArrivingInPiecesIsReadWhole) {
  StartLinuxSystemModule();
  int answers[2];
  ASSERT_EQ(pipe(answers), 0);
  const int old_in = dup(STDIN_FILENO);
  dup2(answers[0], STDIN_FILENO);
  close(answers[0]);
  std::thread writer([&] {
    EXPECT_EQ(write(answers[1], "/tm", 3), 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(write(answers[1], "p/x\n", 4), 4);
    close(answers[1]);
  });
  std::ostringstream out;
  auto* old_out = std::cout.rdbuf(out.rdbuf());
  const String line = RequestFile(u"Open");
  std::cout.rdbuf(old_out);
  writer.join();
  dup2(old_in, STDIN_FILENO);
  close(old_in);
  EXPECT_EQ(line, u"/tmp/x");
}

// SIGTERM while the runtime waits outside X, for an answer or for the opener: the wait ends within
// a second as the signal's runtime error.
TEST(LinuxSystemDriver, SigtermEndsAWaitForAnAnswerOrTheOpenerWithinASecond) {
  const std::string directory = "/tmp/zirkulon-slow-opener-" + std::to_string(getpid());
  mkdir(directory.c_str(), 0700);
  const std::string script = directory + "/kfmclient";
  // The opener keeps none of the probe's output pipes, so only the probe's own end is awaited.
  std::ofstream(script) << "#!/bin/sh\nexec sleep 5 </dev/null >/dev/null 2>&1\n";
  chmod(script.c_str(), 0700);
  const char* path = std::getenv("PATH");
  for (const char* mode : {"confirm-until-terminated", "open-url-until-terminated"}) {
    ProcessOptions options;
    options.extra_environment = {"KDE_FULL_DESKTOP=1",
                                 "PATH=" + directory + ":" + (path != nullptr ? path : "")};
    options.send_sigterm_after_ms = 300;
    options.sigterm_delay_from_handler = true;
    options.kill_after_sigterm_ms = 1000;  // SIGKILL, and so no 255, when the wait ignores it
    const ProcessResult result = RunProcess({kProbe, mode}, options);
    EXPECT_EQ(result.exit_status, 255)
        << mode << ", killed by signal " << result.terminating_signal;
    EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15") << mode;
  }
  std::system(("rm -rf '" + directory + "'").c_str());
}

namespace {
class FakeOpener {
 public:
  FakeOpener() : directory_("/tmp/zirkulon-opener-" + std::to_string(getpid())) {
    mkdir(directory_.c_str(), 0700);
    old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const char* name : {"kfmclient", "gnome-open"}) {
      const std::string script = directory_ + "/" + name;
      std::ofstream(script) << "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '[%s]' \"$a\" >> '"
                            << Log() << "'; done\necho >> '" << Log() << "'\n";
      chmod(script.c_str(), 0700);
    }
    setenv("PATH", (directory_ + ":" + old_path_).c_str(), 1);
  }
  ~FakeOpener() {
    setenv("PATH", old_path_.c_str(), 1);
    unsetenv("KDE_FULL_DESKTOP");
    unsetenv("GNOME_DESKTOP_SESSION_ID");
    std::system(("rm -rf '" + directory_ + "'").c_str());
  }
  std::string Log() const { return directory_ + "/log"; }
  std::string ReadLog() const {
    std::ifstream in(Log());
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  const std::string& directory() const { return directory_; }

 private:
  std::string directory_;
  std::string old_path_;
};
}  // namespace

TEST(LinuxSystemDriver, TheOpenerGetsTheAddressAsOneArgumentWithoutAShell) {
  StartLinuxSystemModule();
  FakeOpener opener;
  const std::string marker = opener.directory() + "/pwned";
  const std::string hostile = "http://x/\"; touch " + marker + "; echo \"$(touch " + marker + ")`";
  unsetenv("KDE_FULL_DESKTOP");
  unsetenv("GNOME_DESKTOP_SESSION_ID");
  EXPECT_EQ(OpenURL(FromUtf8(hostile)), 0);
  EXPECT_EQ(opener.ReadLog(), "");  // no desktop: nothing runs

  setenv("GNOME_DESKTOP_SESSION_ID", "1", 1);
  EXPECT_EQ(OpenURL(FromUtf8(hostile)), 0);
  setenv("KDE_FULL_DESKTOP", "", 1);  // empty counts as unset
  OpenURL(u"http://b");
  setenv("KDE_FULL_DESKTOP", "true", 1);
  OpenURL(FromUtf8(hostile));
  EXPECT_EQ(opener.ReadLog(), "[" + opener.directory() + "/gnome-open][" + hostile + "]\n[" +
                                  opener.directory() + "/gnome-open][http://b]\n[" +
                                  opener.directory() + "/kfmclient][exec][" + hostile + "]\n");
  EXPECT_NE(access(marker.c_str(), F_OK), 0) << "the address reached a shell";
}
