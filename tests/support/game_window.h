// The running game seen from outside, as a player sees it: its window found by title on the X
// display, input sent through XTest, and the window's pixels read back.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// One read-back of the window, or of the 800 x 600 picture in it.
struct GameShot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, rows top to bottom
  // Smoothly enlarged (full screen), a one-pixel line keeps no less than about 3/4 of its light.
  int least_white = 200;

  int Red(int x, int y) const { return (pixels[y * width + x] >> 16) & 255; }
  int Green(int x, int y) const { return (pixels[y * width + x] >> 8) & 255; }
  int Blue(int x, int y) const { return pixels[y * width + x] & 255; }
  // Text, outlines and the paddle: far brighter than anything behind the dark panel.
  bool Bright(int x, int y) const;
  bool RowHasBright(int y, int x0, int x1) const;
  // The panel's outline: white drawn at alpha 0.9.
  bool White(int x, int y) const;
  // Where the paddle stands on its circle, in the game's degrees (0 at the bottom, 90 at the left),
  // from the light grey pixels on the circle; NaN when none are there. Balls off the circle (as
  // before the serve) do not count.
  double PaddleAngle() const;
};

// Of the window pixels where an enlarged picture changes colour (those whose picture pixels nearby
// are not all one colour), the share that shows one of those picture pixels' own colours: 1 when
// every picture pixel is a block of whole window pixels, about 0.1 when smoothly enlarged.
double ShareOfEdgesKeepingPictureColours(const GameShot& window, const GameShot& picture);

enum class ShownScreen { kUnknown, kMenu, kHelp, kFarewell, kGame };

// Tells the open screens apart by where their texts stand and by the panel's shape.
ShownScreen ClassifyShot(const GameShot& shot);
const char* ScreenName(ShownScreen screen);

class GameWindow {
 public:
  // Connects to the named display (null: DISPLAY).
  explicit GameWindow(const char* display_name = nullptr);
  ~GameWindow();
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // Waits for a mapped window titled as the game's, then moves the pointer into it; false after
  // the timeout.
  bool Find(int timeout_ms);
  // As Find, leaving the pointer where it is.
  // NOTE: Xwayland with no input seat (a headless compositor) crashes on XTest pointer motion.
  bool FindLeavingPointer(int timeout_ms);
  // Waits until the window is gone (the process closed it); false after the timeout.
  bool WaitGone(int timeout_ms);
  // Does `move`, then waits until the server has told this connection too of the pointer at (x, y)
  // in the window (a negative one: any), as it tells the game, and three more frames are counted in
  // `swap_counter`: the game has read the motion and drawn it. False after the timeout.
  bool MovedAndSeenAt(int x, int y, const std::string& swap_counter, int timeout_ms,
                      const std::function<void()>& move);
  std::pair<int, int> Pointer() const;  // where the pointer stands in the window

  void TapKey(KeySym keysym);
  void PressKey(KeySym keysym);
  void ReleaseKey(KeySym keysym);
  void Click(unsigned button);
  void MovePointer(int x, int y);  // window coordinates
  // Asks the window to close, as a window manager's close button does.
  void RequestClose();

  // The picture in picture pixels: in a larger window (a scale, full screen) it stands as large
  // as fits, centred, and each picture pixel is read at its middle.
  GameShot Capture();
  // The whole window, pixel for pixel.
  GameShot CaptureWindow();
  // Captures until `screen` is shown; false after the timeout.
  bool WaitForScreen(ShownScreen screen, int timeout_ms);
  ShownScreen last_seen() const { return last_seen_; }
  Display* display() const { return display_; }
  Window window() const { return window_; }

 private:
  Display* display_ = nullptr;
  Window window_ = 0;
  ShownScreen last_seen_ = ShownScreen::kUnknown;
};
