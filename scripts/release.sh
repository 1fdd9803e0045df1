#!/usr/bin/env bash
# Makes the release folder from the mingw64 and mingw32 builds:
#   tindlbrg-setup.exe            the setup program (32-bit; installs the 64-bit or the
#                                 32-bit saver, whichever Windows runs)
#   tindlbrg-<version>-scr.zip    the bare savers: 64-bit/tindlbrg.scr, 32-bit/tindlbrg.scr
#   SHA256SUMS                    the SHA-256 of both, as sha256sum writes and checks them
#
#   scripts/release.sh [FOLDER]   (FOLDER defaults to build/release)
#
# The zip is the same for the same savers: fixed times (SOURCE_DATE_EPOCH, else the last
# commit's), modes and order, no extra fields.
set -euo pipefail
# FOLDER as the caller named it, from where they are.
out=$(realpath -m -- "${1:-$(dirname "$0")/../build/release}")
cd "$(dirname "$0")/.."
scripts/packages.sh
[ -f build/mingw64/CMakeCache.txt ] || cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 -j 2 --target installer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/mingw64/CMakeCache.txt)
[ -n "$version" ] || { echo "release.sh: no project version in build/mingw64/CMakeCache.txt" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || { echo "release.sh: no git history here: set SOURCE_DATE_EPOCH" >&2; exit 1; }
mkdir -p "$out"
zip_name=tindlbrg-$version-scr.zip

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/64-bit" "$stage/32-bit"
cp build/mingw64/tindlbrg.scr "$stage/64-bit/"
cp build/mingw32/tindlbrg.scr "$stage/32-bit/"
chmod 644 "$stage"/*/tindlbrg.scr
touch -d "@$epoch" "$stage"/*/tindlbrg.scr
rm -f "$out/$zip_name"
(cd "$stage" && TZ=UTC zip -q -X -D "$out/$zip_name" 64-bit/tindlbrg.scr 32-bit/tindlbrg.scr)
cp build/mingw64/tindlbrg-setup.exe "$out/"
(cd "$out" && sha256sum tindlbrg-setup.exe "$zip_name" >SHA256SUMS)
echo "release $version in $out:"
ls -l "$out/tindlbrg-setup.exe" "$out/$zip_name" "$out/SHA256SUMS"
