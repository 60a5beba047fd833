// A headless Wayland compositor of one's own with X clients served through Xwayland, as in a
// player's Wayland session: the game is an X client there, but with no window manager of the X
// kind and no input seat.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "tests/support/process.h"

class WestonSession {
 public:
  // Starts weston's headless back end with Xwayland in a private runtime folder and waits until
  // the X display it names accepts connections.
  WestonSession();
  // Ends weston (and with it Xwayland) and removes the runtime folder.
  ~WestonSession();
  WestonSession(const WestonSession&) = delete;
  WestonSession& operator=(const WestonSession&) = delete;

  // ":N" once ready; empty when the session did not start, and error() then says why.
  const std::string& display() const { return display_; }
  const std::string& error() const { return error_; }
  // The private folder (mode 0700) holding weston's socket and log; other files may go there.
  const std::string& runtime_dir() const { return runtime_dir_; }

 private:
  void Start();
  std::string LogTail() const;

  std::unique_ptr<BackgroundProcess> weston_;
  std::string runtime_dir_;
  std::string display_;
  std::string error_;
  // NOTE: Xwayland starts on the first X client and ends with the last, so one connection is held
  // for the session's life: the server the game meets is the one found ready.
  Display* keep_alive_ = nullptr;
};
