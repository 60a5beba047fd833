// Polled input: key and button cells, hit counters, a ring of typed characters and the pointer
// position, all fed by one hook on the event chain. A hit counts a press: a held key's KeyRepeat
// and a second KeyDown without a KeyUp add nothing.
#include "platform/events/polled_input.h"

#include <array>
#include <cstdint>

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/system_driver.h"

namespace {
constexpr int kCharQueueSize = 256;

struct PolledState {
  std::array<int, kKeyCodeCount> key_states{};
  std::array<int, kKeyCodeCount> key_hits{};
  std::array<int, kCharQueueSize> char_queue{};
  std::uint32_t char_put = 0;
  std::uint32_t char_get = 0;
  std::array<int, kMouseButtonCount> mouse_states{};
  std::array<int, kMouseButtonCount> mouse_hits{};
  int mouse_x = 0;
  int mouse_y = 0;
  int mouse_wheel = 0;
  int mouse_moved = 0;
  int suspended = 0;
  int terminate = 0;
  ObjectRef source_filter;
  bool enabled = false;
};

bool polled_module_started = false;
PolledState state;

bool ValidKey(int key) {
  return key >= 0 && key < kKeyCodeCount;
}

bool ValidButton(int button) {
  return button >= 0 && button < kMouseButtonCount;
}

void ResetKeys() {
  state.char_put = 0;
  state.char_get = 0;
  state.key_states.fill(0);
  state.key_hits.fill(0);
}

void ResetMouse() {
  state.mouse_states.fill(0);
  state.mouse_hits.fill(0);
  state.mouse_wheel = 0;
  state.mouse_moved = 0;
}

// KeyDown and MouseDown: a hit only when the cell was up.
void Press(int* cell_state, int* cell_hits) {
  if (*cell_state != 0) return;
  *cell_state = 1;
  ++*cell_hits;
}

void Apply(const TEvent& event) {
  const int data = event.data;
  switch (event.id) {
    case EVENT_APPSUSPEND:
    case EVENT_APPRESUME:
      ResetKeys();
      ResetMouse();
      state.suspended = event.id == EVENT_APPSUSPEND ? 1 : 0;
      break;
    case EVENT_APPTERMINATE:
      state.terminate = 1;
      break;
    case EVENT_KEYDOWN:
      if (ValidKey(data)) Press(&state.key_states[data], &state.key_hits[data]);
      break;
    case EVENT_KEYUP:
      if (ValidKey(data)) state.key_states[data] = 0;
      break;
    case EVENT_KEYCHAR:
      if (state.char_put - state.char_get > kCharQueueSize - 1) break;  // full: dropped
      state.char_queue[state.char_put++ & (kCharQueueSize - 1)] = data;
      break;
    case EVENT_MOUSEDOWN:
      if (ValidButton(data)) Press(&state.mouse_states[data], &state.mouse_hits[data]);
      break;
    case EVENT_MOUSEUP:
      if (ValidButton(data)) state.mouse_states[data] = 0;
      break;
    case EVENT_MOUSEMOVE:
      state.mouse_x = event.x;
      state.mouse_y = event.y;
      state.mouse_moved = 1;
      break;
    case EVENT_MOUSEWHEEL:
      state.mouse_wheel += data;
      break;
    default:
      break;
  }
}

ObjectRef PolledInputHook(int, const ObjectRef& data, const ObjectRef&) {
  const auto* event = dynamic_cast<const TEvent*>(data.get());
  if (event == nullptr) return data;
  if (state.source_filter && event->source != state.source_filter) return data;
  Apply(*event);
  return data;
}

int TakeCount(int& count) {
  const int taken = count;
  count = 0;
  return taken;
}
}  // namespace

void StartPolledInputModule() {
  if (polled_module_started) return;
  polled_module_started = true;
  StartSystemModule();
  state = PolledState{};
}

void EnablePolledInput(ObjectRef source) {
  if (state.enabled) return;
  state.source_filter = std::move(source);
  ClearKeys();
  ClearMouse();
  // A new window's focus is its own: a suspension left by the last one would never be resumed.
  state.suspended = 0;
  InsertHook(EventHookId(), PolledInputHook, nullptr, 0);
  state.enabled = true;
}

void DisablePolledInput() {
  if (!state.enabled) return;
  DeleteHook(EventHookId(), PolledInputHook, nullptr);
  ClearKeys();
  ClearMouse();
  state.source_filter.reset();
  state.enabled = false;
}

int KeyHits(int key) {
  PollSystemEvents();
  return ValidKey(key) ? TakeCount(state.key_hits[key]) : 0;
}

int KeyIsDown(int key) {
  PollSystemEvents();
  return ValidKey(key) ? state.key_states[key] : 0;
}

int NextKeyChar() {
  PollSystemEvents();
  if (state.char_get == state.char_put) return 0;
  return state.char_queue[state.char_get++ & (kCharQueueSize - 1)];
}

void ClearKeys() {
  PollSystemEvents();
  ResetKeys();
}

int MouseHits(int button) {
  PollSystemEvents();
  return ValidButton(button) ? TakeCount(state.mouse_hits[button]) : 0;
}

int MouseIsDown(int button) {
  PollSystemEvents();
  return ValidButton(button) ? state.mouse_states[button] : 0;
}

int MousePosX() {
  PollSystemEvents();
  return state.mouse_x;
}

int MousePosY() {
  PollSystemEvents();
  return state.mouse_y;
}

int MouseMoved() {
  return TakeCount(state.mouse_moved);
}

int MouseWheelPos() {
  PollSystemEvents();
  return state.mouse_wheel;
}

void ClearMouse() {
  PollSystemEvents();
  ResetMouse();
}

int WaitForKey() {
  ClearKeys();
  for (;;) {
    WaitSystemEvents();
    for (int key = 1; key < kKeyCodeCount; ++key)
      if (KeyHits(key) != 0) return key;
  }
}

int WaitForChar() {
  ClearKeys();
  for (;;) {
    WaitSystemEvents();
    if (const int character = NextKeyChar()) return character;
  }
}

int WaitForMouse() {
  ClearMouse();
  for (;;) {
    WaitSystemEvents();
    for (int button = 1; button < kMouseButtonCount; ++button)
      if (MouseHits(button) != 0) return button;
  }
}

int AppIsSuspended() {
  PollSystemEvents();
  return state.suspended;
}

int AppTerminateRequested() {
  PollSystemEvents();
  return TakeCount(state.terminate);
}
