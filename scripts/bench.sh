#!/usr/bin/env bash
# Builds the engine in release mode and runs its benchmark: per workload the time, MB/s,
# the peak memory against the worksheet size, and the time of `wc -w` over the same text;
# then each target on whole processes (tallo-calc's peak memory and time against `wc -w`,
# the data sets' readings, R's time per block where R is installed) against its limit.
# Arguments go to the benchmark, for example --benchmark_filter=mixed, --no_targets or
# --targets_only.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libbenchmark-dev
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLO_BENCH=ON \
  -DTALLO_TESTS=OFF -DTALLO_SHELL=OFF >/dev/null
cmake --build build-bench --target engine_bench
build-bench/bench/engine_bench --benchmark_counters_tabular=true "$@"
