// The X11 system driver and what the window layer tells it: which window takes the input, the
// pointer warps and the cursor.
#pragma once

#include "platform/events/system_driver.h"
#include "platform/x11/x_display.h"

class TLinuxSystemDriver : public TSystemDriver {
 public:
  // Opens the default display; without one every X part is skipped.
  TLinuxSystemDriver();

  void Poll() override;
  void Wait() override;
  bool WaitWhileHidden() override;
  void MoveMouse(int x, int y) override;
  void SetMouseVisible(bool visible) override;
  void Notify(const String& text, bool serious) override;
  int Confirm(const String& text, bool serious) override;
  int Proceed(const String& text, bool serious) override;
  String RequestFile(const String& title, const String& filter, bool save,
                     const String& initial_path) override;
  String RequestDir(const String& title, const String& initial_path) override;
  int OpenURL(const String& url) override;

 private:
  Cursor BlankCursor(Display* display);

  Cursor blank_cursor_ = None;
  bool warp_pending_ = false;
};

// The window that pointer warps and cursor changes apply to; 0 until the window layer sets it.
// A newly set window counts as shown.
void SetInputWindow(Window window);
Window InputWindow();
// How many times its picture's size the input window is (1 when set): the pump reports pointer
// positions in picture pixels, and warps take them.
void SetInputWindowScale(int scale);
int InputWindowScale();
// Picture pixels from window pixels, rounding down (also left of and above the window).
int PicturePixel(int window_pixel);

// Whether the input window is mapped: the pump follows its MapNotify and UnmapNotify.
void SetInputWindowShown(bool shown);
bool InputWindowShown();
