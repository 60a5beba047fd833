// Tests that need an X server: they fail, never skip, when CI is set.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

// True when DISPLAY is set and reachable.
bool DisplayAvailable();

#define REQUIRE_DISPLAY()                                                            \
  do {                                                                               \
    if (!DisplayAvailable()) {                                                       \
      if (std::getenv("CI") != nullptr) FAIL() << "no X display reachable in CI";    \
      GTEST_SKIP() << "no X display reachable (set DISPLAY or run scripts/test.sh)"; \
    }                                                                                \
  } while (false)
