#include "game/app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CommandLine, TheScaleIsADecimalFromOneToFourReadAlikeInEveryLocale) {
  struct Case {
    std::vector<const char*> arguments;
    double scale;
  };
  for (const Case& given :
       {Case{{}, -1}, Case{{"--fullscreen"}, -1}, Case{{"--scale", "1"}, 1},
        Case{{"--scale", "1.5"}, 1.5}, Case{{"--scale", "1.75"}, 1.75}, Case{{"--scale", "4"}, 4},
        Case{{"--scale", "4.0"}, 4}, Case{{"--scale", "0"}, 0}, Case{{"--scale", "0.9"}, 0},
        Case{{"--scale", "4.5"}, 0}, Case{{"--scale", "1,5"}, 0}, Case{{"--scale", "1.5x"}, 0},
        Case{{"--scale", "1.2.5"}, 0}, Case{{"--scale", "."}, 0}, Case{{"--scale", "nan"}, 0},
        Case{{"--scale", "zwei"}, 0}, Case{{"--scale", ""}, 0}, Case{{"--scale"}, 0}}) {
    std::vector<const char*> argv = {"zirkulon"};
    argv.insert(argv.end(), given.arguments.begin(), given.arguments.end());
    EXPECT_EQ(ParseScale(static_cast<int>(argv.size()), argv.data()), given.scale)
        << (given.arguments.size() > 1 ? given.arguments[1] : "");
  }
}
