// Events: small records emitted by running them through the event hook chain, where the polled
// input state and the event queue listen.
#pragma once

#include <memory>

#include "platform/core/object.h"

// Ids are grouped by class in the high bits, each class numbered from 1.
inline constexpr int EVENT_APPMASK = 0x100;
inline constexpr int EVENT_APPSUSPEND = 0x101;
inline constexpr int EVENT_APPRESUME = 0x102;
inline constexpr int EVENT_APPTERMINATE = 0x103;
inline constexpr int EVENT_APPOPENFILE = 0x104;
inline constexpr int EVENT_APPIDLE = 0x105;
inline constexpr int EVENT_KEYMASK = 0x200;
inline constexpr int EVENT_KEYDOWN = 0x201;
inline constexpr int EVENT_KEYUP = 0x202;
inline constexpr int EVENT_KEYCHAR = 0x203;
inline constexpr int EVENT_KEYREPEAT = 0x204;
inline constexpr int EVENT_MOUSEMASK = 0x400;
inline constexpr int EVENT_MOUSEDOWN = 0x401;
inline constexpr int EVENT_MOUSEUP = 0x402;
inline constexpr int EVENT_MOUSEMOVE = 0x403;
inline constexpr int EVENT_MOUSEWHEEL = 0x404;
inline constexpr int EVENT_MOUSEENTER = 0x405;
inline constexpr int EVENT_MOUSELEAVE = 0x406;
inline constexpr int EVENT_TIMERMASK = 0x800;
inline constexpr int EVENT_TIMERTICK = 0x801;
inline constexpr int EVENT_GADGETMASK = 0x2000;
inline constexpr int EVENT_GADGETACTION = 0x2001;
// NOTE: 0x2002 has no name; the gadget ids after it keep their numbers.
inline constexpr int EVENT_GADGETSELECT = 0x2003;
inline constexpr int EVENT_GADGETMENU = 0x2004;
inline constexpr int EVENT_GADGETOPEN = 0x2005;
inline constexpr int EVENT_GADGETCLOSE = 0x2006;
inline constexpr int EVENT_GADGETDONE = 0x2007;
inline constexpr int EVENT_GADGETLOSTFOCUS = 0x2008;
inline constexpr int EVENT_GADGETSHAPE = 0x2009;
inline constexpr int EVENT_WINDOWMASK = 0x4000;
inline constexpr int EVENT_WINDOWMOVE = 0x4001;
inline constexpr int EVENT_WINDOWSIZE = 0x4002;
inline constexpr int EVENT_WINDOWCLOSE = 0x4003;
inline constexpr int EVENT_WINDOWACTIVATE = 0x4004;
inline constexpr int EVENT_WINDOWACCEPT = 0x4005;
inline constexpr int EVENT_MENUMASK = 0x8000;
inline constexpr int EVENT_MENUACTION = 0x8001;
inline constexpr int EVENT_STREAMMASK = 0x10000;
inline constexpr int EVENT_STREAMEOF = 0x10001;
inline constexpr int EVENT_STREAMAVAIL = 0x10002;
inline constexpr int EVENT_PROCESSMASK = 0x20000;
inline constexpr int EVENT_PROCESSEXIT = 0x20001;

class TEvent : public TObject, public std::enable_shared_from_this<TEvent> {
 public:
  int id = 0;
  ObjectRef source;
  int data = 0;
  int mods = 0;
  int x = 0;
  int y = 0;
  ObjectRef extra;

  static std::shared_ptr<TEvent> Create(int id, ObjectRef source, int data, int mods, int x, int y,
                                        ObjectRef extra);

  // A fresh user event id: -2147483647 first, counting up; user ids are negative.
  static int AllocUserId();

  // "KeyDown: data=27, mods=0, x=5, y=7, extra=\"\"" and so on.
  String ToString() const override;

  // Runs the event through the event hook chain. The event must be held by a shared_ptr.
  virtual void Emit();
};

// The name ToString prints for an id: the table's name, "UserEvent<n>" for a negative id, else
// "Unknown Event, id=<id>".
String EventIdName(int id);

// Allocates the event hook chain; once only.
void StartEventModule();

// The chain every event runs through.
int EventHookId();

// The event's Emit.
void DispatchEvent(const std::shared_ptr<TEvent>& event);

// Creates an event without source, modifiers or extra, as the system driver sends them, and emits
// it.
void EmitEvent(int id, int data, int x, int y);
