#include "platform/events/event.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/events/hooks.h"
#include "tests/support/process.h"

TEST(Event, ToStringNamesTheIdAndListsTheFields) {
  auto event = TEvent::Create(EVENT_KEYDOWN, nullptr, 27, 3, -5, 7, nullptr);
  EXPECT_EQ(ToUtf8(event->ToString()), "KeyDown: data=27, mods=3, x=-5, y=7, extra=\"\"");
  event->id = EVENT_WINDOWACCEPT;
  event->extra = std::make_shared<TStringObject>(u"file.txt");
  EXPECT_EQ(ToUtf8(event->ToString()),
            "WindowAccept: data=27, mods=3, x=-5, y=7, extra=\"file.txt\"");
  event->extra = event;  // not a string: the quotes stay empty
  EXPECT_EQ(ToUtf8(event->ToString()), "WindowAccept: data=27, mods=3, x=-5, y=7, extra=\"\"");
  event->extra = nullptr;  // the event holding itself would never be freed
}

TEST(Event, EveryIdHasItsName) {
  const std::vector<std::pair<int, std::string>> names = {
      {257, "AppSuspend"},
      {258, "AppResume"},
      {259, "AppTerminate"},
      {260, "AppOpenFile"},
      {261, "AppIdle"},
      {513, "KeyDown"},
      {514, "KeyUp"},
      {515, "KeyChar"},
      {516, "KeyRepeat"},
      {1025, "MouseDown"},
      {1026, "MouseUp"},
      {1027, "MouseMove"},
      {1028, "MouseWheel"},
      {1029, "MouseEnter"},
      {1030, "MouseLeave"},
      {2049, "TimerTick"},
      {8193, "GadgetAction"},
      {8195, "GadgetSelect"},
      {8196, "GadgetMenu"},
      {8197, "GadgetOpen"},
      {8198, "GadgetClose"},
      {8199, "GadgetDone"},
      {8200, "GadgetLostFocus"},
      {8201, "GadgetShape"},
      {16385, "WindowMove"},
      {16386, "WindowSize"},
      {16387, "WindowClose"},
      {16388, "WindowActivate"},
      {16389, "WindowAccept"},
      {32769, "MenuAction"},
      {65537, "StreamEof"},
      {65538, "StreamAvail"},
      {131073, "ProcessExit"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(ToUtf8(EventIdName(id)), name) << id;
}

TEST(Event, UserAndUnknownIdsArePrintedByNumber) {
  EXPECT_EQ(ToUtf8(EventIdName(INT_MIN + 1)), "UserEvent1");
  EXPECT_EQ(ToUtf8(EventIdName(INT_MIN)), "UserEvent0");
  EXPECT_EQ(ToUtf8(EventIdName(-1)), "UserEvent2147483647");
  EXPECT_EQ(ToUtf8(EventIdName(0)), "Unknown Event, id=0");
  EXPECT_EQ(ToUtf8(EventIdName(8192)), "Unknown Event, id=8192");
  EXPECT_EQ(ToUtf8(EventIdName(8194)), "Unknown Event, id=8194");  // the gap among the gadgets
  EXPECT_EQ(ToUtf8(EventIdName(8202)), "Unknown Event, id=8202");
  auto event = TEvent::Create(INT_MIN + 1, nullptr, 0, 0, 0, 0, nullptr);
  EXPECT_EQ(ToUtf8(event->ToString()).rfind("UserEvent1: ", 0), 0u);
}

TEST(Event, UserIdsStartJustAboveTheSignBitAndCountUp) {
  const ProcessResult result =
      RunProcess({std::string(ZIRKULON_HELPERS_DIR) + "/system_probe", "user-ids"});
  EXPECT_EQ(result.exit_status, 0) << result.standard_error;
  EXPECT_EQ(result.standard_output, "-2147483647 -2147483646\n");
}

namespace {
std::vector<std::string> seen;
ObjectRef Collect(int, const ObjectRef& data, const ObjectRef&) {
  seen.push_back(ToUtf8(data->ToString()));
  return data;
}
}  // namespace

TEST(Event, EmitRunsTheEventThroughTheEventChain) {
  StartEventModule();
  seen.clear();
  InsertHook(EventHookId(), Collect, nullptr, 1000);
  EmitEvent(EVENT_MOUSEWHEEL, -1, 3, 4);
  DispatchEvent(TEvent::Create(EVENT_APPIDLE, nullptr, 1, 2, 0, 0, nullptr));
  DeleteHook(EventHookId(), Collect, nullptr);
  EmitEvent(EVENT_MOUSEWHEEL, 1, 0, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"MouseWheel: data=-1, mods=0, x=3, y=4, extra=\"\"",
                                            "AppIdle: data=1, mods=2, x=0, y=0, extra=\"\""}));
}

namespace {
std::vector<std::shared_ptr<TEvent>> kept_events;
std::vector<const TEvent*> emitted;

// Consumes the event, so that nothing later on the chain (an event queue another test in this
// process started) keeps it.
ObjectRef Observe(int, const ObjectRef& data, const ObjectRef&) {
  emitted.push_back(static_cast<const TEvent*>(data.get()));
  return nullptr;
}

ObjectRef Keep(int, const ObjectRef& data, const ObjectRef&) {
  kept_events.push_back(std::static_pointer_cast<TEvent>(data));
  return data;
}
}  // namespace

TEST(Event, AnEventNobodyKeptIsReusedAndAKeptOneIsNeverOverwritten) {
  emitted.clear();
  kept_events.clear();
  InsertHook(EventHookId(), Observe, nullptr, 0);
  EmitEvent(EVENT_MOUSEMOVE, 0, 1, 1);
  EmitEvent(EVENT_MOUSEMOVE, 0, 2, 2);
  ASSERT_EQ(emitted.size(), 2u);
  EXPECT_EQ(emitted[0], emitted[1]) << "a steady stream of events allocates nothing";
  DeleteHook(EventHookId(), Observe, nullptr);

  InsertHook(EventHookId(), Keep, nullptr, 0);
  EmitEvent(EVENT_KEYDOWN, 27, 5, 6);
  EmitEvent(EVENT_KEYUP, 32, 7, 8);
  DeleteHook(EventHookId(), Keep, nullptr);
  ASSERT_EQ(kept_events.size(), 2u);
  EXPECT_NE(kept_events[0], kept_events[1]);
  EXPECT_EQ(ToUtf8(kept_events[0]->ToString()), "KeyDown: data=27, mods=0, x=5, y=6, extra=\"\"");
  EXPECT_EQ(ToUtf8(kept_events[1]->ToString()), "KeyUp: data=32, mods=0, x=7, y=8, extra=\"\"");
  kept_events.clear();
}
