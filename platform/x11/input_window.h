// The window that takes the input, as the window layer sets it and the pump follows it: pointer
// warps and cursor changes apply to it, its MapNotify and UnmapNotify tell whether it is shown,
// its focus and crossing events whether it has the keyboard and the pointer, and its
// ConfigureNotify its size. The picture the program draws keeps its own size; the window shows it
// as large as fits, centred, and pointer positions travel in picture pixels.
#pragma once

#include <X11/Xlib.h>

// The events the input window selects once shown. Focus, crossing and structure changes stay
// selected: the window manager's focus, the pointer coming and going, minimising and full screen
// reach the program through them. A window of fixed size also redirects resizing to itself, so
// that nothing else can change its size.
inline constexpr long kInputWindowEvents = KeyPressMask | KeyReleaseMask | ButtonPressMask |
                                           ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                                           LeaveWindowMask | FocusChangeMask | StructureNotifyMask;
inline constexpr long kFixedSizeWindowEvents = kInputWindowEvents | ResizeRedirectMask;

// The window that pointer warps and cursor changes apply to; 0 until the window layer sets it.
// A newly set window counts as shown, windowed, with a picture of its own size; whether it has the
// keyboard focus and the pointer is asked of the server, so set it once it selects the events
// above.
void SetInputWindow(Window window);
Window InputWindow();

// The size of the picture drawn into the input window and the window's own size; the window's
// size follows its ConfigureNotify from then on.
void SetInputWindowPicture(int picture_width, int picture_height, int window_width,
                           int window_height);
void SetInputWindowSize(int window_width, int window_height);
void InputWindowSize(int& width, int& height);

// Where a picture is shown in a window: its top-left corner and its size in window pixels.
struct PicturePlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const PicturePlacement&) const = default;
};
// As large as fits, keeping its shape, centred; never smaller than the picture itself (then at the
// window's top left).
PicturePlacement PlacePicture(int picture_width, int picture_height, int window_width,
                              int window_height);
// The input window's picture as placed in it now.
PicturePlacement InputPicturePlacement();

// Picture pixels from the input window's pixels, rounding down (also left of and above the
// picture), and back to the window pixel a picture pixel starts at, rounded to the nearest.
int PictureX(int window_x);
int PictureY(int window_y);
int WindowX(int picture_x);
int WindowY(int picture_y);

// Whether the input window is mapped: the pump follows its MapNotify and UnmapNotify.
void SetInputWindowShown(bool shown);
bool InputWindowShown();

// Whether the input window has the keyboard focus, and whether the pointer is in it: asked when
// the window is set, then followed by its focus and crossing events. Pointer warps go out only
// while both hold.
void SetInputWindowFocused(bool focused);
bool InputWindowFocused();
void SetPointerInInputWindow(bool inside);
bool PointerInInputWindow();
