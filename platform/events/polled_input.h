// The polled keyboard and mouse state: what was hit, what is held and where the pointer is. It
// listens on the event chain once enabled, and every reader pumps the system events first, so
// answers are current without an explicit poll.
#pragma once

#include "platform/core/object.h"

inline constexpr int kKeyCodeCount = 256;
inline constexpr int kMouseButtonCount = 4;  // buttons 1 left, 2 right, 3 middle; cell 0 unused

// Starts the system module it reads through, then creates the state; once only.
void StartPolledInputModule();

// Clears the state, suspension included, and installs the hook (priority 0). With a source, only
// events from that source count. Nothing when already enabled.
void EnablePolledInput(ObjectRef source = nullptr);

// Removes the hook, then clears the state. Nothing when not enabled.
void DisablePolledInput();

// Presses of `key` since the last call or clear; zeroes the count. Codes outside 0-255 read 0.
int KeyHits(int key);
int KeyIsDown(int key);

// The next typed character, 0 when none; removes it.
int NextKeyChar();

// Empties key state, key hits and the character queue.
void ClearKeys();

// Presses of `button` since the last call or clear; zeroes the count. Buttons outside 0-3 read 0.
int MouseHits(int button);
int MouseIsDown(int button);
int MousePosX();
int MousePosY();
// 1 when the pointer moved since the last call or clear, then 0: a position read without a move
// since is no new motion. It reads no new events, so asked right after MousePosX or MousePosY it
// tells about the position they read.
int MouseMoved();
int MouseWheelPos();

// Empties mouse state, mouse hits, the wheel and the moved flag; the position stays.
void ClearMouse();

// Wait on the system until a key is hit / a character is typed / a button is hit.
int WaitForKey();
int WaitForChar();
int WaitForMouse();

int AppIsSuspended();

// 1 once after an AppTerminate event (the window manager's close button), then 0.
int AppTerminateRequested();
