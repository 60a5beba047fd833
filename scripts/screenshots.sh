#!/usr/bin/env bash
# Renders the menu, the help page, a game in play and the farewell screen of the real game under
# a private Xvfb into PNG files (default: docs/screenshots), as shown in the README.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/docs/screenshots"}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja
cmake --build "$root/build" --target zirkulon screen_tour
mkdir -p "$out"
"$root/scripts/with-xvfb.sh" "$root/build/tests/screen_tour" "$root/build/zirkulon" "$out"
