// The texts of the menu, help and farewell screens, drawn inside the open box.
#pragma once

#include "platform/core/text.h"

void DrawMenu();
void DrawHelp();
void DrawFarewell();

// The 23 lines of the help page; trailing blanks belong to the texts (they move the centre).
inline constexpr int kHelpLineCount = 23;
extern const char16_t* const kHelpLines[kHelpLineCount];

// The web address on the farewell screen: at most 16 characters, so that it fits the box at
// scale 3.
extern const char16_t kFarewellAddress[];
