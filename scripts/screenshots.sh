#!/usr/bin/env bash
# Renders the menu, the help page, a game in play and the farewell screen of the real game under
# a private Xvfb into PNG files (default: docs/screenshots), as shown in the README. With --scale N
# (2 to 4) the scripted tour of the golden screens shows them in an enlarged window instead, read
# back from the window as <screen>@Nx.png.
#   scripts/screenshots.sh [--scale N] [directory]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scale=1
if [[ "${1:-}" == --scale ]]; then
  scale=${2:?--scale takes 2, 3 or 4}
  shift 2
fi
out=${1:-"$root/docs/screenshots"}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja
mkdir -p "$out"
if ((scale == 1)); then
  cmake --build "$root/build" --target zirkulon screen_tour
  "$root/scripts/with-xvfb.sh" "$root/build/tests/screen_tour" "$root/build/zirkulon" "$out"
  exit 0
fi
cmake --build "$root/build" --target golden_tour
shots=$(mktemp -d /tmp/zirkulon-shots.XXXXXX)
trap 'rm -rf "$shots"' EXIT
ZIRKULON_XVFB_SCREEN="$((800 * scale))x$((600 * scale))x24" \
  "$root/scripts/with-xvfb.sh" "$root/build/tests/golden_tour" "$shots" "$scale" >/dev/null
for screen in menu help play farewell; do
  cp "$shots/$screen.png" "$out/$screen@${scale}x.png"
  echo "$out/$screen@${scale}x.png"
done
