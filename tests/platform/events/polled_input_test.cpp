#include "platform/events/polled_input.h"

#include <gtest/gtest.h>

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/system_driver.h"
#include "platform/process/clock.h"
#include "platform/process/pending_work.h"

namespace {
class PolledInput : public ::testing::Test {
 protected:
  void SetUp() override {
    StartSystemModule();
    EnablePolledInput();
  }
  void TearDown() override { DisablePolledInput(); }
};
}  // namespace

TEST_F(PolledInput, HitsCountPressesAndEveryReadConsumesThem) {
  EmitEvent(EVENT_KEYDOWN, 27, 0, 0);
  EmitEvent(EVENT_KEYUP, 27, 0, 0);
  EmitEvent(EVENT_KEYDOWN, 27, 0, 0);
  EmitEvent(EVENT_KEYUP, 27, 0, 0);
  EXPECT_EQ(KeyHits(27), 2);
  EXPECT_EQ(KeyHits(27), 0);
}

TEST_F(PolledInput, RepeatsAndSecondDownsWithoutUpAddNoHit) {
  EmitEvent(EVENT_KEYDOWN, 32, 0, 0);
  EmitEvent(EVENT_KEYREPEAT, 32, 0, 0);
  EmitEvent(EVENT_KEYDOWN, 32, 0, 0);
  EXPECT_EQ(KeyIsDown(32), 1);
  EXPECT_EQ(KeyHits(32), 1);
  EmitEvent(EVENT_KEYUP, 32, 0, 0);
  EXPECT_EQ(KeyIsDown(32), 0);
}

TEST_F(PolledInput, MouseButtonsPositionAndWheel) {
  EmitEvent(EVENT_MOUSEDOWN, 2, 5, 6);
  EmitEvent(EVENT_MOUSEMOVE, 0, 17, 23);
  EmitEvent(EVENT_MOUSEWHEEL, 1, 0, 0);
  EmitEvent(EVENT_MOUSEWHEEL, 1, 0, 0);
  EmitEvent(EVENT_MOUSEWHEEL, -1, 0, 0);
  EXPECT_EQ(MouseIsDown(2), 1);
  EXPECT_EQ(MouseHits(2), 1);
  EXPECT_EQ(MouseHits(1), 0);
  EXPECT_EQ(MousePosX(), 17);
  EXPECT_EQ(MousePosY(), 23);
  EXPECT_EQ(MouseWheelPos(), 1);
  EXPECT_EQ(MouseMoved(), 1);
  EXPECT_EQ(MouseMoved(), 0) << "a position read again is no new motion";
  EmitEvent(EVENT_MOUSEMOVE, 0, 17, 23);
  ClearMouse();
  EXPECT_EQ(MouseIsDown(2), 0);
  EXPECT_EQ(MouseWheelPos(), 0);
  EXPECT_EQ(MouseMoved(), 0);
  EXPECT_EQ(MousePosX(), 17);
  EXPECT_EQ(MousePosY(), 23);
}

TEST_F(PolledInput, CodesAndButtonsOutsideTheCellsTouchNothing) {
  for (int bad : {-1, -4, 4, 1 << 30}) {
    EmitEvent(EVENT_MOUSEDOWN, bad, 0, 0);
    EmitEvent(EVENT_MOUSEUP, bad, 0, 0);
    EXPECT_EQ(MouseHits(bad), 0) << bad;
    EXPECT_EQ(MouseIsDown(bad), 0) << bad;
  }
  for (int bad : {-1, -256, 256, 1 << 30}) {
    EmitEvent(EVENT_KEYDOWN, bad, 0, 0);
    EXPECT_EQ(KeyHits(bad), 0) << bad;
    EXPECT_EQ(KeyIsDown(bad), 0) << bad;
  }
  for (int button = 0; button < kMouseButtonCount; ++button) EXPECT_EQ(MouseHits(button), 0);
  for (int key = 0; key < kKeyCodeCount; ++key) EXPECT_EQ(KeyHits(key), 0) << key;
}

TEST_F(PolledInput, CharactersQueueUpTo256AndFurtherOnesAreDropped) {
  for (int i = 1; i <= 300; ++i) EmitEvent(EVENT_KEYCHAR, i, 0, 0);
  EmitEvent(EVENT_KEYDOWN, 65, 0, 0);  // the key state is kept while characters drop
  for (int i = 1; i <= 256; ++i) ASSERT_EQ(NextKeyChar(), i);
  EXPECT_EQ(NextKeyChar(), 0);
  EXPECT_EQ(KeyHits(65), 1);
  EmitEvent(EVENT_KEYCHAR, -23, 0, 0);
  EXPECT_EQ(NextKeyChar(), -23);
}

TEST_F(PolledInput, ClearKeysForgetsHeldKeysHitsAndCharacters) {
  EmitEvent(EVENT_KEYDOWN, 37, 0, 0);
  EmitEvent(EVENT_KEYCHAR, 'a', 0, 0);
  ClearKeys();
  EXPECT_EQ(KeyIsDown(37), 0);
  EXPECT_EQ(KeyHits(37), 0);
  EXPECT_EQ(NextKeyChar(), 0);
  // Still held after the clear: a repeat is no press, only a new KeyDown after KeyUp counts.
  EmitEvent(EVENT_KEYREPEAT, 37, 0, 0);
  EXPECT_EQ(KeyHits(37), 0);
  EmitEvent(EVENT_KEYUP, 37, 0, 0);
  EmitEvent(EVENT_KEYDOWN, 37, 0, 0);
  EXPECT_EQ(KeyHits(37), 1);
}

