// Console requesters on the standard streams.
#include "platform/x11/console_requesters.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/core/runtime_error.h"
#include "platform/process/signals.h"

namespace {
// Short enough that a termination request ends a wait for an answer well within a second.
constexpr int kTerminationCheckMillis = 100;

void Write(const String& text) {
  std::cout << ToUtf8(text) << std::flush;
}

// Waits until standard input can be read, noticing a termination request meanwhile.
void WaitForInput() {
  for (;;) {
    RaisePendingTermination();
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&input, 1, kTerminationCheckMillis);
    if (ready > 0) return;
    if (ready < 0 && errno != EINTR) {
      RaiseRuntimeError(std::string("Unable to wait for an answer on standard input: ") +
                        std::strerror(errno) + "; check that standard input is open\n");
    }
  }
}

// Reads byte by byte so that whatever follows the line feed stays in standard input for the next
// question.
std::string ReadLine() {
  std::string line;
  for (;;) {
    WaitForInput();
    char byte = 0;
    const ssize_t count = read(STDIN_FILENO, &byte, 1);
    if (count < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      RaiseRuntimeError(std::string("Unable to read an answer from standard input: ") +
                        std::strerror(errno) + "; check that standard input is readable\n");
    }
    if (count == 0 || byte == '\n') break;
    line.push_back(byte);
  }
  if (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

char FirstLowerCase(const std::string& line) {
  if (line.empty()) return '\0';
  const char first = line.front();
  return first >= 'A' && first <= 'Z' ? static_cast<char>(first - 'A' + 'a') : first;
}
}  // namespace

void ConsoleNotify(const String& text) {
  Write(text + u"\r\n");
}

int ConsoleConfirm(const String& text) {
  Write(text + u" (Yes/No)?");
  return FirstLowerCase(ReadLine()) == 'y' ? 1 : 0;
}

int ConsoleProceed(const String& text) {
  Write(text + u" (Yes/No/Cancel)?");
  switch (FirstLowerCase(ReadLine())) {
    case 'y':
      return 1;
    case 'n':
      return 0;
    default:
      return -1;
  }
}

String ConsoleRequestLine(const String& prompt) {
  Write(prompt);
  return FromUtf8(ReadLine());
}
