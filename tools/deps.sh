#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# skipping the install when every one of them is already there.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6test6 libgl-dev libxkbcommon-dev
  qt6-translations-l10n
  qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  libxcb1-dev libxcb-xinput-dev adwaita-qt6
  libgtest-dev libgmock-dev libbenchmark-dev libceres-dev
  clang libclang-rt-14-dev
  fonts-liberation2
  xvfb xauth xdotool x11-utils weston qt6-wayland
  desktop-file-utils appstream dpkg-dev file binutils groff-base
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
