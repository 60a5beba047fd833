#include "platform/events/event_queue.h"

#include <gtest/gtest.h>

namespace {
class EventQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    StartEventQueueModule();
    while (PollEventQueue() != 0) {
    }
  }
};

void Emit(int id, const ObjectRef& source, int data) {
  TEvent::Create(id, source, data, 0, data, -data, nullptr)->Emit();
}
}  // namespace

TEST_F(EventQueue, EventsComeOutInOrderAndBecomeCurrent) {
  auto source = std::make_shared<TStringObject>(u"gadget");
  TEvent::Create(EVENT_KEYDOWN, source, 27, 4, 10, 20, std::make_shared<TStringObject>(u"hi"))
      ->Emit();
  EmitEvent(EVENT_KEYUP, 27, 11, 21);
  EXPECT_EQ(EventQueueLength(), 2);

  EXPECT_EQ(PollEventQueue(), EVENT_KEYDOWN);
  EXPECT_EQ(EventID(), EVENT_KEYDOWN);
  EXPECT_EQ(EventData(), 27);
  EXPECT_EQ(EventMods(), 4);
  EXPECT_EQ(EventX(), 10);
  EXPECT_EQ(EventY(), 20);
  EXPECT_EQ(EventText(), u"hi");
  EXPECT_EQ(EventSource(), source);
  EXPECT_EQ(EventSourceHandle(), reinterpret_cast<std::uintptr_t>(source.get()));

  EXPECT_EQ(PollEventQueue(), EVENT_KEYUP);
  EXPECT_EQ(EventSource(), nullptr);
  EXPECT_EQ(EventSourceHandle(), 0u);
  EXPECT_EQ(PollEventQueue(), 0);
  EXPECT_EQ(EventID(), 0);
  EXPECT_EQ(EventData(), 0);
}

TEST_F(EventQueue, PeekLeavesTheEventQueuedAndTheCurrentEventAlone) {
  EmitEvent(EVENT_MOUSEDOWN, 1, 5, 6);
  PollEventQueue();
  EmitEvent(EVENT_MOUSEUP, 1, 5, 6);
  auto peeked = PeekEventQueue();
  ASSERT_NE(peeked, nullptr);
  EXPECT_EQ(peeked->id, EVENT_MOUSEUP);
  EXPECT_EQ(EventID(), EVENT_MOUSEDOWN);
  EXPECT_EQ(PollEventQueue(), EVENT_MOUSEUP);
  EXPECT_EQ(PeekEventQueue(), nullptr);
}

TEST_F(EventQueue, ASecondMoveOfTheSameSourceUpdatesTheQueuedOne) {
  auto window = std::make_shared<TObject>();
  auto other = std::make_shared<TObject>();
  Emit(EVENT_WINDOWMOVE, window, 1);
  Emit(EVENT_KEYDOWN, nullptr, 65);
  Emit(EVENT_WINDOWMOVE, other, 2);
  Emit(EVENT_WINDOWMOVE, window, 3);
  Emit(EVENT_TIMERTICK, window, 4);
  Emit(EVENT_TIMERTICK, window, 5);
  Emit(EVENT_KEYDOWN, nullptr, 66);  // key events never merge
  Emit(EVENT_KEYDOWN, nullptr, 66);
  ASSERT_EQ(EventQueueLength(), 6);

  EXPECT_EQ(PollEventQueue(), EVENT_WINDOWMOVE);
  EXPECT_EQ(EventData(), 3);
  EXPECT_EQ(EventX(), 3);
  EXPECT_EQ(EventY(), -3);
  EXPECT_EQ(PollEventQueue(), EVENT_KEYDOWN);
  EXPECT_EQ(PollEventQueue(), EVENT_WINDOWMOVE);
  EXPECT_EQ(EventData(), 2);
  EXPECT_EQ(PollEventQueue(), EVENT_TIMERTICK);
  EXPECT_EQ(EventData(), 5);
  EXPECT_EQ(PollEventQueue(), EVENT_KEYDOWN);
  EXPECT_EQ(PollEventQueue(), EVENT_KEYDOWN);
  EXPECT_EQ(PollEventQueue(), 0);
}

TEST_F(EventQueue, AFullRingDropsNewEventsAndKeepsTheFirst256) {
  for (int i = 0; i < 300; ++i) EmitEvent(EVENT_KEYCHAR, i, 0, 0);
  EXPECT_EQ(EventQueueLength(), kEventQueueSize);
  for (int i = 0; i < kEventQueueSize; ++i) {
    ASSERT_EQ(PollEventQueue(), EVENT_KEYCHAR);
    ASSERT_EQ(EventData(), i);
  }
  EXPECT_EQ(PollEventQueue(), 0);
  // The counters wrap around the ring cleanly afterwards.
  EmitEvent(EVENT_KEYCHAR, 7, 0, 0);
  EXPECT_EQ(PollEventQueue(), EVENT_KEYCHAR);
  EXPECT_EQ(EventData(), 7);
}
