#include "platform/system_driver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/event.h"
#include "platform/hooks.h"
#include "platform/pending_work.h"
#include "platform/signals.h"
#include "tests/support/process.h"

namespace {
const std::string kProbe = std::string(ZIRKULON_HELPERS_DIR) + "/system_probe";

int nested_polls = 0;
ObjectRef PollFromInsideTheChain(int, const ObjectRef& data, const ObjectRef&) {
  ++nested_polls;
  PollSystemEvents();  // must not recurse into the pump
  WaitSystemEvents();
  return data;
}

std::vector<int> handled_signals;
void RecordSignal(int signal_number) {
  handled_signals.push_back(signal_number);
}

std::vector<std::string> completions;
void RecordCompletion(const ObjectRef& object, int result) {
  completions.push_back(ToUtf8(object ? object->ToString() : String()) + "=" +
                        std::to_string(result));
}
}  // namespace

TEST(SystemDriver, AHookThatPollsDoesNotReenterThePump) {
  StartSystemModule();
  InsertHook(EventHookId(), PollFromInsideTheChain, nullptr, 50);
  nested_polls = 0;
  EmitEvent(EVENT_APPIDLE, 0, 0, 0);
  DeleteHook(EventHookId(), PollFromInsideTheChain, nullptr);
  EXPECT_EQ(nested_polls, 1);
}

TEST(SystemDriver, WaitRunsThePendingSignalsHandlerAndPostedCompletions) {
  StartSystemModule();
  InstallAlarmHandler();
  TakePendingSignal();
  handled_signals.clear();
  completions.clear();
  SetPendingSignalHandler(SIGALRM, RecordSignal);
  std::thread poster([] {
    PostCompletion(RecordCompletion, std::make_shared<TStringObject>(u"first"), 1);
    PostCompletion(RecordCompletion, nullptr, -2);
  });
  poster.join();
  std::raise(SIGALRM);
  WaitSystemEvents();  // a signal is pending, so no sleep
  SetPendingSignalHandler(SIGALRM, nullptr);
  EXPECT_EQ(handled_signals, std::vector<int>{SIGALRM});
  EXPECT_EQ(completions, (std::vector<std::string>{"first=1", "=-2"}));
  WaitSystemEvents();  // each completion runs once
  EXPECT_EQ(completions.size(), 2u);
}

TEST(SystemDriver, WithoutADisplayTheDriverLivesAndReadersKeepTheirValues) {
  ProcessOptions options;
  options.extra_environment = {"DISPLAY="};
  const ProcessResult result = RunProcess({kProbe, "no-display"}, options);
  EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  EXPECT_EQ(result.standard_output,
            "start: hits=0 down=0 char=0 mouse=0,0 wheel=0 buttons=0 terminate=0\n"
            "after: hits=1 down=1 char=0 mouse=12,34 wheel=0 buttons=0 terminate=0\n"
            "again: hits=0 down=1 char=0 mouse=12,34 wheel=0 buttons=0 terminate=0\n");
}

TEST(SystemDriver, SigtermWhilePollingOrWaitingEndsAsTheSignalError) {
  for (const char* mode : {"poll-until-terminated", "wait-until-terminated"}) {
    ProcessOptions options;
    options.send_sigterm_after_ms = 300;
    const ProcessResult result = RunProcess({kProbe, mode}, options);
    EXPECT_EQ(result.exit_status, 255) << mode;
    EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15") << mode;
  }
}

namespace {
// Runs `ask` with standard input reading `input`; returns what it wrote to standard output.
template <typename Ask>
std::string Console(const std::string& input, Ask ask) {
  std::istringstream in(input);
  std::ostringstream out;
  auto* old_in = std::cin.rdbuf(in.rdbuf());
  auto* old_out = std::cout.rdbuf(out.rdbuf());
  ask();
  std::cin.rdbuf(old_in);
  std::cout.rdbuf(old_out);
  std::cin.clear();
  return out.str();
}
}  // namespace

TEST(SystemDriver, ConsoleRequesters) {
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

TEST(SystemDriver, ConsoleAnswersPipedTogetherAreReadOneLineEach) {
  int first = -9, second = -9;
  Console("y\nn\n", [&] {
    first = Confirm(u"a");
    second = Confirm(u"b");
  });
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
}

TEST(SystemDriver, WebAddressesAreNormalised) {
  EXPECT_EQ(NormaliseWebAddress(u"http://example.org/a#b"), u"http://example.org/a#b");
  EXPECT_EQ(NormaliseWebAddress(u"FILE:/etc/hosts"), u"FILE:/etc/hosts");
  EXPECT_EQ(NormaliseWebAddress(u"example.org/page#top"), u"http:example.org/page#top");
  char cwd[1024];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string directory = "/tmp/zirkulon-url-" + std::to_string(getpid());
  ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
  std::ofstream(directory + "/page.html") << "x";
  ASSERT_EQ(chdir(directory.c_str()), 0);
  const String normalised = NormaliseWebAddress(u"page.html#part");
  ASSERT_EQ(chdir(cwd), 0);
  std::remove((directory + "/page.html").c_str());
  rmdir(directory.c_str());
  EXPECT_EQ(ToUtf8(normalised), "file:" + directory + "/page.html#part");
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

TEST(SystemDriver, TheOpenerGetsTheAddressAsOneArgumentWithoutAShell) {
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

TEST(SystemDriver, DateAndTimeTexts) {
  EXPECT_TRUE(std::regex_match(ToUtf8(CurrentDateText()),
                               std::regex("[0-3][0-9] [A-Z][a-z][a-z] [0-9]{4}")))
      << ToUtf8(CurrentDateText());
  EXPECT_TRUE(
      std::regex_match(ToUtf8(CurrentTimeText()), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")))
      << ToUtf8(CurrentTimeText());
}
