// The real game on a desktop: a window manager (openbox) on the test's own X server, another
// window beside the game, the focus moved between them as a dock or Alt+Tab moves it, and input
// through XTest. Run as one sequence of steps, each building on the state the last one left.
#include <gtest/gtest.h>
#include <unistd.h>

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>

#include "game/world/screen_geometry.h"
#include "tests/support/display.h"
#include "tests/support/game_window.h"
#include "tests/support/monotonic_clock.h"
#include "tests/support/process.h"

namespace {
constexpr int kWaitMs = 10000;

bool WaitFor(const std::function<bool()>& done, int timeout_ms = kWaitMs) {
  const double deadline = MonotonicMillis() + timeout_ms;
  while (!done()) {
    if (MonotonicMillis() > deadline) return false;
    usleep(20000);
  }
  return true;
}

std::vector<long> Cardinals(Display* display, Window window, const char* name) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 16, False,
                         AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (format == 32)
      values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    XFree(data);
  }
  return values;
}

// What a pager or a dock sends: a request to the window manager on the root window.
void AskWindowManager(Display* display, Window window, const char* request,
                      std::initializer_list<long> data) {
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = XInternAtom(display, request, False);
  message.xclient.format = 32;
  std::copy(data.begin(), data.end(), message.xclient.data.l);
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &message);
  XSync(display, False);
}

