// Where the program sees the pointer once it puts it somewhere: the place it put it plus the hand's
// motion since, measured between the server's own reports. A warp is only a request: a mouse moves
// on from where the warp left the pointer, but a device that reports positions (a virtual
// machine's tablet, a remote desktop, Xwayland without a pointer lock) puts the pointer back where
// the hand is with its next report. Which of the two the device does is judged from where the
// reports after a warp land. No X here: the pump and the system driver feed it.
#pragma once

#include <optional>

struct PointerPoint {
  int x = 0;
  int y = 0;

  bool operator==(const PointerPoint&) const = default;
};

// A warp that went out: the serial of its request, and the pointer position it moved the pointer
// from by the way to the target, or none when it moved it to the target outright.
struct PointerWarp {
  unsigned long serial = 0;
  std::optional<PointerPoint> from;
};

// The program put the pointer at `picture` (picture pixels), which is `target` in the input
// window's pixels, with a warp or without one. A warp's own motion event lands where it moved the
// pointer, also when that is where the pointer was. Without a warp the pointer stays where it is,
// and motion is measured from where it was last reported.
void PlacePointer(PointerPoint picture, PointerPoint target, std::optional<PointerWarp> warp);
// A motion report of the server at `at` (window pixels) and `at_root` (root pixels), stamped with
// the server's `time` and the `serial` of the last request it had read. Returns the position the
// program sees, in picture pixels: before any placement the picture pixel under the pointer; after
// one, the placed position plus the motion since, the same way to either side.
PointerPoint ReportPointerAt(PointerPoint at, PointerPoint at_root, unsigned long time,
                             unsigned long serial);
// The pointer came into the window at `at`, or came back to it from over another surface: a
// place, not a motion, and so is the next report if it comes at the same time, or within
// `entry_slack_ms` of it (SetEntrySlack).
void PointerEnteredAt(PointerPoint at, PointerPoint at_root, unsigned long time);
// Xwayland stamps the motion that takes a pointer coming back to where it came in with its own
// time, which on a busy machine may be some milliseconds after its EnterNotify: there the first
// report that soon after entering is taken as a place too. 0 (an X server's own pointer) asks for
// the same time.
void SetEntrySlack(unsigned long entry_slack_ms);
// The window moved or changed size under the pointer: until the next report the window's origin on
// the root, and so where the pointer is in it, is unknown.
void ForgetPointerPlace();

// Whether the pointer is warped at all (on unless the player asks otherwise). Without warps the
// pointer goes where the hand takes it, out of the window too, and no compositor locks it: the way
// to steer with a device that reports positions where a locked pointer would ignore them.
void SetPointerWarpsWanted(bool wanted);
bool PointerWarpsWanted();

// Where a warp toward `target` (window pixels) can land: `target` itself, or where the middle of
// the window's part on a `root_width` x `root_height` screen lies off it, the middle of that part.
// A warp past the screen's edge would stop at the edge.
PointerPoint ReachableWarpTarget(PointerPoint target, int window_width, int window_height,
                                 int root_width, int root_height);
