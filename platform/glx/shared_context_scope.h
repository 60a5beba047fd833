// The hidden shared context for a scope: texture frames are made and deleted there so that every
// window's context sees them. No X or GL headers, so the 2D renderer and the texture frames can
// hold one without them.
#pragma once

// Whether an OpenGL context of the open display is current: once the display has closed, the
// textures have gone with their contexts and there is nothing left to delete.
bool GLContextIsCurrent();

class SharedContextScope {
 public:
  // Makes the shared context current (made on first need). In full screen, or when there is no
  // shared context (no display, or after the connection closed), nothing changes.
  SharedContextScope();
  // Makes the context and drawable that were current before current again, even when the scope is
  // left by an exception.
  ~SharedContextScope();
  SharedContextScope(const SharedContextScope&) = delete;
  SharedContextScope& operator=(const SharedContextScope&) = delete;

 private:
  bool switched_ = false;
  int previous_handle_ = 0;
  void* previous_context_ = nullptr;
  unsigned long previous_drawable_ = 0;
};
