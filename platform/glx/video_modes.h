// Full-screen video modes through the video mode extension: listing them, matching a request, and
// switching to a mode and back. A server without the extension lists no modes and has no full
// screen; nothing is asked of it, so no protocol error is provoked.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/graphics/graphics.h"

// The X connection type, declared as Xlib declares it, so that this header needs no X headers.
typedef struct _XDisplay Display;

struct VideoModeLine {
  unsigned dot_clock_khz = 0;
  int width = 0;   // displayed pixels
  int height = 0;  // displayed lines
  int htotal = 0;
  int vtotal = 0;
  unsigned flags = 0;  // 0x10 interlaced, 0x20 double scan
};

// dot clock / (htotal * vtotal), rounded; doubled when interlaced, then halved when double-scanned.
int ModeRefreshRate(const VideoModeLine& mode);

// The first mode of that size whose rate is `hertz`, else the first of that size; -1 when none.
int PickVideoMode(const std::vector<VideoModeLine>& modes, int width, int height, int hertz);

// Asked once per connection: whether the server has the extension.
bool VideoModeExtensionPresent(Display* display);

// At most `capacity` modes of the screen as width, height, 24 and refresh rate.
std::vector<TGraphicsMode> ListVideoModes(Display* display, int screen, std::size_t capacity);

// The mode line in force before a switch, as switching back needs it.
struct SavedVideoMode {
  unsigned dot_clock_khz = 0;
  int hdisplay = 0, hsyncstart = 0, hsyncend = 0, htotal = 0, hskew = 0;
  int vdisplay = 0, vsyncstart = 0, vsyncend = 0, vtotal = 0;
  unsigned flags = 0;
};

// Reads the mode in force into `saved` and matches the request against the server's modes. False
// when no mode has that size. On success `width` and `height` become the mode's.
bool MatchVideoMode(Display* display, int screen, int& width, int& height, int hertz,
                    SavedVideoMode& saved);
// Switches to the mode the last successful match found, with the viewport at 0, 0.
void SwitchToMatchedMode(Display* display, int screen);
// Switches back to a saved mode.
void RestoreVideoMode(Display* display, int screen, const SavedVideoMode& saved);
