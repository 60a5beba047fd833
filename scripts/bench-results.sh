#!/usr/bin/env bash
# The markdown table of a comparison run of bench-game.sh: medians over the runs of each game.
#   scripts/bench-results.sh <record dir> <ref> <runs> <nproc> <cpu model> <mesa version>
set -euo pipefail
dir=$1 ref=$2 runs=$3 cores=$4 cpu=$5 mesa=$6

# "<which> <load> <phase> <key> <value>" for every recorded figure.
for file in "$dir"/*.summary; do
  name=$(basename "$file" .summary)  # which-load-run
  awk -v which="${name%%-*}" -v load="$(echo "$name" | cut -d- -f2)" \
    '{ print which, load, $1, $2, $3 }' "$file"
done | sort -k1,1 -k2,2 -k3,3 -k4,4 -k5,5g |
  awk '{ group = $1 " " $2 " " $3 " " $4 }
       group != last && last != "" { Emit() }
       { values[++n] = $5; last = group }
       END { Emit() }
       function Emit() {
         # The median; the mean of the middle two for an even count.
         median = n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
         print last, median; n = 0
       }' >"$dir/medians"

cat <<HEADER
# Whole-game benchmark: this tree against $ref

Measured by \`scripts/bench-game.sh --against $ref\` on $cores cores ($cpu), Mesa $mesa
software rasteriser under Xvfb, 800 × 600. Idle figures are medians of $runs runs per game, the
two games run alternately; "one core busy" is one more run each while a busy loop occupies a core.
CPU per frame is user plus system time of the whole game process (the rasteriser's threads
included) and of the X server, divided by the frames swapped. The help page is opened from the
menu six times; its frame figures are those of the last visit, and its resident memory (VmRSS) is
read a second into each visit and given as growth over the menu's before the first visit (taken
after one key the menu ignores, as the game's first key loads Xlib's keyboard tables).

| Phase | Load | Figure | $ref | this tree | ratio |
|---|---|---|---:|---:|---:|
HEADER
awk 'BEGIN {
       name["fps"] = "frames per second"; name["p99_ms"] = "p99 of \\|interval − 16.667 ms\\| (ms)"
       name["late"] = "late frames (> 18 ms)"; name["game_cpu_ms"] = "CPU per frame, game (ms)"
       name["main_cpu_ms"] = "of it the main thread (ms)"
       name["server_cpu_ms"] = "CPU per frame, X server (ms)"
       name["allocs"] = "heap allocations per frame"
       name["first_frame_ms"] = "start to first frame (ms)"
       name["menu_rss_mib"] = "resident memory on the menu before the first visit (MiB)"
       for (v = 1; v <= 6; ++v) name["rss_added_" v "_mib"] = "resident memory added, visit " v " (MiB)"
       name["rss_added_max_mib"] = "resident memory added, most of the six visits (MiB)"
       name["menu_after_rss_mib"] = "resident memory on the menu after the visits (MiB)"
       split("fps p99_ms late game_cpu_ms main_cpu_ms server_cpu_ms allocs", keys, " ")
     }
     { value[$1, $2, $3, $4] = $5 }
     function Row(load, phase, key, label) {
       old = value["old", load, phase, key]; new = value["new", load, phase, key]
       if (old == "" && new == "") return
       ratio = old > 0 ? sprintf("%.2f", new / old) : "–"
       format = key == "late" || key ~ /_mib$/ ? "| %s | %s | %s | %.1f | %.1f | %s |\n" : "| %s | %s | %s | %.3f | %.3f | %s |\n"
       printf format, phase, label, name[key], old, new, ratio
     }
     END {
       split("menu help play", phases, " ")
       for (p = 1; p <= 3; ++p) {
         phase = phases[p]
         for (l = 1; l <= 2; ++l) {
           load = l == 1 ? "idle" : "loaded"
           for (k = 1; k <= 7; ++k) Row(load, phase, keys[k], l == 1 ? "idle" : "one core busy")
         }
       }
       # Memory barely depends on the load: the idle runs only.
       Row("idle", "help", "menu_rss_mib", "idle")
       for (v = 1; v <= 6; ++v) Row("idle", "help", "rss_added_" v "_mib", "idle")
       Row("idle", "help", "rss_added_max_mib", "idle")
       Row("idle", "help", "menu_after_rss_mib", "idle")
       Row("idle", "start", "first_frame_ms", "idle")
     }' "$dir/medians"
