#!/usr/bin/env bash
# Frame pacing of the game as an X client of Xwayland under weston's headless back end, as in a
# player's Wayland session: frames/s and p99 of |interval - 16.667 ms| on the menu (no input
# reaches X clients there, so the menu is all that can be measured), skipping the first 3 s.
# Uses the build in build/ (or ZIRKULON_BUILD) with the frame probe.
#   scripts/weston-frames.sh [--xvfb] [seconds]     (default 10; --xvfb: the same under Xvfb)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZIRKULON_BUILD:-$root/build}
if [[ "${1:-}" == --xvfb ]]; then
  shift
  cmake --build "$build" --target zirkulon zirkulon_frame_probe >/dev/null
  exec "$root/scripts/with-xvfb.sh" env ZIRKULON_FRAMES_ON="xvfb" "$0" "$@"
fi
seconds=${1:-10}
if [[ -z "${ZIRKULON_FRAMES_ON:-}" ]]; then
  cmake --build "$build" --target zirkulon zirkulon_frame_probe >/dev/null
fi
measure_on() {  # X display
  # The probe ends the game after enough frames at 60 Hz for the skipped and the measured span.
  # NOTE: only the game gets the probe; preloaded into timeout, it would write its own empty record.
  timeout $((seconds * 3 + 30)) env DISPLAY="$1" LIBGL_ALWAYS_SOFTWARE=1 \
    LD_PRELOAD="$build/bench-game/libzirkulon_frame_probe.so" ZIRKULON_PROBE_OUT="$runtime/swaps" \
    ZIRKULON_PROBE_EXIT_AFTER=$(((seconds + 4) * 60)) "$build/zirkulon"
  awk -v seconds="$seconds" -v span="$runtime/span" -f "$root/scripts/swap-errors.awk" \
    "$runtime/swaps" | sort -g >"$runtime/errors"
  local frames fps span_s
  read -r frames fps span_s <"$runtime/span"
  printf "%d frames in %.2f s: %.2f frames/s\n" "$frames" "$span_s" "$fps"
  awk '{ e[NR] = $1 } END {
    i = int(NR * 0.99 + 0.999999); if (i > NR) i = NR
    printf "|interval - 16.667 ms|: median %.3f ms, p99 %.3f ms, largest %.3f ms\n",
      e[int((NR + 1) / 2)], e[i], e[NR] }' "$runtime/errors"
}
runtime=$(mktemp -d /tmp/zirkulon-weston.XXXXXX)  # mode 0700, as weston run as root wants
if [[ -n "${ZIRKULON_FRAMES_ON:-}" ]]; then
  trap 'rm -rf "$runtime"' EXIT
  measure_on "$DISPLAY"
  exit 0
fi
# NOTE: weston binds the X socket itself and crashes when no X server has made its folder yet.
[[ -d /tmp/.X11-unix ]] || { mkdir /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --xwayland --no-config \
  --idle-time=0 --width=1280 --height=1024 --socket=zirkulon-wayland \
  --log="$runtime/weston.log" >"$runtime/weston.out" 2>&1 &
weston_pid=$!
trap 'kill $weston_pid 2>/dev/null; wait $weston_pid 2>/dev/null || true; rm -rf "$runtime"' EXIT
# Weston picks the X display and names it in its log; Xwayland starts with the first client.
display=""
for _ in $(seq 600); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\)$/\1/p' "$runtime/weston.log" \
    2>/dev/null || true)
  [[ -n "$display" ]] && break
  kill -0 $weston_pid 2>/dev/null || { cat "$runtime/weston.out" >&2; exit 1; }
  sleep 0.05
done
[[ -n "$display" ]] || { echo "weston named no X display" >&2; exit 1; }
measure_on "$display"
