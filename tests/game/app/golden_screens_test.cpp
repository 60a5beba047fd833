// The menu, the help page, a frame of play and the farewell screen as Mesa's software rasteriser
// draws them for a scripted game (tests/helpers/golden_tour.cpp), compared byte for byte with the
// images stored in tests/golden/. A frame that differs stays in golden-actual/ beside this test's
// binary, with <screen>-diff.png showing where. After a wanted change of the pictures, store the
// new ones with: scripts/with-xvfb.sh build/tests/golden_tour tests/golden
// NOTE: the bytes are those of Mesa's rasteriser, not of the game alone: after a change of Mesa
// the images are looked at and stored again.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/png_file.h"
#include "tests/support/process.h"

namespace {
const std::filesystem::path kActualDir = ZIRKULON_HELPERS_DIR "/golden-actual";
const std::filesystem::path kGoldenDir = ZIRKULON_SOURCE_DIR "/tests/golden";

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB
};

std::string Hex(std::uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", rgb);
  return text;
}

// The differing pixels in red over the stored image at a quarter of its brightness.
std::vector<std::uint32_t> DiffImage(const Picture& expected, const Picture& actual) {
  std::vector<std::uint32_t> diff(expected.pixels.size());
  for (std::size_t i = 0; i < diff.size(); ++i)
    diff[i] =
        expected.pixels[i] == actual.pixels[i] ? (expected.pixels[i] >> 2) & 0x3f3f3f : 0xff0000;
  return diff;
}

TEST(GoldenScreens, EachScreenMatchesItsStoredImageByteForByte) {
  REQUIRE_PRIVATE_DISPLAY();  // no other test's pointer or windows on this server
  std::filesystem::remove_all(kActualDir);
  std::filesystem::create_directories(kActualDir);
  ProcessOptions options;
  options.timeout_ms = 100000;
  const ProcessResult tour = RunProcess({ZIRKULON_HELPERS_DIR "/golden_tour", kActualDir}, options);
  ASSERT_EQ(tour.exit_status, 0) << tour.standard_error;

  for (const std::string screen : {"menu", "help", "play", "farewell"}) {
    SCOPED_TRACE(screen);
    const std::filesystem::path golden = kGoldenDir / (screen + ".png");
    const std::filesystem::path actual_path = kActualDir / (screen + ".png");
    Picture expected, actual;
    ASSERT_TRUE(ReadPngFile(golden, &expected.width, &expected.height, &expected.pixels));
    ASSERT_TRUE(ReadPngFile(actual_path, &actual.width, &actual.height, &actual.pixels));
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    int differing = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
      if (expected.pixels[i] == actual.pixels[i]) continue;
      if (differing++ == 0) first = i;
    }
    if (differing == 0) {
      std::filesystem::remove(actual_path);
      continue;
    }
    const std::filesystem::path diff_path = kActualDir / (screen + "-diff.png");
    WritePngFile(diff_path, expected.width, expected.height, DiffImage(expected, actual));
    const int x = static_cast<int>(first % expected.width);
    const int y = static_cast<int>(first / expected.width);
    ADD_FAILURE() << differing << " pixels differ from " << golden.string() << ", the first at ("
                  << x << ", " << y << "): expected " << Hex(expected.pixels[first]) << ", drawn "
                  << Hex(actual.pixels[first]) << ". The frame drawn is " << actual_path.string()
                  << ", the differing pixels in red: " << diff_path.string();
  }
}
}  // namespace
