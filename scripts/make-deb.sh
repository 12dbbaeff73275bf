#!/usr/bin/env bash
# Makes the Debian package of RVK in one command: installs what the build needs, builds what the
# package holds (optimised, in build/ unless a folder is named) and packs it with CPack. The package's
# dependencies are found from the programs by dpkg-shlibdeps. Prints the package's path.
#
#   scripts/make-deb.sh [BUILD_DIR]
#   sudo apt-get install ./build/rvk_*.deb
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build}

"$here/ensure-packages.sh"
RVK_BUILD_DIR=$build "$here/build.sh" --target rvk rvk-cli rvk-manual rvk-packaging
rm -f "$build"/rvk_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/rvk_*.deb
