// The menu, the help page, a frame of play and the farewell screen as Mesa's software rasteriser
// draws them for a scripted game (tests/helpers/golden_tour.cpp), compared byte for byte with the
// images stored in tests/golden/. A frame that differs stays in golden-actual/ beside this test's
// binary, with <screen>-diff.png showing where. After a wanted change of the pictures, store the
// new ones with: scripts/with-xvfb.sh build/tests/golden_tour tests/golden
// NOTE: the bytes are those of Mesa's rasteriser, not of the game alone: after a change of Mesa
// the images are looked at and stored again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include <X11/Xatom.h>

#include "tests/support/display.h"
#include "tests/support/game_window.h"
#include "tests/support/png_file.h"
#include "tests/support/process.h"

namespace {
const std::filesystem::path kActualDir = ZIRKULON_HELPERS_DIR "/golden-actual";
const std::filesystem::path kGoldenDir = ZIRKULON_SOURCE_DIR "/tests/golden";
const std::filesystem::path kSharpDir = ZIRKULON_HELPERS_DIR "/golden-sharp";

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

// Each stored picture enlarged `scale` times by repeating every pixel as a block.
Picture Enlarged(const Picture& picture, int scale) {
  Picture large{picture.width * scale, picture.height * scale, {}};
  for (int y = 0; y < large.height; ++y)
    for (int x = 0; x < large.width; ++x)
      large.pixels.push_back(picture.pixels[(y / scale) * picture.width + x / scale]);
  return large;
}

void CompareTheTour(const std::string& display, int scale) {
  std::filesystem::remove_all(kActualDir);
  std::filesystem::create_directories(kActualDir);
  ProcessOptions options;
  options.timeout_ms = 100000;
  options.extra_environment = {"DISPLAY=" + display};
  const ProcessResult tour =
      RunProcess({ZIRKULON_HELPERS_DIR "/golden_tour", kActualDir, std::to_string(scale)}, options);
  ASSERT_EQ(tour.exit_status, 0) << tour.standard_error;

  for (const std::string screen : {"menu", "help", "play", "farewell"}) {
    SCOPED_TRACE(screen);
    const std::filesystem::path golden = kGoldenDir / (screen + ".png");
    const std::filesystem::path actual_path = kActualDir / (screen + ".png");
    Picture stored, actual;
    ASSERT_TRUE(ReadPngFile(golden, &stored.width, &stored.height, &stored.pixels));
    const Picture expected = scale == 1 ? stored : Enlarged(stored, scale);
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

// At scale 2 the window shows each stored picture enlarged, pixel for pixel; the scale needs a
// screen of at least 1600 x 1200. At 1.5 each picture pixel is a block of whole window pixels, and
// the picture read back at their middles is the stored one.
TEST(GoldenScreens, EachScreenMatchesItsStoredImageByteForByte) {
  for (const int scale : {1, 2}) {
    SCOPED_TRACE("scale " + std::to_string(scale));
    const PrivateXServer server({"-screen", "0", "2048x1536x24"});
    if (server.display().empty()) ZIRKULON_NO_DISPLAY(server.error());
    CompareTheTour(server.display(), scale);
  }
}

TEST(GoldenScreens, AtOneAndAHalfEveryPicturePixelStaysSharp) {
  const PrivateXServer server({"-screen", "0", "2048x1536x24"});
  if (server.display().empty()) ZIRKULON_NO_DISPLAY(server.error());
  std::filesystem::remove_all(kSharpDir);
  std::filesystem::create_directories(kSharpDir);
  ProcessOptions options;
  options.timeout_ms = 100000;
  options.extra_environment = {"DISPLAY=" + server.display()};
  const ProcessResult tour =
      RunProcess({ZIRKULON_HELPERS_DIR "/golden_tour", kSharpDir, "1.5"}, options);
  ASSERT_EQ(tour.exit_status, 0) << tour.standard_error;
  for (const std::string screen : {"menu", "help"}) {
    SCOPED_TRACE(screen);
    GameShot stored, window;
    ASSERT_TRUE(
        ReadPngFile(kGoldenDir / (screen + ".png"), &stored.width, &stored.height, &stored.pixels));
    ASSERT_TRUE(
        ReadPngFile(kSharpDir / (screen + ".png"), &window.width, &window.height, &window.pixels));
    ASSERT_EQ(window.width, 1200);
    EXPECT_GE(ShareOfEdgesKeepingPictureColours(window, stored), 0.4);
    int wrong = 0;
    for (int y = 0; y < stored.height; ++y)
      for (int x = 0; x < stored.width; ++x)
        wrong +=
            window.pixels[static_cast<int>((y + 0.5) * 1.5) * window.width +
                          static_cast<int>((x + 0.5) * 1.5)] != stored.pixels[y * stored.width + x];
    EXPECT_EQ(wrong, 0) << "picture pixels read back at their middles";
  }
}
}  // namespace

namespace {
// The window's size: the desktop's Xft.dpi (120 at 125 %, 192 at 200 %) or --scale, as far as the
// screen holds.
TEST(WindowScale, FollowsTheDesktopOrTheOptionAsFarAsTheScreenHolds) {
  struct Case {
    const char* resources;
    std::vector<std::string> options;
    int width;
  };
  for (const Case& scaled :
       {Case{"", {}, 800}, Case{"Xft.dpi:\t110\n", {}, 800}, Case{"Xft.dpi:\t120\n", {}, 1000},
        Case{"Xft.dpi:\t144\n", {}, 1200}, Case{"Xft.dpi:\t168\n", {}, 1400},
        Case{"Xft.dpi:\t192\n", {}, 1600}, Case{"Xft.dpi:\t192\n", {"--scale", "1"}, 800},
        Case{"", {"--scale", "1.5"}, 1200}, Case{"Xft.dpi:\t192\n", {"--scale", "1.75"}, 1400},
        Case{"", {"--scale", "3"}, 1600}}) {
    SCOPED_TRACE(scaled.resources +
                 (scaled.options.empty() ? "" : " --scale " + scaled.options[1]));
    const PrivateXServer server({"-screen", "0", "2048x1536x24"});
    if (server.display().empty()) ZIRKULON_NO_DISPLAY(server.error());
    GameWindow window(server.display().c_str());
    XChangeProperty(window.display(), DefaultRootWindow(window.display()), XA_RESOURCE_MANAGER,
                    XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(scaled.resources),
                    static_cast<int>(std::strlen(scaled.resources)));
    XSync(window.display(), False);
    std::vector<std::string> command = {ZIRKULON_BINARY};
    command.insert(command.end(), scaled.options.begin(), scaled.options.end());
    const std::string counter = kSharpDir.string() + "-swaps";
    auto game = StartCountingSwaps(command, ZIRKULON_HELPERS_DIR "/libswap_counter.so", counter,
                                   {"DISPLAY=" + server.display()});
    ASSERT_TRUE(window.FindLeavingPointer(10000));
    EXPECT_EQ(window.CaptureWindow().width, scaled.width);
    // Closed once its frames come: a request before the frame loop listens is not heard.
    for (int waited = 0; SwapCount(counter) < 5 && waited < 20000; waited += 20) usleep(20000);
    window.RequestClose();
    const ProcessResult result = game.get();
    EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  }
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--scale", "0"},
                                              {"--scale", "0.9"},
                                              {"--scale", "4.5"},
                                              {"--scale", "1,5"},
                                              {"--scale", "1.5x"},
                                              {"--scale", "1.2.5"},
                                              {"--scale", "nan"},
                                              {"--scale", "zwei"},
                                              {"--scale"}}) {
    std::vector<std::string> command = {ZIRKULON_BINARY};
    command.insert(command.end(), bad.begin(), bad.end());
    const ProcessResult result = RunProcess(command);
    EXPECT_EQ(result.exit_status, 2) << bad.back();
    EXPECT_EQ(result.standard_error,
              "zirkulon: --scale takes a number from 1 to 4, such as 1.5 or 2\n");
  }
}
}  // namespace
