// The start and end of one game: what play and the screen state machine both call.
#pragma once

// Resets the play: no balls but a newly served one, paused, level 1, score and best 0.
void StartGame();
// Records the high score, drops pending input and asks for the menu.
void EndGame();
