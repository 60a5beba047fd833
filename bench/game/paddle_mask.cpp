// Reading the game window back as paddle or not.
#include "bench/game/paddle_mask.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>

#include "game/world/screen_geometry.h"

namespace {
// The paddle adds about 160 grey to the dark panel (15, 14, 0 where nothing drifts by), and only it
// is that bright inside the panel's outline; outside it the background's rectangles are as bright.
constexpr int kPaddleLeast = 130;
constexpr double kInsideRadius = 244;  // the paddle's corners reach 240, the outline is at 250

bool IsPaddle(const Picture& picture, int x, int y, unsigned long pixel) {
  const int r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
  if (std::min({r, g, b}) < kPaddleLeast) return false;
  const double dx = (x + 0.5 - picture.left) / picture.scale - kCentreX;
  const double dy = (y + 0.5 - picture.top) / picture.scale - kCentreY;
  return dx * dx + dy * dy < kInsideRadius * kInsideRadius;
}
}  // namespace

bool Read(const Picture& picture, const Rect& rect, PaddleMask& mask) {
  XImage* image = XGetImage(picture.display, picture.window, rect.x, rect.y, rect.width,
                            rect.height, AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  mask.rect = rect;
  mask.paddle.assign(static_cast<std::size_t>(rect.width) * rect.height, 0);
  mask.count = 0;
  // Straight from the data when it is plain 32-bit pixels: XGetPixel would slow the polling.
  const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
  for (int y = 0; y < rect.height; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(image->data + y * image->bytes_per_line);
    for (int x = 0; x < rect.width; ++x) {
      const unsigned long pixel = direct ? row[x] : XGetPixel(image, x, y);
      const bool paddle = IsPaddle(picture, rect.x + x, rect.y + y, pixel);
      mask.paddle[y * rect.width + x] = paddle;
      mask.count += paddle;
    }
  }
  XDestroyImage(image);
  return true;
}

PaddleMask Crop(const PaddleMask& mask, const Rect& rect) {
  PaddleMask cropped{rect, {}, 0};
  for (int y = rect.y; y < rect.y + rect.height; ++y) {
    for (int x = rect.x; x < rect.x + rect.width; ++x) {
      const unsigned char paddle =
          mask.paddle[(y - mask.rect.y) * mask.rect.width + (x - mask.rect.x)];
      cropped.paddle.push_back(paddle);
      cropped.count += paddle;
    }
  }
  return cropped;
}

int Differing(const PaddleMask& a, const PaddleMask& b) {
  int differing = 0;
  for (std::size_t i = 0; i < a.paddle.size(); ++i) differing += a.paddle[i] != b.paddle[i];
  return differing;
}

Rect PaddleBox(const PaddleMask& band, int margin, const Rect& limit) {
  int x0 = band.rect.width, x1 = -1, y0 = band.rect.height, y1 = -1;
  for (int y = 0; y < band.rect.height; ++y) {
    for (int x = 0; x < band.rect.width; ++x) {
      if (!band.paddle[y * band.rect.width + x]) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  }
  const int left = std::max(limit.x, band.rect.x + x0 - margin);
  const int top = std::max(limit.y, band.rect.y + y0 - margin);
  const int right = std::min(limit.x + limit.width, band.rect.x + x1 + 1 + margin);
  const int bottom = std::min(limit.y + limit.height, band.rect.y + y1 + 1 + margin);
  return {left, top, right - left, bottom - top};
}
