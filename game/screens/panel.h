// The dark panel in the middle of the window that closes and opens between screens: a box for
// the menu, help and farewell screens, a disc for the game.
#pragma once

// Fills the box and the disc at their present sizes, then outlines them in white. Leaves alpha
// blending, alpha 0.9 and white in place for the screen texts that follow.
void DrawPanel();
