// The picture in its window: a program draws a picture of the size it asked for, and the window
// shows it as large as fits, centred. Each window's record owns one such value, and the window's
// events keep it up to date; drawing, presenting and pointer positions all read it.
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
// window's top left). Where the window's sides were made by WindowSizeFor, it fills the window.
PicturePlacement PlacePicture(int picture_width, int picture_height, int window_width,
                              int window_height);

struct PictureSize {
  int width = 0;
  int height = 0;

  bool operator==(const PictureSize&) const = default;
};

// The window that shows the picture `scale` times enlarged: its width rounded to whole pixels, and
// its height following from that width as PlacePicture would enlarge the picture, so that the two
// sides cannot round apart and leave a black line.
PictureSize WindowSizeFor(int picture_width, int picture_height, double scale);

struct PictureInWindow {
  int picture_width = 1;
  int picture_height = 1;
  int window_width = 1;
  int window_height = 1;
  PicturePlacement placed;
  // The picture is drawn with its top at the window's top, so that it is rasterised exactly as in a
  // window of its own size (the rasteriser counts rows from the top). OpenGL counts window rows
  // from the bottom: the picture's bottom row is this many rows up, 0 in a window of its own height
  // and negative in a shorter one.
  int rows_up = 0;

  // Whether the picture must be enlarged into the window before it is shown: the window is larger
  // on a side and on no side smaller (a smaller window shows the picture's top left as drawn).
  bool NeedsEnlarging() const;

  // Picture pixels from window pixels, rounding down (also left of and above the picture), and
  // back to the window pixel a picture pixel starts at, rounded to the nearest.
  int PictureX(int window_x) const;
  int PictureY(int window_y) const;
  int WindowX(int picture_x) const;
  int WindowY(int picture_y) const;
  // A way across the window in picture pixels, the same to either side: cut toward zero, so that a
  // motion from a warp's target turns equally left and right whatever column the target is.
  int PictureDistanceX(int window_dx) const;
  int PictureDistanceY(int window_dy) const;

  bool operator==(const PictureInWindow&) const = default;
};

// A picture of that size in a window of that size (each at least 1), placed as PlacePicture places
// it.
PictureInWindow DescribePictureInWindow(int picture_width, int picture_height, int window_width,
                                        int window_height);
