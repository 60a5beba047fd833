#!/usr/bin/env bash
# What showing the picture larger costs: CPU per frame, frames per second, the p99 of
# |interval - 16.667 ms| and the frames more than 1.33 ms off schedule of the game on its menu at
# scale 1, 1.5 and 2 (a private 2048 x 1536 Xvfb) and full screen (--fullscreen under openbox on a
# private 1920 x 1080 Xvfb: 1440 x 1080), run alternately. Each run skips its first 3 s. Uses the
# build in build/ (or ZIRKULON_BUILD) with the frame probe; with ZIRKULON_BUILD_BEFORE set to an
# earlier revision's build directory, that build's scale 2 and full screen run alternately too.
#   scripts/scale-cpu.sh [seconds] [rounds]   (default 10 s, 3 rounds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZIRKULON_BUILD:-$root/build}
seconds=${1:-10}
rounds=${2:-3}
before=${ZIRKULON_BUILD_BEFORE:-}
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
measure() {  # label display [options]: prints "label ms-CPU-per-frame frames/s p99-ms off-frames"
  local label=$1 display=$2 game_build=$build
  shift 2
  [[ $label == before-* ]] && game_build=$before
  rm -f "$work/swaps"
  DISPLAY=$display LD_PRELOAD="$game_build/bench-game/libzirkulon_frame_probe.so" \
    ZIRKULON_PROBE_OUT="$work/swaps" ZIRKULON_PROBE_EXIT_AFTER=$(((seconds + 5) * 60)) \
    "$game_build/zirkulon" "$@" 2>/dev/null &
  local game=$! t0 t1
  sleep 3  # past the start and the menu's opening
  t0=$(ticks $game)
  sleep "$seconds"
  t1=$(ticks $game)
  wait $game || true
  awk -v seconds="$seconds" -v span="$work/span" -f "$root/scripts/swap-errors.awk" \
    "$work/swaps" | sort -g >"$work/errors"
  local frames fps p99 off
  read -r frames fps _ <"$work/span"
  p99=$(awk -v n="$frames" 'NR == int(n * 0.99 + 0.999999) { print }' "$work/errors")
  off=$(awk '$1 > 4 / 3 { ++n } END { print n + 0 }' "$work/errors")
  awk -v l="$label" -v t="$((t1 - t0))" -v hz="$(getconf CLK_TCK)" -v n="$frames" -v f="$fps" \
    -v p="$p99" -v o="$off" 'BEGIN { printf "%s %.2f %.2f %.3f %d\n", l, t * 1000 / hz / n, f, p, o }'
}
labels=(scale-1 scale-1.5 scale-2 full-1920x1080)
[[ -n $before ]] && labels+=(before-scale-2 before-full-1920x1080)
for ((round = 1; round <= rounds; ++round)); do
  for label in "${labels[@]}"; do
    case $label in
      *full*) measure "$label" "$display_wide" --fullscreen ;;
      *) measure "$label" "$display_large" --scale "${label##*scale-}" ;;
    esac
  done
done | tee "$work/all"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for label in "${labels[@]}"; do
  column() { awk -v l=$label -v c="$1" '$1 == l { print $c }' "$work/all" | median; }
  echo "$label: median CPU per frame $(column 2) ms, $(column 3) frames/s," \
    "p99 |interval - 16.667 ms| $(column 4) ms, $(column 5) frames off by > 1.33 ms" \
    "($rounds runs)"
done
