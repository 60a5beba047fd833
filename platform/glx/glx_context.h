// The GLX glue: window records (see glx_window.h) reached through integer handles, each context
// sharing textures with one hidden context. The glue owns every record; it frees them all when
// the X connection closes (see x_display.h), the hidden shared one last, so the exit path leaves
// no window, colormap or context behind whatever order the other exit handlers run in. Handles:
// 0 is none, and a closed handle is simply no longer found.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/glx/glx_window.h"
#include "platform/graphics/graphics.h"

// A window and context: width and height 0 make the hidden 100 x 100 context that shares with
// nothing; any other size first ensures the shared context and shares its textures. Depth 0 is a
// window, any other depth full screen. 0 when there is no display, no GLX, no visual for the
// flags, (full screen) no video mode of that size, or the X server refused a step; then
// LastContextWindowFailure() says why.
int CreateContextWindow(int width, int height, int depth, int hertz, int flags);

// Why the last CreateContextWindow returned 0; empty after one that succeeded.
const std::string& LastContextWindowFailure();

// A record for a window made elsewhere; its context is made when it is first made current.
int AttachContextWindow(unsigned long window, int flags);

// The hidden context every other context shares textures with, made on first need; 0 when it
// cannot be made.
int SharedContext();

// Makes the record's context current (none does nothing). An attached record's size is re-read
// and its context made on first use. A refusal of glXMakeCurrent raises a runtime error.
void MakeContextCurrent(int handle);

// Swaps the current context's buffers with the swap interval `sync` (0 or non-zero, set only when
// it changes). Pumping the events is the caller's next step.
void SwapContext(int sync);

// Frees the record: its context, its window (unless attached) and the video mode after full
// screen. Unknown handles: nothing.
void CloseContextWindow(int handle);

// The current context's picture in its window for the frame about to be drawn: taken from what
// the window's events last told, and kept for the frame, which is presented with the same rows
// whatever the pump learns meanwhile. Null without a current context.
const PictureInWindow* TakePictureForFrame();

// The record behind a handle (an attached record's size re-read first), or null once closed.
const GLContextRecord* ContextRecord(int handle);
int CurrentContext();
bool VideoModeFullScreenActive();

// At most `capacity` full-screen modes (width, height, 24, refresh rate); none when the server has
// no video mode extension.
std::vector<TGraphicsMode> ListVideoModes(std::size_t capacity);
