// The screen state machine: panel animations, requests, the start and end of a game, tempo.
#include "game/screens/screens.h"

#include <gtest/gtest.h>

#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "tests/support/game_fixture.h"

namespace {

using Screens = GameTest;
using ScreensDeathTest = GameTest;

TEST_F(Screens, MenuOpensInExactly90FramesAndDropsInputMeanwhile) {
  for (int frame = 1; frame <= 89; ++frame) {
    TapKey(kKeySpace);
    TapKey(kKeyH);
    TapKey(kKeyEscape);
    Click(1);
    ASSERT_TRUE(RunFrame());
    ASSERT_EQ(Game().screen, kScreenNone) << "frame " << frame;
  }
  EXPECT_EQ(Game().boxW, 400);
  EXPECT_EQ(Game().boxH, 491);
  TapKey(kKeySpace);
  Click(1);
  ASSERT_TRUE(RunFrame());
  EXPECT_EQ(Game().screen, kScreenMenu);
  EXPECT_EQ(Game().boxH, 501);
  // Nothing pressed during the opening survives it.
  RunFrames(5);
  EXPECT_EQ(Game().nextScreen, kScreenMenu);
}

TEST_F(Screens, BoxWidensAsALineThenGrowsInHeight) {
  RunFrames(1);
  EXPECT_EQ(Game().boxW, 10);
  EXPECT_EQ(Game().boxH, 1);
  RunFrames(39);
  EXPECT_EQ(Game().boxW, 400);
  EXPECT_EQ(Game().boxH, 1);
  RunFrames(1);
  EXPECT_EQ(Game().boxW, 400);
  EXPECT_EQ(Game().boxH, 11);
}

TEST_F(Screens, MenuToGameTakes91PlusFiftyFramesAndStartsPaused) {
  OpenMenu();
  TapKey(kKeySpace);
  RunFrame();
  EXPECT_EQ(Game().nextScreen, kScreenGame);
  const int closing = RunFramesUntil([] { return Game().screen == kScreenNone; });
  EXPECT_EQ(closing, 91);
  EXPECT_EQ(Game().boxW, 0);
  EXPECT_EQ(Game().boxH, -9);
  const int opening = RunFramesUntil([] { return Game().screen == kScreenGame; });
  EXPECT_EQ(opening, 50);
  EXPECT_EQ(Game().disc, 500);
  EXPECT_EQ(Game().paused, 1);
  EXPECT_EQ(Balls().Count(), 1u);
  EXPECT_EQ(Game().score, 0);
  EXPECT_EQ(Game().best, 0);
  EXPECT_EQ(Game().level, 1);
}

TEST_F(Screens, ClickStartsAGameToo) {
  OpenMenu();
  Click(1);
  RunFrame();
  EXPECT_EQ(Game().nextScreen, kScreenGame);
}

TEST_F(Screens, EscapeInPlayRecordsTheHighScoreAndReturnsToTheMenu) {
  EnterGame();
  ASSERT_EQ(Game().screen, kScreenGame);
  Game().score = 7;
  Game().best = 9;
  TapKey(kKeyEscape);
  RunFrame();
  EXPECT_EQ(Game().highscore, 7);
  EXPECT_EQ(Game().nextScreen, kScreenMenu);
  // The disc closes over 50 frames without play, then the menu box opens over 90.
  EXPECT_EQ(RunFramesUntil([] { return Game().screen == kScreenNone; }), 50);
  EXPECT_EQ(Game().score, 7);
  EXPECT_EQ(RunFramesUntil([] { return Game().screen == kScreenMenu; }), 90);
}

TEST_F(Screens, HighScoreNeverFallsBelowZeroOrBelowItself) {
  EnterGame();
  Game().score = -4;
  EndGame();
  EXPECT_EQ(Game().highscore, 0);
  Game().highscore = 12;
  Game().score = 11;
  EndGame();
  EXPECT_EQ(Game().highscore, 12);
}

TEST_F(Screens, EndGameDropsPendingInput) {
  EnterGame();
  TapKey(kKeySpace);
  TapKey(kKeyH);
  Click(1);
  EndGame();
  EXPECT_EQ(Game().nextScreen, kScreenMenu);
  // Asked directly: the disc closes next, so no later frame would read these hits anyway.
  EXPECT_EQ(KeyHits(kKeySpace), 0);
  EXPECT_EQ(KeyHits(kKeyH), 0);
  EXPECT_EQ(MouseHits(1), 0);
}

// Hits that HandleScreenKeys does not ask for stay for whoever asks next (in play, the serve
// release); the left button is asked before Space, and Space only when the button has no hit.
TEST_F(Screens, ScreenKeysAskOnlyForWhatTheCurrentScreenReads) {
  const auto on_screen = [](int screen) {
    ClearKeys();
    ClearMouse();
    Game().screen = screen;
    Game().nextScreen = screen;
  };

  on_screen(kScreenMenu);
  Click(1);
  TapKey(kKeySpace);
  HandleScreenKeys();
  EXPECT_EQ(Game().nextScreen, kScreenGame);
  EXPECT_EQ(KeyHits(kKeySpace), 1) << "the click answered; Space was not asked";

  on_screen(kScreenMenu);
  TapKey(kKeySpace);
  HandleScreenKeys();
  EXPECT_EQ(Game().nextScreen, kScreenGame);
  EXPECT_EQ(KeyHits(kKeySpace), 0);

  on_screen(kScreenGame);
  Click(1);
  TapKey(kKeySpace);
  TapKey(kKeyH);
  HandleScreenKeys();
  EXPECT_EQ(Game().nextScreen, kScreenGame);
  EXPECT_EQ(MouseHits(1), 1);
  EXPECT_EQ(KeyHits(kKeySpace), 1);
  EXPECT_EQ(KeyHits(kKeyH), 1);

  on_screen(kScreenHelp);
  TapKey(kKeyH);
  Click(1);
  HandleScreenKeys();
  EXPECT_EQ(Game().nextScreen, kScreenMenu);
  EXPECT_EQ(KeyHits(kKeyH), 1);

  // With the panel closed only Escape is asked, and it does nothing.
  on_screen(kScreenNone);
  Game().nextScreen = kScreenHelp;
  TapKey(kKeyEscape);
  TapKey(kKeySpace);
  Click(1);
  HandleScreenKeys();
  EXPECT_EQ(Game().nextScreen, kScreenHelp);
  EXPECT_EQ(KeyHits(kKeyEscape), 0);
  EXPECT_EQ(KeyHits(kKeySpace), 1);
  EXPECT_EQ(MouseHits(1), 1);
}

TEST_F(Screens, HWhileTheMenuBoxClosesAsksForHelpInstead) {
  OpenMenu();
  TapKey(kKeySpace);
  RunFrames(10);
  ASSERT_EQ(Game().screen, kScreenMenu);
  ASSERT_LT(Game().boxW, 400);
  TapKey(kKeyH);
  RunFrame();
  EXPECT_EQ(Game().nextScreen, kScreenHelp);
  EXPECT_GT(RunFramesUntil([] { return Game().screen == kScreenHelp; }), 0);
  EXPECT_EQ(Game().disc, 0);
}

TEST_F(Screens, HelpReturnsToTheMenuOnEscapeSpaceOrClick) {
  for (const int way : {0, 1, 2}) {
    ResetGameState();
    OpenMenu();
    TapKey(kKeyH);
    RunFrame();
    ASSERT_EQ(RunFramesUntil([] { return Game().screen == kScreenHelp; }), 91 + 90);
    if (way == 0) TapKey(kKeyEscape);
    if (way == 1) TapKey(kKeySpace);
    if (way == 2) Click(1);
    RunFrame();
    EXPECT_EQ(Game().nextScreen, kScreenMenu) << way;
  }
}

TEST_F(Screens, NoRequestWhilePanelIsClosed) {
  OpenMenu();
  TapKey(kKeySpace);
  RunFrame();
  ASSERT_EQ(RunFramesUntil([] { return Game().screen == kScreenNone; }), 91);
  TapKey(kKeyEscape);
  TapKey(kKeyH);
  RunFrame();
  EXPECT_EQ(Game().nextScreen, kScreenGame);
}

TEST_F(Screens, EscapeInTheMenuLeadsToTheFarewellScreen) {
  OpenMenu();
  TapKey(kKeyEscape);
  EXPECT_TRUE(RunFrame());
  EXPECT_EQ(Game().nextScreen, kScreenFarewell);
  EXPECT_EQ(RunFramesUntil([] { return Game().screen == kScreenFarewell; }), 91 + 90);
  // The farewell screen stays open: its panel never closes.
  RunFrames(3);
  EXPECT_EQ(Game().boxH, 501);
}

void ReachFarewell() {
  GameTest::TapKey(kKeyEscape);
  GameTest::RunFrames(1 + 91 + 90);
}

TEST_F(ScreensDeathTest, FarewellEndsTheProgramOnEscapeSpaceOrClick) {
  OpenMenu();
  ReachFarewell();
  ASSERT_EQ(Game().screen, kScreenFarewell);
  EXPECT_EXIT(
      {
        TapKey(kKeyEscape);
        RunFrame();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        TapKey(kKeySpace);
        RunFrame();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        Click(1);
        RunFrame();
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
  // Without input the farewell screen just stays.
  RunFrames(2);
  EXPECT_EQ(Game().screen, kScreenFarewell);
}

TEST_F(Screens, StartGameResetsWhateverThePreviousGameLeft) {
  EnterGame();
  Game().score = 23;
  Game().best = 30;
  Game().level = 3;
  Game().paused = 0;
  ServeBall();
  StartGame();
  EXPECT_EQ(Game().score, 0);
  EXPECT_EQ(Game().best, 0);
  EXPECT_EQ(Game().level, 1);
  EXPECT_EQ(Game().paused, 1);
  EXPECT_EQ(Balls().Count(), 1u);
}

TEST_F(Screens, TempoEasesTowardItsTarget) {
  Game().screen = kScreenMenu;
  UpdateTempo();
  EXPECT_EQ(Game().tempo, 1.0f);
  Game().screen = kScreenGame;
  Game().score = 0;
  UpdateTempo();
  EXPECT_FLOAT_EQ(Game().tempo, 0.91f);
  for (int i = 0; i < 200; ++i) UpdateTempo();
  EXPECT_NEAR(Game().tempo, 0.1f, 1e-5);
  Game().score = 76;
  for (int i = 0; i < 300; ++i) UpdateTempo();
  EXPECT_NEAR(Game().tempo, 2.0f, 1e-5);
  Game().score = -8;
  for (int i = 0; i < 300; ++i) UpdateTempo();
  EXPECT_NEAR(Game().tempo, -0.1f, 1e-5);
  const float before = Game().tempo;
  Game().screen = kScreenNone;
  UpdateTempo();
  EXPECT_EQ(Game().tempo, static_cast<float>(before + (1.0 - before) / 10));
}
}  // namespace
