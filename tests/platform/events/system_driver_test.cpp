#include "platform/events/system_driver.h"

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

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/web_address.h"
#include "platform/process/clock.h"
#include "platform/process/pending_work.h"
#include "platform/process/signals.h"
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

TEST(SystemDriver, WaitSleepsAboutAMillisecondWithoutAnyTimer) {
  StartSystemModule();
  StartClock();
  TakePendingSignal();
  // Each wait sleeps on its own: no alarm is needed to end it, and none arrives.
  constexpr int kWaits = 100;
  const int start = Millis();
  for (int i = 0; i < kWaits; ++i) WaitSystemEvents();
  const unsigned elapsed = MillisBetween(start, Millis());
  EXPECT_GE(elapsed, static_cast<unsigned>(kWaits) * 9 / 10) << "the waits slept";
  // A whole second per wait would be 100 s; a loaded machine still stays far below 5 s.
  EXPECT_LT(elapsed, 5000u);
  EXPECT_EQ(TakePendingSignal(), 0);
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
    options.sigterm_after_output = mode[0] == 'p' ? "polling\n" : "waiting\n";
    const ProcessResult result = RunProcess({kProbe, mode}, options);
    EXPECT_EQ(result.exit_status, 255) << mode;
    EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15") << mode;
  }
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
