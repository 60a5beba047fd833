#include "platform/x11/window_picture.h"

#include <cmath>

namespace {
struct WindowPictureState {
  int picture_width = 1;
  int picture_height = 1;
  int window_width = 1;
  int window_height = 1;
  int windowed_width = 1;
  int windowed_height = 1;
  bool desktop_full_screen = false;
  bool fixed_size_owed = false;  // left full screen, until the windowed size is seen again
};

WindowPictureState state;

// floor(a / b) for b > 0, also for negative a.
int FloorDivide(long long a, long long b) {
  return static_cast<int>(a >= 0 ? a / b : -((b - 1 - a) / b));
}

int ToPicture(int window_pixel, int start, int shown, int size) {
  return FloorDivide(static_cast<long long>(window_pixel - start) * size, shown);
}

int ToWindow(int picture_pixel, int start, int shown, int size) {
  return start + static_cast<int>(std::lround(static_cast<double>(picture_pixel) * shown / size));
}

int AtLeastOne(int length) {
  return length > 0 ? length : 1;
}
}  // namespace

PicturePlacement PlacePicture(int width, int height, int shown_width, int shown_height) {
  if (shown_width < width || shown_height < height) return {0, 0, width, height};
  PicturePlacement placed{0, 0, shown_width, shown_height};
  // Exact in integers: the side that limits the enlargement fills the window.
  const long long wide = static_cast<long long>(shown_width) * height;
  const long long tall = static_cast<long long>(shown_height) * width;
  if (wide > tall)
    placed.width =
        static_cast<int>((static_cast<long long>(width) * shown_height + height / 2) / height);
  else if (tall > wide)
    placed.height =
        static_cast<int>((static_cast<long long>(height) * shown_width + width / 2) / width);
  placed.left = (shown_width - placed.width) / 2;
  placed.top = (shown_height - placed.height) / 2;
  return placed;
}

void StartWindowPicture(int picture_width, int picture_height, int window_width, int window_height,
                        bool desktop_full_screen) {
  state = WindowPictureState{};
  state.picture_width = AtLeastOne(picture_width);
  state.picture_height = AtLeastOne(picture_height);
  FollowWindowSize(window_width, window_height);
  state.windowed_width = state.window_width;
  state.windowed_height = state.window_height;
  state.desktop_full_screen = desktop_full_screen;
}

void FollowWindowSize(int window_width, int window_height) {
  state.window_width = AtLeastOne(window_width);
  state.window_height = AtLeastOne(window_height);
}

PictureInWindow DescribePictureInWindow(int picture_width, int picture_height, int window_width,
                                        int window_height) {
  return {picture_width,
          picture_height,
          window_width,
          window_height,
          PlacePicture(picture_width, picture_height, window_width, window_height),
          window_height > picture_height ? window_height - picture_height : 0};
}

PictureInWindow InputWindowPicture() {
  return DescribePictureInWindow(state.picture_width, state.picture_height, state.window_width,
                                 state.window_height);
}

int PictureX(int window_x) {
  const PicturePlacement placed = InputWindowPicture().placed;
  return ToPicture(window_x, placed.left, placed.width, state.picture_width);
}

int PictureY(int window_y) {
  const PicturePlacement placed = InputWindowPicture().placed;
  return ToPicture(window_y, placed.top, placed.height, state.picture_height);
}

int WindowX(int picture_x) {
  const PicturePlacement placed = InputWindowPicture().placed;
  return ToWindow(picture_x, placed.left, placed.width, state.picture_width);
}

int WindowY(int picture_y) {
  const PicturePlacement placed = InputWindowPicture().placed;
  return ToWindow(picture_y, placed.top, placed.height, state.picture_height);
}

int PictureDistanceX(int window_dx) {
  return static_cast<int>(static_cast<long long>(window_dx) * state.picture_width /
                          InputWindowPicture().placed.width);
}

int PictureDistanceY(int window_dy) {
  return static_cast<int>(static_cast<long long>(window_dy) * state.picture_height /
                          InputWindowPicture().placed.height);
}

void FollowDesktopFullScreen(bool full_screen) {
  if (state.desktop_full_screen && !full_screen) state.fixed_size_owed = true;
  if (full_screen) state.fixed_size_owed = false;
  state.desktop_full_screen = full_screen;
}

bool DesktopFullScreen() {
  return state.desktop_full_screen;
}

void WindowedSize(int& width, int& height) {
  width = state.windowed_width;
  height = state.windowed_height;
}

bool TakeFixedSizeOwed() {
  if (!state.fixed_size_owed || state.window_width != state.windowed_width ||
      state.window_height != state.windowed_height)
    return false;
  state.fixed_size_owed = false;
  return true;
}
