// The X event pump: every queued X event becomes at most a few system events, emitted at once
// with no source and no modifiers.
#include "platform/x11/x_event_pump.h"

#include <X11/Xutil.h>

#include <array>

#include "platform/events/event.h"
#include "platform/x11/input_window.h"
#include "platform/x11/key_translation.h"
#include "platform/x11/pointer_motion.h"
#include "platform/x11/x_display.h"
#include "platform/x11/x_window_events.h"

namespace {
// The key code each X key was reported down with, 0 when it is up: the releases owed when the
// keyboard is read afresh.
std::array<int, 256> held_keys{};

int KeyCodeOf(XKeyEvent& key) {
  return TranslateKeysym(XLookupKeysym(&key, 0));
}

// The system's buttons are 1 left, 2 right, 3 middle: X's middle (2) and right (3) swap.
int SystemButton(unsigned x_button) {
  return x_button == 1 ? 1 : 5 - static_cast<int>(x_button);
}

void TranslateKeyPress(XKeyEvent& key) {
  const int code = KeyCodeOf(key);
  held_keys[key.keycode & 255] = code;
  EmitEvent(EVENT_KEYDOWN, code, PictureX(key.x), PictureY(key.y));
  char text[16];
  const int length = XLookupString(&key, text, 15, nullptr, nullptr);
  for (int i = 0; i < length; ++i)
    EmitEvent(EVENT_KEYCHAR, static_cast<signed char>(text[i]), 0, 0);
}

// NOTE: the server's auto-repeat arrives as release/press pairs stamped with the same time. A
// release directly followed by a press of the same key at (within a millisecond of) its time
// collapses into KeyRepeat; a real second press, however soon, stays a press even when a slow
// frame reads both at once. The look-ahead only inspects events already read, so it never waits
// on the server.
void TranslateKeyRelease(Display* display, XKeyEvent& key) {
  const int code = KeyCodeOf(key);
  if (XEventsQueued(display, QueuedAfterReading) > 0) {
    XEvent next;
    XPeekEvent(display, &next);
    if (next.type == KeyPress && KeyCodeOf(next.xkey) == code && next.xkey.time - key.time <= 1) {
      XNextEvent(display, &next);
      EmitEvent(EVENT_KEYREPEAT, code, PictureX(key.x), PictureY(key.y));
      return;
    }
  }
  held_keys[key.keycode & 255] = 0;
  EmitEvent(EVENT_KEYUP, code, PictureX(key.x), PictureY(key.y));
}

// NOTE: a key let go while the keyboard was elsewhere (another window, another client's grab, the
// pointer out of the window under PointerRoot) sent its release there. The server's keymap after
// every EnterNotify and FocusIn shows it up: one bit a keycode, as XQueryKeymap's, though Xlib
// leaves the first byte (keycodes 0 to 7, never used) unset.
void ReleaseKeysUpIn(const char (&keymap)[32]) {
  for (std::size_t keycode = 8; keycode < held_keys.size(); ++keycode) {
    if (held_keys[keycode] == 0 || (keymap[keycode / 8] >> (keycode % 8)) & 1) continue;
    EmitEvent(EVENT_KEYUP, held_keys[keycode], 0, 0);
    held_keys[keycode] = 0;
  }
}

void TranslateButton(const XButtonEvent& button, bool pressed) {
  if (button.button == 4 || button.button == 5) {
    if (pressed)
      EmitEvent(EVENT_MOUSEWHEEL, button.button == 4 ? 1 : -1, PictureX(button.x),
                PictureY(button.y));
    return;
  }
  // Buttons above 5 (tilt wheels, side buttons) have no place among the system's three.
  if (button.button > 5) return;
  EmitEvent(pressed ? EVENT_MOUSEDOWN : EVENT_MOUSEUP, SystemButton(button.button),
            PictureX(button.x), PictureY(button.y));
}

// NOTE: motion in the input window also tells that the pointer is in it. Under Xwayland the X
// pointer stays inside the window while the real one is over no X surface, and comes back with a
// motion from there, not with an EnterNotify.
// NOTE: a pointer that Xwayland's X pointer never saw leave (it left over another surface while
// the program's warps kept the X pointer inside) comes back as two motion reports to the same
// place at the same time, which no device sends: the first is a place, like an EnterNotify. A
// warp that moves nothing right after a move looks the same, but its report is made after the
// warp's request, with a later serial. The look-ahead takes what has arrived, without waiting.
bool ComesBack(Display* display, const XMotionEvent& motion) {
  if (XEventsQueued(display, QueuedAfterReading) == 0) return false;
  XEvent next;
  XPeekEvent(display, &next);
  return next.type == MotionNotify && next.xmotion.window == motion.window &&
         next.xmotion.time == motion.time && next.xmotion.serial == motion.serial &&
         next.xmotion.x == motion.x && next.xmotion.y == motion.y;
}

void TranslateMotion(Display* display, const XMotionEvent& motion) {
  if (motion.window != InputWindow()) {
    EmitEvent(EVENT_MOUSEMOVE, 0, PictureX(motion.x), PictureY(motion.y));
    return;
  }
  SetPointerInInputWindow(true);
  SetPointerSeenAt(motion.x, motion.y);
  if (ComesBack(display, motion))
    PointerEnteredAt({motion.x, motion.y}, {motion.x_root, motion.y_root}, motion.time);
  const PointerPoint seen = ReportPointerAt({motion.x, motion.y}, {motion.x_root, motion.y_root},
                                            motion.time, motion.serial);
  EmitEvent(EVENT_MOUSEMOVE, 0, seen.x, seen.y);
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
      TranslateMotion(display, event.xmotion);
      break;
    case KeymapNotify:
      ReleaseKeysUpIn(event.xkeymap.key_vector);
      break;
    default:
      TranslateWindowEvent(display, event);
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
