#!/usr/bin/env bash
# Remakes the README's picture of the editor: a worksheet with a table (tools/readme_worksheet.txt)
# after Do Calculation, drawn offscreen into docs/editor.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target readme-screenshot >/dev/null
QT_QPA_PLATFORM=offscreen build/tools/readme-screenshot tools/readme_worksheet.txt docs/editor.png
echo "wrote docs/editor.png"
