#!/usr/bin/env bash
# Plays the sanitizer build of the real game under a private Xvfb with random input for a while
# (default 60 s), starting it again whenever it ends. Fails on any sanitizer report, an unexpected
# exit status, frames stopping for more than a second or resident memory growing during a run.
# Prints runs, frames, input events sent and peak memory.
#   scripts/soak.sh [seconds]     (ZIRKULON_SOAK_MAX_GROWTH_MB: allowed growth, default 8)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
# A small quarantine keeps freed memory from looking like growth.
export ZIRKULON_ASAN_EXTRA="quarantine_size_mb=2"
source "$root/scripts/sanitizer-common.sh"
build_with_sanitizers zirkulon soak_driver swap_counter
work=$(mktemp -d /tmp/zirkulon-soak.XXXXXX)
status=0
"$root/scripts/with-xvfb.sh" env LD_PRELOAD="$driver_preload" "$build/tests/soak_driver" "$build/zirkulon" \
  "$build/tests/libswap_counter.so" "$seconds" "$work" || status=$?
if [[ $status -ne 0 ]]; then
  echo "Standard error of every run kept in $work" >&2
  exit $status
fi
rm -rf "$work"
