// The graphics layer over a recording driver and a manual clock: no window is needed.
#include "platform/graphics/graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/runtime_error.h"
#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/null_system_driver.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "platform/process/frame_pacing.h"
#include "tests/support/manual_clock.h"

namespace {

class RecordingDriver;

class RecordingGraphics final : public TGraphics {
 public:
  RecordingGraphics(RecordingDriver* driver, int width, int height, int depth, int hertz, int flags)
      : driver_(driver),
        width_(width),
        height_(height),
        depth_(depth),
        hertz_(hertz),
        flags_(flags) {}
  TGraphicsDriver* Driver() override;
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override {
    width = width_;
    height = height_;
    depth = depth_;
    hertz = hertz_;
    flags = flags_;
  }
  void Close() override;

 private:
  RecordingDriver* driver_;
  int width_, height_, depth_, hertz_, flags_;
};

// Records every call as text; Flip(1) can be made to take a fixed time on the manual clock.
class RecordingDriver final : public TGraphicsDriver {
 public:
  std::vector<TGraphicsMode> GraphicsModes() override {
    calls.push_back("GraphicsModes");
    return modes;
  }
  std::shared_ptr<TGraphics> AttachGraphics(unsigned long widget, int flags) override {
    calls.push_back("AttachGraphics " + std::to_string(widget) + " " + std::to_string(flags));
    return std::make_shared<RecordingGraphics>(this, 320, 200, 0, 0, flags);
  }
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override {
    calls.push_back("CreateGraphics " + std::to_string(width) + " " + std::to_string(height) + " " +
                    std::to_string(depth) + " " + std::to_string(hertz) + " " +
                    std::to_string(flags));
    if (raise_on_create) RaiseRuntimeError("cannot create");
    if (fail_create) return nullptr;
    return std::make_shared<RecordingGraphics>(this, width, height, depth, hertz, flags);
  }
  void SetGraphics(const std::shared_ptr<TGraphics>& graphics) override {
    calls.push_back(graphics ? "SetGraphics" : "SetGraphics null");
  }
  void Flip(int sync) override {
    calls.push_back("Flip " + std::to_string(sync));
    if (sync == 1 && clock != nullptr) clock->Advance(retrace_millis);
  }

  std::vector<TGraphicsMode> modes;
  std::vector<std::string> calls;
  bool fail_create = false;
  bool raise_on_create = false;
  ManualClock* clock = nullptr;
  int retrace_millis = 0;
};

// The flip hook writes into the driver's call list, so its order against Flip shows.
std::vector<std::string>* flip_hook_log = nullptr;
ObjectRef RecordFlipHook(int, const ObjectRef& data, const ObjectRef&) {
  flip_hook_log->push_back(data ? "hook with data" : "hook");
  return data;
}

TGraphicsDriver* RecordingGraphics::Driver() {
  return driver_;
}
void RecordingGraphics::Close() {
  driver_->calls.push_back("Close");
}

class GraphicsLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    StartGraphicsModule();
    previous_driver = CurrentGraphicsDriver();
    previous_flags = DefaultGraphicsFlags();
    driver.clock = &clock;
    UseFrameClock(&clock);
    SelectGraphicsDriver(&driver, 2);
  }
  void TearDown() override {
    CloseDefaultGraphics();
    SelectGraphicsDriver(previous_driver, previous_flags);
    UseFrameClock(nullptr);
  }
  std::vector<std::string> TakeCalls() { return std::exchange(driver.calls, {}); }

  RecordingDriver driver;
  ManualClock clock{1000};
  TGraphicsDriver* previous_driver = nullptr;
  int previous_flags = 0;
};
}  // namespace

TEST(GraphicsMode, ToStringJoinsSizeDepthAndRate) {
  EXPECT_EQ(ToUtf8((TGraphicsMode{800, 600, 24, 60}).ToString()), "800,600,24 60Hz");
  EXPECT_EQ(ToUtf8((TGraphicsMode{-1, 0, 0, 0}).ToString()), "-1,0,0 0Hz");
}

