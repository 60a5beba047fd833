// What a call raised, for tests of the runtime's error texts.
#pragma once

#include <string>

#include "platform/core/runtime_error.h"

// The text of the runtime error `work` raises, or "" when it raises none.
template <typename Work>
std::string RaisedText(Work work) {
  try {
    work();
  } catch (const RuntimeError& error) {
    return error.what();
  }
  return "";
}
