// The screen state machine: a request sets nextScreen, the old screen's panel closes step by step,
// then the new one opens; the panel animations and the keys that drive it all. The start and end
// of a game are game_round.h's.
#pragma once

#include "game/screens/game_round.h"

// Draws the panel and either advances the running transition or runs the current screen.
void UpdateScreen();

// One step of each panel animation. The box widens as a one-pixel line to 400, then grows in
// height; it closes the other way round. The disc grows or shrinks by 10 a step.
void OpenBox(int target);
void CloseBox();
void OpenDisc();
void CloseDisc();

// Reads the key and mouse hits that change the screen; may end the program on the farewell
// screen.
void HandleScreenKeys();

// Eases the background speed toward its target: 0.1 + score / 40 in play, 1 elsewhere.
void UpdateTempo();
