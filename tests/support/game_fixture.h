// A headless game for tests: a recording 2D driver stands in for the window, and scripted key
// and mouse presses go through the polled input state as the event pump would deliver them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/support/recording_vex2d_driver.h"

// Puts every value of Game() back to its start of the run and empties the rectangle and ball lists.
void ResetGameState();

// A fresh game state and the random seed 4660 for each test; the state is reset after it too.
// The modules a headless game needs (the null system driver, the 2D state, the default font) are
// started first, so a TRecordingSession member of a derived fixture finds them.
class GameStateTest : public ::testing::Test {
 protected:
  GameStateTest();
  void SetUp() override;
  void TearDown() override;
};

class GameTest : public GameStateTest {
 public:
  void SetUp() override;
  void TearDown() override;

  // The calls of the latest frame (each frame starts with an empty record).
  TRecordingVex2DDriver& Recorder() { return session_->driver; }

  // One frame as the loop runs it, without the flip. Returns false when the loop would end.
  static bool RunFrame();
  static void RunFrames(int count);
  // Runs frames until `done` holds after one; returns how many ran, or -1 after `limit`.
  static int RunFramesUntil(const std::function<bool()>& done, int limit = 1000);

  static void PressKey(int code);
  static void ReleaseKey(int code);
  static void TapKey(int code);  // press and release
  static void Click(int button);
  static void MoveMouse(int x, int y);

  // From a fresh start: the menu box opens (90 frames).
  static void OpenMenu();
  // From a fresh start: the menu, Space, then the box closes and the disc opens.
  static void EnterGame();

 private:
  static TRecordingSession* current_session_;
  std::unique_ptr<TRecordingSession> session_;
};
