// The X event pump against a real X server: input sent through XTest comes out as system events.
#include "platform/x11/x_event_pump.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/polled_input.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/x_display.h"
#include "tests/support/display.h"
#include "tests/support/input_window.h"

namespace {
struct Seen {
  int id;
  int data;
  int x;
  int y;
  bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
  *out << ToUtf8(EventIdName(seen.id)) << "(" << seen.data << " @" << seen.x << "," << seen.y
       << ")";
}

std::vector<Seen> seen;

ObjectRef Record(int, const ObjectRef& data, const ObjectRef&) {
  if (const auto* event = dynamic_cast<const TEvent*>(data.get()))
    seen.push_back({event->id, event->data, event->x, event->y});
  return data;
}

class XEventPump : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_DISPLAY();
    window_ = std::make_unique<TestInputWindow>();
    ASSERT_NE(window_->display(), nullptr);
    PollSystemEvents();
    InsertHook(EventHookId(), Record, nullptr, 100);
    seen.clear();
  }
  void TearDown() override {
    DeleteHook(EventHookId(), Record, nullptr);
    window_.reset();
  }

  // The events of one poll, of the given ids only.
  std::vector<Seen> PollOnly(std::initializer_list<int> ids) {
    seen.clear();
    PollSystemEvents();
    std::vector<Seen> kept;
    for (const Seen& s : seen)
      for (int id : ids)
        if (s.id == id) kept.push_back(s);
    return kept;
  }

  std::unique_ptr<TestInputWindow> window_;
};
}  // namespace

TEST_F(XEventPump, KeysTranslateToTheirCodes) {
  const std::pair<KeySym, int> keys[] = {
      {XK_Escape, 27},
      {XK_space, 32},
      {XK_Left, 37},
      {XK_Up, 38},
      {XK_Right, 39},
      {XK_Down, 40},
      {XK_h, 72},
      {XK_a, 65},
      {XK_z, 90},
      {XK_0, 48},
      {XK_9, 57},
      {XK_Return, 13},
      {XK_BackSpace, 8},
      {XK_Tab, 9},
      {XK_Delete, 46},
      {XK_Print, 42},
      {XK_Insert, 45},
      {XK_Home, 36},
      {XK_End, 35},
      {XK_Prior, 33},
      {XK_Next, 34},
      {XK_Shift_L, 160},
      {XK_Shift_R, 161},
      {XK_Control_L, 162},
      {XK_Control_R, 163},
      {XK_Alt_L, 164},
      {XK_Super_L, 91},
      {XK_Menu, 93},
      {XK_KP_Home, 103},
      {XK_KP_Insert, 96},
      {XK_KP_Delete, 110},
      {XK_KP_Enter, 13},
      {XK_KP_Add, 107},
      {XK_KP_Subtract, 109},
      {XK_KP_Multiply, 106},
      {XK_KP_Divide, 111},
      {XK_comma, 188},
      {XK_minus, 189},
      {XK_period, 190},
      {XK_slash, 191},
      {XK_semicolon, 186},
      {XK_equal, 187},
      {XK_bracketleft, 219},
      {XK_backslash, 226},
      {XK_bracketright, 221},
      {XK_grave, 192},
      {XK_apostrophe, 222},
  };
  std::vector<std::pair<KeySym, int>> function_keys;
  for (int f = 0; f < 12; ++f) function_keys.push_back({XK_F1 + f, 112 + f});
  for (const auto& list :
       {std::vector<std::pair<KeySym, int>>(std::begin(keys), std::end(keys)), function_keys}) {
    for (const auto& [keysym, code] : list) {
      ASSERT_NE(window_->KeycodeOf(keysym), 0) << XKeysymToString(keysym) << " is not on the map";
      window_->TapKey(keysym);
      const auto events = PollOnly({EVENT_KEYDOWN, EVENT_KEYUP, EVENT_KEYREPEAT});
      EXPECT_EQ(events,
                (std::vector<Seen>{{EVENT_KEYDOWN, code, 400, 300}, {EVENT_KEYUP, code, 400, 300}}))
          << XKeysymToString(keysym);
    }
  }
}

