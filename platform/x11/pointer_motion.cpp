#include "platform/x11/pointer_motion.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/x11/window_picture.h"

namespace {
// Warps judged the same way in a row before the judgement changes: one report that lands near where
// the hand was can also be a mouse that kept its pace, and one near the target a hand that crossed
// the middle. A report far from where the warp put the pointer and next to the hand's last one is
// clear at once.
constexpr int kJudgementsToTrust = 2;
constexpr int kClearLead = 8;
constexpr int kClearDistance = 24;  // window pixels

struct PointerMotionState {
  bool placed = false;       // a placement is in force
  PointerPoint picture;      // where the program put the pointer, in picture pixels
  PointerPoint moved;        // the hand's motion since, in window pixels
  bool landing_due = false;  // a warp went out, and its own motion event is still to come
  unsigned long warp_serial = 0;
  bool warp_to_target = false;  // it moves the pointer to the target, not by a way
  PointerPoint warp_target;
  PointerPoint warp_by;
  bool judged = false;           // the first report after the landing was judged
  PointerPoint pointer;          // the X pointer as last reported, landings included
  bool hand_known = false;       // a report of the device itself is known
  PointerPoint hand;             // its last one
  bool entered = false;          // the pointer came in, and no report since
  unsigned long entered_at = 0;  // the server's time of that
  bool origin_known = false;     // the window's top left on the root, from the last report
  PointerPoint origin;
  int judged_in_a_row = 0;  // the last judgements that disagree with warps_undone
  bool warps_undone = false;
};

// The last report of the device and the motion it made: two reports to one place at one time with
// one serial are Xwayland's pointer back from over another surface, and the first was a place.
struct LastReport {
  PointerPoint at;
  unsigned long time = 0;
  unsigned long serial = 0;
  PointerPoint moved;  // state.moved before it
};

PointerMotionState state;
LastReport last_report;
bool warps_wanted = true;
unsigned long entry_slack = 0;  // ms after an EnterNotify that a report is still its place

int Distance(PointerPoint a, PointerPoint b) {
  return std::abs(a.x - b.x) + std::abs(a.y - b.y);
}

// A report after a warp lands either near where the warp put the pointer (the device moves it on
// from there) or near the hand's last report (the device reports positions). Only a clear lead
// counts. A report on the very spot of the hand's last one is what a mouse that kept its pace
// sends, and one on the landing is a tablet's: a mouse that did not move sends none.
void JudgeWarp(PointerPoint report, PointerPoint landing) {
  const int from_hand = Distance(report, state.hand);
  const int from_landing = Distance(report, landing);
  if (Distance(state.hand, landing) <= 1) return;
  bool undone = false;
  if (report != state.hand && 2 * from_hand <= from_landing)
    undone = true;
  else if (report == landing || 2 * from_landing > from_hand)
    return;
  const bool clear = undone && from_landing >= kClearDistance &&
                     from_landing >= kClearLead * std::max(from_hand, 1);
  if (undone == state.warps_undone) {
    state.judged_in_a_row = 0;
  } else if (clear || ++state.judged_in_a_row >= kJudgementsToTrust) {
    state.warps_undone = undone;
    state.judged_in_a_row = 0;
  }
}

void FollowOrigin(PointerPoint at, PointerPoint at_root) {
  state.origin_known = true;
  state.origin = {at_root.x - at.x, at_root.y - at.y};
}

PointerPoint SeenPosition() {
  return {state.picture.x + PictureDistanceX(state.moved.x),
          state.picture.y + PictureDistanceY(state.moved.y)};
}

// Where the device's next report is measured from: a mouse moves the pointer on from where it is,
// a device that reports positions from where the hand was.
PointerPoint MotionBase() {
  return state.warps_undone && state.hand_known ? state.hand : state.pointer;
}

// Where the warp put the pointer: moved by a way from wherever the reports made before it left it.
PointerPoint Landing() {
  if (state.warp_to_target) return state.warp_target;
  return {state.pointer.x + state.warp_by.x, state.pointer.y + state.warp_by.y};
}

void FollowDevice(PointerPoint at, bool place) {
  if (!place) {
    const PointerPoint base = MotionBase();
    state.moved = {state.moved.x + at.x - base.x, state.moved.y + at.y - base.y};
  }
  state.pointer = at;
  state.hand_known = true;
  state.hand = at;
}
}  // namespace

