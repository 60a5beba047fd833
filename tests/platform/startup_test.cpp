// The process entry and the ways a program ends, checked on real processes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/support/process.h"

namespace {
const std::string kProbe = std::string(ZIRKULON_HELPERS_DIR) + "/startup_probe";

std::string DirectoryOfProbe() {
  return kProbe.substr(0, kProbe.rfind('/'));
}
}  // namespace

TEST(Startup, MovesToTheExecutableDirectoryAndRemembersTheStartDirectory) {
  ProcessOptions options;
  options.working_directory = "/tmp";
  const ProcessResult result = RunProcess({kProbe, "report", "extra"}, options);
  ASSERT_EQ(result.exit_status, 0) << result.standard_error;
  char resolved[4096];
  ASSERT_NE(realpath(DirectoryOfProbe().c_str(), resolved), nullptr);
  const std::string dir = resolved;
  EXPECT_NE(result.standard_output.find("cwd=" + dir + "\n"), std::string::npos)
      << result.standard_output;
  EXPECT_NE(result.standard_output.find("start=/tmp\n"), std::string::npos);
  EXPECT_NE(result.standard_output.find("dir=" + dir + "\n"), std::string::npos);
  EXPECT_NE(result.standard_output.find("path=" + dir + "/startup_probe\n"), std::string::npos);
  EXPECT_NE(result.standard_output.find("title=Ostrandel Application\n"), std::string::npos);
  EXPECT_NE(result.standard_output.find("argc=3\n"), std::string::npos);
}

TEST(Startup, SigtermEndsWithTheSignalTextAndStatus255AfterExitHandlers) {
  ProcessOptions options;
  options.send_sigterm_after_ms = 300;
  const ProcessResult result = RunProcess({kProbe, "wait"}, options);
  EXPECT_EQ(result.exit_status, 255);
  EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15");
}

TEST(Startup, CrashSignalsReportTheirNumberAndEndWith255) {
  struct Case {
    const char* mode;
    const char* text;
  };
  for (const Case& c : {Case{"segv", "appstub.linux signal handler 11"},
                        Case{"recursion", "appstub.linux signal handler 11"},
                        Case{"trap", "appstub.linux signal handler 5"}}) {
    const ProcessResult result = RunProcess({kProbe, c.mode});
    EXPECT_EQ(result.exit_status, 255) << c.mode;
    EXPECT_EQ(result.standard_error, c.text) << c.mode;
  }
}

TEST(Startup, UnhandledErrorWritesItsTextAndRunsExitHandlers) {
  const ProcessResult result = RunProcess({kProbe, "error"});
  EXPECT_EQ(result.exit_status, 255);
  EXPECT_EQ(result.standard_error, "Something failed");
  EXPECT_EQ(result.standard_output, "exit handler ran\n");
}

TEST(Startup, EndProgramExitsWithZeroAfterExitHandlers) {
  const ProcessResult result = RunProcess({kProbe, "end"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_output, "exit handler ran\n");
}

TEST(Startup, WallClockStepDoesNotStallTheDelay) {
  // libfaketime steps the time of day an hour back while the program waits.
  const char* kFaketimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
  if (access(kFaketimeLibrary, R_OK) != 0) {
    if (getenv("CI") != nullptr) FAIL() << "faketime is not installed";
    GTEST_SKIP() << "faketime is not installed";
  }
  ProcessOptions options;
  options.extra_environment = {std::string("LD_PRELOAD=") + kFaketimeLibrary, "FAKETIME=-1h",
                               "FAKETIME_DONT_FAKE_MONOTONIC=1", "FAKETIME_NO_CACHE=1"};
  options.timeout_ms = 5000;
  const ProcessResult result = RunProcess({kProbe, "delay"}, options);
  ASSERT_EQ(result.exit_status, 0) << result.standard_error;
  const int delayed =
      std::stoi(result.standard_output.substr(result.standard_output.find('=') + 1));
  EXPECT_GE(delayed, 300);
  EXPECT_LT(delayed, 2000);
}
