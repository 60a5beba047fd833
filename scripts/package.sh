#!/usr/bin/env bash
# Builds the Debian package from a clean release build (prefix /usr, Debian's hardening flags,
# no tests or benchmarks) in build-package/ and runs lintian on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-package"
"$root/scripts/install-deps.sh"
rm -rf "$build"
# All of Debian's hardening, bindnow included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The same commit gives the same bytes from any clone: file times in the package are the last
# commit's (or, outside git, the release's), and the flags map the clone's path to "." in the debug
# info the build ID is made from. dpkg-buildflags maps the folder it runs in, hence the cd.
# shellcheck source=scripts/source-date-epoch.sh
source "$root/scripts/source-date-epoch.sh"
# The modes of the package's folders and of its ar members follow the umask.
umask 022
cd "$root"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZIRKULON_TESTS=OFF -DZIRKULON_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
debs=("$build"/zirkulon_*.deb)
deb=${debs[0]}
echo "== $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "== lintian"
# lintian exits non-zero on errors; warnings and notes are listed.
lintian --display-info "$deb"
echo "lintian: no errors"
