// The built-in bitmap font: 96 glyphs (codes 32-127) of 8 x 16 pixels, one bit per pixel,
// embedded in the executable as the resource "zelkfont.bin".
#pragma once

#include <string_view>

#include "imagetext/font/embedded_resources.h"

inline constexpr std::string_view kDefaultFontResource = "zelkfont.bin";
inline constexpr int kFontFirstChar = 32;
inline constexpr int kFontGlyphCount = 96;
inline constexpr int kFontGlyphWidth = 8;
inline constexpr int kFontGlyphHeight = 16;
inline constexpr int kFontDataSize = kFontGlyphCount * kFontGlyphHeight;  // 1536 bytes

// Registers the embedded font data under kDefaultFontResource; once only.
void StartFontDataModule();

// The data is row-major across all glyphs: byte (row * 96 + glyph) holds one pixel row of one
// glyph, and its bit k is the pixel in column k, the lowest bit being the left edge.
inline bool FontPixelIsSet(ResourceBytes data, int glyph, int column, int row) {
  return (data[row * kFontGlyphCount + glyph] >> column) & 1;
}
