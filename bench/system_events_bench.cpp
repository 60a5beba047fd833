// Cost of one PollSystemEvents: with nothing queued (the game polls several times per frame, so
// this must stay in the low microseconds) and with 100 pointer motions waiting in the X queue,
// which run through the whole event chain into the polled input state.
#include <benchmark/benchmark.h>

#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "platform/x11/linux_system.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/x_display.h"

namespace {
// A mapped window taking pointer motion, made once for every benchmark.
Window InputTestWindow(Display* display) {
  static Window window = [display] {
    XSetWindowAttributes attributes{};
    attributes.event_mask = PointerMotionMask | StructureNotifyMask;
    const Window made =
        XCreateWindow(display, DefaultRootWindow(display), 0, 0, 800, 600, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWEventMask, &attributes);
    XMapWindow(display, made);
    XEvent mapped;
    do XWindowEvent(display, made, StructureNotifyMask, &mapped);
    while (mapped.type != MapNotify);
    SetInputWindow(made);
    EnablePolledInput();
    return made;
  }();
  return window;
}

Display* StartedDisplay(benchmark::State& state) {
  StartLinuxSystemModule();
  Display* display = XDisplayConnection();
  if (display == nullptr) state.SkipWithError("no X display (run under scripts/with-xvfb.sh)");
  return display;
}

void BM_PollEmptyQueue(benchmark::State& state) {
  Display* display = StartedDisplay(state);
  if (display == nullptr) return;
  InputTestWindow(display);
  PollSystemEvents();
  for (auto _ : state) PollSystemEvents();
}
BENCHMARK(BM_PollEmptyQueue);

void BM_Poll100QueuedMotions(benchmark::State& state) {
  Display* display = StartedDisplay(state);
  if (display == nullptr) return;
  const Window window = InputTestWindow(display);
  XEvent motion{};
  motion.xmotion.type = MotionNotify;
  motion.xmotion.window = window;
  motion.xmotion.same_screen = True;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 100; ++i) {
      motion.xmotion.x = 300 + i;
      motion.xmotion.y = 200;
      XSendEvent(display, window, False, PointerMotionMask, &motion);
    }
    XSync(display, False);  // all 100 now wait in the client's queue
    state.ResumeTiming();
    PollSystemEvents();
  }
  if (MousePosX() != 399) state.SkipWithError("the motions did not reach the polled state");
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_Poll100QueuedMotions);
}  // namespace

BENCHMARK_MAIN();
