#!/usr/bin/env bash
# Plots the frame intervals of a comparison run of bench-game.sh: menu, help and play, idle (first run)
# and with one core busy, the previous game against this tree's.
#   scripts/bench-plot.sh <record dir> <ref> <png>
set -euo pipefail
dir=$1 ref=$2 png=$3
for which in old new; do
  for load in idle loaded; do
    for phase in menu help play; do
      awk -v phase=$phase '$1 == phase { print $2, $3 }' "$dir/$which-$load-1.intervals" \
        >"$dir/$which-$load-$phase.dat"
    done
  done
done
gnuplot <<PLOT
set terminal pngcairo size 2100,900 font "sans,10"
set output "$png"
set multiplot layout 2,3 title "Frame intervals: $ref against this tree (Xvfb, Mesa software rasteriser)"
set xlabel "seconds into the phase"
set ylabel "interval (ms)"
set yrange [0:40]
set grid
set key top right
do for [panel in "menu-idle help-idle play-idle menu-loaded help-loaded play-loaded"] {
  phase = panel[1:strstrt(panel, "-") - 1]
  load = panel[strstrt(panel, "-") + 1:]
  set title sprintf("%s, %s", phase, load eq "idle" ? "idle" : "one core busy")
  plot "$dir/old-".load."-".phase.".dat" using 1:2 with lines lw 1 lc rgb "#d95f02" title "$ref", \
       "$dir/new-".load."-".phase.".dat" using 1:2 with lines lw 1 lc rgb "#1b9e77" title "this tree", \
       50.0/3 with lines dt 2 lc rgb "black" title "16.667 ms"
}
unset multiplot
PLOT
