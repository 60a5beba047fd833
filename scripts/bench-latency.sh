#!/usr/bin/env bash
# The input-to-picture latency benchmark: builds the game and its latency probe in release mode,
# plays the game under a private Xvfb and times, sample by sample, how long one sideways pointer
# motion takes to turn the paddle on screen; at scale 1 and with --scale 2.
#   scripts/bench-latency.sh [--runs N] [--samples N] [--scales "1 2"]
#       measures this tree, N times per scale (default 2)
#   scripts/bench-latency.sh --against REF [--runs N] [--samples N] [--scales "1 2"]
#       builds REF in a git worktree under build-latency-against/ and runs the two games
#       alternately (REF, this tree, REF, ...), N times each per scale
# Prints each run's line and then one row per build and scale: the median over the runs of each
# statistic, in ms.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
against=""
runs=2
samples=120
scales="1 2"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --against) against=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --samples) samples=$2; shift 2 ;;
    --scales) scales=$2; shift 2 ;;
    *) echo "usage: $0 [--against REF] [--runs N] [--samples N] [--scales \"1 2\"]" >&2; exit 2 ;;
  esac
done
started=$SECONDS

"$root/scripts/install-deps.sh"
source "$root/scripts/build-helpers.sh"
# Build directories of its own, so that the whole-game benchmark may run alongside.
build="$root/build-latency"
release_build "$root" "$build" input_latency
probe="$build/bench-game/input_latency"
declare -A game=([new]="$build/zirkulon")
declare -A label=([new]="this tree")
builds="new"

if [[ -n "$against" ]]; then
  # Only REF's game is used; the probe is this tree's, so both games are measured alike.
  rev=$(git -C "$root" rev-parse --verify "$against^{commit}")
  old_src="$root/build-latency-against/src"
  if [[ -e "$old_src" ]]; then
    git -C "$old_src" checkout -q --detach "$rev"
  else
    git -C "$root" worktree add -q --detach "$old_src" "$rev"
  fi
  release_build "$old_src" "$root/build-latency-against/release" zirkulon
  git -C "$root" worktree remove --force "$old_src"  # the built game is all that is needed
  game[old]="$root/build-latency-against/release/zirkulon"
  label[old]=$(git -C "$root" rev-parse --short "$rev")
  builds="old new"
fi

out=$(mktemp -d /tmp/zirkulon-latency.XXXXXX)
trap 'rm -rf "$out"' EXIT
run() {  # which (old/new), scale, run number
  local scale_args=()
  [[ $2 == 1 ]] || scale_args=(--scale "$2")
  # The game learns how long its frames take and reads the input that much before each is due, so
  # the delays follow the machine's load: it goes with each run.
  echo "== ${label[$1]}, scale $2, run $3 (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  # A game that a busy machine keeps from its screen within the probe's patience is started
  # again, twice at most. The screen holds a 1600 x 1200 window at scale 2.
  local attempt
  for attempt in 1 2 3; do
    if ZIRKULON_XVFB_SCREEN=2048x1536x24 "$root/scripts/with-xvfb.sh" \
      "$probe" --samples "$samples" -- "${game[$1]}" "${scale_args[@]}" | tee "$out/$1-$2-$3.log"; then
      grep -q '^latency_ms ' "$out/$1-$2-$3.log" && break
    fi
    [[ $attempt -lt 3 ]] || { echo "run failed three times" >&2; exit 1; }
    echo "run failed; again"
  done
}
for n in $(seq "$runs"); do
  for scale in $scales; do
    for which in $builds; do run "$which" "$scale" "$n"; done
  done
done

# The median over the runs of one statistic of one build at one scale.
median() {  # which, scale, statistic
  cat "$out/$1-$2-"*.log | sed -n "s/^latency_ms .*\b$3=\([0-9.]*\).*/\1/p" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo
echo "input to picture latency, ms: median over $runs run(s) of $samples samples each"
printf "%-10s %5s %8s %8s %8s %8s %8s %8s\n" build scale min median mean p90 p99 max
for scale in $scales; do
  for which in $builds; do
    printf "%-10s %5s" "${label[$which]}" "$scale"
    for statistic in min median mean p90 p99 max; do
      printf " %8s" "$(median "$which" "$scale" "$statistic")"
    done
    echo
  done
done
echo "took $((SECONDS - started)) s"
