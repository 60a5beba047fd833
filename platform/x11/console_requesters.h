// Message boxes and requesters on the console: there is no dialog toolkit. Output goes to standard
// output, answers come from standard input.
#pragma once

#include "platform/core/text.h"

// Writes the text and "\r\n".
void ConsoleNotify(const String& text);

// Asks with " (Yes/No)?": 1 when the answer starts with y or Y, else 0.
int ConsoleConfirm(const String& text);

// Asks with " (Yes/No/Cancel)?": 1 for y, 0 for n, -1 for anything else.
int ConsoleProceed(const String& text);

// Writes the prompt and returns the line read, without its line feed and one white-space character
// before it; end of input gives an empty line.
String ConsoleRequestLine(const String& prompt);
