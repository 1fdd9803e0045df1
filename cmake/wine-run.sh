#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix (TINDLBRG_WINEPREFIX, else
# ./wineprefix), creating the prefix on first use. CTest calls this as the emulator.
set -u
export WINEPREFIX="${TINDLBRG_WINEPREFIX:-$PWD/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$WINEPREFIX")"
(
  # Parallel test runs must not create the same prefix twice.
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    (unset DISPLAY; timeout 120 wine wineboot -i >/dev/null 2>&1)
  fi
) 9>"$WINEPREFIX.lock"
exec timeout "${TINDLBRG_WINE_TIMEOUT:-300}" wine "$@"
