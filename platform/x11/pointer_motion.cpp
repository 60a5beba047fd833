#include "platform/x11/pointer_motion.h"

#include <algorithm>
#include <cstdlib>

#include "platform/x11/window_picture.h"

namespace {
// Warps judged the same way in a row before the judgement changes: one report that lands near where
// the hand was can also be a mouse that kept its pace, and one near the target a hand that crossed
// the middle.
constexpr int kJudgementsToTrust = 2;

struct PointerMotionState {
  bool placed = false;           // a placement is in force
  PointerPoint picture;          // where the program put the pointer, in picture pixels
  PointerPoint target;           // the same in window pixels, where a warp lands
  bool warped = false;           // a warp toward target went out
  bool landing_due = false;      // and its own motion event is still to come
  bool judged = false;           // the first report since the placement chose the reference
  bool entered = false;          // the pointer came in, and no report since
  unsigned long entered_at = 0;  // the server's time of that
  PointerPoint reference;        // window pixel the motion since the placement is measured from
  bool hand_known = false;       // the last report of a device (not a warp's landing) is known
  PointerPoint hand;
  bool origin_known = false;  // the window's top left on the root, from the last report
  PointerPoint origin;
  int judged_in_a_row = 0;  // the last judgements that disagree with warps_undone
  bool warps_undone = false;
};

PointerMotionState state;
bool warps_wanted = true;

int Distance(PointerPoint a, PointerPoint b) {
  return std::abs(a.x - b.x) + std::abs(a.y - b.y);
}

// A report after a warp lands either near the warp's target (the device moves the pointer on from
// where it was put) or near the hand's last report (the device reports positions). Only a clear
// lead counts. A report on the very spot of the hand's last one is what a mouse that kept its pace
// sends, and one on the target is a tablet's: a mouse that did not move sends none.
void JudgeWarp(PointerPoint report) {
  const int from_hand = Distance(report, state.hand);
  const int from_target = Distance(report, state.target);
  if (Distance(state.hand, state.target) <= 1) return;
  bool undone = false;
  if (report != state.hand && 2 * from_hand <= from_target)
    undone = true;
  else if (report == state.target || 2 * from_target > from_hand)
    return;
  if (undone == state.warps_undone) {
    state.judged_in_a_row = 0;
  } else if (++state.judged_in_a_row >= kJudgementsToTrust) {
    state.warps_undone = undone;
    state.judged_in_a_row = 0;
  }
}

void FollowOrigin(PointerPoint at, PointerPoint at_root) {
  state.origin_known = true;
  state.origin = {at_root.x - at.x, at_root.y - at.y};
}
}  // namespace

void PlacePointer(PointerPoint picture, PointerPoint target, bool warped) {
  state.placed = true;
  state.picture = picture;
  state.target = target;
  state.warped = warped;
  state.landing_due = warped;
  state.judged = false;
  if (warped) state.entered = false;  // the warp's landing is the place
}

PointerPoint ReportPointerAt(PointerPoint at, PointerPoint at_root, unsigned long time) {
  FollowOrigin(at, at_root);
  if (!state.placed) {
    state.hand_known = true;
    state.hand = at;
    return {PictureX(at.x), PictureY(at.y)};
  }
  if (state.entered && time == state.entered_at) {
    // NOTE: Xwayland reports a pointer that comes back where it left, then moves it to where it
    // came in, at the same time: neither is the hand's motion.
    state.judged = true;
    state.reference = at;
  }
  state.entered = false;
  if (!state.judged) {
    // NOTE: the warp's own motion event lands on the target; it is no report of the device.
    if (state.landing_due && at == state.target) {
      state.landing_due = false;
      return state.picture;
    }
    state.judged = true;
    if (state.warped && state.hand_known) JudgeWarp(at);
    const bool from_hand = !state.warped || state.warps_undone;
    state.reference = !from_hand ? state.target : state.hand_known ? state.hand : at;
  }
  state.hand_known = true;
  state.hand = at;
  return {state.picture.x + PictureDistanceX(at.x - state.reference.x),
          state.picture.y + PictureDistanceY(at.y - state.reference.y)};
}

void PointerEnteredAt(PointerPoint at, PointerPoint at_root, unsigned long time) {
  FollowOrigin(at, at_root);
  state.entered = true;
  state.entered_at = time;
  state.hand_known = true;
  state.hand = at;
  // The motion since is measured from where the pointer came in.
  state.judged = true;
  state.reference = at;
}

void ForgetPointerPlace() {
  state.placed = false;
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
