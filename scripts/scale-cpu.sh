#!/usr/bin/env bash
# CPU per frame and frames per second of the game on its menu at scale 1 and scale 2, run
# alternately on a private 2048 x 1536 Xvfb: what the present step that enlarges the picture
# costs. Uses the build in build/ (or ZIRKULON_BUILD).
#   scripts/scale-cpu.sh [seconds] [rounds]   (default 10 s, 3 rounds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZIRKULON_BUILD:-$root/build}
seconds=${1:-10}
rounds=${2:-3}
cmake --build "$build" --target zirkulon swap_counter >/dev/null
work=$(mktemp -d /tmp/zirkulon-scale.XXXXXX)
Xvfb -displayfd 3 -screen 0 2048x1536x24 +extension GLX -nolisten tcp 3>"$work/display" \
  2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until [[ -s "$work/display" ]]; do sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")" LIBGL_ALWAYS_SOFTWARE=1
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
swaps() { od -An -tu8 "$work/swaps" | tr -d ' '; }
measure() {  # scale: prints "<ms CPU per frame> <frames per second>"
  rm -f "$work/swaps"
  ZIRKULON_SWAP_COUNTER="$work/swaps" LD_PRELOAD="$build/tests/libswap_counter.so" \
    "$build/zirkulon" --scale "$1" 2>/dev/null &
  local game=$!
  sleep 3  # past the start and the menu's opening
  local t0 s0 t1 s1
  t0=$(ticks $game); s0=$(swaps)
  sleep "$seconds"
  t1=$(ticks $game); s1=$(swaps)
  kill $game; wait $game 2>/dev/null || true
  awk -v t="$((t1 - t0))" -v s="$((s1 - s0))" -v hz="$(getconf CLK_TCK)" -v secs="$seconds" \
    'BEGIN { printf "%.2f %.2f\n", t * 1000 / hz / s, s / secs }'
}
for ((round = 1; round <= rounds; ++round)); do
  for scale in 1 2; do echo "$scale $(measure $scale)"; done
done | tee "$work/all"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for scale in 1 2; do
  cpu=$(awk -v s=$scale '$1 == s { print $2 }' "$work/all" | median)
  fps=$(awk -v s=$scale '$1 == s { print $3 }' "$work/all" | median)
  echo "scale $scale: median CPU per frame $cpu ms, median $fps frames/s ($rounds runs)"
done
