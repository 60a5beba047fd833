// The frame loop of the game, cut where the frame is shown so that a frame can run without a
// window: drawing before the flip, input after it.
#pragma once

// The background field of 150 rectangles and the never-shown first ball, whose only effect is
// the random numbers its serve draws.
void CreateGameWorld();

// Clear, tempo, background, panel and the current screen.
void DrawGameFrame();

// The screen keys, then the way out: false once the loop should be left (an Escape that
// arrived after the screen keys were read, or the window's close button).
bool HandleFrameInput();

// Draws, flips (paced to 60 Hz) and reads input until the loop is left.
void RunFrameLoop();
