// Focus, crossing, mapping and window-manager protocol events of the input window.
#include "platform/x11/x_window_events.h"

#include <X11/Xlib.h>

#include "platform/events/event.h"
#include "platform/x11/desktop_full_screen.h"
#include "platform/x11/input_window.h"
#include "platform/x11/pointer_motion.h"
#include "platform/x11/window_manager_hints.h"

namespace {
int close_requests = 0;

// Follows one way the keys come to the input window: only whether they come at all is news.
void FollowKeyboard(KeyboardWay way, bool comes) {
  const bool came = InputWindowFocused();
  SetInputWindowFocused(way, comes);
  if (InputWindowFocused() != came) EmitEvent(came ? EVENT_APPSUSPEND : EVENT_APPRESUME, 0, 0, 0);
}

// NOTE: a grab moves the focus only for its duration. Another client's (a window manager's
// Alt+Tab, a menu) takes nothing from the window, but one to the window itself (the video mode's
// own) brings the keys until it ends, wherever the focus is; the pointer's focus counts for nothing
// while a grab holds. Focus events about an inferior window say nothing about the keyboard; those
// about the pointer say that it follows the pointer (PointerRoot) into or out of the window.
void TranslateFocus(const XFocusChangeEvent& change) {
  if (change.window != InputWindow() || change.detail == NotifyInferior) return;
  const bool in = change.type == FocusIn;
  if (change.mode == NotifyGrab || change.mode == NotifyUngrab) {
    if (change.detail != NotifyPointer && in == (change.mode == NotifyGrab))
      FollowKeyboard(KeyboardWay::kGrab, in);
    return;
  }
  FollowKeyboard(change.detail == NotifyPointer ? KeyboardWay::kPointer : KeyboardWay::kFocusWindow,
                 in);
}

// NOTE: another client's pointer grab (a menu, a window manager's move) sends a Leave in grab mode:
// the pointer is that client's until the Enter that ends the grab. Only a move into a child of the
// window keeps the pointer in it.
void TranslateCrossing(const XCrossingEvent& crossing) {
  if (crossing.window != InputWindow()) return;
  if (crossing.type == LeaveNotify && crossing.detail == NotifyInferior) return;
  SetPointerInInputWindow(crossing.type == EnterNotify);
  SetPointerSeenAt(crossing.x, crossing.y);
  if (crossing.type == EnterNotify)
    PointerEnteredAt({crossing.x, crossing.y}, {crossing.x_root, crossing.y_root}, crossing.time);
  // NOTE: under PointerRoot the keyboard follows the pointer and no focus event says so: the
  // crossing's focus flag tells whether the focus is PointerRoot, an ancestor or the window itself,
  // which keeps the keys wherever the pointer goes. A crossing of another client's grab counts too:
  // a pointer that leaves during the grab sends nothing when it ends.
  if (!InputWindowFocusedBy(KeyboardWay::kFocusWindow))
    FollowKeyboard(KeyboardWay::kPointer, crossing.focus && crossing.type == EnterNotify);
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
  switch (WindowManagerProtocolOf(message)) {
    case WindowManagerProtocol::kClose:
      ++close_requests;
      EmitEvent(EVENT_APPTERMINATE, 0, 0, 0);
      break;
    case WindowManagerProtocol::kPing:
      if (message.window == InputWindow()) AnswerPing(display, message);
      break;
    case WindowManagerProtocol::kNone:
      break;
  }
}
}  // namespace

bool TranslateWindowEvent(Display* display, XEvent& event) {
  switch (event.type) {
    case FocusIn:
    case FocusOut:
      TranslateFocus(event.xfocus);
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
      if (event.xconfigure.window == InputWindow()) {
        ForgetPointerSeen();
        ForgetPointerPlace();
      }
      // NOTE: a window manager's own ConfigureNotify tells where it moved the window's frame, and
      // may come before the resize it announces; the size is the server's to tell. Paying the fixed
      // size on its word redirects that very resize to the window, which then stays full size.
      if (!event.xconfigure.send_event)
        FollowSizeAndRestoreFixedSize(display, event.xconfigure.window, event.xconfigure.width,
                                      event.xconfigure.height);
      return true;
    case PropertyNotify:
      if (event.xproperty.window == InputWindow() &&
          IsWindowManagerState(display, event.xproperty.atom))
        FollowWindowManagerState(display);
      return true;
    case ClientMessage:
      TranslateClientMessage(display, event.xclient);
      return true;
    default:
      return false;
  }
}

int CloseRequestCount() {
  return close_requests;
}
