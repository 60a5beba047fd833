#include "platform/x11/window_picture.h"

#include <map>

#include "platform/x11/input_window.h"

namespace {
std::map<unsigned long, std::weak_ptr<PictureInWindow>> followed;

struct DesktopFullScreenState {
  int windowed_width = 1;
  int windowed_height = 1;
  bool full_screen = false;
  bool fixed_size_owed = false;  // left full screen, until the windowed size is seen again
};

DesktopFullScreenState desktop;

// Without an input window, window pixels are picture pixels.
template <typename Map>
int ThroughInputPicture(int value, Map map) {
  const std::shared_ptr<const PictureInWindow> picture = InputWindowPicture();
  return picture ? map(*picture, value) : value;
}
}  // namespace

void FollowPictureOf(unsigned long window, std::weak_ptr<PictureInWindow> picture) {
  std::erase_if(followed, [](const auto& entry) { return entry.second.expired(); });
  followed[window] = std::move(picture);
}

void FollowWindowSize(unsigned long window, int window_width, int window_height) {
  const auto found = followed.find(window);
  if (found == followed.end()) return;
  if (const std::shared_ptr<PictureInWindow> picture = found->second.lock())
    *picture = DescribePictureInWindow(picture->picture_width, picture->picture_height,
                                       window_width, window_height);
}

int PictureX(int window_x) {
  return ThroughInputPicture(window_x,
                             [](const PictureInWindow& p, int v) { return p.PictureX(v); });
}

int PictureY(int window_y) {
  return ThroughInputPicture(window_y,
                             [](const PictureInWindow& p, int v) { return p.PictureY(v); });
}

int WindowX(int picture_x) {
  return ThroughInputPicture(picture_x,
                             [](const PictureInWindow& p, int v) { return p.WindowX(v); });
}

int WindowY(int picture_y) {
  return ThroughInputPicture(picture_y,
                             [](const PictureInWindow& p, int v) { return p.WindowY(v); });
}

int PictureDistanceX(int window_dx) {
  return ThroughInputPicture(window_dx,
                             [](const PictureInWindow& p, int v) { return p.PictureDistanceX(v); });
}

int PictureDistanceY(int window_dy) {
  return ThroughInputPicture(window_dy,
                             [](const PictureInWindow& p, int v) { return p.PictureDistanceY(v); });
}

void StartDesktopFullScreen(int windowed_width, int windowed_height, bool full_screen) {
  desktop = DesktopFullScreenState{windowed_width, windowed_height, full_screen, false};
}

void FollowDesktopFullScreen(bool full_screen) {
  if (desktop.full_screen && !full_screen) desktop.fixed_size_owed = true;
  if (full_screen) desktop.fixed_size_owed = false;
  desktop.full_screen = full_screen;
}

bool DesktopFullScreen() {
  return desktop.full_screen;
}

void WindowedSize(int& width, int& height) {
  width = desktop.windowed_width;
  height = desktop.windowed_height;
}

bool TakeFixedSizeOwed() {
  const std::shared_ptr<const PictureInWindow> picture = InputWindowPicture();
  if (!desktop.fixed_size_owed || !picture || picture->window_width != desktop.windowed_width ||
      picture->window_height != desktop.windowed_height)
    return false;
  desktop.fixed_size_owed = false;
  return true;
}
