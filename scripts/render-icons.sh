#!/usr/bin/env bash
# Renders the application icon with the game's own drawing under a private Xvfb and writes the
# hicolor PNGs that are committed under dist/icons (or into the given directory).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/dist/icons"}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" -j2 --target render_icon
"$root/scripts/with-xvfb.sh" "$root/build/dist/render_icon" "$out"
