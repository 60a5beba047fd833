#!/usr/bin/env bash
# Installs what building and playing need and is missing, builds a release build and starts the
# game on the current display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --play
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZIRKULON_TESTS=OFF -DZIRKULON_BENCH=OFF
cmake --build "$root/build-release" --target zirkulon
exec "$root/build-release/zirkulon"
