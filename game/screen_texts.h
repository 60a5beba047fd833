// The texts of the menu, help and farewell screens, drawn inside the open box.
#pragma once

#include "platform/text.h"

void DrawMenu();
void DrawHelp();
void DrawFarewell();

// The web address on the farewell screen: at most 16 characters, so that it fits the box at
// scale 3.
extern const char16_t kFarewellAddress[];
