// TImage: per-frame pixmaps and the driver frames made from them under a graphics serial.
#include "imagetext/image/image.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/graphics/graphics.h"
#include "render2d/drawing/vex2d.h"

ImageRef TImage::Create(int width, int height, int frames, int flags, int mask_r, int mask_g,
                        int mask_b) {
  auto image = std::make_shared<TImage>();
  image->width = width;
  image->height = height;
  image->flags = flags;
  image->mask_r = mask_r;
  image->mask_g = mask_g;
  image->mask_b = mask_b;
  const auto count = static_cast<std::size_t>(std::max(frames, 0));
  image->pixmaps.resize(count);
  image->frames.resize(count);
  image->seqs.assign(count, 0);
  return image;
}

ImageRef TImage::Load(PixmapRef pixmap, int flags, int mask_r, int mask_g, int mask_b) {
  if (!pixmap) return nullptr;
  ImageRef image = Create(pixmap->width, pixmap->height, 1, flags, mask_r, mask_g, mask_b);
  image->SetPixmap(0, std::move(pixmap));
  return image;
}

ImageRef TImage::LoadAnim(PixmapRef pixmap, int cell_width, int cell_height, int first, int count,
                          int flags, int mask_r, int mask_g, int mask_b) {
  if (!pixmap || cell_width <= 0 || cell_height <= 0 || first < 0 || count < 0) return nullptr;
  const int columns = pixmap->width / cell_width;
  // In 64 bits: a cell count or range beyond the int range must not wrap into a fitting one.
  const std::int64_t cells = std::int64_t{columns} * (pixmap->height / cell_height);
  if (cells < std::int64_t{first} + count) return nullptr;
  ImageRef image = Create(cell_width, cell_height, count, flags, mask_r, mask_g, mask_b);
  for (int cell = first; cell < first + count; ++cell) {
    const int x = cell_width * (cell % columns);
    const int y = cell_height * (cell / columns);
    image->SetPixmap(cell - first, pixmap->Window(x, y, cell_width, cell_height)->Copy());
  }
  return image;
}

TImageFrame* TImage::Frame(int index) {
  if (!HasFrame(index)) return nullptr;
  const int serial = GraphicsSerial();
  if (seqs[index] == serial) return frames[index].get();
  TVex2DDriver* driver = CurrentVex2DDriver();
  if (driver == nullptr) return nullptr;
  frames[index] = driver->CreateFrameFromPixmap(*Lock(index, 1, 0), flags);
  seqs[index] = frames[index] ? serial : 0;
  return frames[index].get();
}

PixmapRef TImage::Lock(int index, int /*read*/, int write) {
  if (!HasFrame(index)) return nullptr;
  if (write) {
    seqs[index] = 0;
    frames[index].reset();
  }
  if (!pixmaps[index]) {
    // Cleared, so that a frame locked only for reading never shows stale memory.
    pixmaps[index] = TPixmap::Create(width, height, RGBA8888, 4);
    pixmaps[index]->ClearPixels(0);
  }
  return pixmaps[index];
}

void TImage::SetPixmap(int index, PixmapRef pixmap) {
  if (!HasFrame(index)) return;
  const bool lacks_alpha =
      pixmap && (pixmap->format == I8 || pixmap->format == BGR888 || pixmap->format == RGB888);
  if ((flags & MASKEDIMAGE) && lacks_alpha) pixmap = MaskPixmap(*pixmap, mask_r, mask_g, mask_b);
  pixmaps[index] = std::move(pixmap);
  seqs[index] = 0;
  frames[index].reset();
}
