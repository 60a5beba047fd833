// Text in a whole process: the default font's textures outlive the window and go with the
// program's statics; ending must stay quiet either way.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/display.h"
#include "tests/support/process.h"

namespace {
const std::string kProbe = std::string(ZIRKULON_HELPERS_DIR) + "/text_probe";
}  // namespace

TEST(TextProcess, ProgramThatDrewTextEndsQuietly) {
  REQUIRE_DISPLAY();
  for (const char* mode : {"draw", "close-first"}) {
    const ProcessResult result = RunProcess({kProbe, mode});
    EXPECT_EQ(result.exit_status, 0) << mode << ": signal " << result.terminating_signal;
    EXPECT_EQ(result.standard_output, "opened=1 ink=ffffff\n") << mode;
    EXPECT_EQ(result.standard_error, "") << mode;
  }
}
