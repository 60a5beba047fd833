// The game's window: its size and the centre that the paddle, the panel and the texts turn on.
#pragma once

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kCentreX = kScreenWidth / 2;
constexpr int kCentreY = kScreenHeight / 2;
