// The window that takes the input, as the window layer sets it and the pump follows it: pointer
// warps and cursor changes apply to it, its MapNotify and UnmapNotify tell whether it is shown, and
// its focus and crossing events whether it has the keyboard and the pointer. Pointer positions in
// picture pixels are window_picture.h's.
#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "platform/x11/window_picture.h"

// The events the input window selects once shown. Focus, crossing, structure and property changes
// stay selected: the window manager's focus, the pointer coming and going, minimising and full
// screen reach the program through them. The keymap that follows every EnterNotify and FocusIn
// tells which keys went up while the keyboard was elsewhere. A window of fixed size also redirects
// resizing to itself, so that nothing else can change its size.
inline constexpr long kInputWindowEvents = KeyPressMask | KeyReleaseMask | ButtonPressMask |
                                           ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                                           LeaveWindowMask | FocusChangeMask | KeymapStateMask |
                                           StructureNotifyMask | PropertyChangeMask;
inline constexpr long kFixedSizeWindowEvents = kInputWindowEvents | ResizeRedirectMask;

// The window that pointer warps and cursor changes apply to, and the picture its record owns (the
// window layer's; positions map through it while it lives); 0 until the window layer sets it.
// A newly set window counts as shown; whether it has the keyboard focus and the pointer is asked of
// the server, so set it once it selects the events above.
void SetInputWindow(Window window, std::weak_ptr<PictureInWindow> picture = {});
Window InputWindow();
// Its picture; null without an input window or once the record that owns it is gone.
std::shared_ptr<const PictureInWindow> InputWindowPicture();

// Whether the input window is mapped: the pump follows its MapNotify and UnmapNotify.
void SetInputWindowShown(bool shown);
bool InputWindowShown();

// The ways the keys come to the input window: it is the focus window; the focus is PointerRoot (or
// an ancestor) and the pointer is in it, so the keyboard follows the pointer; a keyboard grab sends
// them to it (the video mode's own).
enum class KeyboardWay { kFocusWindow = 1, kPointer = 2, kGrab = 4 };

// Whether the input window has the keyboard focus by any way, and whether the pointer is in it:
// asked when the window is set, then followed by its focus and crossing events. Pointer warps go
// out only while both hold.
void SetInputWindowFocused(KeyboardWay way, bool focused);
bool InputWindowFocused();
bool InputWindowFocusedBy(KeyboardWay way);
void SetPointerInInputWindow(bool inside);
bool PointerInInputWindow();

// Where the pointer was last seen in the input window, in window pixels: unknown when the window is
// set, then followed by its motion and crossing events and by the warps that go out. A window that
// moves or changes size takes it out from under the pointer without a motion event, so that forgets
// it until the next is seen.
void SetPointerSeenAt(int x, int y);
void ForgetPointerSeen();
bool PointerSeenAt(int& x, int& y);
