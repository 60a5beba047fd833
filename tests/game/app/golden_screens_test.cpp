// The menu, the help page, a frame of play and the farewell screen as Mesa's software rasteriser
// draws them for a scripted game (tests/helpers/golden_tour.cpp), compared byte for byte with the
// images stored in tests/golden/. A frame that differs stays in golden-actual/scale-<scale>/
// beside this test's binary, with <screen>-diff.png showing where. After a wanted change of the
// pictures, store the new ones with: scripts/with-xvfb.sh build/tests/golden_tour tests/golden
// NOTE: the bytes are those of Mesa's rasteriser, not of the game alone: after a change of Mesa
// the images are looked at and stored again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
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

// A stored picture enlarged to width x height: each window pixel shows the picture pixel under its
// centre, one exactly on an edge the left column and the lower row (x / scale at whole scales).
Picture Enlarged(const Picture& picture, int width, int height) {
  Picture large{width, height, {}};
  for (long long y = 0; y < height; ++y)
    for (long long x = 0; x < width; ++x)
      large.pixels.push_back(
          picture.pixels[(2 * y + 1) * picture.height / (2 * height) * picture.width +
                         ((2 * x + 1) * picture.width - 1) / (2 * width)]);
  return large;
}

void CompareTheTour(const std::string& display, const std::string& scale) {
  const std::filesystem::path actual_dir = kActualDir / ("scale-" + scale);  // tests run at once
  std::filesystem::remove_all(actual_dir);
  std::filesystem::create_directories(actual_dir);
  ProcessOptions options;
  options.timeout_ms = 100000;
  options.extra_environment = {"DISPLAY=" + display};
  const ProcessResult tour =
      RunProcess({ZIRKULON_HELPERS_DIR "/golden_tour", actual_dir, scale}, options);
  ASSERT_EQ(tour.exit_status, 0) << tour.standard_error;

  for (const std::string screen : {"menu", "help", "play", "farewell"}) {
    SCOPED_TRACE(screen);
    const std::filesystem::path golden = kGoldenDir / (screen + ".png");
    const std::filesystem::path actual_path = actual_dir / (screen + ".png");
    Picture stored, actual;
    ASSERT_TRUE(ReadPngFile(golden, &stored.width, &stored.height, &stored.pixels));
    const int width = static_cast<int>(std::lround(stored.width * std::stod(scale)));
    const int height = (stored.height * width + stored.width / 2) / stored.width;
    const Picture expected = Enlarged(stored, width, height);
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
    const std::filesystem::path diff_path = actual_dir / (screen + "-diff.png");
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
// screen of at least 1600 x 1200. At a fractional scale every window pixel shows the picture pixel
// under its centre, with no tie left to the rasteriser's rounding (every such scale: GlxContext).
TEST(GoldenScreens, EachScreenMatchesItsStoredImageByteForByte) {
  for (const std::string scale : {"1", "2"}) {
    SCOPED_TRACE("scale " + scale);
    const PrivateXServer server({"-screen", "0", "2048x1536x24"});
    if (server.display().empty()) ZIRKULON_NO_DISPLAY(server.error());
    CompareTheTour(server.display(), scale);
  }
}

TEST(GoldenScreens, AtOneAndAHalfEachWindowPixelShowsThePicturePixelAtItsCentre) {
  for (const std::string scale : {"1.5"}) {
    SCOPED_TRACE("scale " + scale);
    const PrivateXServer server({"-screen", "0", "2048x1536x24"});
    if (server.display().empty()) ZIRKULON_NO_DISPLAY(server.error());
    CompareTheTour(server.display(), scale);
  }
}
}  // namespace

namespace {
// Answers each request for a new window's frame with a title bar of 25 rows, as a window manager
// does, on a connection of its own, until `done`.
void AnswerFrameRequests(const std::string& display_name, std::promise<void> listening,
                         const std::atomic<bool>& done) {
  Display* display = XOpenDisplay(display_name.c_str());
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  listening.set_value();
  const Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  const long title_bar[4] = {0, 0, 25, 0};
  for (XEvent event; !done; usleep(2000)) {
    while (XPending(display) > 0) {
      XNextEvent(display, &event);
      if (event.type != ClientMessage || event.xclient.message_type != request) continue;
      XChangeProperty(display, event.xclient.window,
                      XInternAtom(display, "_NET_FRAME_EXTENTS", False), XA_CARDINAL, 32,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(title_bar), 4);
      XFlush(display);
    }
  }
  XCloseDisplay(display);
}

// The window's size: the desktop's Xft.dpi or --scale, as far as the monitor's work area holds the
// window in its frame. The desktop here leaves a 40-row panel out of a 1920 x 1200 monitor and
// frames windows with a 25-row title bar: 1135 rows are left for the window.
TEST(WindowScale, FollowsTheDesktopOrTheOptionAsFarAsTheWorkAreaHoldsTheFramedWindow) {
  const PrivateXServer server({"-screen", "0", "1920x1200x24"});
  if (server.display().empty()) ZIRKULON_NO_DISPLAY(server.error());
  GameWindow desktop(server.display().c_str());
  Display* display = desktop.display();
  const Window root = DefaultRootWindow(display);
  const Window check = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom supported = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  const long work_area[4] = {0, 0, 1920, 1160};
  for (const Window on : {root, check})
    XChangeProperty(display, on, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), XA_WINDOW,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&check), 1);
  XChangeProperty(display, root, XInternAtom(display, "_NET_SUPPORTED", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&supported), 1);
  XChangeProperty(display, root, XInternAtom(display, "_NET_WORKAREA", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(work_area), 4);
  std::atomic<bool> done{false};
  std::promise<void> listening;
  std::future<void> listens = listening.get_future();
  auto frames = std::async(std::launch::async, AnswerFrameRequests, server.display(),
                           std::move(listening), std::cref(done));
  listens.wait();
  struct Case {
    const char* resources;
    std::vector<std::string> options;
    int width;
  };
  // 1.5 fits; 2 needs 1200 rows; 1.9 needs 1140, which only the frame does not leave.
  for (const Case& scaled : {Case{"Xft.dpi:\t144\n", {}, 1200}, Case{"", {"--scale", "2"}, 800},
                             Case{"Xft.dpi:\t144\n", {"--scale", "1.9"}, 800}}) {
    SCOPED_TRACE(scaled.resources +
                 (scaled.options.empty() ? "" : " --scale " + scaled.options[1]));
    XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(scaled.resources),
                    static_cast<int>(std::strlen(scaled.resources)));
    XSync(display, False);
    GameWindow window(server.display().c_str());
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
  done = true;
  const ProcessResult refused = RunProcess({ZIRKULON_BINARY, "--scale", "1,5"});
  EXPECT_EQ(refused.exit_status, 2);
  EXPECT_EQ(refused.standard_error,
            "zirkulon: --scale takes a number from 1 to 4, such as 1.5 or 2\n");
}
}  // namespace