TEST_F(XEventPump, ShiftedLettersKeepTheirCodeAndTypeTheirCharacter) {
  window_->TapKey(XK_h);
  EXPECT_EQ(PollOnly({EVENT_KEYDOWN, EVENT_KEYCHAR}),
            (std::vector<Seen>{{EVENT_KEYDOWN, 72, 400, 300}, {EVENT_KEYCHAR, 'h', 0, 0}}));
  window_->PressKey(XK_Shift_L);
  window_->TapKey(XK_h);
  window_->ReleaseKey(XK_Shift_L);
  EXPECT_EQ(PollOnly({EVENT_KEYDOWN, EVENT_KEYCHAR}),
            (std::vector<Seen>{{EVENT_KEYDOWN, 160, 400, 300},
                               {EVENT_KEYDOWN, 72, 400, 300},
                               {EVENT_KEYCHAR, 'H', 0, 0}}));
}

TEST_F(XEventPump, ALatin1CharacterArrivesAsASignedByte) {
  // Put eacute on a keycode the server's map leaves empty.
  Display* display = window_->display();
  int min_code = 0, max_code = 0, per_code = 0;
  XDisplayKeycodes(display, &min_code, &max_code);
  KeySym* map = XGetKeyboardMapping(display, min_code, max_code - min_code + 1, &per_code);
  int spare = 0;
  for (int code = max_code; code >= min_code && spare == 0; --code) {
    bool empty = true;
    for (int i = 0; i < per_code; ++i) empty = empty && map[(code - min_code) * per_code + i] == 0;
    if (empty) spare = code;
  }
  XFree(map);
  ASSERT_NE(spare, 0) << "no free keycode on the server's map";
  KeySym eacute = XK_eacute;
  XChangeKeyboardMapping(display, spare, 1, &eacute, 1);
  window_->Sync();
  PollSystemEvents();  // takes the MappingNotify

  window_->TapKey(XK_eacute);
  const auto events = PollOnly({EVENT_KEYDOWN, EVENT_KEYCHAR, EVENT_KEYUP});
  KeySym nothing = NoSymbol;
  XChangeKeyboardMapping(display, spare, 1, &nothing, 1);
  window_->Sync();
  PollSystemEvents();
  EXPECT_EQ(events, (std::vector<Seen>{{EVENT_KEYDOWN, 164, 400, 300},
                                       {EVENT_KEYCHAR, -23, 0, 0},
                                       {EVENT_KEYUP, 164, 400, 300}}));
}

TEST_F(XEventPump, HoldingAKeyGivesOneDownThenRepeatsThenOneUp) {
  window_->PressKey(XK_space);
  // The press and two of the server's release/press repeat pairs, all unread: one poll then sees
  // the whole hold, however late the loaded server's repeat timer fired.
  ASSERT_TRUE(window_->WaitForAutoRepeat(XK_space, 2)) << "the server sent no auto-repeat";
  window_->ReleaseKey(XK_space);
  const auto events = PollOnly({EVENT_KEYDOWN, EVENT_KEYUP, EVENT_KEYREPEAT});
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events.front(), (Seen{EVENT_KEYDOWN, 32, 400, 300}));
  EXPECT_EQ(events.back(), (Seen{EVENT_KEYUP, 32, 400, 300}));
  for (std::size_t i = 1; i + 1 < events.size(); ++i)
    EXPECT_EQ(events[i], (Seen{EVENT_KEYREPEAT, 32, 400, 300})) << i;
}

