#!/usr/bin/env bash
# Soak test of the real saver under Wine on a virtual X display (Xvfb, 1024x768, 24 bits):
# the full-screen saver left alone, then the configuration dialog with its live preview
# and a setting changed every second, each for MINUTES. The soak driver samples the
# saver's process every few seconds: private bytes, working set, GDI and USER objects,
# windows and handles, whether it answers and whether the picture moves. After start-up
# these must stay flat.
#
#   tests/e2e/soak.sh [MINUTES] [BUILD_DIR]
#
# MINUTES defaults to 10, BUILD_DIR to build/mingw64 (a mingw64 build holding
# tindlbrg.scr and tests/e2e/tindlbrg_soak.exe). Prints each run's table and verdict and
# "soak: N passed, N failed"; exit status 1 on any failure. The samples go to
# BUILD_DIR/soak/<run>.csv, the screen of a failed run to BUILD_DIR/soak/<run>.png.
set -uo pipefail

usage() { echo "usage: $0 [MINUTES] [BUILD_DIR]" >&2; exit 2; }

inside=0
if [ "${1:-}" = --inside-display ]; then inside=1; shift; fi
minutes=${1:-10}
[[ $minutes =~ ^[0-9]+([.][0-9]+)?$ ]] || usage
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${2:-$root/build/mingw64}" 2>/dev/null && pwd) || { echo "soak: no build folder ${2:-}" >&2; exit 2; }

# The same prefix as the end-to-end cases, and the same lock: never both at once.
export WINEPREFIX=$build/e2e-wineprefix
. "$(dirname "$0")/../../scripts/wine-prefix.sh"
saver=$build/tindlbrg.scr
driver=$build/tests/e2e/tindlbrg_soak.exe
out=$build/soak

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

run_soaks() {
  trap 'wineserver -k 2>/dev/null' EXIT
  local passed=0 failed=0 run output status verdict start seconds limit
  # Each run gets its minutes plus room for start, end and a watchdog of its own.
  limit=$(awk -v m="$minutes" 'BEGIN { print int(m * 60) + 300 }')
  for run in full_screen dialog; do
    rm -f "$out/$run".*
    start=$(date +%s)
    output=$(timeout -k 10 "$limit" wine "$driver" "$run" "$minutes" "$(windows_path "$saver")" \
             "$(windows_path "$out/$run.csv")" "$(windows_path "$out/$run.bmp")" </dev/null 2>&1 | tr -d '\r')
    status=${PIPESTATUS[0]}
    seconds=$(( $(date +%s) - start ))
    printf '%s\n' "$output" | grep -vE '^(PASS|FAIL)'
    verdict=$(grep -E '^(PASS|FAIL)' <<<"$output" | tail -n 1)
    if [ "$status" = 0 ] && [ "$verdict" = PASS ]; then
      passed=$((passed + 1))
      echo "PASS soak.$run (${seconds} s, samples in $out/$run.csv)"
      continue
    fi
    failed=$((failed + 1))
    [ -n "$verdict" ] || verdict="FAIL: driver status $status"
    echo "FAIL soak.$run (${seconds} s): ${verdict#FAIL: }"
    if [ -f "$out/$run.bmp" ] && command -v convert >/dev/null && convert "$out/$run.bmp" "$out/$run.png" 2>/dev/null; then
      rm -f "$out/$run.bmp"
    fi
    # A killed driver may leave the saver behind: end this prefix's processes.
    if [ "$status" -ge 124 ]; then wineserver -k 2>/dev/null; fi
  done
  echo "soak: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}

if [ "$inside" = 1 ]; then
  run_soaks
  exit
fi

for file in "$saver" "$driver"; do
  [ -f "$file" ] || { echo "soak: $file is missing (build the mingw64 preset first)"; echo "soak: 0 passed, 1 failed"; exit 1; }
done
for tool in wine wineserver xvfb-run; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is not installed"; echo "soak: 0 passed, 1 failed"; exit 1; }
done
mkdir -p "$out"

exec 9>"$WINEPREFIX.lock"
flock -w 1800 9 || { echo "soak: another run holds $WINEPREFIX.lock"; echo "soak: 0 passed, 1 failed"; exit 1; }
trap 'wineserver -k 9>&- 2>/dev/null' EXIT

tindlbrg_wine_prefix || { echo "soak: cannot create $WINEPREFIX"; echo "soak: 0 passed, 1 failed"; exit 1; }

total=$(awk -v m="$minutes" 'BEGIN { print 2 * (int(m * 60) + 320) }')
timeout -k 10 "$total" xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
  bash "$0" --inside-display "$minutes" "$build" 9>&-
status=$?
if [ "$status" -ge 124 ]; then echo "soak: the runs did not finish within $total s"; echo "soak: 0 passed, 1 failed"; fi
exit "$status"
