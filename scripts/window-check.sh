#!/usr/bin/env bash
# Drives the editor's real window on a virtual X display (Xvfb, with the openbox window manager;
# keys typed by xdotool): opens a worksheet, presses F9 (Do Calculation) and Ctrl+S, and checks
# that the file then holds the answers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tallo >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it to the file given.
Xvfb -displayfd 3 -screen 0 1280x800x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
# The user's settings, recent files and recovery copies stay out of it.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)

# Whether the window title comes to match a pattern within some tenths of a second.
title_becomes() {
  for _ in $(seq "$2"); do
    xdotool getwindowname "$window" 2>/dev/null | grep -Eq "$1" && return 0
    sleep 0.1
  done
  return 1
}

# Presses a key until the window title matches a pattern: a key pressed while the window
# manager is still handing the window the focus can be lost. Pressing again is harmless: a
# second calculation inserts nothing, and a second save writes the same bytes.
press_until_title() {
  for _ in 1 2 3; do
    xdotool key "$1"
    title_becomes "$2" 50 && return 0
  done
  echo "window-check: the title did not become $2 (it is \"$(xdotool getwindowname "$window")\")" >&2
  exit 1
}

printf '1+1=\n2*3=\nx=16\nsqrt(x)=\n' >"$work/sheet.txt"
build/src/shell/tallo "$work/sheet.txt" >"$work/tallo.log" 2>&1 &
pids+=($!)
window=$(xdotool search --sync --name '^sheet\.txt - Tallo$' | head -1)
# The window manager may still be starting: activating the window fails until it runs.
for _ in $(seq 50); do xdotool windowactivate --sync "$window" 2>/dev/null && break; sleep 0.1; done
press_until_title F9 '^sheet\.txt\* - Tallo$'  # the answers are in: the document is modified
press_until_title ctrl+s '^sheet\.txt - Tallo$'

# Hand arithmetic: 1+1 is 2, 2*3 is 6, the square root of 16 is 4.
expected=$'1+1=2\n2*3=6\nx=16\nsqrt(x)=4\n'
if [ "$(cat "$work/sheet.txt"; echo .)" != "$expected." ]; then
  echo "window-check: the saved worksheet is not as expected:" >&2
  cat "$work/sheet.txt" >&2
  exit 1
fi
echo "window-check: F9 and Ctrl+S in the real window calculated and saved the worksheet"
