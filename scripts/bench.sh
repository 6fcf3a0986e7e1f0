#!/usr/bin/env bash
# Builds the benchmarks in a Release tree without sanitizers (build-bench/)
# and runs them all. Extra arguments go to every benchmark
# (e.g. --benchmark_filter=Feed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DYX_TESTS=OFF -DYX_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
for b in build-bench/bin/bench_* build-bench/bin/yx_*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
