// The process entry and the ways a program ends, checked on real processes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

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
  options.sigterm_after_output = "waiting\n";
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
  // libfaketime re-reads its offset file on every clock call; stepping the time of day an hour
  // back while the program waits in DelayMillis(300) must not lengthen the wait.
  const char* kFaketimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
  if (access(kFaketimeLibrary, R_OK) != 0) {
    if (getenv("CI") != nullptr) FAIL() << "faketime is not installed";
    GTEST_SKIP() << "faketime is not installed";
  }
  char offset_file[] = "/tmp/zirkulon-faketime-XXXXXX";
  const int fd = mkstemp(offset_file);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "+0\n", 3), 3);
  close(fd);
  ProcessOptions options;
  // The step comes 100 ms into the wait, counted from the probe's first line, however slowly the
  // probe started.
  bool stepped = false;
  options.on_output = [&](const std::string&) {
    if (stepped) return;
    stepped = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::ofstream(offset_file, std::ios::trunc) << "-1h\n";
  };
  options.extra_environment = {std::string("LD_PRELOAD=") + kFaketimeLibrary,
                               std::string("FAKETIME_TIMESTAMP_FILE=") + offset_file,
                               "FAKETIME_DONT_FAKE_MONOTONIC=1", "FAKETIME_NO_CACHE=1"};
  options.timeout_ms = 5000;
  const ProcessResult result = RunProcess({kProbe, "delay"}, options);
  unlink(offset_file);
  ASSERT_EQ(result.exit_status, 0) << result.standard_error;
  long wall_before = 0;
  long wall_after = 0;
  unsigned delayed = 0;
  ASSERT_EQ(std::sscanf(result.standard_output.c_str(), "wall=%ld wall=%ld delayed=%u",
                        &wall_before, &wall_after, &delayed),
            3)
      << result.standard_output;
  EXPECT_LT(wall_after, wall_before - 3000) << "the time of day was not stepped during the wait";
  EXPECT_GE(delayed, 300u);
  EXPECT_LT(delayed, 2000u);
}
