# Build steps the benchmark and check scripts share; sourced, not run.

# A release build of one target, without the tests: source tree, build directory, target.
release_build() {
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIRKULON_TESTS=OFF >/dev/null
  cmake --build "$2" --target "$3"
}

# Clones $commit of $root into $2 and runs scripts/$1 of the clone from working folder $3 under
# umask $4, its output in $work/<clone>.log; on failure shows the log's end and exits.
run_in_clone() {
  local script=$1 clone=$2 folder=$3 mask=$4 log
  log="$work/$(basename "$clone").log"
  git clone -q --no-checkout "$root" "$clone"
  git -C "$clone" fetch -q "$root" "$commit"
  git -C "$clone" checkout -q --detach "$commit"
  mkdir -p "$folder"
  if ! (cd "$folder" && umask "$mask" && bash "$clone/scripts/$script") >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "FAIL: scripts/$script failed in $clone (log above)" >&2
    exit 1
  fi
}
