// The picture in its window: the one keeper of the picture's size, the input window's size, where
// the picture stands in it (as large as fits, centred), the rows OpenGL counts below it, and the
// desktop's full screen with the windowed size to come back to. The window layer makes and resizes
// the window through it, the present step and the renderer ask it where the picture is, and
// pointer positions are mapped through it. No X here: what the window manager did reaches it
// through the event pump.
#pragma once

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

struct PictureInWindow {
  int picture_width = 1;
  int picture_height = 1;
  int window_width = 1;
  int window_height = 1;
  PicturePlacement placed;
  // The picture is drawn at the window's top left, so that it is rasterised exactly as in a window
  // of its own size (the rasteriser counts rows from the top). OpenGL counts window rows from the
  // bottom: the picture starts this many rows up, 0 in a window of the picture's size.
  int rows_up = 0;
};

// A picture of that size in a window of that size, placed as PlacePicture places it.
PictureInWindow DescribePictureInWindow(int picture_width, int picture_height, int window_width,
                                        int window_height);

// The state for a newly shown input window: its picture, its size, and whether the window manager
// was asked to show it full screen from the start (it then returns to that size).
void StartWindowPicture(int picture_width, int picture_height, int window_width, int window_height,
                        bool desktop_full_screen);
// The input window's new size, from its ConfigureNotify.
void FollowWindowSize(int window_width, int window_height);
PictureInWindow InputWindowPicture();

// Picture pixels from the input window's pixels, rounding down (also left of and above the
// picture), and back to the window pixel a picture pixel starts at, rounded to the nearest.
int PictureX(int window_x);
int PictureY(int window_y);
int WindowX(int picture_x);
int WindowY(int picture_y);
// A way across the window in picture pixels, the same to either side: cut toward zero, so that a
// motion from a warp's target turns equally left and right whatever column the target is.
int PictureDistanceX(int window_dx);
int PictureDistanceY(int window_dy);

// The desktop's full screen (_NET_WM_STATE_FULLSCREEN, as the window manager last set it; not the
// video-mode full screen of the window layer). Leaving it owes the window its fixed size back, paid
// once the window has its windowed size again (TakeFixedSizeOwed).
void FollowDesktopFullScreen(bool full_screen);
bool DesktopFullScreen();
void WindowedSize(int& width, int& height);
bool TakeFixedSizeOwed();
