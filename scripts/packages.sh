#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Usage: scripts/packages.sh [extra packages...]
set -euo pipefail
packages=(cmake make g++ googletest libbenchmark-dev
          g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
          wine wine64 xvfb xauth nsis zip clang-14 libclang-rt-14-dev libx11-dev libxext-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
