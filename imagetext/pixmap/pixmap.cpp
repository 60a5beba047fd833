// The pixmap object: memory layout, views, copies, single pixels and clearing.
#include "imagetext/pixmap/pixmap.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "imagetext/pixmap/pixel_formats.h"
#include "imagetext/pixmap/pixmap_check.h"
#include "platform/core/runtime_error.h"

PixmapRef TPixmap::Create(int width, int height, int format, int align) {
  // Sizes come from callers as they stand (a grab rectangle, an image size): a size whose rows or
  // total bytes do not fit the int fields must fail here instead of allocating too little.
  const std::int64_t row_bytes = std::int64_t{width} * BytesPerPixel(format);
  const std::int64_t pitch =
      align > 0 && row_bytes >= 0 ? (row_bytes + align - 1) / align * align : -1;
  // NOTE: the total is formed only for a pitch within the int range, where it cannot overflow.
  if (width < 0 || height < 0 || align <= 0 || pitch > INT32_MAX || pitch * height > INT32_MAX) {
    RaiseRuntimeError("Unable to create a pixmap of " + std::to_string(width) + "x" +
                      std::to_string(height) + " pixels in format " + std::to_string(format) +
                      " with rows aligned to " + std::to_string(align) +
                      " bytes: the size must be non-negative and hold at most 2147483647 bytes\n");
  }
  auto pixmap = std::make_shared<TPixmap>();
  pixmap->width = width;
  pixmap->height = height;
  pixmap->format = format;
  pixmap->pitch = static_cast<int>(pitch);
  pixmap->capacity = static_cast<int>(pitch * height);
  try {
    pixmap->_memory = std::make_unique<std::uint8_t[]>(pixmap->capacity);
  } catch (const std::bad_alloc&) {
    RaiseRuntimeError("Unable to allocate " + std::to_string(pixmap->capacity) +
                      " bytes for a pixmap of " + std::to_string(width) + "x" +
                      std::to_string(height) +
                      " pixels; check the memory available to the process\n");
  }
  pixmap->pixels = pixmap->_memory.get();
  return pixmap;
}

PixmapRef TPixmap::CreateStatic(std::uint8_t* pixels, int width, int height, int pitch,
                                int format) {
  auto pixmap = std::make_shared<TPixmap>();
  pixmap->pixels = pixels;
  pixmap->width = width;
  pixmap->height = height;
  pixmap->pitch = pitch;
  pixmap->format = format;
  pixmap->capacity = -1;
  return pixmap;
}

std::uint8_t* TPixmap::PixelPtr(int x, int y) const {
  PIXMAP_CHECK(x >= 0 && y >= 0 && x <= width && y <= height, "pixel position outside the pixmap");
  return pixels + static_cast<std::ptrdiff_t>(y) * pitch + x * BytesPerPixel(format);
}

PixmapRef TPixmap::Window(int x, int y, int window_width, int window_height) {
  PIXMAP_CHECK(x >= 0 && y >= 0 && window_width >= 0 && window_height >= 0 &&
                   x + window_width <= width && y + window_height <= height,
               "window must lie inside its source pixmap");
  PixmapRef window = CreateStatic(PixelPtr(x, y), window_width, window_height, pitch, format);
  window->_source = shared_from_this();
  return window;
}

PixmapRef TPixmap::Copy() const {
  PixmapRef copy = Create(width, height, format, 4);
  for (int y = 0; y < height; ++y) CopyPixels(PixelPtr(0, y), copy->PixelPtr(0, y), format, width);
  return copy;
}

void TPixmap::Paste(const TPixmap& source, int x, int y) {
  PIXMAP_CHECK(x >= 0 && y >= 0 && x + source.width <= width && y + source.height <= height,
               "pasted pixmap must fit inside the destination");
  for (int row = 0; row < source.height; ++row) {
    ConvertPixels(source.PixelPtr(0, row), source.format, PixelPtr(x, y + row), format,
                  source.width);
  }
}

PixmapRef TPixmap::Convert(int new_format) const {
  PixmapRef result = Create(width, height, new_format, 4);
  for (int y = 0; y < height; ++y) {
    ConvertPixels(PixelPtr(0, y), format, result->PixelPtr(0, y), new_format, width);
  }
  return result;
}

int TPixmap::ReadPixel(int x, int y) const {
  PIXMAP_CHECK(x >= 0 && y >= 0 && x < width && y < height, "ReadPixel outside the pixmap");
  return LoadPixel(PixelPtr(x, y), format);
}

void TPixmap::WritePixel(int x, int y, int argb) {
  PIXMAP_CHECK(x >= 0 && y >= 0 && x < width && y < height, "WritePixel outside the pixmap");
  StorePixel(PixelPtr(x, y), format, argb);
}

void TPixmap::ClearPixels(int argb) {
  const int row_bytes = width * BytesPerPixel(format);
  // NOTE: rows of no bytes (a zero width, or a format without bytes) may still be very many.
  if (row_bytes == 0) return;
  if (argb == 0 && pitch == row_bytes) {
    if (pixels != nullptr) std::memset(pixels, 0, static_cast<std::size_t>(pitch) * height);
    return;
  }
  for (int y = 0; y < height; ++y) {
    if (argb == 0) {
      std::memset(PixelPtr(0, y), 0, row_bytes);
    } else {
      for (int x = 0; x < width; ++x) WritePixel(x, y, argb);
    }
  }
}

PixmapRef CreatePixmap(int width, int height, int format, int align) {
  return TPixmap::Create(width, height, format, align);
}
PixmapRef CreateStaticPixmap(std::uint8_t* pixels, int width, int height, int pitch, int format) {
  return TPixmap::CreateStatic(pixels, width, height, pitch, format);
}
std::uint8_t* PixmapPixelPtr(const TPixmap& pixmap, int x, int y) {
  return pixmap.PixelPtr(x, y);
}
PixmapRef PixmapWindow(TPixmap& pixmap, int x, int y, int width, int height) {
  return pixmap.Window(x, y, width, height);
}
PixmapRef CopyPixmap(const TPixmap& pixmap) {
  return pixmap.Copy();
}
void PastePixmap(TPixmap& destination, const TPixmap& source, int x, int y) {
  destination.Paste(source, x, y);
}
PixmapRef ConvertPixmap(const TPixmap& pixmap, int format) {
  return pixmap.Convert(format);
}
int ReadPixel(const TPixmap& pixmap, int x, int y) {
  return pixmap.ReadPixel(x, y);
}
void WritePixel(TPixmap& pixmap, int x, int y, int argb) {
  pixmap.WritePixel(x, y, argb);
}
void ClearPixels(TPixmap& pixmap, int argb) {
  pixmap.ClearPixels(argb);
}
int PixmapWidth(const TPixmap& pixmap) {
  return pixmap.width;
}
int PixmapHeight(const TPixmap& pixmap) {
  return pixmap.height;
}
int PixmapPitch(const TPixmap& pixmap) {
  return pixmap.pitch;
}
int PixmapFormat(const TPixmap& pixmap) {
  return pixmap.format;
}
