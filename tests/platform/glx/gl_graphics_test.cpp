// The OpenGL graphics driver under the graphics layer, against Xvfb with Mesa.
#include "platform/glx/gl_graphics.h"

#include <gtest/gtest.h>

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/polled_input.h"
#include "platform/glx/glx_context.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/x_display.h"
#include "tests/support/close_button.h"
#include "tests/support/display.h"

// GLX after gtest: Xlib's macros (None, Bool) collide with gtest's names.
#include <GL/glx.h>

#include "tests/support/window_finder.h"

namespace {
std::vector<int> seen_events;
ObjectRef RecordEvent(int, const ObjectRef& data, const ObjectRef&) {
  if (const auto* event = dynamic_cast<const TEvent*>(data.get())) seen_events.push_back(event->id);
  return data;
}

// What the window manager sends when the window's close button is pressed.
void PressCloseButton(unsigned long window) {
  // The runtime's server: a test before this one in the process may have pointed DISPLAY elsewhere.
  Display* other = XOpenDisplay(DisplayString(XDisplayConnection()));
  ASSERT_NE(other, nullptr);
  SendCloseButton(other, window);
  XCloseDisplay(other);
}

class GLGraphics : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_DISPLAY();
    StartGLGraphicsModule();
  }
  void TearDown() override { CloseDefaultGraphics(); }

  static int ContextOf(const std::shared_ptr<TGraphics>& graphics) {
    return static_cast<const TGLGraphics&>(*graphics)._context;
  }
  static bool WindowExists(unsigned long window) {
    const QuietErrors expected_bad_window(XDisplayConnection());
    XWindowAttributes attributes{};
    return XGetWindowAttributes(XDisplayConnection(), window, &attributes) != 0;
  }
};
}  // namespace

TEST_F(GLGraphics, TheModuleStartSelectsTheDriverWithFlagsTwo) {
  EXPECT_EQ(CurrentGraphicsDriver(), GLGraphicsDriver());
  EXPECT_EQ(DefaultGraphicsFlags(), 2);
}

TEST_F(GLGraphics, OpeningTheGamesWindowReportsItsSettingsAndMakesItCurrent) {
  auto graphics = OpenGLGraphics(800, 600, 0, 60, 0);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(graphics->Driver(), GLGraphicsDriver());
  int width = 0, height = 0, depth = 0, hertz = 0, flags = 0;
  graphics->GetSettings(width, height, depth, hertz, flags);
  EXPECT_EQ((std::vector<int>{width, height, depth, hertz, flags}),
            (std::vector<int>{800, 600, 24, 60, 2}));
  EXPECT_EQ(CurrentGraphicsDepth(), 24);
  EXPECT_EQ(CurrentContext(), ContextOf(graphics));
  EXPECT_EQ(glXGetCurrentContext(), ContextRecord(ContextOf(graphics))->context);
  EXPECT_TRUE(GraphicsPaced()) << "a window is always paced in software";
}

TEST_F(GLGraphics, ClosingAndReopeningMovesTheSerialEachTime) {
  auto first = OpenGLGraphics(800, 600, 0, 60, 0);
  ASSERT_NE(first, nullptr);
  const int opened = GraphicsSerial();
  EXPECT_NE(opened, 0);
  const unsigned long first_window = ContextRecord(ContextOf(first))->window;

  auto second = OpenGLGraphics(800, 600, 0, 60, 0);
  ASSERT_NE(second, nullptr);
  // Closing the first and opening the second: two changes.
  EXPECT_EQ(GraphicsSerial(), NextGraphicsSerial(NextGraphicsSerial(opened)));
  EXPECT_EQ(ContextOf(first), 0) << "Close forgets the record";
  EXPECT_FALSE(WindowExists(first_window));

  const unsigned long second_window = ContextRecord(ContextOf(second))->window;
  CloseDefaultGraphics();
  EXPECT_EQ(GraphicsSerial(), NextGraphicsSerial(NextGraphicsSerial(NextGraphicsSerial(opened))));
  EXPECT_FALSE(WindowExists(second_window));
  EXPECT_EQ(CurrentGraphics(), nullptr);
}

TEST_F(GLGraphics, ReleasingTheObjectDoesNotCloseTheWindow) {
  auto graphics = GLGraphicsDriver()->CreateGraphics(320, 240, 0, 0, 2);
  ASSERT_NE(graphics, nullptr);
  const int context = ContextOf(graphics);
  const unsigned long window = ContextRecord(context)->window;
  graphics.reset();
  EXPECT_TRUE(WindowExists(window));
  CloseContextWindow(context);
  EXPECT_FALSE(WindowExists(window));
}

TEST_F(GLGraphics, FlipsOfEveryKindSwapTheDefaultWindow) {
  auto graphics = OpenGLGraphics(800, 600, 0, 60, 0);
  ASSERT_NE(graphics, nullptr);
  const GLContextRecord* record = ContextRecord(ContextOf(graphics));
  FlipFrame(1);
  EXPECT_EQ(record->sync_state, 1);
  FlipFrame(-1);
  EXPECT_EQ(record->sync_state, 0) << "a paced flip swaps at once";
  FlipFrame(3);
  EXPECT_EQ(record->sync_state, 1);
}

TEST_F(GLGraphics, TheModeListOfAServerWithoutTheExtensionIsEmpty) {
  EXPECT_TRUE(GLGraphicsDriver()->GraphicsModes().empty());
  EXPECT_EQ(GraphicsModeCount(), 0);
  EXPECT_EQ(HasGraphicsMode(0, 0, 0, 0), 0);
  EXPECT_EQ(OpenGLGraphics(800, 600, 32, 60, 0), nullptr) << "no full screen without modes";
}

TEST_F(GLGraphics, TheCloseButtonReachesThePolledInputThroughTheSwap) {
  auto graphics = OpenGLGraphics(800, 600, 0, 60, 0);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(AppTerminateRequested(), 0);
  seen_events.clear();
  InsertHook(EventHookId(), RecordEvent, nullptr, 1);
  PressCloseButton(ContextRecord(ContextOf(graphics))->window);
  // The swap pumps the events; the message may need a moment to arrive on this connection.
  for (int frame = 0; frame < 60 && seen_events.empty(); ++frame) FlipFrame(-1);
  DeleteHook(EventHookId(), RecordEvent, nullptr);
  EXPECT_EQ(seen_events, std::vector<int>{EVENT_APPTERMINATE});
  EXPECT_EQ(AppTerminateRequested(), 1);
  EXPECT_EQ(AppTerminateRequested(), 0) << "reading clears the request";
}

TEST_F(GLGraphics, TheWindowTakesThePointerAndKeyboardInput) {
  auto graphics = OpenGLGraphics(800, 600, 0, 60, 0);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(InputWindow(), ContextRecord(ContextOf(graphics))->window);
  CloseDefaultGraphics();
  EXPECT_EQ(InputWindow(), 0u) << "warps and cursors would name a destroyed window";
}
