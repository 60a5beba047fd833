// The key codes and mouse buttons of the polled input and of key events: the same numbers on
// every system driver.
#pragma once

constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKey0 = 48;  // digits 48-57
constexpr int kKeyA = 65;  // letters 65-90
constexpr int kKeyH = 72;
constexpr int kKeyF1 = 112;  // F1-F12 112-123
constexpr int kKeyF11 = 122;

constexpr int kMouseLeft = 1;
constexpr int kMouseRight = 2;
constexpr int kMouseMiddle = 3;
