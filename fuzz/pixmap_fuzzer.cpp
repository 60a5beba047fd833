// Pixmaps with random sizes, formats and positions: creation (sizes that cannot be made must be
// refused with a runtime error), conversion between all formats, resizing, masking, flips, views,
// pasting and single pixels, each checked against a property that holds for any input.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imagetext/pixmap/pixmap.h"
#include "platform/core/runtime_error.h"

namespace {
constexpr int kFormats[] = {I8, A8, BGR888, RGB888, BGRA8888, RGBA8888};
constexpr std::int64_t kLargestTried = 16 << 20;  // bytes; larger legal sizes are not allocated

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameRows(const TPixmap& a, const TPixmap& b) {
  if (a.width != b.width || a.height != b.height || a.format != b.format) return false;
  const auto row_bytes = static_cast<std::size_t>(a.width) * BytesPerPixel(a.format);
  for (int y = 0; y < a.height; ++y) {
    if (row_bytes != 0 && std::memcmp(a.PixelPtr(0, y), b.PixelPtr(0, y), row_bytes) != 0)
      return false;
  }
  return true;
}

// Any width, height and alignment: made when the total fits, refused when it cannot be made.
void TryCreate(FuzzedDataProvider& data) {
  const int width = data.ConsumeIntegral<int>();
  const int height = data.ConsumeIntegral<int>();
  const int format = data.ConsumeIntegralInRange(0, 12);
  const int align = data.ConsumeIntegralInRange(-1, 64);
  const std::int64_t row = std::int64_t{width} * BytesPerPixel(format);
  const std::int64_t pitch = align > 0 && row >= 0 ? (row + align - 1) / align * align : -1;
  const bool possible =
      width >= 0 && height >= 0 && align > 0 && pitch <= INT32_MAX && pitch * height <= INT32_MAX;
  if (possible && pitch * height > kLargestTried) return;
  try {
    const PixmapRef pixmap = TPixmap::Create(width, height, format, align);
    Check(possible && pixmap->pitch == pitch && pixmap->capacity == pitch * height);
    pixmap->ClearPixels(data.ConsumeIntegral<int>());
  } catch (const RuntimeError&) {
    Check(!possible);
  }
}

PixmapRef RandomPixmap(FuzzedDataProvider& data) {
  const int width = data.ConsumeIntegralInRange(0, 40);
  const int height = data.ConsumeIntegralInRange(0, 40);
  const PixmapRef pixmap = TPixmap::Create(width, height, data.PickValueInArray(kFormats), 4);
  for (int y = 0; y < height; ++y) {
    const auto row_bytes = static_cast<std::size_t>(width) * BytesPerPixel(pixmap->format);
    const std::string bytes = data.ConsumeBytesAsString(row_bytes);
    std::memset(pixmap->PixelPtr(0, y), 0x5a, row_bytes);
    if (!bytes.empty()) std::memcpy(pixmap->PixelPtr(0, y), bytes.data(), bytes.size());
  }
  return pixmap;
}

void Operate(FuzzedDataProvider& data, PixmapRef& pixmap) {
  const int w = pixmap->width, h = pixmap->height;
  switch (data.ConsumeIntegralInRange(0, 8)) {
    case 0: {  // every format goes to the standard one and back without loss
      Check(SameRows(*pixmap->Convert(RGBA8888)->Convert(pixmap->format), *pixmap));
      pixmap = pixmap->Convert(data.PickValueInArray(kFormats));
      break;
    }
    case 1: {
      const int new_width = data.ConsumeIntegralInRange(0, 80);
      const int new_height = data.ConsumeIntegralInRange(0, 80);
      const PixmapRef resized = ResizePixmap(*pixmap, new_width, new_height);
      Check(resized->width == new_width && resized->height == new_height &&
            resized->format == pixmap->format);
      if (new_width == w && new_height == h) Check(SameRows(*resized, *pixmap));
      pixmap = resized;
      break;
    }
    case 2: {  // masked pixels are either fully transparent or fully opaque
      const PixmapRef masked =
          MaskPixmap(*pixmap, data.ConsumeIntegral<std::uint8_t>(),
                     data.ConsumeIntegral<std::uint8_t>(), data.ConsumeIntegral<std::uint8_t>());
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const unsigned alpha = static_cast<unsigned>(masked->ReadPixel(x, y)) >> 24;
          Check(alpha == 0 || alpha == 255);
        }
      break;
    }
    case 3:
      Check(SameRows(*FlipPixmapHorizontal(*FlipPixmapHorizontal(*pixmap)), *pixmap));
      break;
    case 4:
      Check(SameRows(*FlipPixmapVertical(*FlipPixmapVertical(*pixmap)), *pixmap));
      break;
    case 5: {  // a pixel written into a four-channel pixmap reads back unchanged
      if (w == 0 || h == 0) break;
      const int x = data.ConsumeIntegralInRange(0, w - 1);
      const int y = data.ConsumeIntegralInRange(0, h - 1);
      const int colour = data.ConsumeIntegral<int>();
      pixmap->WritePixel(x, y, colour);
      if (pixmap->format == RGBA8888 || pixmap->format == BGRA8888)
        Check(pixmap->ReadPixel(x, y) == colour);
      break;
    }
    case 6: {  // a copy of a view pasted back where it came from changes nothing
      if (w == 0 || h == 0) break;
      const int x = data.ConsumeIntegralInRange(0, w - 1);
      const int y = data.ConsumeIntegralInRange(0, h - 1);
      const int view_width = data.ConsumeIntegralInRange(0, w - x);
      const int view_height = data.ConsumeIntegralInRange(0, h - y);
      const PixmapRef before = pixmap->Copy();
      const PixmapRef copy = pixmap->Window(x, y, view_width, view_height)->Copy();
      pixmap->Paste(*copy, x, y);
      Check(SameRows(*pixmap, *before));
      break;
    }
    case 7:
      pixmap->ClearPixels(data.ConsumeBool() ? 0 : data.ConsumeIntegral<int>());
      break;
    default:
      TryCreate(data);
      break;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  PixmapRef pixmap = RandomPixmap(data);
  for (int step = 0; step < 8 && data.remaining_bytes() > 0; ++step) Operate(data, pixmap);
  return 0;
}
