#!/usr/bin/env bash
# Builds the test suite with assertions on under AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/ and runs it under a private Xvfb. Any report fails the run.
#   scripts/sanitize.sh [ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/sanitizer-common.sh"
build_with_sanitizers
"$root/scripts/with-xvfb.sh" env LD_PRELOAD="$driver_preload" \
  ctest --test-dir "$build" --output-on-failure "$@" && exit 0
# NOTE: LeakSanitizer's own tracer now and then crashes at exit while the OpenGL driver's threads
# end ("LeakSanitizer has encountered a fatal error"), which says nothing about the code. Only then
# are the failed tests run once more; any other failure stands.
log="$build/Testing/Temporary/LastTest.log"
if grep -q "LeakSanitizer has encountered a fatal error" "$log"; then
  echo "LeakSanitizer's tracer crashed; running the failed tests once more" >&2
  "$root/scripts/with-xvfb.sh" env LD_PRELOAD="$driver_preload" \
    ctest --test-dir "$build" --output-on-failure --rerun-failed
else
  exit 1
fi
