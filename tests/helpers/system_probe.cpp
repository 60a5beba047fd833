// A program on the real process entry for the system driver's process-wide paths: running with
// no X display, exhausting the hook ids, the first user ids, and SIGTERM arriving while polling or
// while waiting for an answer or the desktop opener.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/events/event.h"
#include "platform/events/hooks.h"
#include "platform/events/key_codes.h"
#include "platform/events/polled_input.h"
#include "platform/events/system_driver.h"
#include "platform/process/startup.h"
#include "platform/x11/linux_system.h"

namespace {
void ReportReaders(const char* when) {
  std::printf("%s: hits=%d down=%d char=%d mouse=%d,%d wheel=%d buttons=%d terminate=%d\n", when,
              KeyHits(kKeyEscape), KeyIsDown(kKeyEscape), NextKeyChar(), MousePosX(), MousePosY(),
              MouseWheelPos(), MouseHits(1), AppTerminateRequested());
}

void ProbeMain() {
  const auto& args = CommandArgs();
  const std::string mode = args.size() > 1 ? ToUtf8(args[1]) : "";
  if (mode == "no-display") {
    StartLinuxSystemModule();
    EnablePolledInput();
    ReportReaders("start");
    PlaceMouse(400, 300);
    HideMousePointer();
    ShowMousePointer();
    PollSystemEvents();
    WaitSystemEvents();
    // The event chain still works without a server: the state keeps what it was told.
    EmitEvent(EVENT_MOUSEMOVE, 0, 12, 34);
    EmitEvent(EVENT_KEYDOWN, 27, 0, 0);
    ReportReaders("after");
    ReportReaders("again");
  } else if (mode == "hook-ids") {
    std::printf("first=%d\n", NewHookId());
    int last = 0;
    for (int i = 0; i < 255; ++i) last = NewHookId();
    std::printf("last=%d\n", last);
    std::fflush(stdout);
    NewHookId();
    std::printf("not reached\n");
  } else if (mode == "user-ids") {
    const int first = TEvent::AllocUserId();
    const int second = TEvent::AllocUserId();
    std::printf("%d %d\n", first, second);
  } else if (mode == "poll-until-terminated") {
    StartLinuxSystemModule();
    std::printf("polling\n");
    std::fflush(stdout);
    for (;;) PollSystemEvents();
  } else if (mode == "wait-until-terminated") {
    StartLinuxSystemModule();
    std::printf("waiting\n");
    std::fflush(stdout);
    for (;;) WaitSystemEvents();
  } else if (mode == "confirm-until-terminated") {
    // Standard input that stays open and never answers.
    int never_answered[2];
    if (pipe(never_answered) != 0 || dup2(never_answered[0], STDIN_FILENO) < 0) {
      std::perror("system_probe: unable to make the silent standard input");
      std::exit(3);
    }
    StartLinuxSystemModule();
    std::printf("answer=%d\n", Confirm(u"Weiter"));
  } else if (mode == "open-url-until-terminated") {
    StartLinuxSystemModule();
    std::printf("opened=%d\n", OpenURL(u"http://example.org"));
  }
}
}  // namespace

int main(int argc, char** argv) {
  return ProcessEntry(argc, argv, &ProbeMain);
}
