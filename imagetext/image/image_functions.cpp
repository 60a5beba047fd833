// The module's image functions: loading with the automatic settings, drawing under the current
// drawing state, tiling over the viewport and grabbing from the screen.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imagetext/image/image.h"
#include "render2d/drawing/vex2d.h"

namespace {
int auto_image_flags = MASKEDIMAGE | FILTEREDIMAGE;
int key_red = 0;
int key_green = 0;
int key_blue = 0;
bool auto_centre_handle = false;

int ResolveFlags(int flags) {
  return flags == -1 ? auto_image_flags : flags;
}

ImageRef WithAutoHandle(ImageRef image) {
  if (image && auto_centre_handle) CentreImageHandle(*image);
  return image;
}

// The first tile edge at or before `viewport_start` that lines up with `position` in steps of
// `size`, such that the tile still reaches past viewport_start.
std::int64_t FirstTileEdge(float position, std::int64_t viewport_start, int size) {
  const std::int64_t edge = viewport_start - size + 1;
  // The distance stays a double: a position beyond the int range must still line the tiles up,
  // and converting it to int would overflow.
  double remainder = std::fmod(std::floor(static_cast<double>(position)) - edge, size);
  if (remainder < 0) remainder += size;
  return edge + static_cast<std::int64_t>(remainder);
}

// The part [start, end) of a viewport span that lies on a surface of `extent` pixels, in 64 bits
// so that no viewport value overflows. Tiles beyond the surface would show nowhere, and a huge
// viewport would otherwise mean billions of them.
void ClipToSurface(int viewport_start, int viewport_size, int extent, std::int64_t& start,
                   std::int64_t& end) {
  start = viewport_start;
  end = start + viewport_size;
  if (extent <= 0) return;  // a surface of no known size: nothing to clip against
  start = std::max<std::int64_t>(start, 0);
  end = std::min<std::int64_t>(end, extent);
}
}  // namespace

ImageRef ImageFromSource(PixmapRef pixmap, int flags) {
  return WithAutoHandle(
      TImage::Load(std::move(pixmap), ResolveFlags(flags), key_red, key_green, key_blue));
}

ImageRef ImageStripFromSource(PixmapRef pixmap, int cell_width, int cell_height, int first,
                              int count, int flags) {
  return WithAutoHandle(TImage::LoadAnim(std::move(pixmap), cell_width, cell_height, first, count,
                                         ResolveFlags(flags), key_red, key_green, key_blue));
}

ImageRef NewDrawImage(int width, int height, int frames, int flags) {
  return WithAutoHandle(TImage::Create(width, height, frames, ResolveFlags(flags) | DYNAMICIMAGE,
                                       key_red, key_green, key_blue));
}

void DrawImageAt(TImage& image, float x, float y, int frame) {
  DrawImageSized(image, x, y, static_cast<float>(image.width), static_cast<float>(image.height),
                 frame);
}

void DrawImageSized(TImage& image, float x, float y, float width, float height, int frame) {
  const std::shared_ptr<TVex2DGraphics> graphics = TVex2DGraphics::Current();
  if (!graphics) return;
  TImageFrame* image_frame = image.Frame(frame);
  if (image_frame == nullptr) return;
  image_frame->Draw(-image.handle_x, -image.handle_y, width - image.handle_x,
                    height - image.handle_y, x + graphics->origin_x, y + graphics->origin_y);
}

void TileImageOver(TImage& image, float x, float y, int frame) {
  const std::shared_ptr<TVex2DGraphics> graphics = TVex2DGraphics::Current();
  if (!graphics || image.width <= 0 || image.height <= 0) return;
  const float px = x + graphics->origin_x - image.handle_x;
  const float py = y + graphics->origin_y - image.handle_y;
  // No tile lines up with a position that is not a number or infinite.
  if (!std::isfinite(px) || !std::isfinite(py)) return;
  TImageFrame* image_frame = image.Frame(frame);
  if (image_frame == nullptr) return;
  graphics->_driver->SetTransform(1, 0, 0, 1);
  const int w = image.width;
  const int h = image.height;
  const float fx = px - std::floor(px);
  const float fy = py - std::floor(py);
  int surface_width = 0, surface_height = 0, depth = 0, hertz = 0, flags = 0;
  graphics->GetSettings(surface_width, surface_height, depth, hertz, flags);
  std::int64_t left = 0, right = 0, top = 0, bottom = 0;
  ClipToSurface(graphics->viewport_x, graphics->viewport_w, surface_width, left, right);
  ClipToSurface(graphics->viewport_y, graphics->viewport_h, surface_height, top, bottom);
  if (left < right && top < bottom) {
    const std::int64_t first_column = FirstTileEdge(px, left, w);
    for (std::int64_t row = FirstTileEdge(py, top, h); row < bottom; row += h) {
      for (std::int64_t column = first_column; column < right; column += w) {
        image_frame->Draw(0, 0, static_cast<float>(w), static_cast<float>(h),
                          static_cast<float>(column) + fx, static_cast<float>(row) + fy);
      }
    }
  }
  UpdateTransform();
}

void GrabImageFrame(TImage& image, int x, int y, int frame) {
  const std::shared_ptr<TVex2DGraphics> graphics = TVex2DGraphics::Current();
  if (!graphics) return;
  PixmapRef pixmap = graphics->_driver->GrabPixmap(x, y, image.width, image.height);
  if (pixmap && (image.flags & MASKEDIMAGE))
    pixmap = MaskPixmap(*pixmap, key_red, key_green, key_blue);
  image.SetPixmap(frame, std::move(pixmap));
}

int ImageWidth(const TImage& image) {
  return image.width;
}
int ImageHeight(const TImage& image) {
  return image.height;
}
PixmapRef LockImage(TImage& image, int frame, int read, int write) {
  return image.Lock(frame, read, write);
}
void UnlockImage(TImage& /*image*/, int /*frame*/) {}

void CentreImageHandle(TImage& image) {
  image.handle_x = static_cast<float>(image.width) * 0.5f;
  image.handle_y = static_cast<float>(image.height) * 0.5f;
}

void SetImageHandlePoint(TImage& image, float x, float y) {
  image.handle_x = x;
  image.handle_y = y;
}

void SetAutoCentreHandle(int on) {
  auto_centre_handle = on != 0;
}

void SetAutoImageFlags(int flags) {
  if (flags != -1) auto_image_flags = flags;
}

int AutoImageFlags() {
  return auto_image_flags;
}

void SetImageMaskColour(int red, int green, int blue) {
  key_red = red;
  key_green = green;
  key_blue = blue;
}

void GetImageMaskColour(int& red, int& green, int& blue) {
  red = key_red;
  green = key_green;
  blue = key_blue;
}
