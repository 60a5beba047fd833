#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite under a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build"
"$root/scripts/with-xvfb.sh" ctest --test-dir "$root/build" --output-on-failure "$@"
