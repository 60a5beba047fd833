// The X11 system driver and what the window layer tells it: which window takes the input, the
// pointer warps and the cursor.
#pragma once

#include "platform/events/system_driver.h"
#include "platform/x11/input_window.h"
#include "platform/x11/x_display.h"

class TLinuxSystemDriver : public TSystemDriver {
 public:
  // Opens the default display; without one every X part is skipped.
  TLinuxSystemDriver();

  void Poll() override;
  void Wait() override;
  bool WaitWhileHidden() override;
  bool MoveMouse(int x, int y) override;
  void SetMouseVisible(bool visible) override;
  bool ToggleFullScreen() override;
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
  int close_requests_before_wait_ = 0;  // CloseRequestCount() when the last wait began
};

// The input window and what is known of it (shown, focused, the pointer in it, the picture's
// place) are kept in input_window.h; the window layer sets it.
