#!/usr/bin/env bash
# The installed program on its own: `cmake --install` into a scratch root
# holds exactly the expected files, the desktop entry and the AppStream data
# pass their validators with neither errors nor warnings, nothing installed
# names the source or build tree, and the menu command started from the
# scratch root, with the source and build trees hidden, opens the window.
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") id=$3 window_check=$4
for tool in desktop-file-validate appstreamcli file readelf objcopy Xvfb unshare setsid groff preconv; do
  command -v "$tool" >/dev/null || { echo "$tool is needed"; exit 1; }
done

tmp=$(mktemp -d)
run_pid=""
cleanup() {
  [ -n "$run_pid" ] && kill -- -"$run_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

root=$tmp/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
share=$root/usr/share

# Exactly these files, and only the program executable.
expected="usr/bin/korvalen
usr/share/applications/$id.desktop
usr/share/doc/korvalen/copyright
usr/share/man/man1/korvalen.1.gz
usr/share/metainfo/$id.metainfo.xml
usr/share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 32 48 64 128 256; do
  expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
actual=$(cd "$root" && find . ! -type d -printf '%P\n' | sort)
diff <(sort <<<"$expected") <(echo "$actual") || fail "the installed files differ from the expected list (< expected, > installed)"
executables=$(cd "$root" && find . -type f -perm /111 -printf '%P\n')
[ "$executables" = usr/bin/korvalen ] || fail "executables: $executables"

# Every icon is the size of the folder it sits in.
for size in 16 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || continue
  file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "$png: $(file -b "$png")"
done

# The menu entry starts the program and shows the icon by name, not by path.
desktop=$share/applications/$id.desktop
exec_cmd=$(sed -n 's/^Exec=//p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$exec_cmd" = korvalen ] || fail "Exec=$exec_cmd"
[ "$icon" = "$id" ] || fail "Icon=$icon"

# The validators' findings are printed; a hint or a pedantic note is not a fault.
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -n "$out" ] && echo "$out"
grep -E "(error|warning):" <<<"$out" && fail "desktop-file-validate reports errors or warnings"
for check in "validate --no-net --strict $share/metainfo/$id.metainfo.xml" "validate-tree --no-net --strict $root"; do
  # shellcheck disable=SC2086  # the words of the check are meant to split
  out=$(appstreamcli $check 2>&1) || fail "appstreamcli $check"
  echo "$out"
  grep -E "^ *[EW]:" <<<"$out" && fail "appstreamcli $check reports errors or warnings"
done

# The manual page reads without a warning from the formatter.
out=$(zcat "$share/man/man1/korvalen.1.gz" | preconv | groff -man -Tutf8 -ww -z 2>&1) || fail "groff failed on korvalen.1"
[ -z "$out" ] || fail "korvalen.1: $out"

# Nothing installed leads back into the source or build tree. The debugging
# information of a debug build names its sources, which the program never
# reads; the program is looked at without it.
objcopy --strip-debug "$root/usr/bin/korvalen" "$tmp/korvalen.nodebug"
hits=$(grep -lF -e "$source" -e "$build" -r "$root" "$tmp/korvalen.nodebug" || true)
[ -z "$hits" ] || fail "these name the source or build tree: $hits"
readelf -d "$root/usr/bin/korvalen" | grep -E "RPATH|RUNPATH" && fail "the program keeps a library search path"

# The menu command from the scratch root, with nothing of the build's
# environment and, where a private mount namespace can be had, the source and
# build trees hidden behind empty ones.
prog=$(PATH=$root/usr/bin command -v "$exec_cmd" || true)
[ -x "$prog" ] || { fail "$exec_cmd not found in $root/usr/bin"; exit 1; }
cp "$window_check" "$tmp/window_check.sh"
cp "$(dirname "$window_check")/x_server.sh" "$tmp/x_server.sh"
# A build tree inside the source tree is gone once the source tree is hidden.
hide='for d in "$@"; do
        [ -d "$d" ] || continue
        mount -t tmpfs korvalen-hidden "$d" && [ -z "$(ls -A "$d")" ] || { echo "cannot hide $d"; exit 1; }
      done
      exec bash "$tmp/window_check.sh" "$prog"'
run=(bash "$tmp/window_check.sh" "$prog")
if unshare --mount --propagation private true 2>/dev/null; then
  run=(unshare --mount --propagation private bash -c "$hide" _ "$source" "$build")
  echo "source and build trees hidden"
else
  echo "no private mount namespace here: the program runs with the trees in place"
fi
# In a process group of its own, so that the cleanup ends the X server and the
# program whatever the path out; their scratch files go where it removes them.
cd "$tmp"
env -u LD_LIBRARY_PATH -u QT_PLUGIN_PATH -u QT_QPA_PLATFORM_PLUGIN_PATH \
    TMPDIR="$tmp" tmp="$tmp" prog="$prog" setsid "${run[@]}" &
run_pid=$!
wait "$run_pid" || fail "the installed program did not open its 637 x 499 window"
run_pid=""

[ "$failures" -eq 0 ] && echo "installed program: all checks passed"
[ "$failures" -eq 0 ]
