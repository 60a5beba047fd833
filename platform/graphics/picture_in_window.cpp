#include "platform/graphics/picture_in_window.h"

#include <cmath>

namespace {
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

// The other side of a picture enlarged to `side`, to the nearest pixel.
int Across(long long side, long long picture_side, long long picture_across) {
  return static_cast<int>((picture_across * side + picture_side / 2) / picture_side);
}
}  // namespace

PicturePlacement PlacePicture(int width, int height, int shown_width, int shown_height) {
  if (shown_width < width || shown_height < height) return {0, 0, width, height};
  PicturePlacement placed{0, 0, shown_width, shown_height};
  // The width limits when the height it gives, rounded as WindowSizeFor rounds, still fits.
  const int height_for_width = Across(shown_width, width, height);
  if (height_for_width <= shown_height)
    placed.height = height_for_width;
  else
    placed.width = Across(shown_height, height, width);
  placed.left = (shown_width - placed.width) / 2;
  placed.top = (shown_height - placed.height) / 2;
  return placed;
}

PictureSize WindowSizeFor(int picture_width, int picture_height, double scale) {
  const int width = static_cast<int>(std::lround(picture_width * scale));
  return {width, Across(width, picture_width, picture_height)};
}

PictureInWindow DescribePictureInWindow(int picture_width, int picture_height, int window_width,
                                        int window_height) {
  PictureInWindow picture;
  picture.picture_width = AtLeastOne(picture_width);
  picture.picture_height = AtLeastOne(picture_height);
  picture.window_width = AtLeastOne(window_width);
  picture.window_height = AtLeastOne(window_height);
  picture.placed = PlacePicture(picture.picture_width, picture.picture_height, picture.window_width,
                                picture.window_height);
  picture.rows_up = picture.window_height - picture.picture_height;
  return picture;
}

bool PictureInWindow::NeedsEnlarging() const {
  return window_width >= picture_width && window_height >= picture_height &&
         (window_width > picture_width || window_height > picture_height);
}

int PictureInWindow::PictureX(int window_x) const {
  return ToPicture(window_x, placed.left, placed.width, picture_width);
}

int PictureInWindow::PictureY(int window_y) const {
  return ToPicture(window_y, placed.top, placed.height, picture_height);
}

int PictureInWindow::WindowX(int picture_x) const {
  return ToWindow(picture_x, placed.left, placed.width, picture_width);
}

int PictureInWindow::WindowY(int picture_y) const {
  return ToWindow(picture_y, placed.top, placed.height, picture_height);
}

int PictureInWindow::PictureDistanceX(int window_dx) const {
  return static_cast<int>(static_cast<long long>(window_dx) * picture_width / placed.width);
}

int PictureInWindow::PictureDistanceY(int window_dy) const {
  return static_cast<int>(static_cast<long long>(window_dy) * picture_height / placed.height);
}
