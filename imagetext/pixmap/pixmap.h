// Pixmaps: rectangles of pixels in main memory in one of six formats, with views, copies, format
// conversion, resampling, flips and colour-key masking. Single pixels travel as 32-bit colour
// values: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
#pragma once

#include <cstdint>
#include <memory>

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

class TPixmap;
using PixmapRef = std::shared_ptr<TPixmap>;

class TPixmap final : public std::enable_shared_from_this<TPixmap> {
 public:
  std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int format = 0;
  int capacity = 0;   // bytes owned (pitch * height), or -1 when the memory belongs to someone else
  PixmapRef _source;  // for a window: the pixmap whose memory it shows, kept alive by this

  // Rows are padded to a multiple of align bytes; the memory is left uninitialised.
  static PixmapRef Create(int width, int height, int format, int align = 4);
  // Wraps memory owned elsewhere; the pixmap never frees it.
  static PixmapRef CreateStatic(std::uint8_t* pixels, int width, int height, int pitch, int format);

  std::uint8_t* PixelPtr(int x, int y) const;
  // A view of a rectangle that shares this pixmap's memory (and keeps this pixmap alive).
  PixmapRef Window(int x, int y, int width, int height);
  PixmapRef Copy() const;  // tight pitch (rounded to 4 bytes), same format
  // Converts every row of source into this pixmap's format, top-left at (x, y).
  void Paste(const TPixmap& source, int x, int y);
  PixmapRef Convert(int format) const;
  int ReadPixel(int x, int y) const;
  void WritePixel(int x, int y, int argb);
  void ClearPixels(int argb);

  TPixmap(const TPixmap&) = delete;
  TPixmap& operator=(const TPixmap&) = delete;
  TPixmap() = default;

 private:
  std::unique_ptr<std::uint8_t[]> _memory;
};

// Raw pixel runs.
void CopyPixels(const std::uint8_t* source, std::uint8_t* destination, int format, int count);
void ConvertPixels(const std::uint8_t* source, int source_format, std::uint8_t* destination,
                   int destination_format, int count);

// A new RGBA8888 pixmap in which pixels of the key colour are transparent and take the average
// colour of their non-key neighbours; every other pixel becomes opaque.
PixmapRef MaskPixmap(const TPixmap& pixmap, int red, int green, int blue);
// Bilinear resampling into a new pixmap of the source's format.
PixmapRef ResizePixmap(const TPixmap& pixmap, int width, int height);
PixmapRef FlipPixmapHorizontal(const TPixmap& pixmap);
PixmapRef FlipPixmapVertical(const TPixmap& pixmap);

// Module-level forms of the pixmap operations and accessors.
PixmapRef CreatePixmap(int width, int height, int format, int align = 4);
PixmapRef CreateStaticPixmap(std::uint8_t* pixels, int width, int height, int pitch, int format);
std::uint8_t* PixmapPixelPtr(const TPixmap& pixmap, int x, int y);
PixmapRef PixmapWindow(TPixmap& pixmap, int x, int y, int width, int height);
PixmapRef CopyPixmap(const TPixmap& pixmap);
void PastePixmap(TPixmap& destination, const TPixmap& source, int x, int y);
PixmapRef ConvertPixmap(const TPixmap& pixmap, int format);
int ReadPixel(const TPixmap& pixmap, int x, int y);
void WritePixel(TPixmap& pixmap, int x, int y, int argb);
void ClearPixels(TPixmap& pixmap, int argb);
int PixmapWidth(const TPixmap& pixmap);
int PixmapHeight(const TPixmap& pixmap);
int PixmapPitch(const TPixmap& pixmap);
int PixmapFormat(const TPixmap& pixmap);
