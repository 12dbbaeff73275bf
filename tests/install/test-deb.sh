#!/usr/bin/env bash
# test-deb.sh BUILD_DIR: packs the build as a Debian package into a temporary folder (as
# scripts/make-deb.sh does) and checks it: named rvk_VERSION-1_ARCH.deb, dependencies found from
# the programs (the Qt and format libraries they link), and the installed tree's main files.
set -u
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
command -v dpkg-shlibdeps >/dev/null || { echo "FAIL: dpkg-shlibdeps is missing (Debian package dpkg-dev)" >&2; exit 1; }

if ! (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack -G DEB failed" >&2
  exit 1
fi
packages=("$work"/rvk_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "FAIL: no single rvk_*.deb: ${packages[*]}" >&2; exit 1; }
deb=${packages[0]}
[[ $(basename "$deb") =~ ^rvk_[0-9.]+-1_[a-z0-9]+\.deb$ ]] || fail "package name $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
# Libraries the programs link, which only dpkg-shlibdeps could have named.
for library in libqt6widgets6 libqt6gui6 libqt6core6 libqt6charts6 libqt6printsupport6 libqt6svg6 libhts3 libjpeg62-turbo libc6; do
  [[ ",$depends," =~ [,\ ]$library[\ ,\(] ]] || fail "Depends does not name $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = rvk ] || fail "the package is not named rvk"
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "the package is not in section science"

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for file in ./usr/bin/rvk ./usr/bin/rvk-cli ./usr/share/applications/rvk.desktop ./usr/share/mime/packages/rvk.xml \
  ./usr/share/rvk/rvkmanual.pdf ./usr/share/rvk/whatsnew.txt ./usr/share/man/man1/rvk-cli.1.gz \
  ./usr/share/bash-completion/completions/rvk-cli ./usr/share/icons/hicolor/scalable/apps/rvk.svg; do
  grep -qx -- "$file" "$work/contents" || fail "the package does not hold $file"
done
# Nothing of the build or the tests in the package.
grep -E 'test_|bench|\.a$|/build/' "$work/contents" && fail "the package holds build or test files"

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "package OK: $(basename "$deb"), Depends: $depends"
