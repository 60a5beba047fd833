// The window record's life: creation in checked steps (video mode, visual, window, context, show,
// name) and the destructor that undoes them all.
#include "platform/glx/glx_window.h"

#include <GL/glx.h>
#include <X11/Xutil.h>
#include <time.h>

#include <chrono>

#include "platform/core/runtime_error.h"
#include "platform/glx/video_modes.h"
#include "platform/graphics/graphics.h"
#include "platform/process/signals.h"
#include "platform/process/startup.h"
#include "platform/x11/desktop_full_screen.h"
#include "platform/x11/input_window.h"
#include "platform/x11/window_manager_hints.h"
#include "platform/x11/x_display.h"

namespace {
constexpr long kCreationEvents = StructureNotifyMask;
constexpr int kMapWaitMillis = 5000;
constexpr int kMapPollMillis = 5;
constexpr int kMapRepeatMillis = 500;

struct VisualDeleter {
  void operator()(XVisualInfo* visual) const { XFree(visual); }
};
using VisualChoice = std::unique_ptr<XVisualInfo, VisualDeleter>;

VisualChoice ChooseVisual(Display* display, int screen, int flags) {
  std::vector<int> attributes = VisualAttributesForFlags(flags);
  return VisualChoice(glXChooseVisual(display, screen, attributes.data()));
}

// Full screen: matches the request to a server mode (the record takes the mode's size) and
// switches to it; the record switches back when it goes.
bool SwitchVideoMode(Display* display, int screen, const WindowRequest& request,
                     GLContextRecord& record) {
  if (!request.video_modes_present) return false;
  SavedVideoMode saved;
  int width = request.width;
  int height = request.height;
  if (!MatchVideoMode(display, screen, width, height, request.hertz, saved)) return false;
  *record.picture = DescribePictureInWindow(width, height, width, height);
  SwitchToMatchedMode(display, screen);
  record.saved_mode = saved;
  return true;
}

void MakeWindow(Display* display, int screen, const XVisualInfo& visual,
                bool video_mode_full_screen, bool resizable, GLContextRecord& record) {
  const Window root = RootWindow(display, screen);
  record.colormap = XCreateColormap(display, root, visual.visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.border_pixel = 0;
  attributes.colormap = record.colormap;
  attributes.event_mask = kCreationEvents | (resizable ? 0 : ResizeRedirectMask);
  unsigned long value_mask = CWBorderPixel | CWEventMask | CWColormap;
  if (video_mode_full_screen) {
    attributes.event_mask |= FocusChangeMask;
    attributes.override_redirect = True;
    value_mask |= CWOverrideRedirect;
  }
  record.window =
      XCreateWindow(display, root, 0, 0, static_cast<unsigned>(record.picture->window_width),
                    static_cast<unsigned>(record.picture->window_height), 0, visual.depth,
                    InputOutput, visual.visual, value_mask, &attributes);
}

Bool IsMapNotifyFor(Display*, XEvent* event, XPointer window) {
  return event->type == MapNotify && event->xmap.window == reinterpret_cast<Window>(window);
}

// NOTE: bounded, because a window the server refused never maps; a termination request is raised
// so that a stuck start can still be ended. Timed by the clock: the 1 ms alarm cuts sleeps short.
// A window manager that is itself starting may drop the request to map (seen with openbox), so
// the request is repeated now and then: a window that is already mapped ignores it.
bool WaitUntilMapped(Display* display, Window window) {
  XEvent mapped;
  const timespec pause{0, kMapPollMillis * 1000 * 1000};
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + std::chrono::milliseconds(kMapWaitMillis);
  auto next_request = start + std::chrono::milliseconds(kMapRepeatMillis);
  for (;;) {
    if (XCheckIfEvent(display, &mapped, IsMapNotifyFor, reinterpret_cast<XPointer>(window))) {
      return true;
    }
    RaisePendingTermination();
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    if (now >= next_request) {
      XMapRaised(display, window);
      XFlush(display);
      next_request = now + std::chrono::milliseconds(kMapRepeatMillis);
    }
    nanosleep(&pause, nullptr);
  }
}

// Describes the window to the desktop, asks for full screen from the start when wanted, maps it
// and, for a video mode of its own, grabs the keyboard and pointer. Whether full screen was asked.
bool DescribeAskMapAndGrab(Display* display, const GLContextRecord& record,
                           bool video_mode_full_screen, bool desktop_full_screen) {
  const int width = record.picture->window_width;
  const int height = record.picture->window_height;
  DescribeWindowToDesktop(display, record.window, width, height);
  const bool asked =
      desktop_full_screen && AskFullScreenFromStart(display, record.window, width, height);
  XMapRaised(display, record.window);
  if (!video_mode_full_screen) return asked;
  XWarpPointer(display, None, record.window, 0, 0, 0, 0, 0, 0);
  XGrabKeyboard(display, record.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  XGrabPointer(display, record.window, True, ButtonPressMask, GrabModeAsync, GrabModeAsync,
               record.window, None, CurrentTime);
  return asked;
}

// Once shown, the window reports input as well. It selects the events before it becomes the input
// window, which asks where the focus and the pointer are: no change falls between the two.
void TakeInput(Display* display, const GLContextRecord& record, bool resizable) {
  XSelectInput(display, record.window, resizable ? kInputWindowEvents : kFixedSizeWindowEvents);
  FollowPictureOf(record.window, record.picture);
  SetInputWindow(record.window, record.picture);
  StartDesktopFullScreen(record.picture->window_width, record.picture->window_height, resizable);
  if (resizable) FollowWindowManagerState(display);  // what it did with the request so far
}

void NameWindow(Display* display, const GLContextRecord& record) {
  const std::string title = ToUtf8(ApplicationTitle());
  XStoreName(display, record.window, title.c_str());
}

// What failed, with the X error that said so when there was one.
std::unique_ptr<GLContextRecord> Fail(std::string& failure, const std::string& text,
                                      const std::string& x_error = {}) {
  failure = x_error.empty() ? text : text + ": " + x_error;
  return nullptr;
}
}  // namespace

GLContextRecord::GLContextRecord(Display* display, int screen, int record_kind)
    : kind(record_kind), display_(display), screen_(screen) {}

GLContextRecord::~GLContextRecord() {
  if (display_ == nullptr || XDisplayLost()) return;
  // NOTE: the picture's texture lives in the shared textures; it is deleted while its own context
  // is current, else it goes with the shared context at exit.
  if (present_texture != 0 && context != nullptr && glXGetCurrentContext() == context)
    glDeleteTextures(1, &present_texture);
  if (context != nullptr) {
    // Only this context is released: another one that is current stays so.
    if (glXGetCurrentContext() == context) glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context);
  }
  // Pointer warps and cursor changes must not name a window that is gone.
  if (window != 0 && InputWindow() == window) SetInputWindow(0);
  if (kind != kAttachedContext) {
    if (window != 0) XDestroyWindow(display_, window);
    if (colormap != 0) XFreeColormap(display_, colormap);
  }
  if (saved_mode) RestoreVideoMode(display_, screen_, *saved_mode);
  XFlush(display_);
}

std::unique_ptr<GLContextRecord> CreateWindowRecord(Display* display, int screen,
                                                    const WindowRequest& request,
                                                    std::string& failure) {
  XErrorTrap trap(display);
  auto record = std::make_unique<GLContextRecord>(
      display, screen,
      request.video_mode_full_screen ? kVideoModeFullScreenContext : kWindowContext);
  record->hertz = request.hertz;
  record->flags = request.flags;
  *record->picture =
      DescribePictureInWindow(request.width, request.height,
                              request.window_width > 0 ? request.window_width : request.width,
                              request.window_height > 0 ? request.window_height : request.height);

  const VisualChoice visual = ChooseVisual(display, screen, request.flags);
  if (!visual) return Fail(failure, "no OpenGL visual matches the graphics flags");
  if (request.video_mode_full_screen && !SwitchVideoMode(display, screen, request, *record))
    return Fail(failure, "no full-screen video mode has that size");
  if (trap.Failed()) return Fail(failure, "switching the video mode failed", trap.FirstError());
  // Full screen through the window manager: the window must be resizable from the start.
  const bool desktop_full_screen =
      request.desktop_full_screen && !request.hidden && WindowManagerOffersFullScreen(display);
  MakeWindow(display, screen, *visual, request.video_mode_full_screen, desktop_full_screen,
             *record);
  if (trap.Failed()) return Fail(failure, "the X server refused the window", trap.FirstError());
  record->context = glXCreateContext(display, visual.get(), request.share_with, True);
  if (record->context == nullptr || trap.Failed())
    return Fail(failure, "the OpenGL context could not be made", trap.FirstError());
  if (!request.hidden) {
    const bool asked_full_screen = DescribeAskMapAndGrab(
        display, *record, request.video_mode_full_screen, desktop_full_screen);
    MakeCurrentOrRaise(display, record->window, record->context, "the new window's context");
    if (trap.Failed())
      return Fail(failure, "the X server refused to show the window", trap.FirstError());
    if (!WaitUntilMapped(display, record->window))
      return Fail(failure, "the window never appeared on the screen");
    TakeInput(display, *record, asked_full_screen);
  }
  record->frame_picture = *record->picture;
  NameWindow(display, *record);
  return record;
}

std::vector<int> VisualAttributesForFlags(int flags) {
  std::vector<int> attributes = {GLX_RGBA};
  if (flags & GRAPHICS_BACKBUFFER) attributes.push_back(GLX_DOUBLEBUFFER);
  if (flags & GRAPHICS_ALPHABUFFER) attributes.insert(attributes.end(), {GLX_ALPHA_SIZE, 1});
  if (flags & GRAPHICS_DEPTHBUFFER) attributes.insert(attributes.end(), {GLX_DEPTH_SIZE, 1});
  if (flags & GRAPHICS_STENCILBUFFER) attributes.insert(attributes.end(), {GLX_STENCIL_SIZE, 1});
  if (flags & GRAPHICS_ACCUMBUFFER) {
    attributes.insert(attributes.end(), {GLX_ACCUM_RED_SIZE, 1, GLX_ACCUM_GREEN_SIZE, 1,
                                         GLX_ACCUM_BLUE_SIZE, 1, GLX_ACCUM_ALPHA_SIZE, 1});
  }
  attributes.push_back(None);
  return attributes;
}

void MakeCurrentOrRaise(Display* display, unsigned long drawable, GLXContext context,
                        const char* what) {
  if (glXMakeCurrent(display, drawable, context)) return;
  RaiseRuntimeError(std::string("OpenGL could not make ") + what + " current (glXMakeCurrent on " +
                    "window " + std::to_string(drawable) +
                    " failed): check the OpenGL drivers and the X server's GLX support");
}
