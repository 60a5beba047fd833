// The X event pump: every queued X event becomes at most a few system events, emitted at once
// with no source and no modifiers.
#include "platform/x11/x_event_pump.h"

#include <X11/Xutil.h>

#include "platform/events/event.h"
#include "platform/x11/key_translation.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/x_display.h"

namespace {
Atom wm_protocols = None;
Atom wm_delete_window = None;

int KeyCodeOf(XKeyEvent& key) {
  return TranslateKeysym(XLookupKeysym(&key, 0));
}

// The system's buttons are 1 left, 2 right, 3 middle: X's middle (2) and right (3) swap.
int SystemButton(unsigned x_button) {
  return x_button == 1 ? 1 : 5 - static_cast<int>(x_button);
}

void TranslateKeyPress(XKeyEvent& key) {
  EmitEvent(EVENT_KEYDOWN, KeyCodeOf(key), key.x, key.y);
  char text[16];
  const int length = XLookupString(&key, text, 15, nullptr, nullptr);
  for (int i = 0; i < length; ++i)
    EmitEvent(EVENT_KEYCHAR, static_cast<signed char>(text[i]), 0, 0);
}

// NOTE: the server's auto-repeat arrives as release/press pairs. A release directly followed by a
// press of the same key collapses into KeyRepeat. The look-ahead only inspects events already
// read, so it never waits on the server.
void TranslateKeyRelease(Display* display, XKeyEvent& key) {
  const int code = KeyCodeOf(key);
  if (XEventsQueued(display, QueuedAfterReading) > 0) {
    XEvent next;
    XPeekEvent(display, &next);
    if (next.type == KeyPress && KeyCodeOf(next.xkey) == code) {
      XNextEvent(display, &next);
      EmitEvent(EVENT_KEYREPEAT, code, key.x, key.y);
      return;
    }
  }
  EmitEvent(EVENT_KEYUP, code, key.x, key.y);
}

void TranslateButton(const XButtonEvent& button, bool pressed) {
  if (button.button == 4 || button.button == 5) {
    if (pressed) EmitEvent(EVENT_MOUSEWHEEL, button.button == 4 ? 1 : -1, button.x, button.y);
    return;
  }
  // Buttons above 5 (tilt wheels, side buttons) have no place among the system's three.
  if (button.button > 5) return;
  EmitEvent(pressed ? EVENT_MOUSEDOWN : EVENT_MOUSEUP, SystemButton(button.button), button.x,
            button.y);
}

void TranslateClientMessage(const XClientMessageEvent& message) {
  if (wm_protocols == None || message.message_type != wm_protocols || message.format != 32) return;
  if (static_cast<Atom>(message.data.l[0]) == wm_delete_window)
    EmitEvent(EVENT_APPTERMINATE, 0, 0, 0);
}

void TranslateXEvent(Display* display, XEvent& event) {
  switch (event.type) {
    case KeyPress:
      TranslateKeyPress(event.xkey);
      break;
    case KeyRelease:
      TranslateKeyRelease(display, event.xkey);
      break;
    case ButtonPress:
      TranslateButton(event.xbutton, true);
      break;
    case ButtonRelease:
      TranslateButton(event.xbutton, false);
      break;
    case MotionNotify:
      EmitEvent(EVENT_MOUSEMOVE, 0, event.xmotion.x, event.xmotion.y);
      break;
    case ClientMessage:
      TranslateClientMessage(event.xclient);
      break;
    default:
      break;
  }
}
}  // namespace

void PumpXEvents(Display* display) {
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    TranslateXEvent(display, event);
  }
}

void RegisterCloseButton(XWindowId window) {
  Display* display = XDisplayConnection();
  if (display == nullptr || window == 0) return;
  if (wm_delete_window == None) {
    wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
  }
  XSetWMProtocols(display, window, &wm_delete_window, 1);
}
