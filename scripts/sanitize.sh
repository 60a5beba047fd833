#!/usr/bin/env bash
# Builds the test suite with assertions on under AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/ and runs it under a private Xvfb. Any report fails the run.
#   scripts/sanitize.sh [ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/sanitizer-common.sh"
build_with_sanitizers
"$root/scripts/with-xvfb.sh" ctest --test-dir "$build" --output-on-failure "$@"
