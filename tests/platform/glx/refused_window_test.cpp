// A game window the X server refuses: creation comes back empty within a bounded time, undoes what
// it made, and the game's error text names the X error. The probe routes its own window requests
// so that the server answers them with real errors (see tests/helpers/x_error_probe.cpp).
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "tests/support/display.h"
#include "tests/support/process.h"

namespace {
const std::string kProbe = std::string(ZIRKULON_HELPERS_DIR) + "/x_error_probe";

// The probe's "name=value" lines, and its count lines as "moment windows" / "moment colormaps".
std::map<std::string, std::string> ParseReport(const std::string& output) {
  std::map<std::string, std::string> values;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    const auto equals = line.find('=');
    const auto space = line.find(' ');
    if (space != std::string::npos && space < equals) {
      std::istringstream words(line);
      std::string moment;
      std::string count;
      words >> moment;
      while (words >> count) {
        const auto at = count.find('=');
        values[moment + " " + count.substr(0, at)] = count.substr(at + 1);
      }
    } else if (equals != std::string::npos) {
      values[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return values;
}

// Nothing of the refused window stays: as many windows and colormaps as before the attempt.
void ExpectNothingLeft(std::map<std::string, std::string>& report) {
  ASSERT_FALSE(report["before windows"].empty());
  EXPECT_EQ(report["after windows"], report["before windows"]);
  EXPECT_EQ(report["after colormaps"], report["before colormaps"]);
}
}  // namespace

TEST(RefusedWindow, AWindowTheServerRefusesIsUndoneAndItsErrorNamed) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "bad-window"});
  EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  auto report = ParseReport(result.standard_output);
  EXPECT_EQ(report["opened"], "0");
  EXPECT_LT(std::stoi(report["millis"]), 2000) << "refused at once, without waiting for a map";
  EXPECT_EQ(report["failure"],
            "the X server refused the window: BadMatch (invalid parameter attributes) in "
            "X_CreateWindow: check the window size against the X server's screen and its OpenGL "
            "drivers");
  ExpectNothingLeft(report);
  EXPECT_EQ(result.standard_error, "") << "a refusal during creation is the creator's to tell";
}

TEST(RefusedWindow, AMapTheServerRefusesIsUndoneAndItsErrorNamed) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "bad-map"});
  EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  auto report = ParseReport(result.standard_output);
  EXPECT_EQ(report["opened"], "0");
  EXPECT_LT(std::stoi(report["millis"]), 2000);
  // NOTE: XMapRaised raises the window (ConfigureWindow) before it maps it: the first refusal.
  EXPECT_EQ(report["failure"].rfind("the X server refused to show the window: BadWindow (invalid "
                                    "Window parameter) in X_ConfigureWindow",
                                    0),
            0u)
      << report["failure"];
  ExpectNothingLeft(report);
}

TEST(RefusedWindow, AWindowThatNeverAppearsIsGivenUpAfterSomeSeconds) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "never-mapped"});
  EXPECT_EQ(result.exit_status, 0) << "killed by signal " << result.terminating_signal;
  auto report = ParseReport(result.standard_output);
  EXPECT_EQ(report["opened"], "0");
  const int millis = std::stoi(report["millis"]);
  EXPECT_GE(millis, 4000);
  EXPECT_LT(millis, 10000);
  EXPECT_EQ(report["failure"].rfind("the window never appeared on the screen", 0), 0u);
  ExpectNothingLeft(report);
}

TEST(RefusedWindow, ALostRequestToMapIsRepeated) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "first-map-lost"});
  auto report = ParseReport(result.standard_output);
  EXPECT_EQ(report["opened"], "1") << report["failure"];
  EXPECT_LT(std::stoi(report["millis"]), 4000);
}

TEST(RefusedWindow, ATerminationRequestEndsTheWaitForTheWindow) {
  REQUIRE_DISPLAY();
  ProcessOptions options;
  options.sigterm_after_output = "before ";  // the window is being made: the wait has begun
  options.send_sigterm_after_ms = 300;
  options.kill_after_sigterm_ms = 1000;
  const ProcessResult result = RunProcess({kProbe, "never-mapped"}, options);
  EXPECT_EQ(result.terminating_signal, 0) << "the wait outlived the request by a second";
  EXPECT_EQ(result.exit_status, 255);
  EXPECT_EQ(result.standard_error, "appstub.linux signal handler 15");
  EXPECT_EQ(ParseReport(result.standard_output)["opened"], "")
      << "the request ends the program; it is no failure to create";
}
