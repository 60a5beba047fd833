// The pixmap object: memory layout, views, copies, single pixels and clearing.
#include "imagetext/pixmap/pixmap.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "imagetext/pixmap/pixmap_check.h"
#include "platform/core/runtime_error.h"

int BytesPerPixel(int format) {
  switch (format) {
    case I8:
    case A8:
      return 1;
    case BGR888:
    case RGB888:
      return 3;
    case BGRA8888:
    case RGBA8888:
      return 4;
    default:
      return format >= 7 && format <= 12 ? 1 : 0;
  }
}

bool FormatHasAlpha(int format) {
  return format == A8 || format == BGRA8888 || format == RGBA8888 || format == 10;
}

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
    pixmap->_memory = std::make_unique_for_overwrite<std::uint8_t[]>(pixmap->capacity);
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
  const std::uint8_t* p = PixelPtr(x, y);
  std::uint32_t a = 255, r = 0, g = 0, b = 0;
  switch (format) {
    case I8:
      r = g = b = p[0];
      break;
    case A8:
      a = p[0];
      r = g = b = 255;
      break;
    case BGR888:
      b = p[0], g = p[1], r = p[2];
      break;
    case RGB888:
      r = p[0], g = p[1], b = p[2];
      break;
    case BGRA8888:
      b = p[0], g = p[1], r = p[2], a = p[3];
      break;
    case RGBA8888:
      r = p[0], g = p[1], b = p[2], a = p[3];
      break;
    default:
      return 0;
  }
  return static_cast<int>(a << 24 | r << 16 | g << 8 | b);
}

void TPixmap::WritePixel(int x, int y, int argb) {
  PIXMAP_CHECK(x >= 0 && y >= 0 && x < width && y < height, "WritePixel outside the pixmap");
  const auto value = static_cast<std::uint32_t>(argb);
  const auto a = static_cast<std::uint8_t>(value >> 24);
  const auto r = static_cast<std::uint8_t>(value >> 16);
  const auto g = static_cast<std::uint8_t>(value >> 8);
  const auto b = static_cast<std::uint8_t>(value);
  std::uint8_t* p = PixelPtr(x, y);
  switch (format) {
    case I8:
      p[0] = static_cast<std::uint8_t>((r + g + b) / 3);
      break;
    case A8:
      p[0] = a;
      break;
    case BGR888:
      p[0] = b, p[1] = g, p[2] = r;
      break;
    case RGB888:
      p[0] = r, p[1] = g, p[2] = b;
      break;
    case BGRA8888:
      p[0] = b, p[1] = g, p[2] = r, p[3] = a;
      break;
    case RGBA8888:
      p[0] = r, p[1] = g, p[2] = b, p[3] = a;
      break;
    default:
      break;
  }
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

void CopyPixels(const std::uint8_t* source, std::uint8_t* destination, int format, int count) {
  if (count > 0)
    std::memcpy(destination, source, static_cast<std::size_t>(count) * BytesPerPixel(format));
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
