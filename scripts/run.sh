#!/usr/bin/env bash
# Builds the saver and starts it under Wine: full screen by default, or with the given
# arguments ("/c" for the configuration dialog). Without a display it runs on a virtual
# one for a few seconds and saves a screenshot, printing its path.
# "scripts/run.sh --linux [options]" builds and starts the native Linux program in a
# window of its own instead (a key, a click or closing the window ends it).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--linux" ]; then
  shift
  scripts/packages.sh imagemagick
  cmake --preset native >/dev/null
  cmake --build --preset native --target tindlbrg_hack -j "$(nproc)"
  saver="$PWD/build/native/tindlbrg"
  if [ -n "${DISPLAY:-}" ]; then exec "$saver" --window "$@"; fi
  shot="$PWD/build/native/screenshot-linux.png"
  export saver shot seconds="${TINDLBRG_RUN_SECONDS:-6}"
  timeout 300 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
    "$saver" -root "$@" & pid=$!
    sleep "$seconds"; import -window root "$shot"; kill -TERM $pid; wait $pid
  ' run "$@"
  echo "Screenshot: $shot"
  exit 0
fi
scripts/packages.sh imagemagick
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 --target tindlbrg -j "$(nproc)"

export WINEPREFIX="$PWD/build/mingw64/run-wineprefix"
. scripts/wine-prefix.sh
saver="$PWD/build/mingw64/tindlbrg.scr"
[ $# -gt 0 ] || set -- /s

tindlbrg_wine_prefix || { echo "cannot create the Wine prefix $WINEPREFIX"; exit 1; }
trap 'wineserver -k 2>/dev/null || true' EXIT

if [ -n "${DISPLAY:-}" ]; then
  timeout 3600 wine "$saver" "$@" || true
  exit 0
fi

shot="$PWD/build/mingw64/screenshot.png"
seconds="${TINDLBRG_RUN_SECONDS:-6}"
export saver shot seconds
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  wine "$saver" "$@" &
  sleep "$seconds"
  import -window root "$shot"
  wineserver -k 2>/dev/null || true
  wait 2>/dev/null || true
' run "$@"
echo "Screenshot: $shot"
