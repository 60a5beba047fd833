// The game-wide state shared by the screen state machine, the play and the screens: one instance
// for the whole run, reached through Game().
#pragma once

// Screen numbers of the state machine.
constexpr int kScreenNone = 0;  // the panel is closed while a transition runs
constexpr int kScreenMenu = 1;
constexpr int kScreenGame = 2;
constexpr int kScreenHelp = 3;
constexpr int kScreenFarewell = -1;

struct TGameState {
  int screen = kScreenNone;
  int nextScreen = kScreenMenu;
  int boxW = 0;
  int boxH = 0;
  int disc = 0;
  int paused = 1;
  int highscore = 0;
  int score = 0;
  int best = 0;
  int level = 0;
  float spin = 0.0f;   // paddle turn, degrees per frame
  float angle = 0.0f;  // paddle position on its circle, degrees in [0, 360)
  float tempo = 1.0f;  // speed factor of the background rectangles
  bool away = false;   // play did not hold the pointer last frame: the next one re-centres it
};

TGameState& Game();
