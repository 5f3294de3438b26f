#!/usr/bin/env bash
# Installs what is missing, builds Tallo and runs every test (the editor's on Qt's offscreen
# platform, and its real window once on a virtual X display); then builds the tests a second
# time with AddressSanitizer and UndefinedBehaviorSanitizer and runs them again. That second build leaves the editor out:
# Qt's own libraries are not built with the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -G Ninja -DTALLO_WERROR=ON
cmake --build build
[ -x build/src/shell/tallo ] || { echo "test.sh: the editor was not built (Qt 6 not found)" >&2; exit 1; }
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"
scripts/window-check.sh

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTALLO_SANITIZE=ON -DTALLO_WERROR=ON \
  -DTALLO_SHELL=OFF
cmake --build build-sanitize
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
