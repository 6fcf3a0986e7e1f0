#!/usr/bin/env bash
# Builds 雲岫學苑 and starts it on the embedded demo campus.
# With a display the Qt window opens; on a headless machine the text driver
# starts instead (it says so). Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYX_TESTS=OFF -DYX_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"
if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && [ -x build/bin/yunxiu ]; then
  exec build/bin/yunxiu "$@"
fi
if [ -x build/bin/yunxiu ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): starting the text driver instead. Type 'help' for its commands." >&2
else
  echo "The window front-end is not built: starting the text driver. Type 'help' for its commands." >&2
fi
exec build/bin/yunxiu-cli "$@"
