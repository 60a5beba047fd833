// The GLX glue: windows and contexts on the display borrowed from the system driver, the hidden
// shared context, making contexts current, swapping, and closing them again (at exit too).
#include "platform/glx/glx_context.h"

#include <GL/glx.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "platform/core/runtime_error.h"
#include "platform/events/system_driver.h"
#include "platform/glx/video_modes.h"
#include "platform/process/startup.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/x_display.h"
#include "platform/x11/x_event_pump.h"

namespace {
constexpr int kHiddenSize = 100;
constexpr int kLargestWindowSide = 65535;
constexpr long kCreationEvents = StructureNotifyMask | ResizeRedirectMask;
constexpr long kInputEvents = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | ResizeRedirectMask;

Display* display = nullptr;  // set once the glue has started
int screen = 0;
bool video_modes_present = false;
SwapIntervalEntry swap_interval = nullptr;

std::map<int, std::unique_ptr<GLContextRecord>> records;
int next_handle = 1;
int current = 0;
int last_selected = 0;
int shared = 0;
bool full_screen_active = false;

// The connection for X and GLX calls; null once it is lost, so nothing talks to a dead server.
Display* LiveDisplay() {
  return XDisplayLost() ? nullptr : display;
}

GLContextRecord* Find(int handle) {
  const auto found = records.find(handle);
  return found == records.end() ? nullptr : found->second.get();
}

void CloseGlueAtExit() {
  if (XDisplayLost()) return;
  RunExitWork([] {
    CloseContextWindow(current);
    CloseContextWindow(shared);
    current = 0;
    shared = 0;
  });
}

bool StartGlue() {
  if (display != nullptr) return true;
  Display* connection = OpenXDisplay();
  if (connection == nullptr) return false;
  int major = 0;
  int minor = 0;
  if (!glXQueryVersion(connection, &major, &minor)) return false;
  display = connection;
  video_modes_present = VideoModeExtensionPresent(display);
  screen = DefaultScreen(display);
  const char* extensions = glXQueryExtensionsString(display, screen);
  if (extensions != nullptr && std::strstr(extensions, "GLX_SGI_swap_control") != nullptr) {
    swap_interval = reinterpret_cast<SwapIntervalEntry>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")));
  }
  std::atexit(CloseGlueAtExit);
  return true;
}

// The caller frees the result with XFree.
XVisualInfo* ChooseVisualForFlags(int flags) {
  std::vector<int> attributes = VisualAttributesForFlags(flags);
  return glXChooseVisual(display, screen, attributes.data());
}

struct VisualDeleter {
  void operator()(XVisualInfo* visual) const { XFree(visual); }
};
using VisualChoice = std::unique_ptr<XVisualInfo, VisualDeleter>;

Bool IsMapNotifyFor(Display*, XEvent* event, XPointer window) {
  return event->type == MapNotify && event->xmap.window == reinterpret_cast<Window>(window);
}

void ShowWindow(const GLContextRecord& record, bool full_screen) {
  XMapRaised(display, record.window);
  if (full_screen) {
    XWarpPointer(display, None, record.window, 0, 0, 0, 0, 0, 0);
    XGrabKeyboard(display, record.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    XGrabPointer(display, record.window, True, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                 record.window, None, CurrentTime);
  }
  glXMakeCurrent(display, record.window, record.context);
  XEvent mapped;
  XIfEvent(display, &mapped, IsMapNotifyFor, reinterpret_cast<XPointer>(record.window));
  // Replaces the creation mask: structure and focus changes are no longer reported.
  XSelectInput(display, record.window, kInputEvents);
  SetInputWindow(record.window);
  // The window manager's close button then reaches the program as AppTerminate instead of
  // killing its connection.
  RegisterCloseButton(record.window);
}

void DestroyWindowOf(const GLContextRecord& record) {
  if (record.kind == kAttachedContext) return;
  if (record.window != 0) XDestroyWindow(display, record.window);
  if (record.colormap != 0) XFreeColormap(display, record.colormap);
}

int Keep(std::unique_ptr<GLContextRecord> record) {
  const int handle = next_handle++;
  records.emplace(handle, std::move(record));
  return handle;
}

void RefreshAttachedSize(GLContextRecord& record) {
  if (record.kind != kAttachedContext || !StartGlue() || LiveDisplay() == nullptr) return;
  Window root = 0;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  if (XGetGeometry(display, record.window, &root, &x, &y, &width, &height, &border, &depth)) {
    record.width = static_cast<int>(width);
    record.height = static_cast<int>(height);
  }
}

bool MakeAttachedContext(GLContextRecord& record) {
  if (record.context != nullptr) return true;
  if (!StartGlue() || LiveDisplay() == nullptr) return false;
  const GLContextRecord* shared_record = Find(SharedContext());
  const VisualChoice visual(ChooseVisualForFlags(record.flags));
  if (!visual) return false;
  record.context = glXCreateContext(display, visual.get(),
                                    shared_record ? shared_record->context : nullptr, True);
  if (record.context == nullptr) return false;
  glXMakeCurrent(display, record.window, record.context);
  SetInputWindow(record.window);
  return true;
}

// Makes a record current; `remember` makes it the one SwapSharedContext returns to.
void Select(int handle, bool remember) {
  GLContextRecord* record = Find(handle);
  if (record == nullptr) return;
  if (record->kind == kAttachedContext) {
    RefreshAttachedSize(*record);
    if (!MakeAttachedContext(*record)) return;
  }
  if (handle != current && LiveDisplay() != nullptr) {
    glXMakeCurrent(display, record->window, record->context);
    current = handle;
  }
  if (remember) last_selected = handle;
}
}  // namespace

std::vector<int> VisualAttributesForFlags(int flags) {
  std::vector<int> attributes = {GLX_RGBA};
  if (flags & 2) attributes.push_back(GLX_DOUBLEBUFFER);
  if (flags & 4) attributes.insert(attributes.end(), {GLX_ALPHA_SIZE, 1});
  if (flags & 8) attributes.insert(attributes.end(), {GLX_DEPTH_SIZE, 1});
  if (flags & 16) attributes.insert(attributes.end(), {GLX_STENCIL_SIZE, 1});
  if (flags & 32) {
    attributes.insert(attributes.end(), {GLX_ACCUM_RED_SIZE, 1, GLX_ACCUM_GREEN_SIZE, 1,
                                         GLX_ACCUM_BLUE_SIZE, 1, GLX_ACCUM_ALPHA_SIZE, 1});
  }
  attributes.push_back(None);
  return attributes;
}

int SharedContext() {
  if (shared == 0) shared = CreateContextWindow(0, 0, 0, 0, 0);
  return shared;
}

int CreateContextWindow(int width, int height, int depth, int hertz, int flags) {
  if (!StartGlue() || LiveDisplay() == nullptr) return 0;
  const bool hidden = width == 0 && height == 0;
  GLXContext share_with = nullptr;
  if (hidden) {
    width = kHiddenSize;
    height = kHiddenSize;
  } else if (const GLContextRecord* shared_record = Find(SharedContext())) {
    share_with = shared_record->context;
  }

  // NOTE: X carries window sizes in 16 bits and refuses 0. A size it would refuse ends in a window
  // that never maps (the wait for its MapNotify would hang), one it cannot carry would be cut.
  if (width <= 0 || height <= 0 || width > kLargestWindowSide || height > kLargestWindowSide)
    return 0;

  VisualChoice visual(ChooseVisualForFlags(flags));
  if (!visual) return 0;
  const bool full_screen = depth != 0;
  if (full_screen) {
    if (!video_modes_present || !MatchVideoMode(display, screen, width, height, hertz)) return 0;
    visual.reset(ChooseVisualForFlags(flags));
    if (!visual) return 0;
  }

  auto record = std::make_unique<GLContextRecord>();
  record->kind = full_screen ? kFullScreenContext : kWindowContext;
  record->width = width;
  record->height = height;
  record->hertz = hertz;
  record->flags = flags;
  const Window root = RootWindow(display, screen);
  record->colormap = XCreateColormap(display, root, visual->visual, AllocNone);

  XSetWindowAttributes attributes{};
  attributes.border_pixel = 0;
  attributes.colormap = record->colormap;
  attributes.event_mask = kCreationEvents;
  unsigned long value_mask = CWBorderPixel | CWEventMask | CWColormap;
  if (full_screen) {
    SwitchToMatchedMode(display, screen);
    attributes.event_mask |= FocusChangeMask;
    attributes.override_redirect = True;
    value_mask |= CWOverrideRedirect;
  }
  record->window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, visual->depth, InputOutput,
                                 visual->visual, value_mask, &attributes);
  record->context = glXCreateContext(display, visual.get(), share_with, True);
  if (record->context == nullptr) {
    DestroyWindowOf(*record);
    if (full_screen) RestoreVideoMode(display, screen);
    return 0;
  }
  if (full_screen) full_screen_active = true;

