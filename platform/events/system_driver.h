// The system driver: pumps the window system's input into events, moves and hides the mouse
// pointer, and offers requesters and the desktop's web-address opener. One driver is current; the
// X11 back end installs its own at start, and until one is installed a null driver stands in (no
// input, no pointer). The functions below forward to the current driver.
#pragma once

#include <memory>

#include "platform/core/object.h"
#include "platform/core/text.h"
#include "platform/events/system_driver_interface.h"

// Starts the event module; once only. The polled input state starts on top of it.
void StartSystemModule();

// Makes `driver` the current system driver; the previous one is deleted.
void InstallSystemDriver(std::unique_ptr<TSystemDriver> driver);

TSystemDriver& SystemDriver();

// The driver's Poll / Wait, unless a Poll or Wait is already running: a hook that reads input
// while an event is being delivered does not recurse into the pump.
void PollSystemEvents();
void WaitSystemEvents();
// The driver's WaitWhileHidden, with the same guard: false when it did not wait.
bool WaitWhileWindowHidden();

// Warps the pointer to (x, y) in the input window, unless the driver refuses (see MoveMouse); the
// result says whether it went out. The polled position follows only when the warp's own motion has
// been pumped by a later poll.
bool PlaceMouse(int x, int y);
void ShowMousePointer();
// The driver's ToggleFullScreen.
bool ToggleFullScreenWindow();
void HideMousePointer();

void Notify(const String& text, bool serious = false);
int Confirm(const String& text, bool serious = false);
int Proceed(const String& text, bool serious = false);
String RequestFile(const String& title, const String& filter = String(), bool save = false,
                   const String& initial_path = String());
String RequestDir(const String& title, const String& initial_path = String());

// Normalises the address (see NormaliseWebAddress) and hands it to the desktop's opener.
int OpenURL(const String& url);
