// Screenshots written and read through libpng: 8-bit RGB, rows top to bottom.
#include "tests/support/png_file.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

bool WritePngFile(const std::string& path, int width, int height,
                  const std::vector<std::uint32_t>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height) {
    std::fprintf(stderr, "cannot write %s: %d x %d pixels expected, %zu given\n", path.c_str(),
                 width, height, pixels.size());
    return false;
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (file == nullptr) {
    std::perror(("cannot open " + path + " for writing").c_str());
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    std::fprintf(stderr, "cannot write %s: libpng could not start (out of memory?)\n",
                 path.c_str());
    return false;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  // NOTE: libpng reports its errors by longjmp back here; only trivially destructible objects
  // are made between setjmp and the calls that may jump.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fprintf(stderr, "cannot write %s: libpng failed (disk full?)\n", path.c_str());
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y) * width + x];
      row[x * 3] = (pixel >> 16) & 255;
      row[x * 3 + 1] = (pixel >> 8) & 255;
      row[x * 3 + 2] = pixel & 255;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) {
    std::perror(("cannot write " + path).c_str());
    return false;
  }
  return true;
}

bool ReadPngFile(const std::string& path, int* width, int* height,
                 std::vector<std::uint32_t>* pixels) {
  // The simplified API converts any PNG to 8-bit RGB and reports errors without longjmp.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), image.message);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
    std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), image.message);
    png_image_free(&image);
    return false;
  }
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  pixels->resize(rgb.size() / 3);
  for (std::size_t i = 0; i < pixels->size(); ++i)
    (*pixels)[i] =
        std::uint32_t{rgb[i * 3]} << 16 | std::uint32_t{rgb[i * 3 + 1]} << 8 | rgb[i * 3 + 2];
  return true;
}