TEST_F(XEventPump, AReleaseAndPressQueuedTogetherCollapseIntoARepeat) {
  window_->PressKey(XK_a);
  PollSystemEvents();
  window_->ReleaseKey(XK_a);
  window_->PressKey(XK_a);
  window_->PressKey(XK_b);
  window_->ReleaseKey(XK_b);
  window_->PressKey(XK_c);  // another key's press after a release does not collapse
  window_->ReleaseKey(XK_a);
  window_->ReleaseKey(XK_c);
  EXPECT_EQ(PollOnly({EVENT_KEYDOWN, EVENT_KEYUP, EVENT_KEYREPEAT}),
            (std::vector<Seen>{{EVENT_KEYREPEAT, 65, 400, 300},
                               {EVENT_KEYDOWN, 66, 400, 300},
                               {EVENT_KEYUP, 66, 400, 300},
                               {EVENT_KEYDOWN, 67, 400, 300},
                               {EVENT_KEYUP, 65, 400, 300},
                               {EVENT_KEYUP, 67, 400, 300}}));
}

TEST_F(XEventPump, AReleaseLastInTheQueueDoesNotWaitForMore) {
  window_->PressKey(XK_Escape);
  PollSystemEvents();
  window_->ReleaseKey(XK_Escape);
  // A look-ahead that waited for the next event would hang here.
  EXPECT_EQ(PollOnly({EVENT_KEYUP}), (std::vector<Seen>{{EVENT_KEYUP, 27, 400, 300}}));
}

TEST_F(XEventPump, ButtonsWheelAndMotion) {
  window_->MovePointerTo(120, 80);
  window_->PressButton(3);
  window_->ReleaseButton(3);
  window_->PressButton(2);
  window_->ReleaseButton(2);
  window_->PressButton(1);
  window_->ReleaseButton(1);
  window_->PressButton(4);
  window_->ReleaseButton(4);
  window_->PressButton(5);
  window_->ReleaseButton(5);
  EXPECT_EQ(PollOnly({EVENT_MOUSEMOVE, EVENT_MOUSEDOWN, EVENT_MOUSEUP, EVENT_MOUSEWHEEL}),
            (std::vector<Seen>{{EVENT_MOUSEMOVE, 0, 120, 80},
                               {EVENT_MOUSEDOWN, 2, 120, 80},
                               {EVENT_MOUSEUP, 2, 120, 80},
                               {EVENT_MOUSEDOWN, 3, 120, 80},
                               {EVENT_MOUSEUP, 3, 120, 80},
                               {EVENT_MOUSEDOWN, 1, 120, 80},
                               {EVENT_MOUSEUP, 1, 120, 80},
                               {EVENT_MOUSEWHEEL, 1, 120, 80},
                               {EVENT_MOUSEWHEEL, -1, 120, 80}}));
}

TEST_F(XEventPump, ButtonsAbove5AreDropped) {
  window_->PressButton(8);
  window_->ReleaseButton(8);
  // The server did deliver them; the driver emits nothing for them.
  ASSERT_EQ(XEventsQueued(window_->display(), QueuedAlready), 2);
  XEvent first;
  XPeekEvent(window_->display(), &first);
  EXPECT_EQ(first.type, ButtonPress);
  EXPECT_EQ(first.xbutton.button, 8u);
  EXPECT_EQ(PollOnly({EVENT_MOUSEDOWN, EVENT_MOUSEUP, EVENT_MOUSEWHEEL}), std::vector<Seen>{});
}

TEST_F(XEventPump, TheCloseButtonBecomesAppTerminate) {
  Display* display = window_->display();
  RegisterCloseButton(window_->window());
  Atom* protocols = nullptr;
  int count = 0;
  ASSERT_TRUE(XGetWMProtocols(display, window_->window(), &protocols, &count));
  const Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(protocols[0], delete_window);
  XFree(protocols);

  EnablePolledInput();
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window_->window();
  message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  message.xclient.format = 32;
  message.xclient.data.l[0] = static_cast<long>(delete_window);
  message.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window_->window(), False, NoEventMask, &message);
  window_->Sync();
  EXPECT_EQ(AppTerminateRequested(), 1);
  EXPECT_EQ(AppTerminateRequested(), 0);
  DisablePolledInput();
}

TEST_F(XEventPump, HidingAndShowingThePointerRaisesNoXError) {
  TakeLastXError();
  HideMousePointer();
  HideMousePointer();  // the blank cursor is made once and reused
  ShowMousePointer();
  window_->Sync();
  EXPECT_EQ(TakeLastXError(), 0);
}
