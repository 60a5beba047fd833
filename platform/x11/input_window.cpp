#include "platform/x11/input_window.h"

#include <cmath>

#include "platform/x11/x_display.h"

namespace {
Window input_window = 0;
bool input_window_shown = true;
bool input_window_focused = false;
bool pointer_in_input_window = false;
int picture_width = 1;
int picture_height = 1;
int window_width = 1;
int window_height = 1;

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

// NOTE: the window under the pointer, not its rectangle: another window stacked above it takes
// the pointer. The server names the child under the pointer one level at a time.
bool PointerIsIn(Display* display, Window window) {
  Window level = DefaultRootWindow(display);
  while (level != 0 && level != window) {
    Window root = 0, child = 0;
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned buttons = 0;
    if (!XQueryPointer(display, level, &root, &child, &root_x, &root_y, &x, &y, &buttons))
      return false;  // on another screen
    level = child;
  }
  return level == window;
}

// Under PointerRoot the keyboard follows the pointer, which the crossing events follow.
bool HasFocus(Display* display, Window window) {
  Window focus = 0;
  int revert_to = 0;
  XGetInputFocus(display, &focus, &revert_to);
  return focus == window || focus == PointerRoot;
}
}  // namespace

void SetInputWindow(Window window) {
  input_window = window;
  input_window_shown = true;
  picture_width = picture_height = window_width = window_height = 1;
  Display* display = XDisplayConnection();
  input_window_focused = display != nullptr && window != 0 && HasFocus(display, window);
  pointer_in_input_window = display != nullptr && window != 0 && PointerIsIn(display, window);
}

Window InputWindow() {
  return input_window;
}

void SetInputWindowPicture(int width, int height, int shown_width, int shown_height) {
  picture_width = width > 0 ? width : 1;
  picture_height = height > 0 ? height : 1;
  SetInputWindowSize(shown_width, shown_height);
}

void SetInputWindowSize(int width, int height) {
  window_width = width > 0 ? width : 1;
  window_height = height > 0 ? height : 1;
}

void InputWindowSize(int& width, int& height) {
  width = window_width;
  height = window_height;
}

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

PicturePlacement InputPicturePlacement() {
  return PlacePicture(picture_width, picture_height, window_width, window_height);
}

int PictureX(int window_x) {
  const PicturePlacement placed = InputPicturePlacement();
  return ToPicture(window_x, placed.left, placed.width, picture_width);
}

int PictureY(int window_y) {
  const PicturePlacement placed = InputPicturePlacement();
  return ToPicture(window_y, placed.top, placed.height, picture_height);
}

int WindowX(int picture_x) {
  const PicturePlacement placed = InputPicturePlacement();
  return ToWindow(picture_x, placed.left, placed.width, picture_width);
}

int WindowY(int picture_y) {
  const PicturePlacement placed = InputPicturePlacement();
  return ToWindow(picture_y, placed.top, placed.height, picture_height);
}

void SetInputWindowShown(bool shown) {
  input_window_shown = shown;
}

bool InputWindowShown() {
  return input_window_shown;
}

void SetInputWindowFocused(bool focused) {
  input_window_focused = focused;
}

bool InputWindowFocused() {
  return input_window_focused;
}

void SetPointerInInputWindow(bool inside) {
  pointer_in_input_window = inside;
}

bool PointerInInputWindow() {
  return pointer_in_input_window;
}
