// The game window's pixels read back as paddle or not: the latency probe's view of the picture.
#pragma once

#include <X11/Xlib.h>

#include <vector>

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

// One read of a window region as paddle / not paddle, row by row.
struct PaddleMask {
  Rect rect;
  std::vector<unsigned char> paddle;
  int count = 0;
};

// The game's window and where its picture stands in it: centred and as large as fits, as
// GameWindow::Capture reads it.
struct Picture {
  Display* display;
  Window window;
  double left;
  double top;
  double scale;
};

// Reads `rect` of the window (window pixels); false when the window is gone.
bool Read(const Picture& picture, const Rect& rect, PaddleMask& mask);
// `mask` cut down to `rect`, which lies within it.
PaddleMask Crop(const PaddleMask& mask, const Rect& rect);
// The pixels that are paddle in one mask and not in the other; both cover the same region.
int Differing(const PaddleMask& a, const PaddleMask& b);
// The paddle's bounding box in `band`, widened by `margin` and kept within `limit`.
Rect PaddleBox(const PaddleMask& band, int margin, const Rect& limit);
