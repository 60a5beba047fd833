// Probes the X display, its GLX extension and its visuals in the order opening a window needs
// them, then names the step of the window's creation that failed (an X error by request and name).
#include "platform/glx/graphics_diagnosis.h"

#include <GL/glx.h>

#include <cstdlib>
#include <vector>

#include "platform/glx/glx_context.h"
#include "platform/graphics/graphics.h"
#include "platform/x11/x_display.h"

std::string DescribeGraphicsFailure(int flags) {
  Display* display = OpenXDisplay();
  if (display == nullptr || XDisplayLost()) {
    const char* name = std::getenv("DISPLAY");
    std::string text = "no X display is reachable (DISPLAY is ";
    if (name == nullptr || *name == 0) {
      text += "not set";
    } else {
      text.append("\"").append(name).append("\"");
    }
    text += "): check that DISPLAY names a running X server that lets this user connect";
    return text;
  }
  int error_base = 0;
  int event_base = 0;
  if (!glXQueryExtension(display, &error_base, &event_base)) {
    return "the X display offers no OpenGL (no GLX extension): check that the X server has GLX "
           "enabled and that OpenGL drivers are installed";
  }
  std::vector<int> attributes = VisualAttributesForFlags(flags);
  XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes.data());
  if (visual == nullptr) {
    return "the X display has no double-buffered RGBA visual for OpenGL: check the X server's "
           "colour depth (24 bits) and its OpenGL drivers";
  }
  XFree(visual);
  // A runtime error raised during creation already says what failed and what to check.
  if (!GraphicsCreationError().empty()) return GraphicsCreationError();
  const std::string& failure = LastContextWindowFailure();
  if (!failure.empty()) {
    return failure +
           ": check the window size against the X server's screen and its OpenGL "
           "drivers";
  }
  return "the OpenGL window or context could not be created: check the OpenGL drivers and that "
         "the X server accepts direct or indirect GLX rendering";
}
