#!/usr/bin/env bash
# Runs each libFuzzer target (preset `fuzz`) from tests/fuzz/corpus/<target>/; an input that crashes,
# leaks, hangs or exhausts memory goes to build/fuzz/findings/ and fails. Usage: fuzz.sh [seconds] (10)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
scripts/packages.sh
# One run at a time: runs share the build, the corpus and the findings.
mkdir -p build/fuzz
exec 9>build/fuzz/fuzz.lock
flock 9
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# Longest inputs: a few records, a profile, a command line, seven colours, 64 path steps.
declare -A max_len=([store_load]=2048 [preset_file]=512 [profile]=1024 [command_line]=256
                    [shape_image]=128 [motion]=528)
found=0
for t in store_load preset_file profile command_line shape_image motion; do
  work=build/fuzz/corpus/$t
  findings=build/fuzz/findings/$t
  log=build/fuzz/logs/$t.log
  rm -rf "$findings"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  status=0
  build/fuzz/tests/fuzz/fuzz_"$t" "$work" "tests/fuzz/corpus/fuzz_$t" \
    -max_total_time="$seconds" -max_len="${max_len[$t]}" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-12s %10s executions' "$t" "${runs:-?}"
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$findings")" ]; then
    found=1
    printf '  FINDING (status %s): %s\n' "$status" "$(ls "$findings" | tr '\n' ' ')"
    grep -E 'ERROR|SUMMARY|check failed|runtime error|#[0-9]+ 0x' "$log" | head -n 20 || true
  else
    printf '\n'
  fi
done
exit "$found"
