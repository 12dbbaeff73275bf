#!/usr/bin/env bash
# Installs the Debian packages of scripts/debian-packages.txt that are missing. Installs nothing
# when all are present. Needs root (directly or through sudo); otherwise it prints the exact
# apt-get line to run and fails.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$here/debian-packages.txt" | grep -v '^$')

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  run=(sudo)
else
  echo "Please run as root:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -q
"${run[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
