#!/usr/bin/env bash
# Packages the last commit from two clones in folders of different lengths, from different working
# folders and umasks, and fails unless the two .deb files are the same byte for byte.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/zirkulon-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
commit=$(git -C "$root" rev-parse HEAD)
source "$root/scripts/build-helpers.sh"

# Clones $commit into $1, packages it from working folder $2 under umask $3, prints the .deb.
package_clone() {
  run_in_clone package.sh "$@"
  local debs=("$1"/build-package/zirkulon_*.deb)
  echo "${debs[0]}"
}

# Names the first part of the two packages that differs: an ar member's header or bytes, or the
# first path in a member's tarball whose entry (mode, owner, time, order) or contents differ.
first_difference() {
  local a=$1 b=$2 member line
  line=$(diff <(ar tv "$a") <(ar tv "$b") | grep -m1 '^[<>]' || true)
  [[ -z "$line" ]] || { echo "the ar member list: ${line:2}"; return; }
  for member in $(ar t "$a"); do
    cmp -s <(ar p "$a" "$member") <(ar p "$b" "$member") && continue
    if [[ "$member" == *.tar.* ]]; then
      mkdir -p "$work/a-$member" "$work/b-$member"
      ar p "$a" "$member" | tar -xz -C "$work/a-$member"
      ar p "$b" "$member" | tar -xz -C "$work/b-$member"
      line=$(diff <(ar p "$a" "$member" | tar -tvz --full-time) \
                  <(ar p "$b" "$member" | tar -tvz --full-time) | grep -m1 '^[<>]' || true)
      [[ -z "$line" ]] || { echo "$member, entry: ${line:2}"; return; }
      line=$(diff -rq "$work/a-$member" "$work/b-$member" | head -n1 || true)
      [[ -z "$line" ]] || { echo "$member, contents: ${line//$work\//}"; return; }
      echo "$member, its compressed bytes"
    else
      echo "$member"
    fi
    return
  done
}

first=$(package_clone "$work/a/zirkulon" / 022)
second=$(package_clone "$work/another-folder/zirkulon-second-clone" "$work" 002)
if ! cmp -s "$first" "$second"; then
  echo "FAIL: two packages of $commit differ in $(first_difference "$first" "$second")" >&2
  exit 1
fi
sha256sum "$first" "$second" | sed "s|$work/||"
echo "the packages of two clones of $commit are the same byte for byte"
