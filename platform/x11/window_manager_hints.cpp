#include "platform/x11/window_manager_hints.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/process/startup.h"
#include "platform/x11/x_display.h"

namespace {
Atom wm_protocols = None;
Atom wm_delete_window = None;
Atom net_wm_ping = None;

template <typename T>
struct XFreeDeleter {
  void operator()(T* hints) const { XFree(hints); }
};

XSizeHints SizeHints(int width, int height, bool fixed) {
  XSizeHints size_hints{};
  size_hints.flags = PSize | (fixed ? PMinSize | PMaxSize : 0);
  size_hints.width = size_hints.min_width = size_hints.max_width = width;
  size_hints.height = size_hints.min_height = size_hints.max_height = height;
  return size_hints;
}

void SetClassAndHints(Display* display, Window window, int width, int height) {
  // NOTE: Xlib takes the names as char* although it never writes them.
  std::string instance = ApplicationInstance();
  std::string class_name = ApplicationClass();
  std::unique_ptr<XClassHint, XFreeDeleter<XClassHint>> class_hint(XAllocClassHint());
  class_hint->res_name = instance.data();
  class_hint->res_class = class_name.data();

  std::unique_ptr<XWMHints, XFreeDeleter<XWMHints>> wm_hints(XAllocWMHints());
  wm_hints->flags = InputHint | StateHint;
  wm_hints->input = True;
  wm_hints->initial_state = NormalState;

  // Also sets WM_CLIENT_MACHINE to this host's name.
  XSizeHints size_hints = SizeHints(width, height, true);
  XSetWMProperties(display, window, nullptr, nullptr, nullptr, 0, &size_hints, wm_hints.get(),
                   class_hint.get());
}

// NOTE: format-32 properties travel through Xlib as arrays of long, whatever long's width.
void SetCardinals(Display* display, Window window, const char* name,
                  const std::vector<long>& values) {
  XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(values.data()),
                  static_cast<int>(values.size()));
}
}  // namespace

void SetWindowSizeHints(Display* display, Window window, int width, int height, bool fixed) {
  XSizeHints size_hints = SizeHints(width, height, fixed);
  XSetWMNormalHints(display, window, &size_hints);
}

void DescribeWindowToDesktop(Display* display, Window window, int width, int height) {
  SetClassAndHints(display, window, width, height);
  SetCardinals(display, window, "_NET_WM_PID", {static_cast<long>(getpid())});
  const std::vector<std::uint32_t>& icon = ApplicationIcon();
  if (!icon.empty()) SetCardinals(display, window, "_NET_WM_ICON", {icon.begin(), icon.end()});
  RegisterWindowManagerProtocols(display, window);
}

void RegisterWindowManagerProtocols(Display* display, Window window) {
  if (wm_protocols == None) {
    wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    net_wm_ping = XInternAtom(display, "_NET_WM_PING", False);
  }
  Atom protocols[] = {wm_delete_window, net_wm_ping};
  XSetWMProtocols(display, window, protocols, 2);
}

WindowManagerProtocol WindowManagerProtocolOf(const XClientMessageEvent& message) {
  if (wm_protocols == None || message.message_type != wm_protocols || message.format != 32)
    return WindowManagerProtocol::kNone;
  const Atom protocol = static_cast<Atom>(message.data.l[0]);
  if (protocol == wm_delete_window) return WindowManagerProtocol::kClose;
  if (protocol == net_wm_ping) return WindowManagerProtocol::kPing;
  return WindowManagerProtocol::kNone;
}

std::vector<long> LongProperty(Display* display, Window window, const char* name, Atom type) {
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  XErrorTrap trap(display);  // a window manager that died leaves a stale window id behind
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type,
                         &actual_type, &format, &count, &remaining, &data) == Success &&
      data != nullptr && format == 32) {
    const long* longs = reinterpret_cast<const long*>(data);
    values.assign(longs, longs + count);
  }
  if (data != nullptr) XFree(data);
  if (trap.Failed()) values.clear();
  return values;
}

bool WindowManagerSupports(Display* display, const char* name) {
  const Window root = DefaultRootWindow(display);
  const std::vector<long> check =
      LongProperty(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
  if (check.size() != 1) return false;
  const Window manager = static_cast<Window>(check[0]);
  if (LongProperty(display, manager, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) != check) return false;
  const long atom = static_cast<long>(XInternAtom(display, name, False));
  for (const long listed : LongProperty(display, root, "_NET_SUPPORTED", XA_ATOM))
    if (listed == atom) return true;
  return false;
}

FrameExtents FrameForNewWindow(Display* display, int screen) {
  constexpr auto kAnswerTime = std::chrono::milliseconds(200);
  if (!WindowManagerSupports(display, "_NET_REQUEST_FRAME_EXTENTS")) return {};
  const Window root = RootWindow(display, screen);
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  const Window probe = XCreateWindow(display, root, 0, 0, 1, 1, 0, CopyFromParent, InputOnly,
                                     CopyFromParent, CWEventMask, &attributes);
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = probe;
  request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  request.xclient.format = 32;
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display);
  std::vector<long> extents;
  const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
  const timespec pause{0, 2 * 1000 * 1000};
  XEvent changed;
  while (extents.size() != 4 && std::chrono::steady_clock::now() < deadline) {
    if (XCheckTypedWindowEvent(display, probe, PropertyNotify, &changed))
      extents = LongProperty(display, probe, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    else
      nanosleep(&pause, nullptr);
  }
  XDestroyWindow(display, probe);
  if (extents.size() != 4) return {};
  return {static_cast<int>(extents[0]), static_cast<int>(extents[1]), static_cast<int>(extents[2]),
          static_cast<int>(extents[3])};
}
