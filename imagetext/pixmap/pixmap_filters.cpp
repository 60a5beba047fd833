// Whole-pixmap work: colour-key masking, bilinear resampling and flips.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "imagetext/pixmap/pixel_formats.h"
#include "imagetext/pixmap/pixmap.h"

namespace {
bool IsKey(const std::uint8_t* p, int red, int green, int blue) {
  return p[0] == red && p[1] == green && p[2] == blue;
}

// Clamps a sample coordinate to the source: outside the inner range there is no neighbour to
// blend with, so both the weight and the step become 0.
void ClampSample(int& index, float& weight, int& step, int size) {
  if (index < 0) {
    index = 0, weight = 0, step = 0;
  } else if (index >= size - 1) {
    index = size - 1, weight = 0, step = 0;
  }
}
}  // namespace

PixmapRef MaskPixmap(const TPixmap& pixmap, int red, int green, int blue) {
  PixmapRef converted = pixmap.format == RGBA8888 ? nullptr : pixmap.Convert(RGBA8888);
  const TPixmap& source = converted ? *converted : pixmap;
  PixmapRef result = TPixmap::Create(source.width, source.height, RGBA8888, 4);
  for (int y = 0; y < source.height; ++y) {
    const std::uint8_t* in = source.PixelPtr(0, y);
    std::uint8_t* out = result->PixelPtr(0, y);
    for (int x = 0; x < source.width; ++x, in += 4, out += 4) {
      if (!IsKey(in, red, green, blue)) {
        out[0] = in[0], out[1] = in[1], out[2] = in[2], out[3] = 255;
        continue;
      }
      // A key pixel takes the average colour of its non-key neighbours, so filtering at the edge
      // of a transparent region does not bleed the key colour in.
      int sum_r = 0, sum_g = 0, sum_b = 0, count = 0;
      for (int ny = std::max(0, y - 1); ny <= std::min(source.height - 1, y + 1); ++ny) {
        for (int nx = std::max(0, x - 1); nx <= std::min(source.width - 1, x + 1); ++nx) {
          const std::uint8_t* n = source.PixelPtr(nx, ny);
          if (IsKey(n, red, green, blue)) continue;
          sum_r += n[0], sum_g += n[1], sum_b += n[2], ++count;
        }
      }
      out[0] = static_cast<std::uint8_t>(count ? sum_r / count : 0);
      out[1] = static_cast<std::uint8_t>(count ? sum_g / count : 0);
      out[2] = static_cast<std::uint8_t>(count ? sum_b / count : 0);
      out[3] = 0;
    }
  }
  return result;
}

PixmapRef ResizePixmap(const TPixmap& pixmap, int new_width, int new_height) {
  PixmapRef converted = pixmap.format == RGBA8888 ? nullptr : pixmap.Convert(RGBA8888);
  const TPixmap& source = converted ? *converted : pixmap;
  PixmapRef result = TPixmap::Create(new_width, new_height, pixmap.format, 4);
  if (new_width <= 0 || new_height <= 0) return result;
  if (source.width <= 0 || source.height <= 0) {
    // Nothing to sample: every clamped position would still name pixel (0, 0), which an empty
    // pixmap does not have.
    result->ClearPixels(0);
    return result;
  }
  const float sx = static_cast<float>(source.width) / static_cast<float>(new_width);
  const float sy = static_cast<float>(source.height) / static_cast<float>(new_height);
  const bool direct = pixmap.format == RGBA8888;
  PixmapRef row_buffer = direct ? nullptr : TPixmap::Create(new_width, 1, RGBA8888, 4);
  for (int y = 0; y < new_height; ++y) {
    const float fy = (static_cast<float>(y) + 0.5f) * sy - 0.5f;
    int iy = static_cast<int>(std::floor(fy));
    float wy = fy - static_cast<float>(iy);
    int row_step = source.pitch;
    ClampSample(iy, wy, row_step, source.height);
    std::uint8_t* out = direct ? result->PixelPtr(0, y) : row_buffer->pixels;
    for (int x = 0; x < new_width; ++x, out += 4) {
      const float fx = (static_cast<float>(x) + 0.5f) * sx - 0.5f;
      int ix = static_cast<int>(std::floor(fx));
      float wx = fx - static_cast<float>(ix);
      int pixel_step = 4;
      ClampSample(ix, wx, pixel_step, source.width);
      const std::uint8_t* p = source.PixelPtr(ix, iy);
      for (int c = 0; c < 4; ++c) {
        const float here = p[c];
        const float right = p[c + pixel_step];
        const float below = p[c + row_step];
        const float below_right = p[c + row_step + pixel_step];
        const float top = here + (right - here) * wx;
        const float bottom = below + (below_right - below) * wx;
        out[c] = static_cast<std::uint8_t>(static_cast<int>(top + (bottom - top) * wy) & 0xFF);
      }
    }
    if (!direct)
      ConvertPixels(row_buffer->pixels, RGBA8888, result->PixelPtr(0, y), pixmap.format, new_width);
  }
  return result;
}

PixmapRef FlipPixmapHorizontal(const TPixmap& pixmap) {
  PixmapRef result = TPixmap::Create(pixmap.width, pixmap.height, pixmap.format, 4);
  const int bytes = BytesPerPixel(pixmap.format);
  for (int y = 0; y < pixmap.height; ++y) {
    const std::uint8_t* in = pixmap.PixelPtr(0, y);
    std::uint8_t* out = result->PixelPtr(pixmap.width, y);
    for (int x = 0; x < pixmap.width; ++x, in += bytes) {
      out -= bytes;
      std::memcpy(out, in, bytes);
    }
  }
  return result;
}

PixmapRef FlipPixmapVertical(const TPixmap& pixmap) {
  PixmapRef result = TPixmap::Create(pixmap.width, pixmap.height, pixmap.format, 4);
  for (int y = 0; y < pixmap.height; ++y) {
    CopyPixels(pixmap.PixelPtr(0, y), result->PixelPtr(0, pixmap.height - 1 - y), pixmap.format,
               pixmap.width);
  }
  return result;
}
