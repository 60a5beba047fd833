#!/usr/bin/env bash
# The whole-game benchmark: builds in release mode and plays the real game under a private Xvfb,
# 10 s on the menu and 10 s in play, reporting frame pacing, CPU per frame of the game and the X
# server, peak memory, heap allocations per frame and the time to the first swapped frame.
#   scripts/bench-game.sh [seconds]      the measurement (default 10 s per phase)
#   scripts/bench-game.sh --profile      300 frames under callgrind, costliest functions listed
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-release"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIRKULON_TESTS=OFF >/dev/null
cmake --build "$build" --target game_bench
probe="$build/bench-game/libzirkulon_frame_probe.so"

if [[ "${1:-}" == "--profile" ]]; then
  out="$build/bench-game/callgrind.out"
  # The probe ends the game after 300 swapped frames (the menu opening and 210 menu frames).
  "$root/scripts/with-xvfb.sh" env LD_PRELOAD="$probe" ZIRKULON_PROBE_EXIT_AFTER=300 \
    valgrind --tool=callgrind --callgrind-out-file="$out" "$build/zirkulon"
  set +o pipefail  # head ends the listings early
  echo "== self cost (instructions) by object, all threads ([???]: shaders compiled at run time)"
  callgrind_annotate --inclusive=no --threshold=100 "$out" |
    awk '/^ *[0-9,]+ +\(/ && !/PROGRAM TOTALS/ { n = $1; gsub(",", "", n); o = $NF; sum[o] += n; total += n }
         END { for (o in sum) printf "%16.0f %6.2f%%  %s\n", sum[o], 100 * sum[o] / total, o }' |
    sort -rn | head -12
  echo "== the game's own functions by self cost"
  callgrind_annotate --inclusive=no --threshold=100 "$out" | grep "/zirkulon\]" | head -15
  exit 0
fi

"$root/scripts/with-xvfb.sh" "$build/bench-game/game_bench" "$build/zirkulon" "$probe" "${1:-10}"
