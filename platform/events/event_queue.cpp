// The event queue listens last on the event chain. Timer ticks, gadget actions, window moves and
// sizes for a source already queued update that queued event instead of taking a slot.
#include "platform/events/event_queue.h"

#include <array>

#include "platform/events/hooks.h"
#include "platform/events/system_driver.h"

namespace {
constexpr int kQueuePriority = -10000;

bool queue_module_started = false;
std::array<std::shared_ptr<TEvent>, kEventQueueSize> ring;
std::uint32_t put_count = 0;
std::uint32_t get_count = 0;
std::shared_ptr<TEvent> current_event = std::make_shared<TEvent>();

std::shared_ptr<TEvent>& Slot(std::uint32_t counter) {
  return ring[counter & (kEventQueueSize - 1)];
}

bool Coalesces(int id) {
  return id == EVENT_TIMERTICK || id == EVENT_GADGETACTION || id == EVENT_WINDOWMOVE ||
         id == EVENT_WINDOWSIZE;
}

// Updates a queued event of the same id and source; false when there is none.
bool MergeIntoQueued(const TEvent& event) {
  for (std::uint32_t i = get_count; i != put_count; ++i) {
    TEvent& queued = *Slot(i);
    if (queued.id != event.id || queued.source != event.source) continue;
    queued.data = event.data;
    queued.mods = event.mods;
    queued.x = event.x;
    queued.y = event.y;
    queued.extra = event.extra;
    return true;
  }
  return false;
}

ObjectRef QueueHook(int, const ObjectRef& data, const ObjectRef&) {
  auto event = std::dynamic_pointer_cast<TEvent>(data);
  if (!event) return nullptr;
  if (Coalesces(event->id) && MergeIntoQueued(*event)) return event;
  if (put_count - get_count == kEventQueueSize) return event;  // full: dropped
  Slot(put_count++) = event;
  return event;
}

bool QueueEmpty() {
  return put_count == get_count;
}

int TakeNext() {
  if (QueueEmpty()) {
    current_event = std::make_shared<TEvent>();
    return 0;
  }
  current_event = std::move(Slot(get_count++));
  return current_event->id;
}
}  // namespace

void StartEventQueueModule() {
  if (queue_module_started) return;
  queue_module_started = true;
  StartSystemModule();
  InsertHook(EventHookId(), QueueHook, nullptr, kQueuePriority);
}

int PollEventQueue() {
  if (QueueEmpty()) PollSystemEvents();
  return TakeNext();
}

int WaitEventQueue() {
  while (QueueEmpty()) WaitSystemEvents();
  return TakeNext();
}

std::shared_ptr<TEvent> PeekEventQueue() {
  if (QueueEmpty()) PollSystemEvents();
  if (QueueEmpty()) return nullptr;
  return Slot(get_count);
}

int EventQueueLength() {
  return static_cast<int>(put_count - get_count);
}

const std::shared_ptr<TEvent>& CurrentEvent() {
  return current_event;
}
int EventID() {
  return current_event->id;
}
int EventData() {
  return current_event->data;
}
int EventMods() {
  return current_event->mods;
}
int EventX() {
  return current_event->x;
}
int EventY() {
  return current_event->y;
}
ObjectRef EventExtra() {
  return current_event->extra;
}
String EventText() {
  return ObjectText(current_event->extra);
}
ObjectRef EventSource() {
  return current_event->source;
}
std::uintptr_t EventSourceHandle() {
  return reinterpret_cast<std::uintptr_t>(current_event->source.get());
}