  const int handle = Keep(std::move(record));
  if (!hidden) {
    ShowWindow(*Find(handle), full_screen);
    // Mapping made the new context current in GLX; the glue's notion of "current" follows, so a
    // later selection of another context really switches.
    current = handle;
    last_selected = handle;
  }
  const std::string title = ToUtf8(ApplicationTitle());
  XStoreName(display, Find(handle)->window, title.c_str());
  PollSystemEvents();
  return handle;
}

int AttachContextWindow(unsigned long window, int flags) {
  auto record = std::make_unique<GLContextRecord>();
  record->kind = kAttachedContext;
  record->window = window;
  record->flags = flags;
  return Keep(std::move(record));
}

void MakeContextCurrent(int handle) {
  Select(handle, true);
}

void SwapSharedContext() {
  if (full_screen_active || shared == 0) return;
  if (current == shared) {
    Select(last_selected, false);
  } else {
    Select(shared, false);
  }
}

void SwapContext(int sync) {
  GLContextRecord* record = Find(current);
  if (record == nullptr || LiveDisplay() == nullptr) return;
  const int interval = sync != 0 ? 1 : 0;
  if (interval != record->sync_state) {
    record->sync_state = interval;
    if (swap_interval != nullptr) swap_interval(interval);
  }
  glXSwapBuffers(display, record->window);
  PumpEventsAfterSwap();
}

