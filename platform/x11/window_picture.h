// The pictures of the program's windows as the X11 pump follows them, and the input window's
// desktop full screen. Each window record owns its picture (picture_in_window.h); the pump feeds
// the value of the window a ConfigureNotify names, and pointer positions are mapped through the
// input window's. No X here.
#pragma once

#include <memory>

#include "platform/graphics/picture_in_window.h"

// The pump follows the window's size into `picture` from now on, until the value is gone.
void FollowPictureOf(unsigned long window, std::weak_ptr<PictureInWindow> picture);
// The window's new size, from its ConfigureNotify: its picture, if followed, is placed anew.
void FollowWindowSize(unsigned long window, int window_width, int window_height);

// The input window's picture pixels from its window pixels and back, and ways across it (see
// PictureInWindow); window pixels are picture pixels without an input window.
int PictureX(int window_x);
int PictureY(int window_y);
int WindowX(int picture_x);
int WindowY(int picture_y);
int PictureDistanceX(int window_dx);
int PictureDistanceY(int window_dy);

// The desktop's full screen of the input window (_NET_WM_STATE_FULLSCREEN, as the window manager
// last set it; not the video-mode full screen of the window layer), started for a newly shown
// window with the size it returns to. Leaving it owes the window its fixed size back, paid once the
// window has its windowed size again (TakeFixedSizeOwed).
void StartDesktopFullScreen(int windowed_width, int windowed_height, bool full_screen);
void FollowDesktopFullScreen(bool full_screen);
bool DesktopFullScreen();
void WindowedSize(int& width, int& height);
bool TakeFixedSizeOwed();
