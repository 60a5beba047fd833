// Pixel formats: their numbers and sizes, the byte order of one pixel in each, and conversion of
// runs of pixels between them. Single pixels travel as 32-bit colour values: alpha in bits 24-31,
// red 16-23, green 8-15, blue 0-7.
#pragma once

#include <cstdint>

// Pixel formats (the numbers are part of the contract). RGBA8888 is the standard format every
// conversion passes through.
inline constexpr int PF_NONE = 0;
inline constexpr int I8 = 1;        // grey intensity
inline constexpr int A8 = 2;        // alpha only
inline constexpr int BGR888 = 3;    // blue, green, red
inline constexpr int RGB888 = 4;    // red, green, blue
inline constexpr int BGRA8888 = 5;  // blue, green, red, alpha
inline constexpr int RGBA8888 = 6;  // red, green, blue, alpha

// Bytes per pixel: 0 for format 0 and unknown numbers; 1 for the reserved numbers 7-12, which no
// operation here converts.
int BytesPerPixel(int format);
bool FormatHasAlpha(int format);

// One pixel at `p` as a colour value; 0 for a format without a byte order. A format without alpha
// reads as opaque, A8 as white.
int LoadPixel(const std::uint8_t* p, int format);
// Stores the colour value at `p` in the format (I8 takes the mean of red, green and blue); a
// format without a byte order stores nothing.
void StorePixel(std::uint8_t* p, int format, int argb);

// Raw pixel runs.
void CopyPixels(const std::uint8_t* source, std::uint8_t* destination, int format, int count);
void ConvertPixels(const std::uint8_t* source, int source_format, std::uint8_t* destination,
                   int destination_format, int count);
