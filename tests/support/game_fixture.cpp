// The headless game behind GameTest.
#include "tests/support/game_fixture.h"

#include "game/random/random.h"
#include "game/screens/frame.h"
#include "game/world/background.h"
#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"
#include "imagetext/text/imagetext_module.h"
#include "platform/events/event.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "render2d/drawing/vex2d.h"

TRecordingSession* GameTest::current_session_ = nullptr;

void ResetGameState() {
  Game() = TGameState{};
  Rects().Clear();
  Balls().Clear();
}

GameStateTest::GameStateTest() {
  StartSystemModule();  // the null driver: no X connection
  StartVex2DModule();
  StartImageTextModule();
}

void GameStateTest::SetUp() {
  ResetGameState();
  SetRandomSeed(4660);
}

void GameStateTest::TearDown() {
  ResetGameState();
}

void GameTest::SetUp() {
  session_ = std::make_unique<TRecordingSession>(kScreenWidth, kScreenHeight);
  current_session_ = session_.get();
  SetBlend(BLEND_LIGHT);
  GameStateTest::SetUp();
  ClearKeys();
  ClearMouse();
  MoveMouse(kCentreX, kCentreY);
}

void GameTest::TearDown() {
  GameStateTest::TearDown();
  current_session_ = nullptr;
  session_.reset();
}

bool GameTest::RunFrame() {
  current_session_->driver.Clear();
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

// Input arrives as the event pump delivers it: events through the hook chain, where the polled
// input state listens.
void GameTest::PressKey(int code) {
  EmitEvent(EVENT_KEYDOWN, code, 0, 0);
}
void GameTest::ReleaseKey(int code) {
  EmitEvent(EVENT_KEYUP, code, 0, 0);
}
void GameTest::TapKey(int code) {
  PressKey(code);
  ReleaseKey(code);
}
void GameTest::Click(int button) {
  EmitEvent(EVENT_MOUSEDOWN, button, 0, 0);
  EmitEvent(EVENT_MOUSEUP, button, 0, 0);
}
void GameTest::MoveMouse(int x, int y) {
  EmitEvent(EVENT_MOUSEMOVE, 0, x, y);
}

void GameTest::OpenMenu() {
  RunFrames(90);
}

void GameTest::EnterGame() {
  OpenMenu();
  TapKey(kKeySpace);
  RunFrames(1 + 91 + 50);
}
