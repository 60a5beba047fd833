#!/usr/bin/env bash
# Builds the portable archive from two clones of the last commit and fails unless both are the same
# byte for byte, checks its files, the libraries its program needs and add-to-menu.sh, and plays it
# in minimal Debian 11, 12 and 13 roots on a private Xvfb (menu, Escape, Escape, exit status 0).
#   scripts/check-portable.sh  (as root, as CI runs it; the pictures it read: build-portable-check/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS
[[ $(id -u) -eq 0 ]] || { echo "$0 needs root (mmdebstrap, as in build-portable.sh)" >&2; exit 1; }
"$root/scripts/install-deps.sh"
work=$(mktemp -d /tmp/zirkulon-portable.XXXXXX)
pictures="$root/build-portable-check"
xvfb_pid=
game_pid=
game_status=
cleanup() {
  [[ -n "$game_pid" ]] && kill -KILL "$game_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
commit=$(git -C "$root" rev-parse HEAD)
source "$root/scripts/build-helpers.sh"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Clones $commit into $1 and builds the archive there from working folder $2 under umask $3; prints
# the archive.
build_clone() {
  local begin=$SECONDS
  run_in_clone build-portable.sh "$@"
  echo "archive of $1 built in $((SECONDS - begin)) s" >&2
  local archives=("$1"/build-portable/zirkulon-*-linux-x86_64.tar.gz)
  echo "${archives[0]}"
}

# Names the first part of the two archives that differs: an entry (name, mode, owner, time,
# order), a file's contents, or else the compression.
first_difference() {
  local a=$1 b=$2 line
  line=$(diff <(tar -tvz --full-time -f "$a") <(tar -tvz --full-time -f "$b") | grep -m1 '^[<>]' ||
    true)
  [[ -z "$line" ]] || { echo "entry: ${line:2}"; return; }
  mkdir -p "$work/diff-a" "$work/diff-b"
  tar -xzf "$a" -C "$work/diff-a"
  tar -xzf "$b" -C "$work/diff-b"
  line=$(diff -rq "$work/diff-a" "$work/diff-b" | head -n1 || true)
  [[ -z "$line" ]] || { echo "contents: ${line//$work\//}"; return; }
  echo "the compressed bytes"
}

echo "== two clones of $commit"
first=$(build_clone "$work/a/zirkulon" / 022)
second=$(build_clone "$work/another-folder/zirkulon-second-clone" "$work" 002)
sha256sum "$first" "$second" | sed "s|$work/||"
if cmp -s "$first" "$second"; then
  echo "the archives of two clones are the same byte for byte"
else
  fail "the archives of two clones differ in $(first_difference "$first" "$second")"
fi
archive=$first
name=$(basename "$archive" .tar.gz)
version=${name#zirkulon-}
version=${version%-linux-x86_64}
echo "$(basename "$archive"): $(stat -c %s "$archive") bytes"

echo "== files"
tar -tvzf "$archive"
id=org.zirkulon.Zirkulon
expected=(zirkulon add-to-menu.sh LICENSE README .itch.toml "$id.desktop")
for size in 16 24 32 48 64 128 256; do
  expected+=("icons/hicolor/${size}x${size}/apps/$id.png")
done
diff <(printf "$name/%s\n" "${expected[@]}" | sort) \
  <(tar -tzf "$archive" | grep -v '/$' | sort) ||
  fail "the archive's files differ from the expected list (< expected, > archive)"
# Every entry belongs to 0/0; the two programs and the folders have modes 755, the rest 644.
while read -r mode owner _ _ _ path; do
  case "$path" in
    */ | */zirkulon | */add-to-menu.sh) want=755 ;;
    *) want=644 ;;
  esac
  [[ "$owner" == 0/0 ]] || fail "$path belongs to $owner, not 0/0"
  perms=${mode:1}
  octal=0
  for ((i = 0; i < 9; i++)); do
    octal=$((octal * 2))
    [[ "${perms:i:1}" != - ]] && octal=$((octal + 1))
  done
  [[ "$(printf '%o' "$octal")" == "$want" ]] || fail "$path has mode $mode, expected $want"
done < <(tar -tvz --numeric-owner -f "$archive")

