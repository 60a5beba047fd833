# The frame probe's swaps to |interval - 16.667 ms| in ms, one line per interval, for the frames
# from 3 s to 3 + seconds s after the first swap (past the start and the menu's opening); writes
# "<intervals> <frames per second> <span in s>" to the file named by span.
#   awk -v seconds=N -v span=FILE -f scripts/swap-errors.awk SWAPS | sort -g
$1 == "swap" && !first { first = $2 }
$1 == "swap" && $2 >= first + 3e9 && $2 < first + (3 + seconds) * 1e9 {
  if (last) { d = ($2 - last) / 1e6 - 50 / 3; print (d < 0 ? -d : d) }
  else start = $2
  last = $2; ++n
}
END { print n - 1, (n - 1) * 1e9 / (last - start), (last - start) / 1e9 > span }
