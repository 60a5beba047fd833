// The GLX glue: one record per rendering context, each on an X window (made here, or attached from
// elsewhere), every context sharing textures with one hidden context. Records are reached through
// integer handles; 0 is none, and a closed handle is simply no longer found.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/graphics/graphics.h"

// The GLX context type, declared as GLX declares it, so that this header needs no X headers.
typedef struct __GLXcontextRec* GLXContext;

constexpr int kAttachedContext = 1;    // on a window made elsewhere
constexpr int kWindowContext = 2;      // on a window of its own
constexpr int kFullScreenContext = 3;  // on an override-redirect window in a switched video mode

struct GLContextRecord {
  int kind = 0;
  int width = 0;
  int height = 0;
  int depth = 24;
  int hertz = 0;
  int flags = 0;
  int sync_state = -1;       // the swap interval last set: -1 never, then 0 or 1
  unsigned long window = 0;  // the drawable
  GLXContext context = nullptr;
  unsigned long colormap = 0;  // made with the window, freed with it (attached windows: none)
};

// The GLX attribute list for a set of graphics flags, zero-terminated. No colour sizes are asked
// for: any RGBA visual qualifies.
std::vector<int> VisualAttributesForFlags(int flags);

// A window and context: width and height 0 make the hidden 100 x 100 context that shares with
// nothing; any other size first ensures the shared context and shares its textures. Depth 0 is a
// window, any other depth full screen. 0 when there is no display, no GLX, no visual for the
// flags, or (full screen) no video mode of that size.
int CreateContextWindow(int width, int height, int depth, int hertz, int flags);

// A record for a window made elsewhere; its context is made when it is first made current.
int AttachContextWindow(unsigned long window, int flags);

// The hidden context every other context shares textures with, made on first need; 0 when it
// cannot be made.
int SharedContext();

// Makes the record's context current (none does nothing). An attached record's size is re-read
// and its context made on first use.
void MakeContextCurrent(int handle);

// Toggles between the shared context and the context last made current; nothing in full screen.
void SwapSharedContext();

// Swaps the current context's buffers with the swap interval `sync` (0 or non-zero, set only when
// it changes), then pumps the system events.
void SwapContext(int sync);

// Releases the context, destroys the window (unless attached) and restores the video mode after
// full screen. Once the X connection is lost only the record is forgotten. Unknown handles:
// nothing.
void CloseContextWindow(int handle);

// The record behind a handle (an attached record's size re-read first), or null once closed.
const GLContextRecord* ContextRecord(int handle);
int CurrentContext();
bool FullScreenActive();

// At most `capacity` full-screen modes (width, height, 24, refresh rate); none when the server has
// no video mode extension.
std::vector<TGraphicsMode> ListVideoModes(std::size_t capacity);

// The swap-interval entry point, null when the server offers no swap control. Replacing it lets a
// test watch the calls; it returns the previous one.
using SwapIntervalEntry = int (*)(int interval);
SwapIntervalEntry ReplaceSwapIntervalEntry(SwapIntervalEntry entry);
