#!/usr/bin/env bash
# Builds the readers' fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-fuzz/, apart from the normal build) and runs each target.
#
#   scripts/fuzz.sh [--seconds N] [--runs N] [--no-build] [TARGET...]
#
# Each target runs for N seconds or N executions, whichever ends first (default: 60 seconds each,
# all targets); --no-build runs the targets as they were last built.
#
# Each target starts from its seed corpus (tests/fuzz/corpus/NAME) and dictionary
# (tests/fuzz/NAME.dict); the corpus it grows stays in build-fuzz/corpus/NAME. Findings (crash-,
# leak-, timeout-, oom- files) go to build-fuzz/findings/NAME; keep each as a regression case in
# tests/fuzz/regression/cases/NAME once its cause is fixed. Exits non-zero when any target found
# something. Needs the Debian packages clang and libfuzzer-14-dev (in the package list).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${RVK_FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=()
runs=()
build_first=1
targets=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --seconds) seconds=(-max_total_time="$2"); shift 2 ;;
    --runs) runs=(-runs="$2"); shift 2 ;;
    --no-build) build_first=0; shift ;;
    *) targets+=("$1"); shift ;;
  esac
done

[[ ${#seconds[@]} -eq 0 && ${#runs[@]} -eq 0 ]] && seconds=(-max_total_time=60)
limit=("${seconds[@]}" "${runs[@]}")

if [[ $build_first -eq 1 || ! -f "$build/build.ninja" ]]; then
  if [[ ! -f "$build/build.ninja" ]]; then
    CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRVK_FUZZ=ON >/dev/null
  fi
  cmake --build "$build" --target fuzz_targets
fi

if [[ ${#targets[@]} -eq 0 ]]; then
  for source in "$top"/tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name#fuzz_}")
  done
fi

# The readers' scratch files (and the files the merger writes, each synced to disk) stay in
# memory where the system has a memory file system: a synced write per input would otherwise set
# the pace.
if [[ -z "${TMPDIR:-}" && -d /dev/shm && -w /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi

found=0
printf '%-14s %14s %10s  %s\n' target executions per-second findings
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  # Findings of earlier runs were kept as regression cases or are found again.
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings"
  cp -n "$top/tests/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
  dictionary=()
  [[ -f "$top/tests/fuzz/$name.dict" ]] && dictionary=(-dict="$top/tests/fuzz/$name.dict")
  log="$build/findings/$name.log"
  # Inputs are capped at 64 KiB: sizes users have are covered by the benchmarks, not here.
  "$build/tests/fuzz/fuzz_$name" "$corpus" "${dictionary[@]}" "${limit[@]}" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1 || true
  # The fuzzer's own final figures are the last in the log (a child process a reader starts may
  # print figures of its own before them).
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || echo 0)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || echo 0)
  count=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  [[ $count -gt 0 ]] && found=1
  printf '%-14s %14s %10s  %s\n' "$name" "${runs:-0}" "${rate:-0}" "$count"
done
exit $found
