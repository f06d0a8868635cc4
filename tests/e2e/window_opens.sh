#!/usr/bin/env bash
# End to end: the real program under a private X server opens one window
# titled "Korvalen" whose client area is 637 x 499, and keeps running.
set -u
prog=$1
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run and xdotool are needed"; exit 1
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  prog=$1
  QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$prog" >/tmp/korvalen-e2e.$$.log 2>&1 &
  pid=$!
  win=""
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name "^Korvalen$" 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  if [ -z "$win" ]; then echo "no window titled Korvalen"; cat /tmp/korvalen-e2e.$$.log; kill $pid; exit 1; fi
  geom=$(xwininfo -id "$win")
  w=$(echo "$geom" | awk "/Width:/ {print \$2}")
  h=$(echo "$geom" | awk "/Height:/ {print \$2}")
  echo "window $win: ${w} x ${h}"
  kill -0 $pid || { echo "the program exited"; exit 1; }
  kill $pid; wait $pid 2>/dev/null
  [ "$w" = 637 ] && [ "$h" = 499 ]
' _ "$prog"
