# Sourced by the end-to-end tests: a private X server and the programs a test
# starts on it, all ended with the test by their PIDs, whichever way it ends.
#
#   start_x_server            starts Xvfb on a free display and exports DISPLAY
#   start_program LOG CMD...  starts CMD in the background; its PID is in $program_pid
#   stop_program              ends the program started last
#   wait_for_window PID       prints the id of the program's visible window, waiting
#                             on the window itself (up to a minute, however busy the machine)

started_pids=()
e2e_tmp=$(mktemp -d)

end_started() {
  local pid
  for pid in "${started_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${started_pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$e2e_tmp"
}
trap end_started EXIT
trap 'exit 1' INT TERM HUP

start_x_server() {
  # The server writes its display number into the pipe once it accepts
  # clients, so reading it waits exactly as long as the start-up takes.
  # -noreset: by default the server resets whenever its last client leaves,
  # and a client that connects during the reset is refused. Here every
  # program and every xdotool or pixel reader can be the last client for a
  # moment (one program ended, the next not yet connected), so the server
  # must stay as it is for the whole test.
  mkfifo "$e2e_tmp/display"
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$e2e_tmp/display" \
      >"$e2e_tmp/xvfb.log" 2>&1 &
  started_pids+=($!)
  local number=""
  read -r number <"$e2e_tmp/display"
  if [ -z "$number" ]; then
    echo "the X server did not start"; cat "$e2e_tmp/xvfb.log"; return 1
  fi
  export DISPLAY=":$number"
}

start_program() {
  local log=$1; shift
  QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$@" >"$log" 2>&1 &
  program_pid=$!
  started_pids+=("$program_pid")
}

stop_program() {
  kill "$program_pid" 2>/dev/null
  wait "$program_pid" 2>/dev/null
}

wait_for_window() {
  local pid=$1 win="" _
  for _ in $(seq 600); do
    win=$(xdotool search --onlyvisible --pid "$pid" --name "^Korvalen$" 2>/dev/null | head -1)
    [ -n "$win" ] && { echo "$win"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

window_size() {
  xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w " x " h}'
}
