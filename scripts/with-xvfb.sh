#!/usr/bin/env bash
# Runs a command with DISPLAY pointing at a private Xvfb server that ends with the command.
set -euo pipefail
for display_number in $(seq 90 120); do
  [[ -e /tmp/.X11-unix/X$display_number || -e /tmp/.X$display_number-lock ]] || break
done
Xvfb ":$display_number" -screen 0 1280x1024x24 +extension GLX -nolisten tcp -noreset \
  >/tmp/zirkulon-xvfb-$display_number.log 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [[ -e /tmp/.X11-unix/X$display_number ]] && break
  sleep 0.05
done
export DISPLAY=":$display_number"
# Mesa's software rasteriser: the same pixels on every machine.
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
