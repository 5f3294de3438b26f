#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tallo need, and any packages
# named as arguments, that are missing. Nothing is installed (and no root rights are
# asked for) when everything is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev
  # the engine's probability distributions (Boost.Math, header-only)
  libboost-math-dev
  # the editor: Qt 6 with its SVG icon support, and the X11 headers for the lock-key panes
  qt6-base-dev qt6-svg-dev libx11-dev fonts-dejavu-core
  # the editor's tests: reading printed PDFs back, checking the desktop files, driving the real
  # window on a virtual display
  poppler-utils desktop-file-utils appstream libxml2-utils xvfb openbox xdotool
  # whatever the caller names as well
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
