#!/usr/bin/env bash
# The Debian package: `cpack -G DEB` makes korvalen_<version>_<arch>.deb whose
# files are those of `cmake --install`, byte for byte but for the stripped
# program, whose control fields a user and apt need are there, and whose
# Depends name the Qt 6 libraries the program links (the charts of the curves
# and their SVG pictures among them) and the fonts its layout is measured in,
# and Qt's translations that put its own texts in Russian.
set -euo pipefail
build=$(realpath "$1") project_version=$2 id=$3
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg; do
  command -v "$tool" >/dev/null || { echo "$tool is needed"; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' INT TERM
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Users see major.minor.revision; the build number stays out of the version.
IFS=. read -r major minor _build revision <<<"$project_version"
version=$major.$minor.${revision:-0}
arch=$(dpkg --print-architecture)

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1 \
  || { cat "$tmp/cpack.log"; fail "cpack failed"; exit 1; }
debs=$(cd "$tmp/out" && ls ./*.deb || true)
[ "$debs" = "./korvalen_${version}_$arch.deb" ] || { fail "packages made: $debs"; exit 1; }
deb=$tmp/out/korvalen_${version}_$arch.deb
dpkg-deb --info "$deb"

field() { dpkg-deb -f "$deb" "$1"; }
while read -r name pattern; do
  value=$(field "$name")
  [[ $value =~ $pattern ]] || fail "$name: '$value' does not match $pattern"
done <<EOF2
Package ^korvalen$
Version ^${version//./\\.}$
Architecture ^$arch$
Section ^science$
Maintainer ^[^<>]+\ <[^@<> ]+@[^@<> ]+>$
Homepage ^https://
EOF2
# A synopsis line under 80 characters, then an extended description.
description=$(field Description)
synopsis=$(head -1 <<<"$description")
[[ $synopsis =~ ^[a-z].{10,78}$ ]] || fail "Description synopsis: '$synopsis'"
extended=$(tail -n +2 <<<"$description")
[ -n "$extended" ] || fail "Description has no extended part"
long=$(grep -E '^.{80,}' <<<"$extended" || true)
[ -z "$long" ] || fail "Description lines wider than 79 columns: $long"

# The names in Depends, without versions or alternatives' bars.
depends=$(field Depends | tr ',|' '\n\n' | sed 's/(.*//; s/^ *//; s/ *$//' | sort -u)
echo "Depends names: $(echo $depends)"
for name in libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 libqt6svg6 libc6 libstdc++6 fonts-liberation2 \
    qt6-translations-l10n; do
  grep -qx "$name" <<<"$depends" || fail "Depends does not name $name"
done

# The package holds what `cmake --install` installs, with the same kind and
# permissions.
DESTDIR=$tmp/root cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$tmp/root" && find . ! -type d -printf '%M %P\n' | sort)
packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub("^\\./", "", $6); print $1, $6}' | sort)
diff <(echo "$installed") <(echo "$packaged") || fail "the package's files differ from the install (< installed, > packaged)"

dpkg-deb -x "$deb" "$tmp/deb"
while read -r _ path; do
  [ "$path" = usr/bin/korvalen ] && continue
  cmp -s "$tmp/root/$path" "$tmp/deb/$path" || fail "$path differs from the installed file"
done <<<"$installed"
grep -q "^License: GPL-3.0-or-later" "$tmp/deb/usr/share/doc/korvalen/copyright" \
  || fail "the copyright file does not name GPL-3.0-or-later"
grep -qF "<release version=\"$version\"" "$tmp/deb/usr/share/metainfo/$id.metainfo.xml" \
  || fail "the AppStream release is not $version"

[ "$failures" -eq 0 ] && echo "package: all checks passed"
[ "$failures" -eq 0 ]
