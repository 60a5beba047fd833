#!/usr/bin/env bash
# CPU share of the game while shown and while minimised under a window manager (openbox on a
# private Xvfb): the game's user + system time over the same span in each state, as % of one core.
# Uses the build in build/ (or ZIRKULON_BUILD).   scripts/minimised-cpu.sh [seconds]  (default 10)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZIRKULON_BUILD:-$root/build}
seconds=${1:-10}
if [[ -z "${ZIRKULON_ON_XVFB:-}" ]]; then
  cmake --build "$build" --target zirkulon >/dev/null
  exec "$root/scripts/with-xvfb.sh" env ZIRKULON_ON_XVFB=1 "$0" "$@"
fi
openbox >/dev/null 2>&1 &
wm=$!
# The game's standard error only gets the line that SIGTERM ends it with at the end.
"$build/zirkulon" 2>/dev/null &
game=$!
trap 'kill $game $wm 2>/dev/null; wait 2>/dev/null || true' EXIT
# NOTE: the hidden window of the shared OpenGL context carries the title too: only visible ones.
window=$(xdotool search --sync --onlyvisible --name '^Ostrandel Application$' | head -n1)
sleep 2  # past the start and the menu's opening
ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
share() {  # ticks before, ticks after
  awk -v a="$1" -v b="$2" -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "%.2f %% of a core", (b - a) * 100 / hz / s }'
}
before=$(ticks); sleep "$seconds"; shown=$(share "$before" "$(ticks)")
xdotool windowminimize --sync "$window"
sleep 0.5
before=$(ticks); sleep "$seconds"; hidden=$(share "$before" "$(ticks)")
echo "shown: $shown; minimised: $hidden (over ${seconds} s each)"
