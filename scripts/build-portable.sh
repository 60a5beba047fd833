#!/usr/bin/env bash
# Builds build-portable/zirkulon-VERSION-linux-x86_64.tar.gz for every Linux player: the game built
# in a minimal Debian 11 root (kept in ~/.cache/zirkulon/roots or $ZIRKULON_ROOTS), the players'
# README, licence, desktop entry, icons, add-to-menu.sh and .itch.toml. Needs root.
#   scripts/build-portable.sh | scripts/build-portable.sh --root SUITE PACKAGE... (prints a root)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Minimal roots are kept here between runs, one folder for each suite and package list.
roots=${ZIRKULON_ROOTS:-${XDG_CACHE_HOME:-$HOME/.cache}/zirkulon/roots}
mirror=http://deb.debian.org/debian
build_packages=(g++ cmake ninja-build libx11-dev libxext-dev libxxf86vm-dev libxrandr-dev libgl-dev
  libopengl-dev)

# Prints the folder of a minbase root of Debian $1 with the packages $2..., made by mmdebstrap on
# the first call and taken from the cache after. It holds empty /src and /build to bind folders on.
# Sets partial and log, which the exit trap needs while the root is made.
minimal_root() {
  local suite=$1 recipe key folder
  shift
  # The name changes with anything that changes the root: a new package list makes a new root, and
  # the first word is raised whenever the options below change.
  recipe="1 $suite minbase $mirror $(printf '%s\n' "$@" | sort -u | tr '\n' ' ')"
  key=$(sha256sum <<<"$recipe" | cut -c1-16)
  folder="$roots/$suite-$key"
  if [[ ! -d "$folder" ]]; then
    mkdir -p "$roots"
    partial=$(mktemp -d "$roots/.$suite-$key.XXXXXX")
    log="$partial.log"
    # An interrupted run leaves nothing; never below a mount that mmdebstrap may have left.
    trap 'rm -rf --one-file-system "$partial" "$log"' EXIT
    echo "making a minimal Debian $suite root in $folder ($*)" >&2
    # Old suites' Release files may carry a date after which apt calls them stale; the signatures
    # are checked all the same. Documentation and translations are left out.
    if ! mmdebstrap --variant=minbase --mode=root --include="$(IFS=,; echo "$*")" \
      --aptopt='Acquire::Check-Valid-Until "false"' \
      --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
      --dpkgopt='path-exclude=/usr/share/locale/*' \
      "$suite" "$partial" "deb $mirror $suite main" >"$log" 2>&1; then
      tail -n 30 "$log" >&2
      echo "FAIL: mmdebstrap could not make the Debian $suite root (log above)" >&2
      exit 1
    fi
    rm -f "$log"
    mkdir -p "$partial/src" "$partial/build"
    chmod 755 "$partial"
    # Renamed only when complete, so an interrupted run leaves no half root under the final name.
    mv -T "$partial" "$folder"
    trap - EXIT
  fi
  echo "$folder"
}

if [[ $(id -u) -ne 0 ]]; then
  echo "$0 needs root: mmdebstrap makes the build root as root" >&2
  exit 1
fi
"$root/scripts/install-deps.sh" >&2

if [[ "${1:-}" == --root ]]; then
  [[ $# -ge 3 ]] || { echo "usage: $0 --root SUITE PACKAGE..." >&2; exit 2; }
  shift
  minimal_root "$@"
  exit 0
fi
[[ $# -eq 0 ]] || { echo "usage: $0 [--root SUITE PACKAGE...]" >&2; exit 2; }

started=$SECONDS
version=$(sed -n 's/^project(Zirkulon VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ -n "$version" ]] || { echo "no project(Zirkulon VERSION ...) in CMakeLists.txt" >&2; exit 1; }
name=zirkulon-$version-linux-x86_64
out="$root/build-portable"
# shellcheck source=scripts/source-date-epoch.sh
source "$root/scripts/source-date-epoch.sh"

build_root=$(minimal_root bullseye "${build_packages[@]}")
rm -rf "$out"
mkdir -p "$out/build"
umask 022

# The build sees the source read-only at /src and builds in /build, the same paths from any clone,
# so nothing the compiler writes names a folder of this machine. The flags are Debian's hardening
# (all of it, bindnow included) that package.sh takes from dpkg-buildflags, without the debug info
# that strip would drop.
cxxflags="-O2 -fstack-protector-strong -fstack-clash-protection -fcf-protection -Wformat"
cxxflags+=" -Werror=format-security -Wdate-time -D_FORTIFY_SOURCE=2"
ldflags="-Wl,-z,relro -Wl,-z,now"
echo "== building $name in Debian 11 ($build_root)"
# shellcheck disable=SC2016 # the script is the root's shell's; the flags are its arguments
bwrap --ro-bind "$build_root" / --ro-bind "$root" /src --bind "$out/build" /build \
  --dev /dev --proc /proc --tmpfs /tmp --unshare-all --die-with-parent --clearenv \
  --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin --setenv HOME /tmp --setenv LC_ALL C \
  --setenv SOURCE_DATE_EPOCH "$SOURCE_DATE_EPOCH" --chdir /build \
  sh -euc '
    g++ --version | head -n1
    cmake --version | head -n1
    cmake -S /src -B /build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIRKULON_TESTS=OFF \
      -DZIRKULON_BENCH=OFF -DCMAKE_CXX_FLAGS="$1" -DCMAKE_EXE_LINKER_FLAGS="$2" >/dev/null
    cmake --build /build --target zirkulon -j "$(nproc)"
    strip --strip-all -o /build/zirkulon.stripped /build/zirkulon
  ' sh "$cxxflags" "$ldflags"

# The folder of the archive; every mode is set, whatever the umask of the clone was.
stage="$out/stage/$name"
portable="$root/dist/portable"
mkdir -p "$stage"
install -m 755 "$out/build/zirkulon.stripped" "$stage/zirkulon"
install -m 755 "$portable/add-to-menu.sh" "$stage/add-to-menu.sh"
install -m 644 "$root/LICENSE" "$portable/README" "$portable/.itch.toml" \
  "$root/dist/org.zirkulon.Zirkulon.desktop" "$stage/"
for icon in "$root"/dist/icons/*/apps/org.zirkulon.Zirkulon.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  install -D -m 644 "$icon" "$stage/icons/hicolor/$size/apps/org.zirkulon.Zirkulon.png"
done
find "$out/stage" -type d -exec chmod 755 {} +

archive="$out/$name.tar.gz"
tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner --format=gnu \
  -C "$out/stage" -cf - "$name" | gzip -9n >"$archive"
echo "== $archive"
tar -tvzf "$archive"
echo "$(stat -c %s "$archive") bytes, sha256 $(sha256sum "$archive" | cut -d' ' -f1)"
echo "built in $((SECONDS - started)) s"
