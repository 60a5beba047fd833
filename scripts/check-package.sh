#!/usr/bin/env bash
# Builds the Debian package, installs it, starts the installed game under a private Xvfb, removes
# the package and checks that none of its files remain. Needs root (CI runs as root).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/package.sh"
debs=("$root"/build-package/zirkulon_*.deb)
deb=${debs[0]}

# apt resolves the dependencies that dpkg -i would only complain about.
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"
version=$(dpkg-deb -f "$deb" Version)
answer=$(cd / && /usr/games/zirkulon --version)
if [[ "$answer" != "zirkulon ${version%-*}" ]]; then
  echo "FAIL: /usr/games/zirkulon --version printed '$answer', expected 'zirkulon ${version%-*}'" >&2
  exit 1
fi
echo "$answer"
# /usr/games is on the PATH of users, not necessarily on root's.
"$root/scripts/with-xvfb.sh" "$root/scripts/check-game-window.sh" /usr/games/zirkulon

listed=$(mktemp /tmp/zirkulon-files.XXXXXX)
trap 'rm -f "$listed"' EXIT
dpkg -L zirkulon >"$listed"
dpkg -r zirkulon
left=0
while IFS= read -r path; do
  [[ "$path" == /. || ! -e "$path" ]] && continue
  # A directory stays when another package owns it too.
  if [[ -d "$path" ]] && dpkg -S "$path" >/dev/null 2>&1; then continue; fi
  echo "FAIL: $path is still there after dpkg -r zirkulon" >&2
  left=$((left + 1))
done <"$listed"
((left == 0)) || exit 1
echo "the package installed, ran and was removed without a trace"
