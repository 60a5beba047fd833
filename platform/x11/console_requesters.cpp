// Console requesters on the standard streams.
#include "platform/x11/console_requesters.h"

#include <cctype>
#include <iostream>
#include <string>

namespace {
void Write(const String& text) {
  std::cout << ToUtf8(text) << std::flush;
}

std::string ReadLine() {
  std::string line;
  // Stream buffering keeps whatever follows the line feed for the next question.
  if (!std::getline(std::cin, line)) {
    std::cin.clear();
    return line;
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
