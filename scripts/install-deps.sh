#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tallo need, and any packages
# named as arguments, that are missing. Nothing is installed (and no root rights are
# asked for) when everything is present.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev "$@")

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
