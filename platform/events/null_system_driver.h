// The system driver of a process without a window system: no input arrives, pointer calls do
// nothing and requesters answer "no". Pending signals and a termination request are still handled,
// so a program on it can be stopped as on the real driver. Unit tests of the game run on it.
#pragma once

#include "platform/events/system_driver_interface.h"

class TNullSystemDriver : public TSystemDriver {
 public:
  void Poll() override;
  void Wait() override;
  bool WaitWhileHidden() override { return false; }   // there is no window to hide
  bool MoveMouse(int, int) override { return true; }  // nothing here refuses a warp
  void SetMouseVisible(bool) override {}
  bool ToggleFullScreen() override { return false; }
  void Notify(const String&, bool) override {}
  int Confirm(const String&, bool) override { return 0; }
  int Proceed(const String&, bool) override { return -1; }
  String RequestFile(const String&, const String&, bool, const String&) override { return {}; }
  String RequestDir(const String&, const String&) override { return {}; }
  int OpenURL(const String&) override { return 0; }
};
