# Sourced by the packaging scripts, with $root set: exports SOURCE_DATE_EPOCH, the time files in a
# package get, so that one commit gives the same bytes from any clone. A value set by the caller
# stays; otherwise the last commit's time, or outside git the release's.
if [[ -n "${SOURCE_DATE_EPOCH:-}" ]]; then
  :
elif [[ -e "$root/.git" ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
else
  SOURCE_DATE_EPOCH=$(date -d "$(sed -n 's/^set(ZIRKULON_RELEASE_TIME "\(.*\)")$/\1/p' \
    "$root/dist/CMakeLists.txt")" +%s)
fi
export SOURCE_DATE_EPOCH
