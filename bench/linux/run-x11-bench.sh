#!/usr/bin/env bash
# Runs x11_screen_bench on a private 1920x1080 Xvfb (with MIT-SHM, then without) and
# ends the server by its process id. Usage: run-x11-bench.sh BUILD_DIR [ROUNDS]
set -euo pipefail
bench="$(cd "$1" && pwd)/bench/x11_screen_bench"
grep -m1 "model name" /proc/cpuinfo
for extra in "" "-extension MIT-SHM"; do
  n=80
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  # shellcheck disable=SC2086
  Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp $extra 2>/dev/null & xvfb=$!
  sleep 1
  echo "--- Xvfb $extra"
  DISPLAY=:$n "$bench" "${2:-5}" || true
  kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
done
