# Sourced by the sanitizer scripts (sanitize.sh, soak.sh): the build under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/, and the settings that make every report fail.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
build="$root/build-sanitize"

# Configures (assertions on: no -DNDEBUG; -O1 keeps the suite quick) and builds the targets given,
# or everything.
build_with_sanitizers() {
  local flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  # NOTE: at -O1 under the sanitizers gcc 12 warns of "maybe uninitialized" members inside the
  # standard library's <regex>; the plain build keeps the warning.
  flags+=" -Wno-maybe-uninitialized"
  "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$flags" -DZIRKULON_BENCH=OFF >/dev/null
  local targets=()
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$build" -j "${ZIRKULON_JOBS:-2}" "${targets[@]}"
  # NOTE: closing the X display unloads the OpenGL driver, and LeakSanitizer then reports a leak
  # inside it from "<unknown module>", which no suppression can name. Preloading the driver keeps
  # it (and the libraries it needs) loaded until the process ends, so its leaks stay named.
  driver_preload=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n1 || true)
  if [[ -z "$driver_preload" ]]; then
    echo "Mesa's software OpenGL driver (dri/swrast_dri.so) not found: install libgl1-mesa-dri" >&2
    exit 1
  fi
}

# Leaks inside the OpenGL driver (Mesa keeps some allocations for the life of the process) are
# suppressed; nothing of the game's own is. Libraries preloaded ahead of the sanitizer runtime
# (faketime in the clock tests, the soak run's swap counter) are allowed.
export ASAN_OPTIONS="detect_leaks=1:verify_asan_link_order=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1${ZIRKULON_ASAN_EXTRA:+:$ZIRKULON_ASAN_EXTRA}"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
