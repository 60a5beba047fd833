#!/usr/bin/env bash
# Starts an installed game from a scratch working directory on the current X display, waits for
# its window to be mapped, ends it with SIGTERM and expects exit status 255.
#   scripts/check-game-window.sh <game executable> [argument...]
set -euo pipefail
game=$1
shift
title="Ostrandel Application"
timeout_s=${ZIRKULON_WINDOW_TIMEOUT:-60}

if [[ -z "${DISPLAY:-}" ]]; then
  echo "no X display (DISPLAY is not set)" >&2
  exit 1
fi
game_windows() {
  xwininfo -root -tree | awk -v t="\"$title\":" 'index($0, t) { print $1 }' | sort
}

scratch=$(mktemp -d /tmp/zirkulon-window.XXXXXX)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# Windows of the same title that were already there belong to somebody else.
game_windows >"$scratch/before"
(cd "$scratch" && exec "$game" "$@") 2>"$scratch/stderr" &
pid=$!

window=
deadline=$((SECONDS + timeout_s))
while ((SECONDS < deadline)); do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "the game ended before its window opened:" >&2
    cat "$scratch/stderr" >&2
    exit 1
  fi
  # The runtime also makes a hidden window of the same title; the game's is the mapped one.
  for candidate in $(game_windows | comm -13 "$scratch/before" -); do
    if xwininfo -id "$candidate" 2>/dev/null | grep -q "Map State: IsViewable"; then
      window=$candidate
    fi
  done
  [[ -n "$window" ]] && break
  sleep 0.2
done
if [[ -z "$window" ]]; then
  echo "no window titled \"$title\" was mapped within ${timeout_s} s" >&2
  exit 1
fi
echo "window $window \"$title\" is open"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
if ((status != 255)); then
  echo "expected exit status 255 after SIGTERM, got $status" >&2
  cat "$scratch/stderr" >&2
  exit 1
fi
echo "ended by SIGTERM with status 255"
# The window goes with the process, once the server has seen the connection close.
for _ in $(seq 100); do
  xwininfo -id "$window" >/dev/null 2>&1 || exit 0
  sleep 0.1
done
echo "window $window is still there after the game ended" >&2
exit 1
