// Pixel formats: sizes, the byte order of single pixels, and conversion of runs through the
// standard RGBA8888 format.
#include "imagetext/pixmap/pixel_formats.h"

#include <algorithm>
#include <cstring>

#include "imagetext/pixmap/pixmap_check.h"

namespace {
// Rows that need a detour through the standard format go in chunks of this many pixels, so a
// conversion never allocates.
constexpr int kChunkPixels = 256;

// Neither direction sees RGBA8888 itself: ConvertPixels copies same-format runs.
// BGRA8888 <-> RGBA8888: the same byte swap in both directions.
void SwapRedAndBlue(const std::uint8_t* s, std::uint8_t* d, int count) {
  for (int i = 0; i < count; ++i, s += 4, d += 4)
    d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
}

void ToStandard(const std::uint8_t* s, int format, std::uint8_t* d, int count) {
  switch (format) {
    case I8:
      for (int i = 0; i < count; ++i, s += 1, d += 4) d[0] = d[1] = d[2] = s[0], d[3] = 255;
      break;
    case A8:
      for (int i = 0; i < count; ++i, s += 1, d += 4) d[0] = d[1] = d[2] = 255, d[3] = s[0];
      break;
    case BGR888:
      for (int i = 0; i < count; ++i, s += 3, d += 4)
        d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = 255;
      break;
    case RGB888:
      for (int i = 0; i < count; ++i, s += 3, d += 4)
        d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;
      break;
    case BGRA8888:
      SwapRedAndBlue(s, d, count);
      break;
    default:
      PIXMAP_CHECK(false, "cannot convert from this pixel format");
      std::memset(d, 0, static_cast<std::size_t>(count) * 4);
      break;
  }
}

void FromStandard(const std::uint8_t* s, std::uint8_t* d, int format, int count) {
  switch (format) {
    case I8:
      for (int i = 0; i < count; ++i, s += 4, d += 1)
        d[0] = static_cast<std::uint8_t>((s[0] + s[1] + s[2]) / 3);
      break;
    case A8:
      for (int i = 0; i < count; ++i, s += 4, d += 1) d[0] = s[3];
      break;
    case BGR888:
      for (int i = 0; i < count; ++i, s += 4, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
      break;
    case RGB888:
      for (int i = 0; i < count; ++i, s += 4, d += 3) d[0] = s[0], d[1] = s[1], d[2] = s[2];
      break;
    case BGRA8888:
      SwapRedAndBlue(s, d, count);
      break;
    default:
      PIXMAP_CHECK(false, "cannot convert to this pixel format");
      break;
  }
}
}  // namespace

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

int LoadPixel(const std::uint8_t* p, int format) {
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

void StorePixel(std::uint8_t* p, int format, int argb) {
  const auto value = static_cast<std::uint32_t>(argb);
  const auto a = static_cast<std::uint8_t>(value >> 24);
  const auto r = static_cast<std::uint8_t>(value >> 16);
  const auto g = static_cast<std::uint8_t>(value >> 8);
  const auto b = static_cast<std::uint8_t>(value);
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

void CopyPixels(const std::uint8_t* source, std::uint8_t* destination, int format, int count) {
  if (count > 0)
    std::memcpy(destination, source, static_cast<std::size_t>(count) * BytesPerPixel(format));
}

void ConvertPixels(const std::uint8_t* source, int source_format, std::uint8_t* destination,
                   int destination_format, int count) {
  if (source_format == destination_format) {
    CopyPixels(source, destination, source_format, count);
  } else if (source_format == RGBA8888) {
    FromStandard(source, destination, destination_format, count);
  } else if (destination_format == RGBA8888) {
    ToStandard(source, source_format, destination, count);
  } else {
    std::uint8_t chunk[kChunkPixels * 4];
    const int source_bytes = BytesPerPixel(source_format);
    const int destination_bytes = BytesPerPixel(destination_format);
    for (int done = 0; done < count; done += kChunkPixels) {
      const int n = std::min(kChunkPixels, count - done);
      ToStandard(source + done * source_bytes, source_format, chunk, n);
      FromStandard(chunk, destination + done * destination_bytes, destination_format, n);
    }
  }
}
