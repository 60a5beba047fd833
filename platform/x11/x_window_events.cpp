// Focus, crossing, mapping and window-manager protocol events of the input window.
#include "platform/x11/x_window_events.h"

#include <X11/Xlib.h>

#include "platform/events/event.h"
#include "platform/x11/desktop_full_screen.h"
#include "platform/x11/input_window.h"
#include "platform/x11/x_display.h"
#include "platform/x11/x_event_pump.h"

namespace {
Atom wm_protocols = None;
Atom wm_delete_window = None;
Atom net_wm_ping = None;
int close_requests = 0;

void InternProtocolAtoms(Display* display) {
  if (wm_protocols != None) return;
  wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
  net_wm_ping = XInternAtom(display, "_NET_WM_PING", False);
}

// NOTE: a grab (a window manager's Alt+Tab, a menu) moves the focus only for its duration, and
// focus events about inferior windows or the pointer say nothing about the keyboard: none of
// them is a lost or regained focus. Keys released during a grab went elsewhere, so every
// FocusIn reads the keyboard afresh.
void TranslateFocus(Display* display, const XFocusChangeEvent& change) {
  if (change.window != InputWindow()) return;
  if (change.type == FocusIn) ReleaseKeysNoLongerHeld(display);
  if (change.mode == NotifyGrab || change.mode == NotifyUngrab) return;
  if (change.detail == NotifyInferior || change.detail == NotifyPointer) return;
  const bool gained = change.type == FocusIn;
  if (gained == InputWindowFocused()) return;
  SetInputWindowFocused(gained);
  EmitEvent(gained ? EVENT_APPRESUME : EVENT_APPSUSPEND, 0, 0, 0);
}

// NOTE: another client's pointer grab (a menu, a window manager's move) sends a Leave in grab mode:
// the pointer is that client's until the Enter that ends the grab. Only a move into a child of the
// window keeps the pointer in it.
void TranslateCrossing(const XCrossingEvent& crossing) {
  if (crossing.window != InputWindow()) return;
  if (crossing.type == LeaveNotify && crossing.detail == NotifyInferior) return;
  SetPointerInInputWindow(crossing.type == EnterNotify);
}

// The reply goes back to the root window, where the window manager listens.
void AnswerPing(Display* display, const XClientMessageEvent& ping) {
  XEvent reply{};
  reply.xclient = ping;
  reply.xclient.window = DefaultRootWindow(display);
  XSendEvent(display, reply.xclient.window, False,
             SubstructureNotifyMask | SubstructureRedirectMask, &reply);
  XFlush(display);
}

void TranslateClientMessage(Display* display, const XClientMessageEvent& message) {
  if (wm_protocols == None || message.message_type != wm_protocols || message.format != 32) return;
  const Atom protocol = static_cast<Atom>(message.data.l[0]);
  if (protocol == wm_delete_window) {
    ++close_requests;
    EmitEvent(EVENT_APPTERMINATE, 0, 0, 0);
  } else if (protocol == net_wm_ping && message.window == InputWindow()) {
    AnswerPing(display, message);
  }
}
}  // namespace

bool TranslateWindowEvent(Display* display, XEvent& event) {
  switch (event.type) {
    case FocusIn:
    case FocusOut:
      TranslateFocus(display, event.xfocus);
      return true;
    case EnterNotify:
    case LeaveNotify:
      TranslateCrossing(event.xcrossing);
      return true;
    case MapNotify:
      if (event.xmap.window == InputWindow()) SetInputWindowShown(true);
      return true;
    case UnmapNotify:
      if (event.xunmap.window == InputWindow()) SetInputWindowShown(false);
      return true;
    case ConfigureNotify:
      if (event.xconfigure.window == InputWindow())
        FollowInputWindowSize(display, event.xconfigure.width, event.xconfigure.height);
      return true;
    case ClientMessage:
      TranslateClientMessage(display, event.xclient);
      return true;
    default:
      return false;
  }
}

void RegisterWindowManagerProtocols(unsigned long window) {
  Display* display = XDisplayConnection();
  if (display == nullptr || window == 0) return;
  InternProtocolAtoms(display);
  Atom protocols[] = {wm_delete_window, net_wm_ping};
  XSetWMProtocols(display, window, protocols, 2);
}

int CloseRequestCount() {
  return close_requests;
}
