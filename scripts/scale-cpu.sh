#!/usr/bin/env bash
# What showing the picture larger costs: CPU per frame, frames per second and the p99 of
# |interval - 16.667 ms| of the game on its menu at scale 1 and scale 2 (a private 2048 x 1536
# Xvfb) and full screen (--fullscreen under openbox on a private 1920 x 1080 Xvfb: 1440 x 1080,
# smoothly enlarged), run alternately. Each run skips its first 3 s. Uses the build in build/ (or
# ZIRKULON_BUILD) with the frame probe.
#   scripts/scale-cpu.sh [seconds] [rounds]   (default 10 s, 3 rounds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZIRKULON_BUILD:-$root/build}
seconds=${1:-10}
rounds=${2:-3}
cmake --build "$build" --target zirkulon zirkulon_frame_probe >/dev/null
work=$(mktemp -d /tmp/zirkulon-scale.XXXXXX)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
start_xvfb() {  # screen size, name: sets display_<name>
  Xvfb -displayfd 3 -screen 0 "$1" +extension GLX -nolisten tcp 3>"$work/$2" 2>/dev/null &
  pids+=($!)
  until [[ -s "$work/$2" ]]; do sleep 0.05; done
  printf -v "display_$2" ':%s' "$(head -n1 "$work/$2")"
}
start_xvfb 2048x1536x24 large
start_xvfb 1920x1080x24 wide
DISPLAY=$display_wide openbox >/dev/null 2>&1 &
pids+=($!)
export LIBGL_ALWAYS_SOFTWARE=1
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
measure() {  # label display [options]: prints "label ms-CPU-per-frame frames/s p99-ms"
  local label=$1 display=$2
  shift 2
  rm -f "$work/swaps"
  DISPLAY=$display LD_PRELOAD="$build/bench-game/libzirkulon_frame_probe.so" \
    ZIRKULON_PROBE_OUT="$work/swaps" ZIRKULON_PROBE_EXIT_AFTER=$(((seconds + 5) * 60)) \
    "$build/zirkulon" "$@" 2>/dev/null &
  local game=$! t0 t1
  sleep 3  # past the start and the menu's opening
  t0=$(ticks $game)
  sleep "$seconds"
  t1=$(ticks $game)
  wait $game || true
  awk -v seconds="$seconds" -v span="$work/span" -f "$root/scripts/swap-errors.awk" \
    "$work/swaps" | sort -g >"$work/errors"
  local frames fps p99
  read -r frames fps _ <"$work/span"
  p99=$(awk -v n="$frames" 'NR == int(n * 0.99 + 0.999999) { print }' "$work/errors")
  awk -v l="$label" -v t="$((t1 - t0))" -v hz="$(getconf CLK_TCK)" -v n="$frames" -v f="$fps" \
    -v p="$p99" 'BEGIN { printf "%s %.2f %.2f %.3f\n", l, t * 1000 / hz / n, f, p }'
}
for ((round = 1; round <= rounds; ++round)); do
  measure scale-1 "$display_large" --scale 1
  measure scale-2 "$display_large" --scale 2
  measure full-1920x1080 "$display_wide" --fullscreen
done | tee "$work/all"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for label in scale-1 scale-2 full-1920x1080; do
  column() { awk -v l=$label -v c="$1" '$1 == l { print $c }' "$work/all" | median; }
  echo "$label: median CPU per frame $(column 2) ms, $(column 3) frames/s," \
    "p99 |interval - 16.667 ms| $(column 4) ms ($rounds runs)"
done
