// XTest input and pixel read-back for the game window of another process.
#include "tests/support/game_window.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "game/world/screen_geometry.h"
#include "tests/support/close_button.h"
#include "tests/support/monotonic_clock.h"
#include "tests/support/process.h"
#include "tests/support/window_finder.h"

namespace {
// No window manager runs under the test server: errors about windows that vanished between two
// requests are expected and harmless.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}
}  // namespace

bool GameShot::Bright(int x, int y) const {
  return Red(x, y) > 80 || Green(x, y) > 80 || Blue(x, y) > 80;
}

bool GameShot::White(int x, int y) const {
  return Red(x, y) >= least_white && Green(x, y) >= least_white && Blue(x, y) >= least_white;
}

bool GameShot::RowHasBright(int y, int x0, int x1) const {
  for (int x = x0; x <= x1; ++x) {
    if (Bright(x, y)) return true;
  }
  return false;
}

double GameShot::PaddleAngle() const {
  constexpr double kDegrees = 180 / 3.14159265358979323846;
  double sum_cos = 0;
  double sum_sin = 0;
  int count = 0;
  for (int y = kCentreY - 240; y <= kCentreY + 240; ++y) {
    for (int x = kCentreX - 240; x <= kCentreX + 240; ++x) {
      const double radius = std::hypot(x - kCentreX, y - kCentreY);
      if (radius < 221 || radius > 239 || std::min({Red(x, y), Green(x, y), Blue(x, y)}) <= 120)
        continue;
      // The paddle at angle a stands at (-sin a, cos a) x 230 from the centre.
      const double angle = std::atan2(kCentreX - x, y - kCentreY);
      sum_cos += std::cos(angle);
      sum_sin += std::sin(angle);
      ++count;
    }
  }
  if (count < 20) return std::nan("");
  const double degrees = std::atan2(sum_sin, sum_cos) * kDegrees;
  return degrees < 0 ? degrees + 360 : degrees;
}

double ShareOfEdgesKeepingPictureColours(const GameShot& window, const GameShot& picture) {
  const double scale = std::min(static_cast<double>(window.width) / picture.width,
                                static_cast<double>(window.height) / picture.height);
  const double left = (window.width - picture.width * scale) / 2;
  const double top = (window.height - picture.height * scale) / 2;
  // The picture pixels within half a picture pixel of a window pixel's square.
  auto span = [scale](int at, double start, int size) {
    const int first = static_cast<int>(std::floor((at - start) / scale - 0.5));
    const int last = static_cast<int>(std::floor((at + 1 - start) / scale + 0.5));
    return std::pair{std::max(first, 0), std::min(last, size - 1)};
  };
  long edges = 0;
  long kept = 0;
  for (int y = 0; y < window.height; ++y) {
    const auto [y0, y1] = span(y, top, picture.height);
    for (int x = 0; x < window.width; ++x) {
      const auto [x0, x1] = span(x, left, picture.width);
      if (x0 > x1 || y0 > y1) continue;  // the black around the picture
      const std::uint32_t first = picture.pixels[y0 * picture.width + x0];
      bool one_colour = true;
      bool own = false;
      for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
          const std::uint32_t colour = picture.pixels[py * picture.width + px];
          one_colour = one_colour && colour == first;
          own = own || colour == window.pixels[y * window.width + x];
        }
      }
      if (one_colour) continue;
      ++edges;
      kept += own;
    }
  }
  return edges == 0 ? 0 : static_cast<double>(kept) / edges;
}

ShownScreen ClassifyShot(const GameShot& shot) {
  if (shot.width < kScreenWidth || shot.height < kScreenHeight) return ShownScreen::kUnknown;
  // The open box's top edge runs from x 200 to 600 at y 50; the open disc only touches y 50 at
  // its top.
  bool box = true;
  for (const int x : {201, 300, 400, 500, 599})
    box = box && shot.White(x, 50) && shot.White(x, 551);
  for (const int y : {100, 300, 500}) box = box && shot.White(200, y) && shot.White(600, y);
  if (!box) {
    // The disc's outline, a circle of radius 250, touches y 50 at the top and x 150 at the left.
    bool top = false;
    bool left = false;
    for (int d = -2; d <= 2; ++d) {
      top = top || shot.White(kCentreX + d, 50) || shot.White(kCentreX, 50 + d);
      left = left || shot.White(150 + d, kCentreY) || shot.White(150, kCentreY + d);
    }
    return top && left ? ShownScreen::kGame : ShownScreen::kUnknown;
  }
  // Rows in the middle of text lines of one screen and between the lines of the others.
  const bool row140 = shot.RowHasBright(140, 210, 590);
  const bool row196 = shot.RowHasBright(196, 210, 590);
  const bool row324 = shot.RowHasBright(324, 210, 590);
  if (!row140 && row196) return ShownScreen::kMenu;
  if (row140 && row324) return ShownScreen::kHelp;
  if (row140 && !row324) return ShownScreen::kFarewell;
  return ShownScreen::kUnknown;
}

