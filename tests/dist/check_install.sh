#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks what a desktop and a packager see.
#   check_install.sh <build directory> <project version> <window check script>
set -euo pipefail
build=$1
version=$2
window_check=$3
id=org.zirkulon.Zirkulon

root=$(mktemp -d /tmp/zirkulon-install.XXXXXX)
trap 'rm -rf "$root"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$root.log" 2>&1 ||
  { cat "$root.log" >&2; rm -f "$root.log"; exit 1; }
rm -f "$root.log"

expected=(
  usr/games/zirkulon
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/man/man6/zirkulon.6.gz
  usr/share/doc/zirkulon/copyright
  usr/share/doc/zirkulon/changelog.Debian.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
# Exactly these files, nothing more.
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort) ||
  fail "the installed files differ from the expected list (< expected, > installed)"
[[ -x "$root/usr/games/zirkulon" ]] || fail "the game is not executable"

for size in 16 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [[ -f "$icon" ]] || continue
  file -b "$icon" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "icon $size: $(file -b "$icon")"
done

check_quiet() {  # <what> <command...>: the command must succeed and print nothing
  local what=$1 output
  shift
  if ! output=$("$@" 2>&1) || [[ -n "$output" ]]; then fail "$what: $output"; fi
}
check_quiet desktop-file-validate desktop-file-validate "$root/usr/share/applications/$id.desktop"

# appstreamcli lists problems as "W:" and "E:" lines (and pedantic notes as "I:"/"P:").
if ! report=$(appstreamcli validate --no-net --no-color "$root/usr/share/metainfo/$id.metainfo.xml" 2>&1) ||
  grep -Eq '^[WE]: ' <<<"$report"; then
  fail "appstreamcli validate: $report"
fi

manual="$root/zirkulon.6"
zcat "$root/usr/share/man/man6/zirkulon.6.gz" >"$manual"
check_quiet "groff -man -ww" groff -man -ww -z "$manual"
if command -v man >/dev/null; then
  check_quiet "man --warnings" sh -c 'man --warnings -l "$1" >/dev/null' sh "$manual"
fi
grep -q "Zirkulon $version" "$manual" || fail "the manual page does not name version $version"

answer=$(cd / && "$root/usr/games/zirkulon" --version) || fail "--version did not exit 0"
[[ "$answer" == "zirkulon $version" ]] || fail "--version printed '$answer'"
help=$(cd / && "$root/usr/games/zirkulon" --help) || fail "--help did not exit 0"
grep -q '^Usage: zirkulon' <<<"$help" || fail "--help printed '$help'"

if [[ -z "${DISPLAY:-}" ]]; then
  if [[ -n "${CI:-}" ]]; then
    fail "no X display to start the installed game on"
  else
    echo "no X display: the window of the installed game was not checked"
    ((failures == 0)) && exit 77
  fi
else
  # An argument the game does not know is ignored.
  "$window_check" "$root/usr/games/zirkulon" --no-such-option || fail "the installed game's window"
fi

((failures == 0)) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "the installed game passed every check"
