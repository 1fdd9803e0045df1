#!/usr/bin/env bash
# End-to-end tests of the real saver: runs the cases of the Windows test driver under
# Wine on a virtual X display (Xvfb, 1024x768, 24 bits), one driver process per case.
#
#   tests/e2e/run-e2e.sh BUILD_DIR [CASE_PREFIX...]
#
# BUILD_DIR holds tindlbrg.scr and tests/e2e/tindlbrg_driver.exe (a mingw64 build).
# With prefixes only the cases whose names start with one of them run ("input.", ...).
# Prints one line per case and "e2e: N passed, N failed"; exit status 1 on any failure.
# Screens of failed cases go to BUILD_DIR/e2e-screenshots.
set -uo pipefail

usage() { echo "usage: $0 BUILD_DIR [CASE_PREFIX...]" >&2; exit 2; }

inside=0
if [ "${1:-}" = --inside-display ]; then inside=1; shift; fi
[ $# -ge 1 ] || usage
build=$(cd "$1" 2>/dev/null && pwd) || { echo "e2e: no build folder $1" >&2; exit 2; }
shift

export WINEPREFIX=$build/e2e-wineprefix
. "$(dirname "$0")/../../scripts/wine-prefix.sh"
saver=$build/tindlbrg.scr
driver=$build/tests/e2e/tindlbrg_driver.exe
shots=$build/e2e-screenshots

# Wine sees the Unix file system as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

run_cases() {
  # The wineserver must end inside the display session, else it outlives the display.
  trap 'wineserver -k 2>/dev/null' EXIT
  local names
  names=$(timeout 60 wine "$driver" list </dev/null | tr -d '\r') || { echo "e2e: the driver does not run" >&2; return 1; }
  local passed=0 failed=0 name prefix wanted output status verdict start seconds
  for name in $names; do
    wanted=$(( $# == 0 ))
    for prefix in "$@"; do [[ $name == "$prefix"* ]] && wanted=1; done
    [ "$wanted" = 1 ] || continue
    start=$(date +%s%N)
    rm -f "$shots/$name".* "$shots/$name"-*
    output=$(timeout -k 10 150 wine "$driver" run "$name" "$(windows_path "$saver")" \
             "$(windows_path "$shots/$name.bmp")" </dev/null 2>&1 | tr -d '\r')
    status=${PIPESTATUS[0]}
    seconds=$(( ($(date +%s%N) - start) / 100000000 ))
    seconds="$(( seconds / 10 )).$(( seconds % 10 ))"
    verdict=$(grep -E '^(PASS|FAIL)' <<<"$output" | tail -n 1)
    if [ "$status" = 0 ] && [ "$verdict" = PASS ]; then
      passed=$((passed + 1))
      echo "PASS $name (${seconds} s)"
      continue
    fi
    failed=$((failed + 1))
    [ -n "$verdict" ] || verdict="FAIL: driver status $status: $(tail -n 3 <<<"$output" | tr '\n' ' ')"
    echo "FAIL $name (${seconds} s): ${verdict#FAIL: }"
    # The driver saved the screen at the moment of failure; this is the screen after it.
    if command -v import >/dev/null; then import -window root "$shots/$name-after.png" 2>/dev/null; fi
    if [ -f "$shots/$name.bmp" ] && command -v convert >/dev/null &&
       convert "$shots/$name.bmp" "$shots/$name.png" 2>/dev/null; then
      rm -f "$shots/$name.bmp"
    fi
    if [ "$status" -ge 124 ]; then
      # The driver was killed: end whatever it left running before the next case.
      wineserver -k 2>/dev/null
    fi
  done
  echo "e2e: $passed passed, $failed failed"
  [ $((passed + failed)) -gt 0 ] || { echo "e2e: no case matches $*" >&2; return 1; }
  [ "$failed" = 0 ]
}

if [ "$inside" = 1 ]; then
  run_cases "$@"
  exit
fi

for file in "$saver" "$driver"; do
  [ -f "$file" ] || { echo "e2e: $file is missing (build the mingw64 preset first)"; echo "e2e: 0 passed, 1 failed"; exit 1; }
done
for tool in wine wineserver xvfb-run; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed"; echo "e2e: 0 passed, 1 failed"; exit 1; }
done
mkdir -p "$shots"

# One run at a time per build folder: the cases share the prefix and its wineserver.
# Nothing started from here may inherit the lock: a wineserver that outlived the run
# would hold it for ever.
exec 9>"$WINEPREFIX.lock"
flock -w 1800 9 || { echo "e2e: another run holds $WINEPREFIX.lock"; exit 1; }
trap 'wineserver -k 9>&- 2>/dev/null' EXIT

tindlbrg_wine_prefix || { echo "e2e: cannot create $WINEPREFIX"; exit 1; }

timeout -k 10 1800 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
  bash "$0" --inside-display "$build" "$@" 9>&-
