// Windows shown larger than their picture on large and high-density screens: the picture keeps its
// size for everything that draws, and one present step before each swap enlarges it into the
// window. The scale comes from the desktop's X resources (Xft.dpi, as desktops set it for their
// own scaling, fractions included) unless the program asks for one.
#pragma once

#include <string_view>

#include "platform/graphics/picture_in_window.h"

// NOTE: Xlib's own declaration, so that this header needs no X headers.
typedef struct _XDisplay Display;

inline constexpr double kLargestWindowScale = 4;

// The scale the program asks for, 1 to kLargestWindowScale (1.5, 1.75, 2 ...); 0 (the default)
// takes the desktop's.
void RequestWindowScale(double scale);
// Windows made from now on start full screen where the window manager offers it.
void RequestFullScreenAtStart();
bool FullScreenAtStartRequested();

// Xft.dpi / 96 from the X resources text from 120 dpi (125 %) up, at most kLargestWindowScale;
// 1 below that or without an Xft.dpi line.
double ScaleForResources(std::string_view resources);

// The room a window's inside has: the work area less the window manager's frame.
struct WindowRoom {
  int width = 0;
  int height = 0;
};

// `wanted` for a picture of that size where its window (WindowSizeFor) fits the room, else the
// largest whole scale whose window fits (at least 1).
double FitWindowScale(double wanted, int width, int height, WindowRoom room);

// The requested scale, or the desktop's, fitted to the room on the monitor the window opens on:
// its work area less the frame the window manager will put around it.
double WindowScale(Display* display, int screen, int width, int height);

// Shows the picture (drawn at the window's top left) over the window as large as fits,
// centred, black around it, each picture pixel a block of whole window pixels (at a fractional
// scale the blocks differ by one pixel). Leaves every OpenGL state as it found it. A picture that
// does not fill the window at a whole scale goes through `texture`, of the current context, made on
// first use (0 before).
void PresentPicture(unsigned& texture, const PictureInWindow& picture);
