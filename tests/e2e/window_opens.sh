#!/usr/bin/env bash
# End to end: the real program under a private X server opens one window
# titled "Korvalen" whose client area is 637 x 499, and keeps running. At
# screen scale 2 the window is 1274 x 998 and, after "Тонировать", the map is
# drawn at the screen's own pixels: the rim of the sphere is sharp, 159 screen
# pixels from the centre. Without the pixel reader (the second argument) only
# the first check runs.
set -u
prog=$1
pixels=${2:-}
for tool in Xvfb xdotool xwininfo; do
  command -v $tool >/dev/null || { echo "$tool is needed"; exit 1; }
done
. "$(dirname "$0")/x_server.sh"
start_x_server || exit 1

start_program "$e2e_tmp/one.log" "$prog"
win=$(wait_for_window "$program_pid") || { echo "no window titled Korvalen"; cat "$e2e_tmp/one.log"; exit 1; }
size=$(window_size "$win")
echo "scale 1: window $win, $size"
kill -0 "$program_pid" || { echo "the program exited"; cat "$e2e_tmp/one.log"; exit 1; }
[ "$size" = "637 x 499" ] || exit 1
stop_program
[ -n "$pixels" ] || exit 0

QT_SCALE_FACTOR=2 start_program "$e2e_tmp/two.log" "$prog"
win=$(wait_for_window "$program_pid") || { echo "no window at scale 2"; cat "$e2e_tmp/two.log"; exit 1; }
size=$(window_size "$win")
echo "scale 2: window $win, $size"
[ "$size" = "1274 x 998" ] || exit 1
# "Тонировать" at (484, 280) logical pixels.
xdotool mousemove --window "$win" 968 560 click 1
# The map's row through the centre: Picture1 starts at (32, 16) screen pixels,
# its centre pixel is (393, 337); the disc spans 159 pixels each way.
row=$((16 + 337))
rim=$((32 + 393 - 159))
read_rim() { "$pixels" "$win" $((rim - 1)) $row $rim $row $((rim + 1)) $row $((32 + 393)) $row; }
for _ in $(seq 600); do
  colours=$(read_rim) || { echo "cannot read the window"; exit 1; }
  [ "$(echo "$colours" | sed -n 2p)" != "255 255 255" ] && break
  sleep 0.1
done
echo "$colours"
mapfile -t c <<<"$colours"
[ "${c[0]}" = "255 255 255" ] || { echo "off the disc is not white"; exit 1; }
[ "${c[3]}" = "255 255 255" ] || { echo "the centre is not white"; exit 1; }
# At the rim the normal grazes the sight line: phi is below the seventh
# half-width, the zone colour; one pixel in, the dark grey of phi 0.11.
# Anything resampled would blend them with the white outside.
[ "${c[1]}" = "96 0 52" ] && [ "${c[2]}" = "29 29 29" ] || { echo "the rim is blended"; exit 1; }
kill -0 "$program_pid" || { echo "the program exited"; cat "$e2e_tmp/two.log"; exit 1; }
