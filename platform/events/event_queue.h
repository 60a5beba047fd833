// The event queue: a ring of 256 events fed from the event hook chain, read one event at a time.
// Reading makes an event the current one, which the Event* readers describe.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/events/event.h"

inline constexpr int kEventQueueSize = 256;

// Installs the queue's hook (priority -10000, after every other listener); once only.
void StartEventQueueModule();

// Takes the next event and makes it current; polls the system once if the queue is empty.
// Returns its id, or 0 (and an empty current event) when there is none.
int PollEventQueue();

// Like PollEventQueue, but waits on the system until an event is queued.
int WaitEventQueue();

// The next event, left queued and not made current; none when the queue stays empty.
std::shared_ptr<TEvent> PeekEventQueue();

// The number of events waiting.
int EventQueueLength();

// The current event (an empty event with id 0 before the first read) and its fields.
const std::shared_ptr<TEvent>& CurrentEvent();
int EventID();
int EventData();
int EventMods();
int EventX();
int EventY();
ObjectRef EventExtra();
String EventText();  // the extra as text, empty when it is not a string
ObjectRef EventSource();
std::uintptr_t EventSourceHandle();  // 0 for no source; stable while the source lives
