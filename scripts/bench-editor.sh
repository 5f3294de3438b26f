#!/usr/bin/env bash
# Times the editor on large worksheets (offscreen): opening 20 and 100 MB, a million values
# on one line and 20 MB that are not text, Do Calculation on 10 MB against tallo-calc with its
# Undo and Redo, saving 20 MB and writing its recovery copy; each with its peak memory, and the
# figures that have targets (opening 20 MB, Do Calculation against tallo-calc, its peak memory)
# against them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target editor-benchmark >/dev/null
QT_QPA_PLATFORM=offscreen build/tools/editor-benchmark "$@" 2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR >&2)
