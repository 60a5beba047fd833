#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded time (default
# 30 s) on its corpus in fuzz/corpus/<target>/. New inputs go to a scratch directory, so the kept
# corpus stays small; a crash, or an input taking over 10 s, leaves its input in build-fuzz/fuzz/
# and fails the run.
#   scripts/fuzz.sh [seconds per target]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${1:-30}
"$root/scripts/install-deps.sh"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DZIRKULON_TESTS=OFF -DZIRKULON_BENCH=OFF -DZIRKULON_FUZZ=ON >/dev/null
cmake --build "$build" -j "${ZIRKULON_JOBS:-2}" --target pixmap_fuzzer text_fuzzer
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
scratch=$(mktemp -d /tmp/zirkulon-fuzz.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
for target in pixmap_fuzzer text_fuzzer; do
  mkdir -p "$scratch/$target"
  log="$build/fuzz/$target.log"
  status=0
  (cd "$build/fuzz" && "./$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    "$scratch/$target" "$root/fuzz/corpus/$target") >"$log" 2>&1 || status=$?
  # libFuzzer's last progress line holds coverage (cov) and features (ft).
  echo "$target: $(grep -E '^#[0-9]+' "$log" | tail -n1)"
  grep -E '^stat::number_of_executed_units' "$log" || true
  if [[ $status -ne 0 ]]; then
    tail -n 40 "$log" >&2
    echo "$target failed; the full log is $log" >&2
    exit $status
  fi
done
