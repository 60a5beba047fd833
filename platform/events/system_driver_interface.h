// The system driver seam: what every system back end supplies. system_driver.h holds the current
// driver and the functions that forward to it.
#pragma once

#include "platform/core/object.h"
#include "platform/core/text.h"

class TSystemDriver {
 public:
  virtual ~TSystemDriver() = default;
  virtual void Poll() = 0;
  virtual void Wait() = 0;
  // While the input window is hidden (minimised, on another workspace), sleeps on the window
  // system, still pumping its events, until the window is shown again or the window manager asks
  // the program to close. Returns whether it waited.
  virtual bool WaitWhileHidden() = 0;
  // Warps the pointer to (x, y) in the input window; false when the driver refused: the window has
  // not the keyboard focus or the pointer is not in it.
  virtual bool MoveMouse(int x, int y) = 0;
  virtual void SetMouseVisible(bool visible) = 0;
  // Switches the input window between the desktop's full screen and its own size. False, doing
  // nothing, where the window system offers no full screen.
  virtual bool ToggleFullScreen() = 0;
  virtual void Notify(const String& text, bool serious) = 0;
  virtual int Confirm(const String& text, bool serious) = 0;
  virtual int Proceed(const String& text, bool serious) = 0;
  virtual String RequestFile(const String& title, const String& filter, bool save,
                             const String& initial_path) = 0;
  virtual String RequestDir(const String& title, const String& initial_path) = 0;
  virtual int OpenURL(const String& url) = 0;
};
