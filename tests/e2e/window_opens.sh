#!/usr/bin/env bash
# End to end: the real program under a private X server opens one window
# titled "Korvalen" whose client area is 637 x 499, and keeps running.
set -u
prog=$1
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null || ! command -v xdpyinfo >/dev/null; then
  echo "xvfb-run, xdotool and xdpyinfo are needed"; exit 1
fi
check='
  prog=$1
  # A server that never answers is the X server failing, not the program: exit 3.
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  xdpyinfo >/dev/null 2>&1 || exit 3
  log=$(mktemp)
  QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$prog" >"$log" 2>&1 &
  pid=$!
  # The program ends with this script on every path, before xvfb-run stops the server.
  trap "kill $pid 2>/dev/null; rm -f $log" EXIT
  win=""
  # Up to 30 s for the window, a bound for a loaded machine; the loop ends as soon as it is up.
  for _ in $(seq 300); do
    win=$(xdotool search --onlyvisible --name "^Korvalen$" 2>/dev/null | head -1)
    [ -n "$win" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$win" ]; then
    kill $pid 2>/dev/null
    # A display that went away between the check and the program is the X server failing too.
    grep -q "could not connect to display" "$log" && { cat "$log"; exit 3; }
    echo "no window titled Korvalen"; cat "$log"; exit 1
  fi
  geom=$(xwininfo -id "$win")
  w=$(echo "$geom" | awk "/Width:/ {print \$2}")
  h=$(echo "$geom" | awk "/Height:/ {print \$2}")
  echo "window $win: ${w} x ${h}"
  kill -0 $pid || { echo "the program exited"; cat "$log"; exit 1; }
  kill $pid; wait $pid 2>/dev/null
  rm -f "$log"
  [ "$w" = 637 ] && [ "$h" = 499 ]
'
for attempt in 1 2 3; do
  # A random display number keeps clear of any server another program left on :99.
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24 -nolisten tcp" bash -c "$check" _ "$prog"
  rc=$?
  [ $rc -ne 3 ] && exit $rc
  echo "the X server did not answer (attempt $attempt)"
done
exit 1
