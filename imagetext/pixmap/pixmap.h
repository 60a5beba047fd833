// Pixmaps: rectangles of pixels in main memory in one of six formats (see pixel_formats.h), with
// views, copies, format conversion, resampling, flips and colour-key masking.
#pragma once

#include <cstdint>
#include <memory>

#include "imagetext/pixmap/pixel_formats.h"

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
