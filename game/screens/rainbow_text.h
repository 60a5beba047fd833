// Texts of the game: every character in its own bright colour and a small tilt, both drawn from
// the random generator under a fixed seed so that the same call draws the same picture each frame.
#pragma once

#include "platform/core/text.h"

// Draws `text` centred on x with its top at y. Seed 0 stands for x * y * length of the text.
// The generator is left exactly as it was found.
void DrawRainbowText(const String& text, int x, int y, int seed, float scale);
