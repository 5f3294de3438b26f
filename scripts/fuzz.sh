#!/usr/bin/env bash
# Fuzzes the engine's entry point with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) for the given number of seconds (default 600). With the
# second argument "direct", it fuzzes the direct evaluator against the reducer instead.
# New interesting inputs collect in build-fuzz/corpus; a crash or timeout is written to
# build-fuzz/ as crash-*, timeout-* or slow-unit-*: copy it into tests/fuzz/corpus once
# fixed, so the test command replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
binary=calculate_fuzzer
[ "${2:-}" = direct ] && binary=direct_evaluator_fuzzer

scripts/install-deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALLO_FUZZ=ON -DTALLO_SANITIZE=ON -DTALLO_SHELL=OFF >/dev/null
cmake --build build-fuzz --target "$binary"
if [ "$binary" = direct_evaluator_fuzzer ]; then
  mkdir -p build-fuzz/expressions
  exec build-fuzz/tests/direct_evaluator_fuzzer build-fuzz/expressions \
    -dict=tests/fuzz/worksheet.dict -max_len=256 -timeout=1 -max_total_time="$seconds" \
    -artifact_prefix=build-fuzz/ -print_final_stats=1
fi
mkdir -p build-fuzz/corpus
build-fuzz/tests/calculate_fuzzer build-fuzz/corpus tests/fuzz/corpus tests/worksheets \
  -dict=tests/fuzz/worksheet.dict -max_len=65536 -timeout=1 -rss_limit_mb=4096 \
  -max_total_time="$seconds" -artifact_prefix=build-fuzz/ -print_final_stats=1
