#!/usr/bin/env bash
# Runs a command with DISPLAY pointing at a private Xvfb server that ends with the command; its
# screen is ZIRKULON_XVFB_SCREEN (default 1280x1024x24).
set -euo pipefail
log=$(mktemp /tmp/zirkulon-xvfb.XXXXXX)
# Xvfb picks a free display number itself and writes it to the descriptor once it is ready.
Xvfb -displayfd 1 -screen 0 "${ZIRKULON_XVFB_SCREEN:-1280x1024x24}" +extension GLX -nolisten tcp -noreset \
  >"$log.number" 2>"$log" &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null || true; rm -f "$log" "$log.number"' EXIT
for _ in $(seq 200); do
  [[ -s "$log.number" ]] && break
  kill -0 $xvfb_pid 2>/dev/null || { cat "$log" >&2; exit 1; }
  sleep 0.05
done
[[ -s "$log.number" ]] || { echo "Xvfb did not start" >&2; cat "$log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$log.number")"
# Mesa's software rasteriser: the same pixels on every machine.
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
