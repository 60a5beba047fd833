// What the window manager tells the input window, on a private X server: focus changes, hiding
// and showing, the close button and the ping.
#include "platform/x11/x_window_events.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

// Xlib after gtest: its macros (None, Bool) collide with gtest's names.
#include <X11/Xutil.h>

#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "platform/x11/input_window.h"
#include "platform/x11/linux_system_driver.h"
#include "platform/x11/window_manager_hints.h"
#include "platform/x11/window_picture.h"
#include "tests/support/close_button.h"
#include "tests/support/input_window.h"
#include "tests/support/monotonic_clock.h"

namespace {
std::vector<int> seen;  // "id data" of the events of interest, in order

ObjectRef Record(int, const ObjectRef& data, const ObjectRef&) {
  const auto* event = dynamic_cast<const TEvent*>(data.get());
  if (event != nullptr && (event->id == EVENT_APPSUSPEND || event->id == EVENT_APPRESUME ||
                           event->id == EVENT_APPTERMINATE || event->id == EVENT_KEYUP))
    seen.insert(seen.end(), {event->id, event->data});
  return data;
}

// Another client of the same server: a window manager, or the program the player switched to.
struct OtherClient {
  Display* display = XOpenDisplay(nullptr);
  ~OtherClient() { XCloseDisplay(display); }
};

class WindowEvents : public InputWindowTest {
 protected:
  void SetUp() override {
    InputWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    XSelectInput(
        window_->display(), window_->window(),
        KeyPressMask | KeyReleaseMask | FocusChangeMask | KeymapStateMask | StructureNotifyMask);
    RegisterWindowManagerProtocols(window_->display(), window_->window());
    PollSystemEvents();
    EnablePolledInput();
    InsertHook(EventHookId(), Record, nullptr, 100);
  }
  void TearDown() override {
    DeleteHook(EventHookId(), Record, nullptr);
    DisablePolledInput();
    InputWindowTest::TearDown();
  }

  std::vector<int> Poll() {
    window_->Sync();
    seen.clear();
    PollSystemEvents();
    return seen;
  }

  // A focus change with any mode and detail, as the server would report it.
  void SendFocus(int type, int mode, int detail) {
    XEvent change{};
    change.xfocus.type = type;
    change.xfocus.window = window_->window();
    change.xfocus.mode = mode;
    change.xfocus.detail = detail;
    XSendEvent(window_->display(), window_->window(), False, NoEventMask, &change);
  }
};

TEST_F(WindowEvents, OnlyARealChangeOfTheKeyboardFocusSuspendsAndResumes) {
  struct Case {
    const char* what;
    int mode;
    int detail;
    bool real;
  };
  for (const Case& focus : {Case{"to another window", NotifyNormal, NotifyNonlinear, true},
                            Case{"to an ancestor", NotifyNormal, NotifyAncestor, true},
                            Case{"while grabbed", NotifyWhileGrabbed, NotifyNonlinear, true},
                            Case{"to a grab", NotifyGrab, NotifyNonlinear, false},
                            Case{"at a grab's end", NotifyUngrab, NotifyNonlinear, false},
                            Case{"to an inferior", NotifyNormal, NotifyInferior, false},
                            Case{"about the pointer", NotifyNormal, NotifyPointer, false}}) {
    // Each change arrives twice: only the first of two alike is news.
    SendFocus(FocusOut, focus.mode, focus.detail);
    SendFocus(FocusOut, focus.mode, focus.detail);
    const std::vector<int> suspended = {EVENT_APPSUSPEND, 0};
    EXPECT_EQ(Poll(), focus.real ? suspended : std::vector<int>()) << focus.what;
    EXPECT_EQ(AppIsSuspended(), focus.real ? 1 : 0) << focus.what;
    SendFocus(FocusIn, focus.mode, focus.detail);
    SendFocus(FocusIn, focus.mode, focus.detail);
    const std::vector<int> resumed = {EVENT_APPRESUME, 0};
    EXPECT_EQ(Poll(), focus.real ? resumed : std::vector<int>()) << focus.what;
    EXPECT_EQ(AppIsSuspended(), 0) << focus.what;
  }
}

// A cancelled Alt+Tab: the window manager grabs the keyboard, the key is let go during the grab,
// and no real focus change ever reaches the window.
TEST_F(WindowEvents, AKeyLetGoDuringAnotherClientsGrabIsUpWhenTheGrabEnds) {
  window_->PressKey(XK_Left);
  Poll();
  ASSERT_EQ(KeyIsDown(kKeyLeft), 1);
  OtherClient window_manager;
  ASSERT_EQ(XGrabKeyboard(window_manager.display, DefaultRootWindow(window_manager.display), False,
                          GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  XSync(window_manager.display, False);
  window_->ReleaseKey(XK_Left);
  XUngrabKeyboard(window_manager.display, CurrentTime);
  XSync(window_manager.display, False);
  EXPECT_EQ(Poll(), (std::vector<int>{EVENT_KEYUP, kKeyLeft}));
  EXPECT_EQ(KeyIsDown(kKeyLeft), 0);
}

// With no window manager the focus reverts to PointerRoot, and the keyboard follows the pointer out
// of the window and back with no focus event: the key let go outside is up when it comes back.
TEST_F(WindowEvents, UnderPointerRootTheKeyboardFollowsThePointer) {
  XSelectInput(window_->display(), window_->window(), kInputWindowEvents);
  XSetInputFocus(window_->display(), PointerRoot, RevertToPointerRoot, CurrentTime);
  Poll();
  EXPECT_EQ(AppIsSuspended(), 0) << "the focus went to PointerRoot, the pointer in the window";
  window_->PressKey(XK_Left);
  Poll();
  window_->MovePointerTo(950, 45);
  EXPECT_EQ(Poll(), (std::vector<int>{EVENT_APPSUSPEND, 0}));
  window_->ReleaseKey(XK_Left);
  window_->MovePointerTo(123, 45);
  EXPECT_EQ(Poll(), (std::vector<int>{EVENT_APPRESUME, 0, EVENT_KEYUP, kKeyLeft}));
}

TEST_F(WindowEvents, AHiddenWindowSleepsUntilShownAgainOrAskedToClose) {
  EXPECT_FALSE(WaitWhileWindowHidden()) << "a shown window does not wait";
  for (const bool close : {false, true}) {
    XUnmapWindow(window_->display(), window_->window());
    Poll();
    ASSERT_FALSE(InputWindowShown());
    const double start = MonotonicMillis();
    std::thread desktop([this, close] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));  // only time shows a wait
      OtherClient window_manager;
      if (close) {
        SendCloseButton(window_manager.display, window_->window());
      } else {
        XMapWindow(window_manager.display, window_->window());
        XSync(window_manager.display, False);
      }
    });
    EXPECT_TRUE(WaitWhileWindowHidden());
    const double waited = MonotonicMillis() - start;
    desktop.join();
    EXPECT_GE(waited, 300) << "close " << close;
    EXPECT_LT(waited, 2000) << "close " << close;
    EXPECT_EQ(InputWindowShown(), !close);
    EXPECT_EQ(AppTerminateRequested(), close ? 1 : 0);
  }

