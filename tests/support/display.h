// Tests that need an X server: they fail, never skip, when CI is set.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/private_x_server.h"

// True when DISPLAY is set and reachable.
bool DisplayAvailable();

#define ZIRKULON_NO_DISPLAY(why)                                       \
  do {                                                                 \
    if (std::getenv("CI") != nullptr) FAIL() << (why);                 \
    GTEST_SKIP() << (why) << " (install xvfb or run scripts/test.sh)"; \
  } while (false)

// The shared display of the test run (scripts/with-xvfb.sh).
#define REQUIRE_DISPLAY()                                                                \
  do {                                                                                   \
    if (!DisplayAvailable()) ZIRKULON_NO_DISPLAY("no X display reachable: set DISPLAY"); \
  } while (false)

// This process's own X server (see UsePrivateDisplay), for tests whose input, pointer or focus
// another test on a shared server would disturb. Must come before any X connection is opened. The
// arguments, if any, are the server's options (e.g. "-screen", "0", "1920x1080x24").
#define REQUIRE_PRIVATE_DISPLAY(...)                                      \
  do {                                                                    \
    std::string private_display_error;                                    \
    if (UsePrivateDisplay(&private_display_error, {__VA_ARGS__}).empty()) \
      ZIRKULON_NO_DISPLAY(private_display_error);                         \
  } while (false)