void CloseContextWindow(int handle) {
  const auto found = records.find(handle);
  if (found == records.end()) return;
  const GLContextRecord& record = *found->second;
  if (current == handle) current = 0;
  if (last_selected == handle) last_selected = 0;
  if (shared == handle) shared = 0;
  if (LiveDisplay() != nullptr) {
    if (record.context != nullptr) {
      // Only the context being closed is released: another one that is current stays so.
      if (glXGetCurrentContext() == record.context) glXMakeCurrent(display, None, nullptr);
      glXDestroyContext(display, record.context);
    }
    DestroyWindowOf(record);
    if (record.kind == kFullScreenContext) {
      RestoreVideoMode(display, screen);
      full_screen_active = false;
    }
    XFlush(display);
  }
  records.erase(found);
}

const GLContextRecord* ContextRecord(int handle) {
  GLContextRecord* record = Find(handle);
  if (record != nullptr) RefreshAttachedSize(*record);
  return record;
}

int CurrentContext() {
  return current;
}

bool FullScreenActive() {
  return full_screen_active;
}

std::vector<TGraphicsMode> ListVideoModes(std::size_t capacity) {
  if (!StartGlue() || LiveDisplay() == nullptr || !video_modes_present) return {};
  return ListVideoModes(display, screen, capacity);
}

SwapIntervalEntry ReplaceSwapIntervalEntry(SwapIntervalEntry entry) {
  StartGlue();
  const SwapIntervalEntry previous = swap_interval;
  swap_interval = entry;
  return previous;
}
