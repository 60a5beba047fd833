// The headless game behind GameTest.
#include "game_fixture.h"

#include "game/frame.h"
#include "game/game_state.h"
#include "game/random.h"
#include "platform/polled_input.h"

void GameTest::SetUp() {
  ResetGameState();
  SetRandomSeed(4660);
  ClearKeys();
  ClearMouse();
  MoveMouse(400, 300);
}

void GameTest::TearDown() {
  ResetGameState();
}

bool GameTest::RunFrame() {
  DrawGameFrame();
  return HandleFrameInput();
}

void GameTest::RunFrames(int count) {
  for (int i = 0; i < count; ++i) RunFrame();
}

int GameTest::RunFramesUntil(const std::function<bool()>& done, int limit) {
  for (int frames = 1; frames <= limit; ++frames) {
    RunFrame();
    if (done()) return frames;
  }
  return -1;
}

void GameTest::PressKey(int code) {
  StubPress(code);
}
void GameTest::ReleaseKey(int code) {
  StubRelease(code);
}
void GameTest::TapKey(int code) {
  PressKey(code);
  ReleaseKey(code);
}
void GameTest::Click(int button) {
  StubClick(button);
}
void GameTest::MoveMouse(int x, int y) {
  StubMouse(x, y);
}

void GameTest::OpenMenu() {
  RunFrames(90);
}

void GameTest::EnterGame() {
  OpenMenu();
  TapKey(32);
  RunFrames(1 + 91 + 50);
}
