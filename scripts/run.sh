#!/usr/bin/env bash
# Installs what is missing, builds Tallo and calculates the tour worksheet.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tallo-calc >/dev/null
build/src/tallo-calc examples/tour.txt
