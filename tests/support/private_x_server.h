// An Xvfb server of one's own, so that input sent through XTest, pointer warps and keyboard focus
// are not disturbed by other tests mapping windows or moving the pointer on a shared server.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class PrivateXServer {
 public:
  // With GLX and a 1280 x 1024 x 24 screen; `options` are added to Xvfb's command line (e.g.
  // {"-extension", "GLX"} to take GLX away again). Waits until the server accepts connections.
  // Starts none where ZIRKULON_DISPLAY_FREE is set: the tests labelled as needing no display.
  explicit PrivateXServer(const std::vector<std::string>& options = {});
  // Terminates the server and waits for it.
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  // ":N" once running; empty when the server did not start, and error() then says why.
  const std::string& display() const { return display_; }
  const std::string& error() const { return error_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::string error_;
};

// The private server of this process, started on the first call and ended at exit, with DISPLAY
// pointing at it from then on. Call before anything opens an X connection. Returns the display
// name, or an empty string (with the reason in `error`) when no server could be started. The first
// call's `options` are the server's (see PrivateXServer).
// NOTE: under ctest each test case is a process of its own, so each gets a fresh server.
std::string UsePrivateDisplay(std::string* error = nullptr,
                              const std::vector<std::string>& options = {});
