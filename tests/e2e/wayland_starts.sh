#!/usr/bin/env bash
# End to end on Wayland: the real program under a private headless weston
# opens its window titled "Korvalen" and says nothing on its error output:
# no warning of the platform, the style or the pointer's screen pixels (which
# it takes from the X server only, Wayland's positions being fractional).
# Weston and the program are ended with the test, by their PIDs.
set -u
prog=$1
command -v weston >/dev/null || { echo "weston is needed"; exit 1; }
# The bookkeeping of the programs the test starts (no X server is started).
. "$(dirname "$0")/x_server.sh"
tmp=$e2e_tmp

export XDG_RUNTIME_DIR=$tmp
chmod 700 "$tmp"
socket=korvalen-test
weston --backend=headless-backend.so --socket=$socket --idle-time=0 --no-config \
    >"$tmp/weston.log" 2>&1 &
weston_pid=$!
started_pids+=($weston_pid)
for _ in $(seq 600); do
  [ -S "$tmp/$socket" ] && break
  kill -0 $weston_pid 2>/dev/null || { echo "weston did not start"; cat "$tmp/weston.log"; exit 1; }
  sleep 0.1
done
[ -S "$tmp/$socket" ] || { echo "no Wayland socket"; exit 1; }

# The protocol log (client side) shows the window being made; it goes to the
# error output too, so the program's own lines are those that are not protocol.
WAYLAND_DISPLAY=$socket WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland LC_ALL=C.UTF-8 \
    "$prog" >"$tmp/out.log" 2>"$tmp/err.log" &
pid=$!
started_pids+=($pid)
for _ in $(seq 600); do
  grep -q 'set_title("Korvalen")' "$tmp/err.log" && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
grep -q 'set_title("Korvalen")' "$tmp/err.log" || { echo "no window titled Korvalen"; grep -v '^\[' "$tmp/err.log" | head -20; exit 1; }
# A moment for the first frame, then the program still runs and has said nothing.
grep -q 'wl_surface@[0-9]*\.commit' "$tmp/err.log" || sleep 1
kill -0 $pid 2>/dev/null || { echo "the program exited"; exit 1; }
said=$(grep -v '^\[' "$tmp/err.log"; cat "$tmp/out.log")
[ -z "$said" ] || { echo "the program said:"; echo "$said"; exit 1; }
echo "Wayland: window made, nothing said"
