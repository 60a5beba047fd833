#!/usr/bin/env bash
# Installs the Debian packages Zirkulon needs to build, play and test, skipping those present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libx11-dev libxxf86vm-dev libgl-dev libgl1-mesa-dev libgl1-mesa-dri libglx-mesa0
  libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev libxres-dev xvfb xauth faketime x11-utils
  libpng-dev desktop-file-utils appstream lintian groff-base man-db dpkg-dev file
  valgrind gnuplot-nox
  clang-14 libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
