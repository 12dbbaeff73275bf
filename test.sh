#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen). Exits non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${RVK_BUILD_DIR:-$top/build}"
ctest --output-on-failure --parallel "$(nproc)" "$@"
