// Drawing with the current graphics object's state: each call turns its arguments into local
// coordinates and a translation (drawing position plus origin, handle applied) for the driver.
// With no current graphics they draw nothing.
#pragma once

#include <span>

#include "imagetext/pixmap/pixmap.h"

// Fills the viewport with the clear colour.
void Cls();
// One pixel; rotation, scale and handle do not apply.
void Plot(float x, float y);
// With draw_last_pixel non-zero the end point is plotted too, exactly on the line's end vertex.
void DrawLine(float x, float y, float x2, float y2, int draw_last_pixel = 1);
void DrawRect(float x, float y, float width, float height);
// Filled ellipse inscribed in the box.
void DrawOval(float x, float y, float width, float height);
// x, y pairs relative to the origin; fewer than three points or an odd count draws nothing.
void DrawPoly(std::span<const float> xy);
// Unblended, untransformed copy with the top-left pixel at screen pixel (x, y).
void DrawPixmap(const TPixmap& pixmap, int x, int y);
// RGBA8888 copy of a screen rectangle; null with no current graphics.
PixmapRef GrabPixmap(int x, int y, int width, int height);
