// Runtime errors: a fatal condition carries a text; unless someone catches it, the process entry
// writes the text to standard error and ends the process with status 255.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(const std::string& text) : std::runtime_error(text) {}
};

// A termination request (SIGTERM) noticed on the main thread. It ends the program as any runtime
// error does, but code that turns its own failures into a none result must let it through.
class TerminationRequest : public RuntimeError {
 public:
  using RuntimeError::RuntimeError;
};

[[noreturn]] void RaiseRuntimeError(std::string_view text);

// Writes the text to standard error, flushed and without a newline, then exits with status 255
// so that the registered exit handlers still run.
[[noreturn]] void EndWithUnhandledError(std::string_view text);

// Marks that the process has started to end (main returning, EndProgram, an unhandled error), so
// that a failure noticed from here on ends at once instead of calling exit() a second time.
void BeginExit();
bool ExitInProgress();

// Runs work of an exit handler. A runtime error raised there (a SIGTERM noticed by the last poll,
// say) cannot leave through exit() a second time: its text is written as unhandled and the process
// ends at once with status 255.
void RunExitWork(void (*work)()) noexcept;