// Whether bright pixels inside the disc changed between two looks: balls moving or the paddle
// turning. The background shows through the disc too dimly to count.
int ChangesInTheDisc(GameWindow& game, int apart_ms) {
  const GameShot before = game.Capture();
  usleep(apart_ms * 1000);
  const GameShot after = game.Capture();
  int changed = 0;
  for (int y = kCentreY - 245; y <= kCentreY + 245; ++y)
    for (int x = kCentreX - 245; x <= kCentreX + 245; ++x)
      if (std::hypot(x - kCentreX, y - kCentreY) < 245)
        changed += before.Bright(x, y) != after.Bright(x, y);
  return changed;
}

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (full_screen_desktop_)
      REQUIRE_PRIVATE_DISPLAY("-screen", "0", "1920x1080x24");
    else
      REQUIRE_PRIVATE_DISPLAY();
    client_ = XOpenDisplay(nullptr);
    ASSERT_NE(client_, nullptr);
    window_manager_ = std::make_unique<BackgroundProcess>(std::vector<std::string>{"openbox"});
    ASSERT_TRUE(WaitFor([this] {
      return !Cardinals(client_, DefaultRootWindow(client_), "_NET_SUPPORTING_WM_CHECK").empty();
    })) << "openbox did not start (is it installed? scripts/install-deps.sh)";
    other_ = XCreateSimpleWindow(client_, DefaultRootWindow(client_), 0, 0, 300, 200, 0, 0, 0);
    XMapWindow(client_, other_);
    XSync(client_, False);

    std::vector<std::string> command = {ZIRKULON_BINARY};
    if (full_screen_desktop_) command.push_back("--fullscreen");
    run_ = StartCountingSwaps(command, ZIRKULON_HELPERS_DIR "/libswap_counter.so", counter_, {},
                              110000);
    game_ = std::make_unique<GameWindow>();
    ASSERT_TRUE(game_->Find(kWaitMs)) << "the game's window never appeared";
    ASSERT_TRUE(game_->WaitForScreen(ShownScreen::kMenu, kWaitMs));
  }

  void TearDown() override {
    if (run_.valid()) {
      if (run_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        game_->RequestClose();
      run_.get();
    }
    if (client_ != nullptr) XCloseDisplay(client_);
  }

  bool Activate(Window window) {
    AskWindowManager(client_, window, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
    return WaitFor([&] {
      Window focus = 0;
      int revert = 0;
      XGetInputFocus(client_, &focus, &revert);
      return focus == window;
    });
  }

  bool Viewable(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(client_, window, &attributes) && attributes.map_state == IsViewable;
  }

  // The window manager's frame around the game's window.
  XWindowAttributes Frame() {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(client_, game_->window(), &root, &parent, &children, &count);
    if (children != nullptr) XFree(children);
    XWindowAttributes frame{};
    XGetWindowAttributes(client_, parent, &frame);
    return frame;
  }

  // The window's size once the window manager has settled it; false after the timeout.
  bool SizeBecomes(int width, int height) {
    return WaitFor([&] {
      XWindowAttributes attributes{};
      return XGetWindowAttributes(client_, game_->window(), &attributes) &&
             attributes.width == width && attributes.height == height;
    });
  }

  bool full_screen_desktop_ = false;  // a 1920 x 1080 screen, the game started --fullscreen
  Display* client_ = nullptr;
  Window other_ = 0;
  std::unique_ptr<BackgroundProcess> window_manager_;
  std::string counter_ = std::filesystem::temp_directory_path() /
                         ("zirkulon-desktop-swaps-" + std::to_string(getpid()));
  std::future<ProcessResult> run_;
  std::unique_ptr<GameWindow> game_;
};

TEST_F(Desktop, TheGameIsAGoodCitizenOfTheDesktop) {
  const Window game = game_->window();
  struct Step {
    const char* what;
    std::function<void()> run;
  };
  const Step steps[] = {
      {"the window tells the desktop who it is",
       [&] {
         XClassHint names{};
         ASSERT_TRUE(XGetClassHint(client_, game, &names));
         EXPECT_STREQ(names.res_name, "zirkulon");
         std::ifstream entry(ZIRKULON_SOURCE_DIR "/dist/org.zirkulon.Zirkulon.desktop");
         std::string line, wm_class;
         while (std::getline(entry, line))
           if (line.rfind("StartupWMClass=", 0) == 0) wm_class = line.substr(15);
         EXPECT_EQ(wm_class, names.res_class) << "the desktop entry's StartupWMClass";
         EXPECT_STREQ(names.res_class, "org.zirkulon.Zirkulon");
         XFree(names.res_name);
         XFree(names.res_class);

         const std::vector<long> pid = Cardinals(client_, game, "_NET_WM_PID");
         ASSERT_EQ(pid.size(), 1u);
         EXPECT_TRUE(std::filesystem::equivalent("/proc/" + std::to_string(pid[0]) + "/exe",
                                                 ZIRKULON_BINARY));
         char host[256] = {};
         gethostname(host, sizeof host - 1);
         XTextProperty machine{};
         ASSERT_TRUE(XGetWMClientMachine(client_, game, &machine));
         EXPECT_EQ(std::string(reinterpret_cast<char*>(machine.value)), host);
         XFree(machine.value);

         XSizeHints size{};
         long supplied = 0;
         ASSERT_TRUE(XGetWMNormalHints(client_, game, &size, &supplied));
         EXPECT_EQ(
             (std::vector<int>{size.min_width, size.min_height, size.max_width, size.max_height}),
             (std::vector<int>{kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight}));
         XWMHints* hints = XGetWMHints(client_, game);
         ASSERT_NE(hints, nullptr);
         EXPECT_TRUE((hints->flags & InputHint) && hints->input);
         XFree(hints);

         // Each icon: its width and height, then its pixels.
         const std::vector<long> icon = Cardinals(client_, game, "_NET_WM_ICON");
         std::vector<long> sizes;
         for (std::size_t at = 0; at + 1 < icon.size(); at += 2 + icon[at] * icon[at + 1]) {
           EXPECT_EQ(icon[at], icon[at + 1]);
           sizes.push_back(icon[at]);
         }
         EXPECT_EQ(sizes, (std::vector<long>{16, 32, 48, 64}));
       }},
      {"a request to maximise leaves the window and its frame as they were",
       [&] {
         const XWindowAttributes before = Frame();
         const Atom vertical = XInternAtom(client_, "_NET_WM_STATE_MAXIMIZED_VERT", False);
         const Atom horizontal = XInternAtom(client_, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
         AskWindowManager(client_, game, "_NET_WM_STATE",
                          {1, static_cast<long>(vertical), static_cast<long>(horizontal), 2});
         usleep(500000);  // what a window manager does takes a moment; nothing should come of it
         const XWindowAttributes after = Frame();
         EXPECT_EQ(after.width, before.width);
         EXPECT_EQ(after.height, before.height);
         EXPECT_EQ(game_->Capture().width, kScreenWidth);
       }},
      {"play runs once served",
       [&] {
         ASSERT_TRUE(Activate(game));
         game_->TapKey(XK_space);
         ASSERT_TRUE(game_->WaitForScreen(ShownScreen::kGame, kWaitMs));
         game_->Click(1);
         EXPECT_TRUE(WaitFor([&] { return ChangesInTheDisc(*game_, 100) > 20; }));
       }},
      {"away from the game, the pointer is the player's and a held key is let go elsewhere",
       [&] {
         game_->PressKey(XK_Left);
         ASSERT_TRUE(WaitForSwaps(counter_, 3)) << "the game read no input";
         ASSERT_TRUE(Activate(other_));
         game_->ReleaseKey(XK_Left);
         int x = 0, y = 0;
         Window inside = 0;
         XTranslateCoordinates(client_, other_, DefaultRootWindow(client_), 150, 100, &x, &y,
                               &inside);
         XTestFakeMotionEvent(client_, DefaultScreen(client_), x, y, CurrentTime);
         XSync(client_, False);
         ASSERT_TRUE(WaitForSwaps(counter_, 30)) << "no frames that could warp the pointer back";
         Window root = 0, child = 0;
         int pointer_x = 0, pointer_y = 0, in_x = 0, in_y = 0;
         unsigned buttons = 0;
         XQueryPointer(client_, DefaultRootWindow(client_), &root, &child, &pointer_x, &pointer_y,
                       &in_x, &in_y, &buttons);
         EXPECT_EQ(pointer_x, x);
         EXPECT_EQ(pointer_y, y);
       }},
      {"back in the game, play is paused and the paddle stands still",
       [&] {
         ASSERT_TRUE(Activate(game));
         ASSERT_TRUE(WaitForSwaps(counter_, 60)) << "the serve's halo, 50 frames, never ran down";
         EXPECT_EQ(ChangesInTheDisc(*game_, 500), 0);
       }},
      {"a click resumes play",
       [&] {
         game_->Click(1);
         EXPECT_TRUE(WaitFor([&] { return ChangesInTheDisc(*game_, 100) > 20; }));
       }},
      {"a minimised game swaps no buffers, and shows frames again when restored",
       [&] {
         XIconifyWindow(client_, game, DefaultScreen(client_));
         ASSERT_TRUE(WaitFor([&] { return !Viewable(game); }));
         usleep(200000);  // the frame under way ends; a hidden game gives no count to wait on
         EXPECT_FALSE(WaitForSwaps(counter_, 1, 1000));
         ASSERT_TRUE(Activate(game));
         EXPECT_TRUE(WaitForSwaps(counter_, 31));
       }},
      {"a minimised game closes when asked",
       [&] {
         XIconifyWindow(client_, game, DefaultScreen(client_));
         ASSERT_TRUE(WaitFor([&] { return !Viewable(game); }));
         game_->RequestClose();
         ASSERT_EQ(run_.wait_for(std::chrono::seconds(10)), std::future_status::ready);
         EXPECT_EQ(run_.get().exit_status, 0);
       }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.run();
    if (HasFatalFailure()) return;
  }
}

class FullScreenDesktop : public Desktop {
 protected:
  FullScreenDesktop() { full_screen_desktop_ = true; }
};

// 1920 x 1080 holds the picture 1.8 times: 1440 x 1080 with 240 black columns either side.
TEST_F(FullScreenDesktop, FullScreenShowsThePictureCentredAndF11SwitchesBackAndForth) {
  constexpr int kBorder = 240;
  ASSERT_TRUE(SizeBecomes(1920, 1080)) << "--fullscreen";
  ASSERT_TRUE(game_->WaitForScreen(ShownScreen::kMenu, kWaitMs));
  const GameShot screen = game_->CaptureWindow();
  int border_lit = 0;
  bool picture_edges_lit[2] = {};
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < kBorder; ++x)
      border_lit += screen.pixels[y * screen.width + x] != 0 ||
                    screen.pixels[y * screen.width + screen.width - 1 - x] != 0;
    picture_edges_lit[0] |= screen.pixels[y * screen.width + kBorder] != 0;
    picture_edges_lit[1] |= screen.pixels[y * screen.width + screen.width - kBorder - 1] != 0;
  }
  EXPECT_EQ(border_lit, 0);
  EXPECT_TRUE(picture_edges_lit[0] && picture_edges_lit[1]);
  // Every picture pixel a block of whole window pixels, read back at the blocks' middles.
  EXPECT_GE(ShareOfEdgesKeepingPictureColours(screen, game_->Capture()), 0.3);

  // The window manager leaves full screen by a shortcut of its own: F11 then asks for it again.
  const Atom full_screen = XInternAtom(client_, "_NET_WM_STATE_FULLSCREEN", False);
  AskWindowManager(client_, game_->window(), "_NET_WM_STATE",
                   {0, static_cast<long>(full_screen), 0, 2});
  ASSERT_TRUE(SizeBecomes(kScreenWidth, kScreenHeight));
  ASSERT_TRUE(Activate(game_->window()));
  game_->TapKey(XK_F11);
  ASSERT_TRUE(SizeBecomes(1920, 1080)) << "F11 after the window manager left full screen";
  ASSERT_TRUE(game_->WaitForScreen(ShownScreen::kMenu, kWaitMs));

  game_->TapKey(XK_F11);
  ASSERT_TRUE(SizeBecomes(kScreenWidth, kScreenHeight));
  EXPECT_TRUE(WaitFor([&] {
    XSizeHints size{};
    long supplied = 0;
    return XGetWMNormalHints(client_, game_->window(), &size, &supplied) &&
           (size.flags & PMinSize) && size.min_width == kScreenWidth &&
           size.max_height == kScreenHeight;
  })) << "the fixed size returns with the window";
  EXPECT_TRUE(game_->WaitForScreen(ShownScreen::kMenu, kWaitMs));
  game_->TapKey(XK_F11);
  ASSERT_TRUE(SizeBecomes(1920, 1080)) << "F11 again";

  // Play warps the pointer back to the picture's middle column after every frame: 400 picture
  // pixels are 720 window pixels right of the border.
  game_->TapKey(XK_space);
  ASSERT_TRUE(game_->WaitForScreen(ShownScreen::kGame, kWaitMs));
  game_->Click(1);
  EXPECT_TRUE(WaitFor([&] { return ChangesInTheDisc(*game_, 100) > 20; }));
  game_->MovePointer(kBorder + 720 + 90, 500);
  EXPECT_TRUE(WaitFor([&] { return game_->Pointer().first == kBorder + 720; }));
}
}  // namespace
