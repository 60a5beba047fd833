// The X event pump against a real X server: input sent through XTest comes out as system events.
#include "platform/x11/x_event_pump.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/x11/key_translation.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/x_display.h"
#include "tests/support/input_window.h"

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include <X11/extensions/XTest.h>
#include <unistd.h>

namespace {
// Where the input window puts the pointer.
constexpr int kX = TestInputWindow::kPointerX;
constexpr int kY = TestInputWindow::kPointerY;

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

class XEventPump : public InputWindowTest {
 protected:
  void SetUp() override {
    InputWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    PollSystemEvents();
    InsertHook(EventHookId(), Record, nullptr, 100);
    seen.clear();
  }
  void TearDown() override {
    DeleteHook(EventHookId(), Record, nullptr);
    InputWindowTest::TearDown();
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
};
}  // namespace

// The pump reports each key by the translation of its unshifted keysym; the translation itself
// is checked on its own, so beyond the game's keys a few of other kinds suffice here.
TEST_F(XEventPump, KeysTranslateToTheirCodes) {
  std::vector<std::pair<KeySym, int>> keys = {
      {XK_Escape, kKeyEscape}, {XK_space, kKeySpace}, {XK_Left, kKeyLeft}, {XK_Up, kKeyUp},
      {XK_Right, kKeyRight},   {XK_Down, kKeyDown},   {XK_a, kKeyA},       {XK_z, kKeyA + 25},
      {XK_h, kKeyH},           {XK_0, kKey0},         {XK_9, kKey0 + 9},   {XK_F1, kKeyF1},
      {XK_F12, kKeyF1 + 11}};
  for (const KeySym other : {XK_Return, XK_Shift_L, XK_KP_Enter, XK_KP_Divide, XK_comma,
                             XK_bracketleft, XK_Delete, XK_Menu})
    keys.push_back({other, TranslateKeysym(other)});
  for (const auto& [keysym, code] : keys) {
    ASSERT_NE(window_->KeycodeOf(keysym), 0) << XKeysymToString(keysym) << " is not on the map";
    window_->TapKey(keysym);
    const auto events = PollOnly({EVENT_KEYDOWN, EVENT_KEYUP, EVENT_KEYREPEAT});
    EXPECT_EQ(events,
              (std::vector<Seen>{{EVENT_KEYDOWN, code, kX, kY}, {EVENT_KEYUP, code, kX, kY}}))
        << XKeysymToString(keysym);
  }
}

TEST_F(XEventPump, ShiftedLettersKeepTheirCodeAndTypeTheirCharacter) {
  window_->TapKey(XK_h);
  EXPECT_EQ(PollOnly({EVENT_KEYDOWN, EVENT_KEYCHAR}),
            (std::vector<Seen>{{EVENT_KEYDOWN, kKeyH, kX, kY}, {EVENT_KEYCHAR, 'h', 0, 0}}));
  window_->PressKey(XK_Shift_L);
  window_->TapKey(XK_h);
  window_->ReleaseKey(XK_Shift_L);
  EXPECT_EQ(PollOnly({EVENT_KEYDOWN, EVENT_KEYCHAR}),
            (std::vector<Seen>{{EVENT_KEYDOWN, 160, kX, kY},
                               {EVENT_KEYDOWN, kKeyH, kX, kY},
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
  EXPECT_EQ(events, (std::vector<Seen>{{EVENT_KEYDOWN, 164, kX, kY},
                                       {EVENT_KEYCHAR, -23, 0, 0},
                                       {EVENT_KEYUP, 164, kX, kY}}));
}

TEST_F(XEventPump, HoldingAKeyGivesOneDownThenRepeatsThenOneUp) {
  window_->PressKey(XK_space);
  // The press and two of the server's release/press repeat pairs, all unread: one poll then sees
  // the whole hold, however late the loaded server's repeat timer fired.
  ASSERT_TRUE(window_->WaitForAutoRepeat(XK_space, 2)) << "the server sent no auto-repeat";
  window_->ReleaseKey(XK_space);
  const auto events = PollOnly({EVENT_KEYDOWN, EVENT_KEYUP, EVENT_KEYREPEAT});
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events.front(), (Seen{EVENT_KEYDOWN, kKeySpace, kX, kY}));
  EXPECT_EQ(events.back(), (Seen{EVENT_KEYUP, kKeySpace, kX, kY}));
  for (std::size_t i = 1; i + 1 < events.size(); ++i)
    EXPECT_EQ(events[i], (Seen{EVENT_KEYREPEAT, kKeySpace, kX, kY})) << i;
}

TEST_F(XEventPump, AReleaseAndPressQueuedTogetherCollapseIntoARepeat) {
  window_->PressKey(XK_a);
  PollSystemEvents();
  window_->RepeatKey(XK_a);
  window_->PressKey(XK_b);
  window_->ReleaseKey(XK_b);
  window_->PressKey(XK_c);  // another key's press after a release does not collapse
  window_->ReleaseKey(XK_a);
  window_->ReleaseKey(XK_c);
  EXPECT_EQ(PollOnly({EVENT_KEYDOWN, EVENT_KEYUP, EVENT_KEYREPEAT}),
            (std::vector<Seen>{{EVENT_KEYREPEAT, 65, kX, kY},
                               {EVENT_KEYDOWN, 66, kX, kY},
                               {EVENT_KEYUP, 66, kX, kY},
                               {EVENT_KEYDOWN, 67, kX, kY},
                               {EVENT_KEYUP, 65, kX, kY},
                               {EVENT_KEYUP, 67, kX, kY}}));

  // A second press a moment later is the player's, even when a slow frame reads both at once.
  window_->PressKey(XK_a);
  PollSystemEvents();
  window_->ReleaseKey(XK_a);
  XTestFakeKeyEvent(window_->display(), window_->KeycodeOf(XK_a), True, 50);  // 50 ms on
  XFlush(window_->display());
  usleep(200000);
  window_->Sync();
  EXPECT_EQ(PollOnly({EVENT_KEYDOWN, EVENT_KEYUP, EVENT_KEYREPEAT}),
            (std::vector<Seen>{{EVENT_KEYUP, 65, kX, kY}, {EVENT_KEYDOWN, 65, kX, kY}}));
  window_->ReleaseKey(XK_a);
}

TEST_F(XEventPump, AReleaseLastInTheQueueDoesNotWaitForMore) {
  window_->PressKey(XK_Escape);
  PollSystemEvents();
  window_->ReleaseKey(XK_Escape);
  // A look-ahead that waited for the next event would hang here.
  EXPECT_EQ(PollOnly({EVENT_KEYUP}), (std::vector<Seen>{{EVENT_KEYUP, kKeyEscape, kX, kY}}));
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

TEST_F(XEventPump, HidingAndShowingThePointerRaisesNoXError) {
  TakeLastXError();
  HideMousePointer();
  HideMousePointer();  // the blank cursor is made once and reused
  ShowMousePointer();
  window_->Sync();
  EXPECT_EQ(TakeLastXError(), 0);
}
