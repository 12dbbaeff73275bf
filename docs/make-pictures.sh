#!/usr/bin/env bash
# Remakes the pictures of the manual (docs/images/) from the example data: the drawings with
# rvk-cli render, the windows with rvk-screenshots (offscreen). Run after the pictures or the
# windows changed; the build typesets the manual from the pictures kept here.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build}
images=$here/images
data=$root/examples/listeria.rvk
export QT_QPA_PLATFORM=offscreen

for program in "$build/rvk-cli" "$build/docs/rvk-screenshots"; do
  [ -x "$program" ] || { echo "build first: cmake --build $build --target rvk-cli rvk-screenshots" >&2; exit 1; }
done
cli=$build/rvk-cli
mkdir -p "$images"

"$cli" render "$data" --group 1 --range 1-40 --out "$images/view-linkage-group.png"
"$cli" render "$data" --view individual --individual 7 --out "$images/view-individual.png"
"$cli" render "$data" --view all --range 1-60 --out "$images/view-all-in-one.png"
"$cli" render "$data" --group 1 --range 1-40 --bw --out "$images/view-black-and-white.png"
"$cli" render "$data" --group 5 --range 1-40 --sort marker:D5M232 --out "$images/view-sorted.png"
"$cli" ld "$data" --group 1 --block 30 --heat "$images/ld-heat.png" >/dev/null
"$cli" tree "$data" --method nj --out "$(mktemp -d)/nj.nwk" --picture "$images/tree-nj.png" --style circular >/dev/null

"$build/docs/rvk-screenshots" "$images"
