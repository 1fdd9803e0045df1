#!/usr/bin/env bash
# The real saver under Wine on a virtual display, a driver process per case (the soak's with
# $TINDLBRG_SOAK_MINUTES): tests/e2e/run-e2e.sh MINGW64_BUILD_DIR [CASE_PREFIX...]
set -uo pipefail

inside=0
if [ "${1:-}" = --inside-display ]; then inside=1; shift; fi
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [CASE_PREFIX...]" >&2; exit 2; }
build=$(cd "$1" 2>/dev/null && pwd) || { echo "e2e: no build folder $1" >&2; exit 2; }
shift
soak=${TINDLBRG_SOAK_MINUTES:-}

export WINEPREFIX=$build/e2e-wineprefix
. "$(dirname "$0")/../../scripts/wine-prefix.sh"
saver=$build/tindlbrg.scr
driver=$build/tests/e2e/tindlbrg_driver.exe

windows_path() { printf 'Z:%s' "${1//\//\\}"; }  # Wine sees the Unix file system as Z:

run_cases() {
  # The wineserver must end inside the display session, else it outlives the display.
  trap 'wineserver -k 2>/dev/null' EXIT INT TERM
  local names passed=0 failed=0 name prefix wanted output status verdict start seconds limit=150 attempt
  if [ -n "$soak" ]; then
    names="soak.full_screen soak.dialog"
    limit=$(awk -v m="$soak" 'BEGIN { print int(m * 60) + 300 }')
  else
    names=$(timeout 60 wine "$driver" list </dev/null | tr -d '\r') || { echo "e2e: the driver does not run" >&2; return 1; }
  fi
  for name in $names; do
    wanted=$(( $# == 0 ))
    for prefix in "$@"; do [[ $name == "$prefix"* ]] && wanted=1; done
    [ "$wanted" = 1 ] || continue
    start=$SECONDS
    # A Wine that ends at once without a word (as the last wineserver ends) never ran the driver: again.
    for attempt in 1 2; do
      output=$(timeout -k 10 "$limit" wine "$driver" run "$name" "$(windows_path "$saver")" </dev/null 2>&1 | tr -d '\r')
      status=${PIPESTATUS[0]}
      [ "$status" != 0 ] && [ "$status" -lt 124 ] && [ -z "$output" ] && [ "$attempt" = 1 ] || break
      echo "note: $name: Wine ended with status $status before the driver said anything; starting it again"
      sleep 3
    done
    seconds=$((SECONDS - start))
    [ -n "$soak" ] && grep -vE '^(PASS|FAIL)' <<<"$output"
    verdict=$(grep -E '^(PASS|FAIL)' <<<"$output" | tail -n 1)
    if [ "$status" = 0 ] && [ "$verdict" = PASS ]; then
      passed=$((passed + 1))
      echo "PASS $name (${seconds} s)"
      continue
    fi
    failed=$((failed + 1))
    [ -n "$verdict" ] || verdict="FAIL: driver status $status: $(tail -n 3 <<<"$output" | tr '\n' ' ')"
    echo "FAIL $name (${seconds} s): ${verdict#FAIL: }"
    wineserver -k 2>/dev/null  # a failed driver may leave the saver behind
  done
  echo "e2e: $passed passed, $failed failed"
  [ $((passed + failed)) -gt 0 ] || { echo "e2e: no case matches $*" >&2; return 1; }
  [ "$failed" = 0 ]
}

if [ "$inside" = 1 ]; then run_cases "$@"; exit; fi

fail() { echo "e2e: $1"; echo "e2e: 0 passed, 1 failed"; exit 1; }
for file in "$saver" "$driver"; do [ -f "$file" ] || fail "$file is missing (build the mingw64 preset first)"; done

# One run at a time per build folder (one prefix); nothing started may inherit the lock.
exec 9>"$WINEPREFIX.lock"
flock -w 1800 9 || fail "another run holds $WINEPREFIX.lock"
trap 'wineserver -k 9>&- 2>/dev/null' EXIT
tindlbrg_wine_prefix || fail "cannot create $WINEPREFIX"

total=$(awk -v m="${soak:-0}" 'BEGIN { print 2 * (int(m * 60) + 320) + 1800 }')
timeout -k 10 "$total" xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --inside-display "$build" "$@" 9>&-
status=$?
[ "$status" -ge 124 ] && fail "the runs did not finish within $total s"
exit "$status"
