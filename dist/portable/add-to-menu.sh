#!/usr/bin/env bash
# Adds Zirkulon from this folder to the current user's desktop menu: a desktop entry that starts
# this folder's program, and the icons, below ~/.local/share (XDG_DATA_HOME when set). Running it
# again replaces them (run it again after moving the folder); --remove takes them out again.
#   ./add-to-menu.sh [--remove]
set -euo pipefail
id=org.zirkulon.Zirkulon
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)

remove=0
case "${1:-}" in
  "") ;;
  --remove) remove=1 ;;
  *) echo "usage: $0 [--remove]" >&2; exit 2 ;;
esac
[[ $# -le 1 ]] || { echo "usage: $0 [--remove]" >&2; exit 2; }

# A relative XDG_DATA_HOME is invalid and to be ignored.
data=${XDG_DATA_HOME:-}
if [[ "$data" != /* ]]; then
  data=${HOME:?HOME is not set}/.local/share
fi
entry="$data/applications/$id.desktop"
icons=()
for icon in "$here"/icons/hicolor/*/apps/"$id.png"; do
  [[ -f "$icon" ]] && icons+=("${icon#"$here/"}")
done
[[ ${#icons[@]} -gt 0 ]] || { echo "no icons in $here/icons" >&2; exit 1; }

if ((remove)); then
  rm -f "$entry"
  for icon in "${icons[@]}"; do rm -f "${data:?}/$icon"; done
  echo "Removed $entry and ${#icons[@]} icons below $data/icons."
  exit 0
fi

bs=$'\\'
# The program's path as one argument of Exec=: quoted, with \ " ` $ escaped by a backslash and %
# doubled; then, as for every string value, each backslash doubled again and line breaks escaped.
program="$here/zirkulon"
[[ -x "$program" ]] || { echo "$program is missing or not executable" >&2; exit 1; }
quoted=${program//"$bs"/"$bs$bs"}
for c in '"' '`' '$'; do quoted=${quoted//"$c"/"$bs$c"}; done
quoted="\"${quoted//"%"/"%%"}\""
string_value() {  # <text>: the text escaped as a desktop entry string
  local s=${1//"$bs"/"$bs$bs"}
  s=${s//$'\n'/"${bs}n"}
  s=${s//$'\t'/"${bs}t"}
  printf '%s' "${s//$'\r'/"${bs}r"}"
}

mkdir -p "$data/applications"
temporary=$(mktemp "$data/applications/.$id.XXXXXX")
trap 'rm -f "$temporary"' EXIT
# The folder's entry with Exec= (and TryExec=, which hides the entry once the folder has moved)
# pointing at this folder's program.
while IFS= read -r line; do
  case "$line" in
    Exec=*)
      printf 'Exec=%s\n' "$(string_value "$quoted")"
      printf 'TryExec=%s\n' "$(string_value "$program")"
      ;;
    TryExec=*) ;;
    *) printf '%s\n' "$line" ;;
  esac
done <"$here/$id.desktop" >"$temporary"
chmod 644 "$temporary"
for icon in "${icons[@]}"; do
  mkdir -p "$(dirname "$data/$icon")"
  cp -f "$here/$icon" "$data/$icon"
  chmod 644 "$data/$icon"
done
mv -f "$temporary" "$entry"
trap - EXIT
echo "Added $entry (starts $program) and ${#icons[@]} icons below $data/icons."
echo "Take them out again with: $here/add-to-menu.sh --remove"