TEST(GraphicsSerial, SkipsZeroWhenItWraps) {
  EXPECT_EQ(NextGraphicsSerial(0), 1);
  EXPECT_EQ(NextGraphicsSerial(41), 42);
  EXPECT_EQ(NextGraphicsSerial(-1), 1);
  EXPECT_EQ(NextGraphicsSerial(2147483647), -2147483647 - 1);
}

TEST_F(GraphicsLayer, TheGamesRequestAsksForFlagsTwoAndPacesAtSixteenSeventeenSeventeen) {
  const int serial = GraphicsSerial();
  auto graphics = OpenGraphics(800, 600, 0, 60, 0);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"CreateGraphics 800 600 0 60 2", "SetGraphics"}));
  EXPECT_EQ(GraphicsSerial(), NextGraphicsSerial(serial));
  EXPECT_EQ(DefaultGraphics(), graphics);
  EXPECT_EQ(CurrentGraphics(), graphics);
  EXPECT_EQ(CurrentGraphicsWidth(), 800);
  EXPECT_EQ(CurrentGraphicsHeight(), 600);
  EXPECT_EQ(CurrentGraphicsHertz(), 60);
  EXPECT_EQ(CurrentGraphicsFlags(), 2);
  EXPECT_TRUE(GraphicsPaced());
  EXPECT_EQ(GraphicsPacer().period(), 16);
  EXPECT_EQ(GraphicsPacer().remainder(), 40);
  EXPECT_EQ(GraphicsPacer().next_frame_time(), 1000);

  std::vector<int> due;  // each swap's due time, from the opening
  for (int i = 0; i < 6; ++i) {
    FlipFrame(-1);
    due.push_back(GraphicsPacer().next_frame_time() - 1000);
  }
  EXPECT_EQ(due, (std::vector<int>{16, 33, 50, 66, 83, 100}));
  EXPECT_EQ(TakeCalls(), std::vector<std::string>(6, "Flip 0"));
}

TEST_F(GraphicsLayer, ImmediateAndRetraceFlipsBypassPacing) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  TakeCalls();
  FlipFrame(0);
  FlipFrame(1);
  FlipFrame(7);
  EXPECT_TRUE(clock.delays.empty());
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"Flip 0", "Flip 1", "Flip 7"}));
}

TEST_F(GraphicsLayer, ZeroHertzNeverSleepsAndFlipsByTheCurrentDepth) {
  ASSERT_NE(OpenGraphics(640, 480, 0, 0, 0), nullptr);
  EXPECT_FALSE(GraphicsPaced());
  TakeCalls();
  FlipFrame(-1);
  EXPECT_TRUE(clock.delays.empty());
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"Flip 0"});
}

TEST_F(GraphicsLayer, AContextOtherThanTheDefaultIsNotPaced) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  auto other = NewGraphics(100, 100, 0, 60, 0);
  ASSERT_NE(other, nullptr);
  SelectGraphics(other);
  TakeCalls();
  FlipFrame(-1);
  EXPECT_TRUE(clock.delays.empty());
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"Flip 0"});
  CloseGraphicsContext(other);
}

TEST_F(GraphicsLayer, ALateFrameDoesNotSleep) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  clock.Advance(30);
  const int late_at = clock.Now();
  FlipFrame(-1);
  EXPECT_EQ(GraphicsPacer().next_frame_time(), late_at)
      << "swapped at once, the schedule from there";
}

TEST_F(GraphicsLayer, FullScreenProbeTurnsPacingOffWhenTheRetraceKeepsTime) {
  driver.retrace_millis = 17;  // within a millisecond of the 16 ms period
  ASSERT_NE(OpenGraphics(800, 600, 24, 60, 0), nullptr);
  EXPECT_FALSE(GraphicsPaced());
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"CreateGraphics 800 600 24 60 2", "SetGraphics",
                                                   "Flip 1", "Flip 1", "Flip 1"}));
  FlipFrame(-1);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"Flip 1"});
}

