// One frame of play: paddle steering, score texts, the paddle, every ball, the end of the game,
// the bar of lost balls and the serve release.
#pragma once

// How far the score may fall below the game's best before the game ends.
constexpr int kLossesAllowed = 10;

void PlayFrame();

// The 100 x 10 paddle centred on (x, y), turned by `angle` degrees, added to what lies below.
void DrawPaddle(int x, int y, float angle);
