// A Wayland compositor of one's own with X clients served through Xwayland, as in a player's
// Wayland session: the game is an X client there, with no window manager of the X kind.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "tests/support/private_x_server.h"
#include "tests/support/process.h"

// Headless: no input seat. Nested: weston's output is a window on a private Xvfb, whose pointer
// and keyboard are weston's seat; weston moves its pointer by the outer pointer's motion and puts
// it where the outer pointer enters its window, at the same coordinates.
enum class WestonOutput { kHeadless, kNestedInXvfb };

class WestonSession {
 public:
  // The nested output is tall, so that a long vertical drift of the pointer stays on it.
  static constexpr int kNestedWidth = 1280;
  static constexpr int kNestedHeight = 2600;

  // Starts weston with Xwayland in a private runtime folder (nested: on its own Xvfb) and waits
  // until the X display it names accepts connections.
  // Nested: `outputs` monitors of kNestedWidth x kNestedHeight side by side.
  explicit WestonSession(WestonOutput output = WestonOutput::kHeadless, int outputs = 1);
  // Ends weston (and with it Xwayland) and removes the runtime folder.
  ~WestonSession();
  WestonSession(const WestonSession&) = delete;
  WestonSession& operator=(const WestonSession&) = delete;

  // ":N" once ready; empty when the session did not start, and error() then says why.
  const std::string& display() const { return display_; }
  const std::string& error() const { return error_; }
  // The private folder (mode 0700) holding weston's socket and log; other files may go there.
  const std::string& runtime_dir() const { return runtime_dir_; }
  // Nested only: the Xvfb weston's window stands on, where XTest input reaches weston's seat.
  // NOTE: XTest pointer motion sent to Xwayland itself crashed Xwayland 22.1.
  const std::string& outer_display() const { return outer_display_; }

 private:
  void Start(WestonOutput output, int outputs);
  std::string LogTail() const;

  std::unique_ptr<PrivateXServer> outer_;
  std::string outer_display_;
  std::unique_ptr<BackgroundProcess> weston_;
  std::string runtime_dir_;
  std::string display_;
  std::string error_;
  // NOTE: Xwayland starts on the first X client and ends with the last, so one connection is held
  // for the session's life: the server the game meets is the one found ready.
  Display* keep_alive_ = nullptr;
};

// The nested session's seat: the outer Xvfb's pointer and keyboard, driven through XTest there.
class WestonSeat {
 public:
  explicit WestonSeat(const WestonSession& session);
  ~WestonSeat();
  WestonSeat(const WestonSeat&) = delete;
  WestonSeat& operator=(const WestonSeat&) = delete;

  // Weston's coordinates where the pointer is on its output: the outer pointer's.
  void MoveTo(int x, int y);
  void MoveBy(int dx, int dy, int steps = 1, int step_ms = 5);
  // Off weston's window: its pointer leaves every window of Xwayland.
  void Leave();
  void Click(unsigned button);
  void TapKey(unsigned long keysym);
  int y() const { return y_; }

 private:
  Display* display_;
  int x_ = 0;
  int y_ = 0;
};