TEST_F(GraphicsLayer, FullScreenProbeKeepsPacingWhenSwapsDoNotWait) {
  driver.retrace_millis = 2;  // the swap returns at once
  ASSERT_NE(OpenGraphics(800, 600, 24, 60, 0), nullptr);
  EXPECT_TRUE(GraphicsPaced());
  const auto calls = TakeCalls();
  EXPECT_EQ(calls.size(), 2u + 500u);  // a whole second of 2 ms flips
  FlipFrame(-1);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"Flip 0"});
}

TEST_F(GraphicsLayer, TheRetraceProbeRunsItsSecondAcrossTheClocksWrap) {
  clock.Set(2147483647 - 300);
  driver.retrace_millis = 2;
  ASSERT_NE(OpenGraphics(800, 600, 24, 60, 0), nullptr);
  EXPECT_TRUE(GraphicsPaced());
  EXPECT_EQ(TakeCalls().size(), 2u + 500u) << "a whole second of 2 ms flips, no more, no less";

  CloseDefaultGraphics();
  TakeCalls();
  clock.Set(2147483647 - 20);
  driver.retrace_millis = 16;
  ASSERT_NE(OpenGraphics(800, 600, 24, 60, 0), nullptr);
  EXPECT_FALSE(GraphicsPaced()) << "swaps of one period each, some of them across the wrap";
}

TEST_F(GraphicsLayer, FailedCreationLeavesSerialAndPacingAlone) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  const int serial = GraphicsSerial();
  driver.fail_create = true;
  EXPECT_EQ(OpenGraphics(1024, 768, 0, 75, 0), nullptr);
  // The old default was closed first; the failed request changes nothing else.
  EXPECT_EQ(GraphicsSerial(), NextGraphicsSerial(serial));
  EXPECT_EQ(DefaultGraphics(), nullptr);
  EXPECT_EQ(CurrentGraphics(), nullptr);
  EXPECT_EQ(GraphicsPacer().hertz(), 60);
}

TEST_F(GraphicsLayer, ARuntimeErrorDuringCreationBecomesNull) {
  driver.raise_on_create = true;
  EXPECT_EQ(NewGraphics(800, 600, 0, 60, 0), nullptr);
  EXPECT_EQ(OpenGraphics(800, 600, 0, 60, 0), nullptr);
}

TEST_F(GraphicsLayer, AttachAddsTheDefaultFlags) {
  auto graphics = AttachGraphicsTo(77, 8);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"AttachGraphics 77 10"});
}

TEST_F(GraphicsLayer, CloseDefaultMovesTheSerialAndClosesTheContext) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  const int serial = GraphicsSerial();
  TakeCalls();
  CloseDefaultGraphics();
  EXPECT_EQ(GraphicsSerial(), NextGraphicsSerial(serial));
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetGraphics null", "Close"}));
  EXPECT_EQ(DefaultGraphics(), nullptr);
  EXPECT_EQ(CurrentGraphicsWidth(), 0);
  CloseDefaultGraphics();  // nothing left to close
  EXPECT_EQ(GraphicsSerial(), NextGraphicsSerial(serial));
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(GraphicsLayer, ModesAreAskedOncePerDriverAndMatchedWithWildcards) {
  driver.modes = {{640, 480, 24, 60}, {800, 600, 24, 75}};
  EXPECT_EQ(GraphicsModeCount(), 2);
  EXPECT_EQ(HasGraphicsMode(800, 600, 0, 0), 1);
  EXPECT_EQ(HasGraphicsMode(0, 0, 0, 0), 1);
  EXPECT_EQ(HasGraphicsMode(800, 600, 24, 60), 0);
  int width = 0, height = 0, depth = 0, hertz = 0;
  GraphicsModeAt(1, width, height, depth, hertz);
  EXPECT_EQ((std::vector<int>{width, height, depth, hertz}), (std::vector<int>{800, 600, 24, 75}));
  EXPECT_THROW(GraphicsModeAt(2, width, height, depth, hertz), RuntimeError);
  EXPECT_EQ(ListGraphicsModes().size(), 2u);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"GraphicsModes"});

  RecordingDriver other;
  SelectGraphicsDriver(&other, 2);
  EXPECT_EQ(HasGraphicsMode(0, 0, 0, 0), 0);  // an empty list matches nothing
  EXPECT_EQ(other.calls, std::vector<std::string>{"GraphicsModes"});
}

