// A plain X window on the system driver's connection that takes key, button and pointer input,
// and the XTest calls that send it input. Each send waits until the server has handled it, so the
// resulting events sit in the connection's queue for the next poll.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/graphics/picture_in_window.h"

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include <X11/Xlib.h>

class TestInputWindow {
 public:
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 600;
  static constexpr int kPointerX = kWidth / 2;  // where the pointer starts
  static constexpr int kPointerY = kHeight / 2;

  // Starts the system module, maps a kWidth x kHeight window at the root's top left, focuses it,
  // makes it the driver's input window and puts the pointer at (kPointerX, kPointerY) in it.
  // Without a display, display() is nullptr and nothing else happens.
  TestInputWindow();
  ~TestInputWindow();
  TestInputWindow(const TestInputWindow&) = delete;
  TestInputWindow& operator=(const TestInputWindow&) = delete;

  Display* display() const { return display_; }
  Window window() const { return window_; }

  // The keycode of a keysym on the server's keyboard map, 0 when there is none.
  KeyCode KeycodeOf(KeySym keysym) const;

  void PressKey(KeySym keysym);
  void ReleaseKey(KeySym keysym);
  void TapKey(KeySym keysym);
  // A held key's release and press sent together, so that the server stamps them within a
  // millisecond as its auto-repeat does, however loaded the machine.
  void RepeatKey(KeySym keysym);
  void PressButton(unsigned button);
  void ReleaseButton(unsigned button);
  void MovePointerBy(int dx, int dy);
  void MovePointerTo(int x, int y);  // window coordinates
  // XTest's absolute motion to window coordinates: what a tablet or a remote desktop reports.
  void ReportPointerAt(int x, int y);
  void Sync();

  // Waits while the key is held until the server's auto-repeat has sent `pairs` release/press
  // pairs for it, all left unread for the next poll. False when they have not come within
  // `timeout_ms`. A fixed sleep proves nothing on a loaded machine, where the repeat timer may
  // not have fired yet.
  bool WaitForAutoRepeat(KeySym keysym, int pairs, int timeout_ms = 20000);

 private:
  std::shared_ptr<PictureInWindow> picture_ =
      std::make_shared<PictureInWindow>(DescribePictureInWindow(kWidth, kHeight, kWidth, kHeight));
  Display* display_ = nullptr;
  Window window_ = 0;
};

// Input tests on a TestInputWindow of this process's own X server: XTest input, pointer warps and
// focus that another test on a shared server would disturb.
class InputWindowTest : public ::testing::Test {
 protected:
  // Skips (fails under CI) without Xvfb; derived SetUps return when IsSkipped or HasFatalFailure.
  void SetUp() override;
  void TearDown() override { window_.reset(); }

  std::unique_ptr<TestInputWindow> window_;
};
