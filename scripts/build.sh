#!/usr/bin/env bash
# Configures (once) and builds the optimised build in build/. Rebuilds only what changed.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${RVK_BUILD_DIR:-$top/build}
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --parallel "$(nproc)" "$@"
