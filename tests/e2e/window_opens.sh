#!/usr/bin/env bash
# End to end: the real program under a private X server opens one window
# titled "Korvalen" whose client area is the 637 x 499 form under a menu bar,
# and keeps running; so it does with Qt's own options (-style, -reverse, -geometry). At screen scale 2 the form is 1274 x 998 and, after
# "Тонировать", the map is
# drawn at the screen's own pixels: the rim of the sphere is sharp, 159 screen
# pixels from the centre. Without the pixel reader (the second argument) only
# the first check runs. Then the real pointer, moved by the X server to an odd
# screen pixel of the map, shows that pixel's value in the probe's caption.
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
# The form keeps its size; the menu bar adds to the height only.
bar=$(( ${size##* x } - 499 ))
[ "${size%% x *}" = 637 ] && [ "$bar" -gt 10 ] && [ "$bar" -lt 60 ] || exit 1
stop_program

# Qt's own options open the window as in every Qt program.
start_program "$e2e_tmp/qt.log" "$prog" -style Fusion -reverse -geometry +40+30 --model akimov
win=$(wait_for_window "$program_pid") || { echo "no window with Qt's options"; cat "$e2e_tmp/qt.log"; exit 1; }
echo "Qt's options: window $win"
stop_program
[ -n "$pixels" ] || exit 0

QT_SCALE_FACTOR=2 start_program "$e2e_tmp/two.log" "$prog"
win=$(wait_for_window "$program_pid") || { echo "no window at scale 2"; cat "$e2e_tmp/two.log"; exit 1; }
size=$(window_size "$win")
echo "scale 2: window $win, $size"
bar=$(( ${size##* x } - 998 ))
[ "${size%% x *}" = 1274 ] && [ "$bar" -gt 20 ] && [ "$bar" -lt 120 ] || exit 1
# "Тонировать" at (484, 280) logical pixels of the form, below the bar.
xdotool mousemove --window "$win" 968 $((560 + bar)) click 1
# The map's row through the centre: Picture1 starts at (32, 16) screen pixels,
# its centre pixel is (393, 337); the disc spans 159 pixels each way.
row=$((bar + 16 + 337))
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

# The probe under the real pointer. Qt rounds the server's position to whole
# logical pixels; the program takes the screen pixel from the server. The odd
# pixel (277, 260) of the map shows the value of the even pixel (266, 280)
# (0.483) and not that of its neighbour (278, 260) (0.492), where the rounded
# position lands. The caption is compared as the pixels of the label, which
# stands at (X + 20, Y + 20) screen pixels to the nearest logical pixel.
half_to_even() { local h=$(($1 / 2)); (( $1 % 2 && h % 2 )) && h=$((h + 1)); echo $h; }
caption_at() {
  local x=$1 y=$2 left top sig="" prev=""
  xdotool mousemove --window "$win" $((32 + x)) $((bar + 16 + y))
  left=$((32 + 2 * $(half_to_even $((x + 20)))))
  top=$((bar + 16 + 2 * $(half_to_even $((y + 20)))))
  # The caption is drawn once the move has been handled: the same pixels twice.
  for _ in $(seq 100); do
    sig=$("$pixels" "$win" --region $left $top 90 22) || return 1
    [ "$sig" = "$prev" ] && break
    prev=$sig
    sleep 0.1
  done
  echo "$sig"
}
even=$(caption_at 266 280) || { echo "cannot read the caption"; exit 1; }
odd=$(caption_at 277 260) || exit 1
neighbour=$(caption_at 278 260) || exit 1
echo "probe: even $even, odd $odd, neighbour $neighbour"
[ "$neighbour" != "$even" ] || { echo "the captions cannot be told apart"; exit 1; }
[ "$odd" = "$even" ] || { echo "the probe shows another pixel than the one under the pointer"; exit 1; }
kill -0 "$program_pid" || { echo "the program exited"; cat "$e2e_tmp/two.log"; exit 1; }
