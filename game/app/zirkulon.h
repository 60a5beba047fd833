// The game's main program: starts the modules it stands on, then runs the frame loop.
#pragma once

void ZirkulonMain();

// The modules the game stands on, started in the order they depend on each other.
void StartGameModules();
// Opens the 800 x 600 game window; a runtime error when that is impossible.
void OpenGameWindow();
