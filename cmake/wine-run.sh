#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix (TINDLBRG_WINEPREFIX, else
# ./wineprefix), creating the prefix on first use. CTest calls this as the emulator.
set -u
export WINEPREFIX="${TINDLBRG_WINEPREFIX:-$PWD/wineprefix}"
. "$(dirname "$0")/../scripts/wine-prefix.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/.tindlbrg-ready" ]; then
  # Parallel test runs must not create the same prefix twice, nor stop a test that is
  # already running in it: whoever gets the lock second finds the prefix made.
  (flock 9 && { [ -f "$WINEPREFIX/.tindlbrg-ready" ] || tindlbrg_wine_prefix; }) 9>"$WINEPREFIX.lock"
fi
exec timeout "${TINDLBRG_WINE_TIMEOUT:-300}" wine "$@"