  // Asked to close in the same poll that saw it hidden: the request has not been answered yet.
  std::promise<void> returned;
  std::thread shows_it_later([this, returned = returned.get_future()] {
    returned.wait_for(std::chrono::milliseconds(1000));  // or ends a wait that sleeps on
    OtherClient window_manager;
    XMapWindow(window_manager.display, window_->window());
    XSync(window_manager.display, False);
  });
  OtherClient window_manager;
  SendCloseButton(window_manager.display, window_->window());
  Poll();
  const double start = MonotonicMillis();
  EXPECT_FALSE(WaitWhileWindowHidden()) << "a close request read before the wait";
  EXPECT_LT(MonotonicMillis() - start, 500);
  returned.set_value();
  shows_it_later.join();
}

TEST_F(WindowEvents, ThePingIsAnsweredToTheRootWindow) {
  OtherClient window_manager;
  Display* display = window_manager.display;
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XEvent ping{};
  ping.xclient.type = ClientMessage;
  ping.xclient.window = window_->window();
  ping.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  ping.xclient.format = 32;
  ping.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "_NET_WM_PING", False));
  ping.xclient.data.l[1] = 4711;  // the window manager's time stamp, echoed back
  ping.xclient.data.l[2] = static_cast<long>(window_->window());
  XSendEvent(display, window_->window(), False, NoEventMask, &ping);
  XSync(display, False);
  Poll();

  XEvent reply{};
  const double deadline = MonotonicMillis() + 5000;
  while (!XCheckTypedWindowEvent(display, root, ClientMessage, &reply)) {
    ASSERT_LT(MonotonicMillis(), deadline) << "no answer to the ping";
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(reply.xclient.window, root);
  EXPECT_EQ(reply.xclient.data.l[0], ping.xclient.data.l[0]);
  EXPECT_EQ(reply.xclient.data.l[1], 4711);
  EXPECT_EQ(reply.xclient.data.l[2], ping.xclient.data.l[2]);
}

