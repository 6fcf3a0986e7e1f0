#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, so the libFuzzer targets build in the same tree), compiles the
# benchmarks so they cannot rot unseen, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S . -B build-check -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DYX_SANITIZE=ON -DYX_WERROR=ON -DYX_FUZZ=ON -DYX_BENCH=ON >/dev/null
cmake --build build-check -j"$(nproc)"
cd build-check
ctest --output-on-failure -j"$(nproc)" "$@"
