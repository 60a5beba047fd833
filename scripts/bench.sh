#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs each under a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIRKULON_TESTS=OFF
cmake --build "$root/build-release"
for bench in "$root"/build-release/bench/*; do
  [[ -x "$bench" && -f "$bench" ]] || continue
  echo "== $(basename "$bench")"
  "$root/scripts/with-xvfb.sh" "$bench" "$@"
done