void PlacePointer(PointerPoint picture, PointerPoint target, std::optional<PointerWarp> warp) {
  if (state.landing_due) state.pointer = Landing();  // a warp whose motion event never came
  state.placed = true;
  state.picture = picture;
  state.moved = {};
  state.landing_due = warp.has_value();
  state.judged = !warp;
  if (!warp) return;
  state.entered = false;  // the warp's landing is the place
  state.warp_serial = warp->serial;
  state.warp_to_target = !warp->from;
  state.warp_target = target;
  if (warp->from) state.warp_by = {target.x - warp->from->x, target.y - warp->from->y};
}

PointerPoint ReportPointerAt(PointerPoint at, PointerPoint at_root, unsigned long time,
                             unsigned long serial) {
  FollowOrigin(at, at_root);
  if (!state.placed) {
    FollowDevice(at, true);
    return {PictureX(at.x), PictureY(at.y)};
  }
  // NOTE: Xwayland reports a pointer that comes back where it left, then moves it to where it came
  // in, at the same time or soon after (SetEntrySlack): neither is the hand's motion.
  const bool entering = state.entered && time - state.entered_at <= entry_slack;
  state.entered = false;
  // NOTE: events made before the warp carry an older serial. The first made after it is the warp's
  // own motion event, which lands where the warp moved the pointer: no report of the device.
  if (state.landing_due && static_cast<long>(serial - state.warp_serial) >= 0) {
    state.landing_due = false;
    state.pointer = Landing();
    if (at == state.pointer) return SeenPosition();
  }
  if (!state.landing_due && !state.judged) {
    state.judged = true;
    if (state.hand_known && !entering) JudgeWarp(at, state.pointer);
  }
  // NOTE: when the pair came apart, over two reads, the first one's motion is taken back.
  const bool second_of_pair =
      at == last_report.at && time == last_report.time && serial == last_report.serial;
  if (second_of_pair) state.moved = last_report.moved;
  last_report = {at, time, serial, state.moved};
  FollowDevice(at, entering || second_of_pair);
  return SeenPosition();
}

void SetEntrySlack(unsigned long entry_slack_ms) {
  entry_slack = entry_slack_ms;
}

void PointerEnteredAt(PointerPoint at, PointerPoint at_root, unsigned long time) {
  FollowOrigin(at, at_root);
  state.entered = true;
  state.entered_at = time;
  FollowDevice(at, true);
}

void ForgetPointerPlace() {
  state.placed = false;
  state.landing_due = false;
  state.hand_known = false;
  state.origin_known = false;
}

void SetPointerWarpsWanted(bool wanted) {
  warps_wanted = wanted;
}

bool PointerWarpsWanted() {
  return warps_wanted;
}

PointerPoint ReachableWarpTarget(PointerPoint target, int window_width, int window_height,
                                 int root_width, int root_height) {
  if (!state.origin_known) return target;
  const int left = std::max(0, state.origin.x), top = std::max(0, state.origin.y);
  const int right = std::min(root_width, state.origin.x + window_width);
  const int bottom = std::min(root_height, state.origin.y + window_height);
  const PointerPoint on_root{state.origin.x + target.x, state.origin.y + target.y};
  if (right <= left || bottom <= top) return target;  // nothing of the window is on the screen
  if (on_root.x >= left && on_root.x < right && on_root.y >= top && on_root.y < bottom)
    return target;
  return {(left + right) / 2 - state.origin.x, (top + bottom) / 2 - state.origin.y};
}