// The driver's warp is the game's every frame: refused while another window has the keyboard (read
// by any poll before it, or found when the window is set) or the pointer is not in the window. The
// window's own keyboard grab (the video mode's) brings it the keyboard wherever the focus is.
TEST_F(WindowEvents, APointerWarpGoesOutOnlyWhileTheWindowHasTheFocusAndThePointer) {
  Display* display = window_->display();
  const Window window = window_->window();
  XSelectInput(display, window, kInputWindowEvents);
  OtherClient other;
  const Window elsewhere = XCreateSimpleWindow(other.display, DefaultRootWindow(other.display), 900,
                                               700, 100, 100, 0, 0, 0);
  XMapWindow(other.display, elsewhere);
  XSync(other.display, False);
  auto focus_on = [&](Window focus) {
    XSetInputFocus(display, focus, RevertToParent, CurrentTime);
    Poll();
  };
  struct Step {
    const char* what;
    std::function<void()> change;
    int pointer_x;  // where the pointer is moved first, in the window
    bool warps;
  };
  const Step steps[] = {
      {"focused, the pointer in it", [] {}, 123, true},
      {"another window took the focus", [&] { focus_on(elsewhere); }, 123, false},
      {"its own keyboard grab",
       [&] {
         ASSERT_EQ(XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime),
                   GrabSuccess);
       },
       123, true},
      {"the grab ended", [&] { XUngrabKeyboard(display, CurrentTime); }, 123, false},
      {"the focus came back", [&] { focus_on(window); }, 123, true},
      {"the pointer went out", [] {}, 950, false},
      {"set again while another window has the focus",
       [&] {
         focus_on(elsewhere);
         SetInputWindow(window);
       },
       123, false},
  };
  for (const Step& step : steps) {
    step.change();
    window_->MovePointerTo(step.pointer_x, 45);
    Poll();
    EXPECT_EQ(PlaceMouse(400, 300), step.warps) << step.what;
    Poll();
    Window root = 0, child = 0;
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned buttons = 0;
    XQueryPointer(display, window, &root, &child, &root_x, &root_y, &x, &y, &buttons);
    EXPECT_EQ(std::vector<int>({x, y}),
              step.warps ? std::vector<int>({400, 300}) : std::vector<int>({step.pointer_x, 45}))
        << step.what;
  }
}

// Full screen is the window manager's to give: one that names itself on the root window is asked,
// one that died and left its name behind is not, and nothing is said either way.
TEST_F(WindowEvents, FullScreenIsAskedOnlyOfAWindowManagerThatRuns) {
  OtherClient window_manager;
  Display* display = window_manager.display;
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureRedirectMask);
  const Atom full_screen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  XChangeProperty(display, root, XInternAtom(display, "_NET_SUPPORTED", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&full_screen), 1);
  Window check = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  for (const Window on : {root, check})
    XChangeProperty(display, on, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), XA_WINDOW,
                    32, PropModeReplace, reinterpret_cast<unsigned char*>(&check), 1);
  XSync(display, False);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(ToggleFullScreenWindow());
  XEvent asked{};
  const double deadline = MonotonicMillis() + 5000;
  while (!XCheckTypedEvent(display, ClientMessage, &asked)) {
    ASSERT_LT(MonotonicMillis(), deadline) << "no _NET_WM_STATE request";
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(asked.xclient.window, window_->window());
  EXPECT_EQ((std::vector<long>{asked.xclient.data.l[0], asked.xclient.data.l[1]}),
            (std::vector<long>{1, static_cast<long>(full_screen)}));
  // It never answers: the window gives its fixed size up for the request, then takes it back.
  auto fixed = [&] {
    XSizeHints size{};
    long supplied = 0;
    return XGetWMNormalHints(display, window_->window(), &size, &supplied) &&
           (size.flags & PMinSize) && size.min_width == 800 && size.max_height == 600;
  };
  EXPECT_FALSE(fixed());
  while (!fixed() && MonotonicMillis() < deadline + 5000) {
    Poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(fixed()) << "the fixed size is back";

  XDestroyWindow(display, check);
  XSync(display, False);
  EXPECT_FALSE(ToggleFullScreenWindow());
  window_->Sync();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(XCheckTypedEvent(display, ClientMessage, &asked));
}
// Leaving full screen, openbox announces the windowed size in a ConfigureNotify of its own before
// it resizes the window: the fixed size waits for the server's, or the resize would be redirected.
TEST_F(WindowEvents, OnlyTheServersConfigureNotifyPaysTheFixedSizeBack) {
  Display* display = window_->display();
  const Window window = window_->window();
  StartDesktopFullScreen(800, 600, true);
  FollowWindowSize(window, 1920, 1080);
  FollowDesktopFullScreen(false);
  auto fixed = [&] {
    Poll();
    XSizeHints size{};
    long supplied = 0;
    return XGetWMNormalHints(display, window, &size, &supplied) && (size.flags & PMinSize) &&
           size.min_width == 800 && size.max_height == 600;
  };
  XEvent announced{};
  announced.xconfigure = {
      ConfigureNotify, 0, True, display, window, window, 0, 0, 800, 600, 0, 0, False};
  XSendEvent(display, window, False, StructureNotifyMask, &announced);
  EXPECT_FALSE(fixed()) << "on the window manager's word";
  XResizeWindow(display, window, 1920, 1080);
  XResizeWindow(display, window, 800, 600);
  EXPECT_TRUE(fixed()) << "once the server resized it";
}
}  // namespace
