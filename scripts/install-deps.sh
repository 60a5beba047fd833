#!/usr/bin/env bash
# Installs the Debian packages Zirkulon needs, skipping those present: with --play only what
# building and playing take, without it also what testing, packaging and the other scripts take.
set -euo pipefail

# Build and play: the compiler, the build tools, the X and OpenGL headers and libraries, and Mesa's
# drivers that draw the game. CMake's X11::Xxf86vm links X11::Xext, which needs libxext-dev, and
# CMake defines OpenGL::GLX only when libopengl-dev is there.
play_packages=(
  g++ cmake ninja-build
  libx11-dev libxext-dev libxxf86vm-dev libxrandr-dev libgl-dev libopengl-dev libglx-mesa0 libgl1-mesa-dri
)
# Everything else: tests and their private X servers, packaging and its checks, sanitizers,
# fuzzing, benchmarks and their plots, screenshots, icons, the window managers and compositor the
# window tests run under, and the minimal Debian roots the portable archive is built and tried in
# (with the tools that read its program's needs and the pictures it shows).
more_packages=(
  build-essential pkg-config libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev libxres-dev libxdamage-dev xvfb xauth
  faketime x11-utils x11-xserver-utils xdotool openbox weston xwayland
  libpng-dev desktop-file-utils appstream lintian groff-base man-db dpkg-dev file
  valgrind gnuplot-nox
  clang-14 libclang-rt-14-dev
  mmdebstrap bubblewrap binutils x11-apps netpbm
)

case "${1:-}" in
  --play) packages=("${play_packages[@]}") ;;
  "") packages=("${play_packages[@]}" "${more_packages[@]}") ;;
  *) echo "usage: $0 [--play]" >&2; exit 2 ;;
esac

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
