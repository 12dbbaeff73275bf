#!/usr/bin/env bash
# Installs what is missing, builds, and opens RVK on the named data files (or on the example
# data when none is named).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
if [[ $# -eq 0 ]]; then
  set -- "$top/examples/listeria.rvk"
fi
exec "${RVK_BUILD_DIR:-$top/build}/rvk" "$@"
