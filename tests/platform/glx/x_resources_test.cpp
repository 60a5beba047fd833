// Every exit path frees the game's X and GLX resources: a helper process counts its own windows,
// colormaps and GLX contexts with the X Resource extension while it opens and ends the graphics,
// and checks from a connection of its own that its display connection was closed before it ended.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/display.h"
#include "tests/support/process.h"

namespace {
const std::string kProbe = std::string(ZIRKULON_HELPERS_DIR) + "/x_resource_probe";

struct Counts {
  int windows = -1;
  int colormaps = -1;
  int contexts = -1;
  bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& counts) {
  return out << counts.windows << " windows, " << counts.colormaps << " colormaps, "
             << counts.contexts << " contexts";
}

// The probe's lines "moment windows=W colormaps=C contexts=G" by moment, and its last verdict.
struct ProbeReport {
  std::map<std::string, Counts> counts;
  std::string display_closed;
};

ProbeReport ParseReport(const std::string& output) {
  ProbeReport report;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("display-closed=", 0) == 0) {
      report.display_closed = line.substr(15);
      continue;
    }
    std::istringstream words(line);
    std::string moment;
    Counts counts;
    words >> moment;
    if (std::sscanf(line.c_str() + moment.size(), " windows=%d colormaps=%d contexts=%d",
                    &counts.windows, &counts.colormaps, &counts.contexts) == 3) {
      report.counts[moment] = counts;
    }
  }
  return report;
}

// The open graphics holds the game's window and the hidden shared one, each with its colormap and
// context; the exit path leaves as many as there were before, and closes the connection.
void ExpectEverythingFreedAtExit(const ProbeReport& report) {
  ASSERT_EQ(report.counts.count("before"), 1u);
  ASSERT_EQ(report.counts.count("open"), 1u);
  const Counts before = report.counts.at("before");
  const Counts open = report.counts.at("open");
  EXPECT_EQ(open, (Counts{before.windows + 2, before.colormaps + 2, before.contexts + 2}))
      << "the counting itself sees the game's window and the shared one";
  ASSERT_EQ(report.counts.count("at-close"), 1u) << "the display's closers ran";
  EXPECT_EQ(report.counts.at("at-close"), before) << "freed before the connection closed";
  EXPECT_EQ(report.display_closed, "1") << "the connection is closed before the process ends";
}
}  // namespace

TEST(XResources, ClosingTheGraphicsFreesItsWindowAndTheExitFreesTheSharedOne) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "close"});
  EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  const ProbeReport report = ParseReport(result.standard_output);
  ASSERT_EQ(report.counts.count("closed"), 1u) << result.standard_output;
  const Counts before = report.counts.at("before");
  EXPECT_EQ(report.counts.at("closed"),
            (Counts{before.windows + 1, before.colormaps + 1, before.contexts + 1}))
      << "only the hidden shared context's window stays until the exit";
  ExpectEverythingFreedAtExit(report);
}

TEST(XResources, ANormalEndWithTheGraphicsOpenFreesEverything) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "end"});
  EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  ExpectEverythingFreedAtExit(ParseReport(result.standard_output));
}

TEST(XResources, ARuntimeErrorEndWithTheGraphicsOpenFreesEverything) {
  REQUIRE_DISPLAY();
  const ProcessResult result = RunProcess({kProbe, "error"});
  EXPECT_EQ(result.exit_status, 255);
  EXPECT_EQ(result.standard_error, "the probe's runtime error");
  ExpectEverythingFreedAtExit(ParseReport(result.standard_output));
}
