// Event records, their names and the event hook chain they are emitted through.
#include "platform/events/event.h"

#include <climits>

#include "platform/events/hooks.h"

namespace {
std::shared_ptr<TEvent> spare_event;  // see EmitEvent
bool event_module_started = false;
int event_hook_id = -1;
int last_user_id = INT_MIN;

struct EventName {
  int id;
  const char16_t* name;
};

constexpr EventName kEventNames[] = {
    {EVENT_APPSUSPEND, u"AppSuspend"},
    {EVENT_APPRESUME, u"AppResume"},
    {EVENT_APPTERMINATE, u"AppTerminate"},
    {EVENT_APPOPENFILE, u"AppOpenFile"},
    {EVENT_APPIDLE, u"AppIdle"},
    {EVENT_KEYDOWN, u"KeyDown"},
    {EVENT_KEYUP, u"KeyUp"},
    {EVENT_KEYCHAR, u"KeyChar"},
    {EVENT_KEYREPEAT, u"KeyRepeat"},
    {EVENT_MOUSEDOWN, u"MouseDown"},
    {EVENT_MOUSEUP, u"MouseUp"},
    {EVENT_MOUSEMOVE, u"MouseMove"},
    {EVENT_MOUSEWHEEL, u"MouseWheel"},
    {EVENT_MOUSEENTER, u"MouseEnter"},
    {EVENT_MOUSELEAVE, u"MouseLeave"},
    {EVENT_TIMERTICK, u"TimerTick"},
    {EVENT_GADGETACTION, u"GadgetAction"},
    {EVENT_GADGETSELECT, u"GadgetSelect"},
    {EVENT_GADGETMENU, u"GadgetMenu"},
    {EVENT_GADGETOPEN, u"GadgetOpen"},
    {EVENT_GADGETCLOSE, u"GadgetClose"},
    {EVENT_GADGETDONE, u"GadgetDone"},
    {EVENT_GADGETLOSTFOCUS, u"GadgetLostFocus"},
    {EVENT_GADGETSHAPE, u"GadgetShape"},
    {EVENT_WINDOWMOVE, u"WindowMove"},
    {EVENT_WINDOWSIZE, u"WindowSize"},
    {EVENT_WINDOWCLOSE, u"WindowClose"},
    {EVENT_WINDOWACTIVATE, u"WindowActivate"},
    {EVENT_WINDOWACCEPT, u"WindowAccept"},
    {EVENT_MENUACTION, u"MenuAction"},
    {EVENT_STREAMEOF, u"StreamEof"},
    {EVENT_STREAMAVAIL, u"StreamAvail"},
    {EVENT_PROCESSEXIT, u"ProcessExit"},
};

String DecimalOf(long long value) {
  return FromUtf8(std::to_string(value));
}
}  // namespace

std::shared_ptr<TEvent> TEvent::Create(int id, ObjectRef source, int data, int mods, int x, int y,
                                       ObjectRef extra) {
  auto event = std::make_shared<TEvent>();
  event->id = id;
  event->source = std::move(source);
  event->data = data;
  event->mods = mods;
  event->x = x;
  event->y = y;
  event->extra = std::move(extra);
  return event;
}

int TEvent::AllocUserId() {
  return ++last_user_id;
}

String EventIdName(int id) {
  for (const EventName& entry : kEventNames)
    if (entry.id == id) return entry.name;
  // The user id without its sign bit: the first user id prints as "UserEvent1".
  if (id < 0) return u"UserEvent" + DecimalOf(static_cast<long long>(id) + 2147483648LL);
  return u"Unknown Event, id=" + IntToString(id);
}

String TEvent::ToString() const {
  return EventIdName(id) + u": data=" + IntToString(data) + u", mods=" + IntToString(mods) +
         u", x=" + IntToString(x) + u", y=" + IntToString(y) + u", extra=\"" + ObjectText(extra) +
         u"\"";
}

void TEvent::Emit() {
  CallHooks(EventHookId(), shared_from_this());
}

void StartEventModule() {
  if (event_module_started) return;
  event_module_started = true;
  event_hook_id = NewHookId();
}

int EventHookId() {
  StartEventModule();
  return event_hook_id;
}

void DispatchEvent(const std::shared_ptr<TEvent>& event) {
  event->Emit();
}

void EmitEvent(int id, int data, int x, int y) {
  // NOTE: the driver emits one event per X event, every frame (the pointer warp alone makes one);
  // an event that no hook kept is reused for the next, so a steady stream allocates nothing.
  std::shared_ptr<TEvent> event = std::move(spare_event);
  if (event && event.use_count() == 1) {
    event->id = id;
    event->source = nullptr;
    event->data = data;
    event->mods = 0;
    event->x = x;
    event->y = y;
    event->extra = nullptr;
  } else {
    event = TEvent::Create(id, nullptr, data, 0, x, y, nullptr);
  }
  event->Emit();
  spare_event = std::move(event);
}
