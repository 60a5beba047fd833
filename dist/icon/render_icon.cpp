// Renders the application icon with the game's own drawing: the dark disc of the play, the paddle
// on its circle and a ball in the glow of its serve. Draws once into the game window, reads the
// disc back and writes hicolor PNGs, <output>/<N>x<N>/apps/<icon name>.png, and the window's own
// icon, <output>/<icon name>.argb: the 16, 32, 48 and 64 pixel sizes in _NET_WM_ICON's layout
// (width, height, then 0xAARRGGBB pixels, not premultiplied), as little-endian 32-bit words.
// Usage: render_icon <output directory>   (needs an X display)
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/app/zirkulon.h"
#include "game/screens/panel.h"
#include "game/screens/play.h"
#include "game/world/ball.h"
#include "game/world/game_state.h"
#include "imagetext/pixmap/pixmap.h"
#include "platform/core/numeric.h"
#include "platform/core/runtime_error.h"
#include "platform/process/startup.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"

namespace {
constexpr int kCentreX = 400;  // the middle of the game window, where the disc stands
constexpr int kCentreY = 300;
constexpr int kDisc = 500;    // the disc's size in play
constexpr int kSource = 512;  // the square read back: the disc, its outline and a margin
constexpr float kPaddleAngle = 135;

std::filesystem::path output_dir;

void DrawIconScene() {
  SetClsColor(0, 0, 0);
  Cls();
  Game().disc = kDisc;
  DrawPanel();
  // The paddle's centre on its circle of radius 230, as the play places it.
  const int paddle_x = TruncToInt(-SinDeg(kPaddleAngle) * 230) + kCentreX;
  const int paddle_y = TruncToInt(CosDeg(kPaddleAngle) * 230) + kCentreY;
  DrawPaddle(paddle_x, paddle_y, kPaddleAngle);
  // A ball just bounced off the paddle towards the middle, its halo at full size.
  TBall ball;
  ball.x = 310;
  ball.y = 210;
  ball.hls = 50;
  ball.draw();
}

// Keeps the disc and its outline: outside them the icon is transparent, with a one-pixel soft
// edge. Colours are premultiplied by alpha so that downscaling blends the edge correctly.
void CutOutDisc(TPixmap& pixmap) {
  const float radius = kDisc / 2.0f + 1;
  const float middle = kSource / 2.0f;
  for (int y = 0; y < pixmap.height; ++y) {
    std::uint8_t* p = pixmap.PixelPtr(0, y);
    for (int x = 0; x < pixmap.width; ++x, p += 4) {
      const float distance = std::hypot(x + 0.5f - middle, y + 0.5f - middle);
      const float coverage = std::clamp(radius - distance, 0.0f, 1.0f);
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::lround(p[c] * coverage));
      p[3] = static_cast<std::uint8_t>(std::lround(255 * coverage));
    }
  }
}

// Halving with the bilinear resampler averages each 2 x 2 block: a box filter, free of aliasing.
PixmapRef HalveTo(PixmapRef pixmap, int size) {
  while (pixmap->width / 2 >= size)
    pixmap = ResizePixmap(*pixmap, pixmap->width / 2, pixmap->width / 2);
  return pixmap->width == size ? pixmap : ResizePixmap(*pixmap, size, size);
}

// libpng reports errors by longjmp, so this function keeps no state of its own across setjmp.
bool EncodePng(png_structp png, png_infop info, std::FILE* file, const TPixmap& image) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) png_write_row(png, image.PixelPtr(0, y));
  png_write_end(png, nullptr);
  return true;
}

// PNG and window icons want colours that are not premultiplied.
PixmapRef Unpremultiplied(const TPixmap& premultiplied) {
  PixmapRef image = premultiplied.Copy();
  for (int y = 0; y < image->height; ++y) {
    std::uint8_t* p = image->PixelPtr(0, y);
    for (int x = 0; x < image->width; ++x, p += 4) {
      if (p[3] == 0) continue;
      for (int c = 0; c < 3; ++c)
        p[c] = static_cast<std::uint8_t>(std::min(255, p[c] * 255 / p[3]));
    }
  }
  return image;
}

void AppendWindowIcon(const TPixmap& premultiplied, std::vector<std::uint32_t>& icon) {
  const PixmapRef image = Unpremultiplied(premultiplied);
  icon.push_back(static_cast<std::uint32_t>(image->width));
  icon.push_back(static_cast<std::uint32_t>(image->height));
  for (int y = 0; y < image->height; ++y) {
    const std::uint8_t* p = image->PixelPtr(0, y);
    for (int x = 0; x < image->width; ++x, p += 4)
      icon.push_back(std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                     std::uint32_t{p[1]} << 8 | p[2]);
  }
}

void WriteWindowIcon(const std::vector<std::uint32_t>& icon, const std::filesystem::path& path) {
  std::vector<unsigned char> bytes;
  for (const std::uint32_t word : icon)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back((word >> shift) & 255);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0) {
    RaiseRuntimeError("cannot write " + path.string() + "\n");
  }
  std::printf("%s\n", path.c_str());
}

void WritePng(const TPixmap& premultiplied, const std::filesystem::path& path) {
  const PixmapRef image = Unpremultiplied(premultiplied);
  std::filesystem::create_directories(path.parent_path());
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool written = file && info && EncodePng(png, info, file.get(), *image);
  png_destroy_write_struct(&png, &info);
  if (!written || std::fflush(file.get()) != 0) {
    RaiseRuntimeError("cannot write " + path.string() + "\n");
  }
  std::printf("%s\n", path.c_str());
}

void RenderIconMain() {
  StartGameModules();
  OpenGameWindow();
  DrawIconScene();
  PixmapRef disc = GrabPixmap(kCentreX - kSource / 2, kCentreY - kSource / 2, kSource, kSource);
  if (!disc) RaiseRuntimeError("no pixels were read back\n");
  CutOutDisc(*disc);
  // 48 and 24 do not divide 512: they come from a 384 square, halved from there.
  PixmapRef three_quarters = ResizePixmap(*disc, 384, 384);
  std::vector<std::uint32_t> window_icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const PixmapRef icon = HalveTo(size % 3 == 0 ? three_quarters : disc, size);
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    WritePng(*icon, output_dir / folder / "apps" / (ZIRKULON_ICON_NAME ".png"));
    if (size == 16 || size == 32 || size == 48 || size == 64) AppendWindowIcon(*icon, window_icon);
  }
  WriteWindowIcon(window_icon, output_dir / (ZIRKULON_ICON_NAME ".argb"));
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
    return 2;
  }
  // The runtime changes to the executable's directory; the output stays where it was meant.
  output_dir = std::filesystem::absolute(argv[1]);
  return ProcessEntry(argc, argv, &RenderIconMain);
}
