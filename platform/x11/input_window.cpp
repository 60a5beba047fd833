#include "platform/x11/input_window.h"

namespace {
Window input_window = 0;
bool input_window_shown = true;
int input_window_scale = 1;
}  // namespace

void SetInputWindow(Window window) {
  input_window = window;
  input_window_shown = true;
  input_window_scale = 1;
}

void SetInputWindowScale(int scale) {
  input_window_scale = scale < 1 ? 1 : scale;
}

int InputWindowScale() {
  return input_window_scale;
}

int PicturePixel(int window_pixel) {
  const int scale = input_window_scale;
  return window_pixel >= 0 ? window_pixel / scale : -((scale - 1 - window_pixel) / scale);
}

void SetInputWindowShown(bool shown) {
  input_window_shown = shown;
}

bool InputWindowShown() {
  return input_window_shown;
}

Window InputWindow() {
  return input_window;
}