TEST_F(GraphicsLayer, SelectingAContextOfAnotherDriverSwitchesDrivers) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  RecordingDriver other;
  auto foreign = other.CreateGraphics(320, 240, 0, 0, 0);
  TakeCalls();
  SelectGraphics(foreign);
  EXPECT_EQ(CurrentGraphicsDriver(), &other);
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{"SetGraphics null"});
  EXPECT_EQ(other.calls.back(), "SetGraphics");
  EXPECT_EQ(CurrentGraphicsWidth(), 320);
  SelectGraphicsDriver(&driver, 2);
}

TEST_F(GraphicsLayer, FlipHooksRunWithNullDataBeforeEveryKindOfFlip) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  TakeCalls();
  flip_hook_log = &driver.calls;
  InsertHook(FlipHookId(), RecordFlipHook, nullptr, 0);
  FlipFrame(-1);
  FlipFrame(0);
  FlipFrame(1);
  DeleteHook(FlipHookId(), RecordFlipHook, nullptr);
  EXPECT_EQ(TakeCalls(),
            (std::vector<std::string>{"hook", "Flip 0", "hook", "Flip 0", "hook", "Flip 1"}));
  EXPECT_NE(FlipHookId(), EventHookId());
}

// A system driver whose pump writes into the graphics driver's call list, with the clock's time.
class PumpRecorder final : public TNullSystemDriver {
 public:
  PumpRecorder(std::vector<std::string>& calls, ManualClock& clock)
      : calls_(calls), clock_(clock) {}
  void Poll() override { calls_.push_back("pump at " + std::to_string(clock_.Now())); }

 private:
  std::vector<std::string>& calls_;
  ManualClock& clock_;
};

TEST_F(GraphicsLayer, AFrameRunsTheHooksWaitsUntilDueSwapsAndThenPumpsTheEvents) {
  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  TakeCalls();
  const int opened_at = clock.Now();
  InstallSystemDriver(std::make_unique<PumpRecorder>(driver.calls, clock));
  flip_hook_log = &driver.calls;
  InsertHook(FlipHookId(), RecordFlipHook, nullptr, 0);
  FlipFrame(-1);
  FlipFrame(1);
  DeleteHook(FlipHookId(), RecordFlipHook, nullptr);
  InstallSystemDriver(std::make_unique<TNullSystemDriver>());
  // The paced frame was due 16 ms after the opening, the next 17 ms later: the pump comes after
  // that wait and the swap, one margin (a whole frame until the work is known) before the next is
  // due. The unpaced frame pumps right after its swap.
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{
                             "hook", "Flip 0", "pump at " + std::to_string(opened_at + 17), "hook",
                             "Flip 1", "pump at " + std::to_string(opened_at + 17)}));
}

TEST_F(GraphicsLayer, PolledInputListensWhileTheDefaultGraphicsIsOpen) {
  EmitEvent(EVENT_KEYDOWN, 65, 0, 0);
  EXPECT_EQ(KeyHits(65), 0) << "no graphics, no polled input";

  ASSERT_NE(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  EmitEvent(EVENT_KEYDOWN, 65, 0, 0);
  EXPECT_EQ(KeyHits(65), 1);

  CloseDefaultGraphics();
  EmitEvent(EVENT_KEYDOWN, 66, 0, 0);
  EXPECT_EQ(KeyHits(66), 0);
}

TEST_F(GraphicsLayer, AFailedOpenLeavesPolledInputOff) {
  driver.fail_create = true;
  EXPECT_EQ(OpenGraphics(800, 600, 0, 60, 0), nullptr);
  EmitEvent(EVENT_KEYDOWN, 67, 0, 0);
  EXPECT_EQ(KeyHits(67), 0);
}
