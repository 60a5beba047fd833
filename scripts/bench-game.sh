#!/usr/bin/env bash
# The whole-game benchmark: builds in release mode and plays the real game under a private Xvfb,
# 10 s on the menu, six visits of the help page (the last staying 10 s) and 10 s in play,
# reporting frame pacing, CPU per frame of the game and the X server, resident memory on the menu
# and after each help visit, peak memory, heap allocations per frame and the time to the first
# swapped frame.
#   scripts/bench-game.sh [seconds]          one measurement (default 10 s per phase)
#   scripts/bench-game.sh --against REF [--runs N] [seconds]
#       builds REF in a git worktree under build-against/ and runs the two games alternately,
#       N times each idle (default 2) and once each with another process keeping one core busy;
#       writes docs/performance/results.md and frame-intervals.png
#   scripts/bench-game.sh --profile [menu|help|play]
#       300 frames on each of menu, help and play (or on one of them) under callgrind, costliest
#       objects and functions listed
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
against=""
runs=2
profile=0
screens="menu help play"
seconds=10
while [[ $# -gt 0 ]]; do
  case "$1" in
    --against) against=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --profile)
      profile=1
      shift
      if [[ "${1:-}" =~ ^(menu|help|play)$ ]]; then screens=$1; shift; fi
      ;;
    *) seconds=$1; shift ;;
  esac
done

"$root/scripts/install-deps.sh"
source "$root/scripts/build-helpers.sh"
build="$root/build-release"
release_build "$root" "$build" game_bench
bench="$build/bench-game/game_bench"
probe="$build/bench-game/libzirkulon_frame_probe.so"

if [[ $profile -eq 1 ]]; then
  for screen in $screens; do
    out="$build/bench-game/callgrind-$screen.out"
    rm -f "$out"*
    # The probe zeroes the counts once the game shows the screen and dumps them 300 frames later.
    "$root/scripts/with-xvfb.sh" env ZIRKULON_BENCH_PROFILE=$screen \
      ZIRKULON_BENCH_LAUNCHER="valgrind --tool=callgrind --callgrind-out-file=$out" \
      "$bench" "$build/zirkulon" "$probe"
    dump="$out.1"  # the probe's dump: the profiled frames only
    set +o pipefail                    # head ends the listings early
    echo "== $screen, 300 frames: self cost (instructions) by object, all threads"
    callgrind_annotate --inclusive=no --threshold=100 "$dump" |
      awk '/^ *[0-9,]+ +\(/ && !/PROGRAM TOTALS/ { n = $1; gsub(",", "", n); o = $NF; sum[o] += n; total += n }
           END { for (o in sum) printf "%16.0f %6.2f%%  %s\n", sum[o], 100 * sum[o] / total, o }' |
      sort -rn | head -12
    echo "== $screen: the game's own functions by self cost"
    callgrind_annotate --inclusive=no --threshold=100 "$dump" | grep "/zirkulon\]" | head -15
    echo "== $screen: the game's own functions, inclusive (Mesa's work on the main thread counts"
    echo "   toward the call that set it off)"
    callgrind_annotate --inclusive=yes --threshold=100 "$dump" | grep "/zirkulon\]" | head -30
    set -o pipefail
  done
  exit 0
fi

if [[ -z "$against" ]]; then
  "$root/scripts/with-xvfb.sh" "$bench" "$build/zirkulon" "$probe" "$seconds"
  exit 0
fi

# The previous build: REF checked out in a worktree of its own, built the same way. Only its game
# is used; benchmark and probe are this tree's, so both games are measured alike.
rev=$(git -C "$root" rev-parse --verify "$against^{commit}")
against=$(git -C "$root" rev-parse --short "$rev")  # the name the tables and the plot show
old_src="$root/build-against/src"
if [[ -e "$old_src" ]]; then
  git -C "$old_src" checkout -q --detach "$rev"
else
  git -C "$root" worktree add -q --detach "$old_src" "$rev"
fi
release_build "$old_src" "$root/build-against/release" zirkulon
git -C "$root" worktree remove --force "$old_src"  # the built game is all that is needed
declare -A game=([old]="$root/build-against/release/zirkulon" [new]="$build/zirkulon")

out=$(mktemp -d /tmp/zirkulon-bench.XXXXXX)
busy_pid=""
stop_busy() { [[ -z "$busy_pid" ]] || kill "$busy_pid" 2>/dev/null || true; busy_pid=""; }
trap 'stop_busy; rm -rf "$out"' EXIT
run() {  # which (old/new), load (idle/loaded), run number
  local prefix="$out/$1-$2-$3"
  if [[ $2 == loaded ]]; then
    # One core kept busy, bounded so that it ends even if this script does not: three measured
    # stretches and, between them, the help page's visits and the screens' openings.
    timeout $((seconds * 3 + 150)) sh -c 'while :; do :; done' &
    busy_pid=$!
  fi
  local label="this tree"
  [[ $1 == old ]] && label=$against
  echo "== $1 ($label), $2, run $3"
  # A game that a loaded machine keeps from its screen within the benchmark's patience is
  # started again, twice at most.
  local attempt
  for attempt in 1 2 3; do
    if ZIRKULON_BENCH_RECORD="$prefix" "$root/scripts/with-xvfb.sh" \
      "$bench" "${game[$1]}" "$probe" "$seconds" | tee "$prefix.log"; then
      break
    fi
    [[ $attempt -lt 3 ]] || { stop_busy; echo "run failed three times" >&2; exit 1; }
    echo "run failed; again"
  done
  stop_busy
}
for n in $(seq "$runs"); do
  run old idle "$n"
  run new idle "$n"
done
run old loaded 1
run new loaded 1

docs="$root/docs/performance"
mkdir -p "$docs"
mesa=$(dpkg-query -W -f='${Version}' libgl1-mesa-dri 2>/dev/null || echo unknown)
cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')
"$root/scripts/bench-results.sh" "$out" "$against" "$runs" "$(nproc)" "$cpu" "$mesa" \
  >"$docs/results.md"
cat "$docs/results.md"
"$root/scripts/bench-plot.sh" "$out" "$against" "$docs/frame-intervals.png"
echo "wrote $docs/results.md and $docs/frame-intervals.png"