TEST_F(PolledInput, SuspendClearsEverythingUntilResume) {
  EmitEvent(EVENT_KEYDOWN, 39, 0, 0);
  EmitEvent(EVENT_MOUSEDOWN, 1, 0, 0);
  EmitEvent(EVENT_APPSUSPEND, 0, 0, 0);
  EXPECT_EQ(AppIsSuspended(), 1);
  EXPECT_EQ(KeyIsDown(39), 0);
  EXPECT_EQ(MouseHits(1), 0);
  EXPECT_EQ(AppIsSuspended(), 1);
  EmitEvent(EVENT_KEYDOWN, 39, 0, 0);
  EmitEvent(EVENT_APPRESUME, 0, 0, 0);
  EXPECT_EQ(AppIsSuspended(), 0);
  EXPECT_EQ(KeyIsDown(39), 0);
}

TEST_F(PolledInput, TerminateReadsOnceThenZero) {
  EXPECT_EQ(AppTerminateRequested(), 0);
  EmitEvent(EVENT_APPTERMINATE, 0, 0, 0);
  EXPECT_EQ(AppTerminateRequested(), 1);
  EXPECT_EQ(AppTerminateRequested(), 0);
}

TEST_F(PolledInput, DisabledStateHearsNothingAndEnableClearsFirstSuspensionIncluded) {
  EmitEvent(EVENT_KEYDOWN, 72, 0, 0);
  DisablePolledInput();
  EXPECT_EQ(KeyIsDown(72), 0);  // cleared after the hook went
  EmitEvent(EVENT_KEYDOWN, 13, 0, 0);
  EXPECT_EQ(KeyHits(13), 0);
  EnablePolledInput();
  EmitEvent(EVENT_APPSUSPEND, 0, 0, 0);  // the window goes before its focus comes back
  DisablePolledInput();
  EnablePolledInput();
  EXPECT_EQ(AppIsSuspended(), 0) << "a new window starts unsuspended";
  EnablePolledInput();  // a second enable installs no second hook
  EmitEvent(EVENT_KEYDOWN, 13, 0, 0);
  EmitEvent(EVENT_KEYUP, 13, 0, 0);
  EmitEvent(EVENT_KEYDOWN, 13, 0, 0);
  EXPECT_EQ(KeyHits(13), 2);
}

TEST_F(PolledInput, ASourceFilterCountsOnlyThatSource) {
  DisablePolledInput();
  auto mine = std::make_shared<TObject>();
  EnablePolledInput(mine);
  TEvent::Create(EVENT_KEYDOWN, std::make_shared<TObject>(), 27, 0, 0, 0, nullptr)->Emit();
  EmitEvent(EVENT_KEYDOWN, 28, 0, 0);
  TEvent::Create(EVENT_KEYDOWN, mine, 29, 0, 0, 0, nullptr)->Emit();
  EXPECT_EQ(KeyHits(27), 0);
  EXPECT_EQ(KeyHits(28), 0);
  EXPECT_EQ(KeyHits(29), 1);
}

namespace {
int seen_after = 0;
ObjectRef CountAfter(int, const ObjectRef& data, const ObjectRef&) {
  if (data) ++seen_after;
  return data;
}
}  // namespace

TEST_F(PolledInput, TheHookPassesEveryEventOnAndLeavesOtherDataAlone) {
  InsertHook(EventHookId(), CountAfter, nullptr, -1);
  seen_after = 0;
  EmitEvent(EVENT_KEYDOWN, 1, 0, 0);
  EmitEvent(EVENT_GADGETACTION, 1, 0, 0);
  auto other = std::make_shared<TStringObject>(u"not an event");
  CallHooks(EventHookId(), other);
  DeleteHook(EventHookId(), CountAfter, nullptr);
  EXPECT_EQ(seen_after, 3);
}

namespace {
// The wait's own clear polls once and runs what was posted: so the first step only posts the
// second, which runs inside the first WaitSystemEvents.
void PressDuringTheWait(const ObjectRef&, int what) {
  switch (what) {
    case 10:
    case 11:
    case 12:
      PostCompletion(PressDuringTheWait, nullptr, what - 10);
      break;
    case 0:
      EmitEvent(EVENT_KEYDOWN, 200, 0, 0);
      EmitEvent(EVENT_KEYDOWN, 72, 0, 0);
      break;
    case 1:
      EmitEvent(EVENT_KEYCHAR, 'z', 0, 0);
      break;
    case 2:
      EmitEvent(EVENT_MOUSEDOWN, 3, 0, 0);
      EmitEvent(EVENT_MOUSEDOWN, 2, 0, 0);
      break;
  }
}
}  // namespace

TEST_F(PolledInput, WaitsClearFirstThenReturnTheFirstHitInAscendingOrder) {
  StartClock();                        // each wait sleeps about a millisecond
  EmitEvent(EVENT_KEYDOWN, 27, 0, 0);  // hit before the wait: cleared
  PostCompletion(PressDuringTheWait, nullptr, 10);
  EXPECT_EQ(WaitForKey(), 72);
  EXPECT_EQ(KeyHits(200), 1);  // the other hit stays for later

  EmitEvent(EVENT_KEYCHAR, 'a', 0, 0);
  PostCompletion(PressDuringTheWait, nullptr, 11);
  EXPECT_EQ(WaitForChar(), 'z');

  EmitEvent(EVENT_MOUSEDOWN, 1, 0, 0);
  PostCompletion(PressDuringTheWait, nullptr, 12);
  EXPECT_EQ(WaitForMouse(), 2);
  EXPECT_EQ(MouseHits(3), 1);
}
