// One window record: a GLX context on an X window with the window's colormap and, in full screen,
// the switched video mode. The record owns them all: its destructor releases the context, destroys
// the window and colormap (an attached window, made elsewhere, is left alone) and switches the
// video mode back, skipping every X call once the connection is lost. Creation runs as steps, each
// checked with a round trip, so a refused step undoes what was made and names the X error.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/glx/video_modes.h"
#include "platform/graphics/picture_in_window.h"

// Declared as Xlib and GLX declare them, so that this header needs no X headers.
typedef struct _XDisplay Display;
typedef struct __GLXcontextRec* GLXContext;

constexpr int kAttachedContext = 1;  // on a window made elsewhere
constexpr int kWindowContext = 2;    // on a window of its own
constexpr int kVideoModeFullScreenContext =
    3;  // on an override-redirect window in a switched video mode

class GLContextRecord {
 public:
  GLContextRecord(Display* display, int screen, int kind);
  ~GLContextRecord();
  GLContextRecord(const GLContextRecord&) = delete;
  GLContextRecord& operator=(const GLContextRecord&) = delete;

  // The picture's size, as drawn: the size asked for (a full screen's, its video mode's), an
  // attached window's own.
  int width() const { return picture->picture_width; }
  int height() const { return picture->picture_height; }

  int kind = 0;
  int depth = 24;
  int hertz = 0;
  int flags = 0;
  int sync_state = -1;       // the swap interval last set: -1 never, then 0 or 1
  unsigned long window = 0;  // the drawable
  GLXContext context = nullptr;
  unsigned long colormap = 0;  // made with the window (attached windows: none)
  // The picture in the window, followed by the event pump from the window's events (the input
  // window's positions are mapped through it), and the placement the frame being drawn took at
  // its start, which it is presented with.
  std::shared_ptr<PictureInWindow> picture = std::make_shared<PictureInWindow>();
  PictureInWindow frame_picture;
  unsigned present_texture = 0;  // holds the picture on its way into a larger window
  // Full screen: the video mode to switch back to, this record's own.
  std::optional<SavedVideoMode> saved_mode;

 private:
  Display* display_;
  int screen_;
};

struct WindowRequest {
  int width = 0;
  int height = 0;
  int hertz = 0;
  int flags = 0;
  bool video_mode_full_screen = false;  // a video mode of its own, with grabs; not the desktop's
  bool hidden = false;                  // never mapped: the shared context's window
  int window_width = 0;                 // the window's size: the picture's, or larger to show it
  int window_height = 0;                // enlarged
  bool desktop_full_screen = false;     // ask the window manager to show it full screen at once
  GLXContext share_with = nullptr;      // the context whose textures the new one shares
  bool video_modes_present = false;     // full screen needs the video mode extension
};

// Makes the window and its context and (unless hidden) shows it: the new context is then current.
// Null when a step fails, with `failure` saying which and why; what was made is undone. Waits for
// the window to show at most a few seconds, raising a pending termination request meanwhile.
std::unique_ptr<GLContextRecord> CreateWindowRecord(Display* display, int screen,
                                                    const WindowRequest& request,
                                                    std::string& failure);

// The GLX attribute list for a set of graphics flags, zero-terminated. No colour sizes are asked
// for: any RGBA visual qualifies.
std::vector<int> VisualAttributesForFlags(int flags);

// glXMakeCurrent, checked: a refusal raises a runtime error naming `what` was being made current.
void MakeCurrentOrRaise(Display* display, unsigned long drawable, GLXContext context,
                        const char* what);