# The folder the players get, at a path with spaces and characters that desktop entries escape.
unpacked="$work/Meine Spiele \$x \"neu\" \\ 100%"
mkdir -p "$unpacked"
tar -xzf "$archive" -C "$unpacked"
folder="$unpacked/$name"
program="$folder/zirkulon"
itch="$folder/.itch.toml"
if ! grep -qx 'name = "play"' "$itch" || ! grep -qx 'path = "zirkulon"' "$itch"; then
  fail ".itch.toml has no play action that runs zirkulon"
fi

echo "== libraries"
mapfile -t needed < <(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
echo "NEEDED: ${needed[*]}"
allowed=" libOpenGL.so.0 libGLX.so.0 libX11.so.6 libXrandr.so.2 libXxf86vm.so.1 libXext.so.6"
allowed+=" libstdc++.so.6 libm.so.6 libgcc_s.so.1 libc.so.6 "
for library in "${needed[@]}"; do
  [[ "$allowed" == *" $library "* ]] || fail "the program needs $library, which is not in:$allowed"
done
((${#needed[@]} > 0)) || fail "readelf found no NEEDED entries"
symbols=$(objdump -T "$program")
# The highest version of $1 (GLIBC, GLIBCXX, CXXABI) that the program's symbols ask for.
highest() { grep -o "\b$1_[0-9][0-9.]*" <<<"$symbols" | sed "s/^$1_//" | sort -Vu | tail -n1; }
# Fails unless version $2 of $1 is at most $3.
at_most() {
  local what=$1 version=$2 limit=$3
  if [[ -z "$version" ]]; then
    fail "no ${what}_ version found by objdump -T"
  elif [[ "$(printf '%s\n' "$version" "$limit" | sort -V | tail -n1)" != "$limit" ]]; then
    fail "the program needs ${what}_$version, above ${what}_$limit"
  fi
  echo "highest ${what}_: $version (at most $limit)"
}
at_most GLIBC "$(highest GLIBC)" 2.31
at_most GLIBCXX "$(highest GLIBCXX)" 3.4.28
at_most CXXABI "$(highest CXXABI)" 1.3.12

echo "== add-to-menu.sh"
# The first argument of a desktop entry's Exec= value, unescaped as a string and then unquoted.
exec_program() {
  local value=$1 text="" c next argument="" quoted=0 i
  for ((i = 0; i < ${#value}; i++)); do
    c=${value:i:1}
    if [[ "$c" == "\\" ]]; then
      next=${value:i+1:1}
      i=$((i + 1))
      case "$next" in
        s) text+=" " ;; n) text+=$'\n' ;; t) text+=$'\t' ;; r) text+=$'\r' ;; "\\") text+="\\" ;;
        *) text+="\\$next" ;;
      esac
    else
      text+=$c
    fi
  done
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    if ((quoted)) && [[ "$c" == "\\" ]]; then
      i=$((i + 1))
      argument+=${text:i:1}
    elif [[ "$c" == '"' ]]; then
      quoted=$((1 - quoted))
    elif [[ "$c" == "%" ]]; then
      i=$((i + 1))
      [[ "${text:i:1}" == "%" ]] && argument+="%"
    elif ((!quoted)) && [[ "$c" == " " ]]; then
      break
    else
      argument+=$c
    fi
  done
  printf '%s' "$argument"
}
data="$work/home/.local/share"
entry="$data/applications/$id.desktop"
mkdir -p "$work/home"
for run in first second; do
  env -u XDG_DATA_HOME HOME="$work/home" bash "$folder/add-to-menu.sh" >/dev/null ||
    fail "add-to-menu.sh failed on the $run run"
  installed=$(cd "$data" && find . -type f | sort)
  echo "after the $run run: $(wc -l <<<"$installed") files below ~/.local/share"
done
icons=$(cd "$folder" && find ./icons -type f)
diff <(printf '%s\n' "./applications/$id.desktop" "$icons" | sort) \
  <(echo "$installed") || fail "add-to-menu.sh installed other files (< expected, > found)"
output=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $output"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
echo "Exec=$exec_line"
started_program=$(exec_program "$exec_line")
if [[ "$started_program" == "$program" ]]; then
  echo "Exec= starts the folder's program, quoted for its path"
else
  fail "Exec= starts '$started_program', not '$program'"
fi
for size in 16 256; do
  cmp -s "$folder/icons/hicolor/${size}x$size/apps/$id.png" \
    "$data/icons/hicolor/${size}x$size/apps/$id.png" || fail "icon ${size}x$size differs"
done
env -u XDG_DATA_HOME HOME="$work/home" bash "$folder/add-to-menu.sh" --remove >/dev/null ||
  fail "add-to-menu.sh --remove failed"
left=$(find "$data" -type f)
[[ -z "$left" ]] || fail "add-to-menu.sh --remove left $left"
echo "--remove left $(find "$data" -type f | wc -l) files"

# Starts a private Xvfb of 1024 x 768; sets display and xvfb_pid.
start_xvfb() {
  rm -f "$work/xvfb.number"
  Xvfb -displayfd 1 -screen 0 1024x768x24 +extension GLX -nolisten tcp -noreset \
    >"$work/xvfb.number" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [[ -s "$work/xvfb.number" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [[ ! -s "$work/xvfb.number" ]]; then
    cat "$work/xvfb.log" >&2
    echo "FAIL: Xvfb did not start" >&2
    exit 1
  fi
  display=$(head -n1 "$work/xvfb.number")
}
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
}

# Reads window $1 into $work/window.ppm; fails unless it is 800 x 600.
capture() {
  xwd -silent -display ":$display" -id "$1" 2>/dev/null |
    xwdtopnm 2>/dev/null >"$work/window.ppm" &&
    [[ "$(head -c 20 "$work/window.ppm" | sed -n 2p)" == "800 600" ]]
}
# Counts the pixels of text (a channel above 110) in the rectangle $1 $2 $3 $4 (left, top, width,
# height) of the last capture: "all reddish bluish".
text_pixels() {
  pamcut -left "$1" -top "$2" -width "$3" -height "$4" "$work/window.ppm" | pnmtoplainpnm |
    awk 'NR > 3 { for (i = 1; i <= NF; i++) v[n++] = $i }
      END {
        for (p = 0; p + 2 < n; p += 3) {
          r = v[p]; g = v[p + 1]; b = v[p + 2]
          if (r > 110 || g > 110 || b > 110) {
            all++
            if (r > g + 30 && r > b + 30) red++
            if (b > r + 30) blue++
          }
        }
        printf "%d %d %d\n", all, red, blue
      }'
}
# The screen in the last capture: "menu" when the panel shows the coloured title, the menu's
# empty line under it and its "H - Hilfe" line; "farewell" when text fills that line.
screen_shown() {
  local title gap help
  read -r -a title < <(text_pixels 300 80 200 40)
  read -r -a gap < <(text_pixels 280 135 240 35)
  read -r -a help < <(text_pixels 320 340 160 26)
  if ((title[0] < 800 || title[1] < 100 || title[2] < 100)); then
    echo none
  elif ((gap[0] < 100 && help[0] >= 300)); then
    echo menu
  elif ((gap[0] >= 800)); then
    echo farewell
  else
    echo none
  fi
}
# Waits up to $2 s until window $1 shows screen $3; saves the capture as $4.png.
wait_for_screen() {
  local window=$1 deadline=$((SECONDS + $2)) want=$3 shown=none
  while ((SECONDS < deadline)); do
    if capture "$window"; then
      shown=$(screen_shown)
      [[ "$shown" == "$want" ]] && break
    fi
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.5
  done
  [[ -s "$work/window.ppm" ]] && pnmtopng "$work/window.ppm" >"$4.png" 2>/dev/null
  [[ "$shown" == "$want" ]]
}
# Waits up to $1 s for the game to end; sets game_status.
wait_for_end() {
  local deadline=$((SECONDS + $1))
  while ((SECONDS < deadline)) && kill -0 "$game_pid" 2>/dev/null; do sleep 0.2; done
  kill -0 "$game_pid" 2>/dev/null && return 1
  game_status=0
  wait "$game_pid" || game_status=$?
  game_pid=
}

# Plays the archive's program in a minimal root of Debian $1 ($2) with the runtime libraries.
runtime_packages=(libx11-6 libxrandr2 libxxf86vm1 libxext6 libglx0 libopengl0 libgl1-mesa-dri)
play_in_root() {
  local suite=$1 number=$2 begin=$SECONDS system versions inside window="" result
  local before=$failures
  echo "== Debian $number ($suite)"
  system=$(bash "$root/scripts/build-portable.sh" --root "$suite" "${runtime_packages[@]}" \
    2>"$work/root.log") ||
    { cat "$work/root.log" >&2; fail "no Debian $number root"; return; }
  versions=$(dpkg-query --admindir="$system/var/lib/dpkg" -W -f='${Package} ${Version}, ' libc6 \
    libstdc++6 libgl1-mesa-dri | sed 's/, $//')
  echo "root $system ready after $((SECONDS - begin)) s:" \
    "Debian $(cat "$system/etc/debian_version"), $versions"
  start_xvfb
  inside="/home/player/Meine Spiele/$name"
  # The folder read-only at a path with a space, the X socket, nothing else of this machine; the
  # working folder is another one.
  local sandbox=(bwrap --ro-bind "$system" / --dev /dev --proc /proc --tmpfs /tmp --tmpfs /home
    --ro-bind "$folder" "$inside" --bind "/tmp/.X11-unix/X$display" "/tmp/.X11-unix/X$display"
    --dir /home/player/work --chdir /home/player/work
    --unshare-user --unshare-pid --unshare-uts --unshare-net --unshare-cgroup-try --die-with-parent
    --clearenv --setenv PATH /usr/bin:/bin --setenv HOME /home/player --setenv DISPLAY ":$display"
    --setenv XDG_CACHE_HOME /home/player/.cache --setenv LIBGL_ALWAYS_SOFTWARE 1)
  result=$("${sandbox[@]}" "$inside/zirkulon" --version 2>&1) || true
  echo "zirkulon --version: $result"
  [[ "$result" == "zirkulon $version" ]] ||
    fail "Debian $number: --version printed '$result'"
  "${sandbox[@]}" "$inside/zirkulon" >"$work/game.log" 2>&1 &
  game_pid=$!
  local deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)) && [[ -z "$window" ]] && kill -0 "$game_pid" 2>/dev/null; do
    for candidate in $(xwininfo -display ":$display" -root -tree |
      awk '/"Ostrandel Application":/ { print $1 }'); do
      xwininfo -display ":$display" -id "$candidate" 2>/dev/null | grep -q "IsViewable" &&
        window=$candidate
    done
    [[ -n "$window" ]] || sleep 0.2
  done
  if [[ -z "$window" ]]; then
    fail "Debian $number: no game window within 60 s"
  elif ! wait_for_screen "$window" 60 menu "$pictures/debian-$number-menu"; then
    fail "Debian $number: the menu did not show within 60 s" \
      "(the last picture: $pictures/debian-$number-menu.png)"
  else
    echo "the menu shows after $((SECONDS - begin)) s ($pictures/debian-$number-menu.png)"
    DISPLAY=":$display" xdotool mousemove --window "$window" 400 300
    DISPLAY=":$display" xdotool key Escape
    if wait_for_screen "$window" 30 farewell "$pictures/debian-$number-farewell"; then
      echo "Escape: the farewell screen shows"
    else
      fail "Debian $number: no farewell screen within 30 s of Escape"
    fi
    DISPLAY=":$display" xdotool key Escape
    if wait_for_end 10; then
      echo "Escape: the game ended with status $game_status"
    else
      DISPLAY=":$display" xdotool key space
      if wait_for_end 10; then
        echo "Space: the game ended with status $game_status"
      else
        fail "Debian $number: the game still runs after Escape, Escape, Space"
      fi
    fi
    [[ -z "$game_pid" && "$game_status" -ne 0 ]] && fail "Debian $number: exit status $game_status"
  fi
  if [[ -n "$game_pid" ]]; then
    kill -KILL "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=
    sed -n '1,20p' "$work/game.log" >&2
  fi
  stop_xvfb
  result=PASS
  ((failures == before)) || result=FAIL
  echo "Debian $number: $result in $((SECONDS - begin)) s"
  summary+=("Debian $number ($suite): $result in $((SECONDS - begin)) s")
}

rm -rf "$pictures"
mkdir -p "$pictures"
summary=()
play_in_root bullseye 11
play_in_root bookworm 12
play_in_root trixie 13

echo "== summary"
printf '%s\n' "${summary[@]}"
echo "check-portable took $((SECONDS - started)) s"
if ((failures > 0)); then
  echo "FAIL: $failures problems (above)" >&2
  exit 1
fi
echo "the portable archive is reproducible and plays in Debian 11, 12 and 13"