const char* ScreenName(ShownScreen screen) {
  switch (screen) {
    case ShownScreen::kMenu:
      return "menu";
    case ShownScreen::kHelp:
      return "help";
    case ShownScreen::kFarewell:
      return "farewell";
    case ShownScreen::kGame:
      return "game";
    case ShownScreen::kUnknown:
      break;
  }
  return "unknown";
}

GameWindow::GameWindow(const char* display_name) {
  display_ = XOpenDisplay(display_name);
  XSetErrorHandler(IgnoreErrors);
}

GameWindow::~GameWindow() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

bool GameWindow::FindLeavingPointer(int timeout_ms) {
  window_ = WaitForWindow(display_, timeout_ms);
  return window_ != 0;
}

bool GameWindow::Find(int timeout_ms) {
  if (!FindLeavingPointer(timeout_ms)) return false;
  // With no window manager, keys go to the window under the pointer.
  MovePointer(kCentreX, kCentreY);
  return true;
}

bool GameWindow::WaitGone(int timeout_ms) {
  return WaitForNoWindow(display_, timeout_ms);
}

bool GameWindow::MovedAndSeenAt(int x, int y, const std::string& swap_counter, int timeout_ms,
                                const std::function<void()>& move) {
  XSelectInput(display_, window_, PointerMotionMask | EnterWindowMask);
  XSync(display_, True);  // drops what it told before
  move();
  const double deadline = MonotonicMillis() + timeout_ms;
  // A crossing event has its position where a motion event has it.
  for (XEvent event; MonotonicMillis() < deadline;) {
    if (!XCheckMaskEvent(display_, PointerMotionMask | EnterWindowMask, &event))
      usleep(2000);
    else if ((x < 0 || event.xmotion.x == x) && (y < 0 || event.xmotion.y == y))
      return WaitForSwaps(swap_counter, 3, static_cast<int>(deadline - MonotonicMillis()));
  }
  return false;
}

std::pair<int, int> GameWindow::Pointer() const {
  Window root = 0, child = 0;
  int root_x = 0, root_y = 0, x = 0, y = 0;
  unsigned buttons = 0;
  XQueryPointer(display_, window_, &root, &child, &root_x, &root_y, &x, &y, &buttons);
  return {x, y};
}

void GameWindow::PressKey(KeySym keysym) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), True, CurrentTime);
  XSync(display_, False);
}

void GameWindow::ReleaseKey(KeySym keysym) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), False, CurrentTime);
  XSync(display_, False);
}

void GameWindow::TapKey(KeySym keysym) {
  PressKey(keysym);
  usleep(30000);  // two frames: the press and the release reach different polls
  ReleaseKey(keysym);
}

void GameWindow::Click(unsigned button) {
  XTestFakeButtonEvent(display_, button, True, CurrentTime);
  XSync(display_, False);
  usleep(30000);
  XTestFakeButtonEvent(display_, button, False, CurrentTime);
  XSync(display_, False);
}

void GameWindow::MovePointer(int x, int y) {
  int root_x = 0;
  int root_y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &root_x, &root_y,
                        &child);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), root_x, root_y, CurrentTime);
  XSync(display_, False);
}

void GameWindow::RequestClose() {
  SendCloseButton(display_, window_);
}

GameShot GameWindow::Capture() {
  const GameShot window = CaptureWindow();
  if (window.width < kScreenWidth || window.height < kScreenHeight ||
      (window.width == kScreenWidth && window.height == kScreenHeight))
    return window;
  // Enlarged as far as the shorter side allows, as a screen shows a picture of another shape.
  const double scale = std::min(static_cast<double>(window.width) / kScreenWidth,
                                static_cast<double>(window.height) / kScreenHeight);
  const double left = (window.width - kScreenWidth * scale) / 2;
  const double top = (window.height - kScreenHeight * scale) / 2;
  GameShot picture{kScreenWidth, kScreenHeight, {}};
  if (scale != std::floor(scale)) picture.least_white = 150;
  for (int y = 0; y < kScreenHeight; ++y) {
    const int window_y = static_cast<int>(top + (y + 0.5) * scale);
    for (int x = 0; x < kScreenWidth; ++x)
      picture.pixels.push_back(
          window.pixels[window_y * window.width + static_cast<int>(left + (x + 0.5) * scale)]);
  }
  return picture;
}

GameShot GameWindow::CaptureWindow() {
  GameShot shot;
  XWindowAttributes attributes{};
  if (window_ == 0 || !XGetWindowAttributes(display_, window_, &attributes)) return shot;
  XImage* image =
      XGetImage(display_, window_, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (image == nullptr) return shot;
  shot.width = attributes.width;
  shot.height = attributes.height;
  shot.pixels.resize(static_cast<std::size_t>(shot.width) * shot.height);
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      shot.pixels[y * shot.width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    }
  }
  XDestroyImage(image);
  return shot;
}

bool GameWindow::WaitForScreen(ShownScreen screen, int timeout_ms) {
  const double deadline = MonotonicMillis() + timeout_ms;
  while (MonotonicMillis() < deadline) {
    last_seen_ = ClassifyShot(Capture());
    if (last_seen_ == screen) return true;
    usleep(50000);
  }
  return false;
}
