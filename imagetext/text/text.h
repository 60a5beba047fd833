// Drawing and measuring text with the image font of the current 2D graphics, under its colour,
// blend mode, rotation, scale, origin and handle.
#pragma once

#include <string_view>

#include "imagetext/font/image_font.h"

// Draws the text so that the drawing handle (a point in unscaled, unrotated text coordinates)
// lands on (x, y) plus the origin; the text turns and stretches about it.
void DrawString(std::u16string_view text, float x, float y);
// Width in unscaled pixels: the advances of the characters that have glyphs.
int StringWidth(std::u16string_view text);
// The font's height; the text itself is not looked at.
int StringHeight(std::u16string_view text);
// Null selects the default font, the one every 2D graphics starts with.
void SetDrawFont(ImageFontRef font);
ImageFontRef GetDrawFont();
