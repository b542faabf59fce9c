#!/usr/bin/env bash
# Builds and runs the benchmarks: database steps against the bare SQLite engine (and, for those the
# turnover summary answers, against the bare engine reading the turnover rows), window steps end
# to end (offscreen) with and without the summary, and peak memory. Arguments go to the benchmark
# (--scale, --runs, --book).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target fingraf_bench
exec build/bench/fingraf_bench "$@"
