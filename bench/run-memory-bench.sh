#!/usr/bin/env bash
# Working set of the full-screen saver under Wine on virtual X screens (Xvfb, 24 bits):
# starts the real .scr with "/s", lets it draw for a few seconds and reads the resident
# set (VmRSS, and its peak VmHWM) of its process from /proc, against the surface's own
# size (width x height x 4). The same read for Wine's notepad gives what Wine itself keeps
# resident in a small windowed program.
#
#   bench/run-memory-bench.sh [BUILD_DIR] [--screens "WxH ..."] [--seconds S]
#
# BUILD_DIR (default build/mingw64) holds tindlbrg.scr of a mingw64 build. Not a test.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build/mingw64
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
screens="1920x1080 3840x2160"
seconds=4
while [ $# -ge 2 ]; do
  case $1 in
    --screens) screens=$2 ;;
    --seconds) seconds=$2 ;;
    *) echo "usage: $0 [BUILD_DIR] [--screens \"WxH ...\"] [--seconds S]" >&2; exit 2 ;;
  esac
  shift 2
done
build=$(cd "$build" 2>/dev/null && pwd) || { echo "memory-bench: no build folder" >&2; exit 2; }
scr=$build/tindlbrg.scr
[ -f "$scr" ] || { echo "memory-bench: $scr is missing" >&2; exit 1; }
export WINEPREFIX=$build/memorybench-wineprefix
# shellcheck source=../scripts/wine-prefix.sh
. "$here/../scripts/wine-prefix.sh"
trap 'wineserver -k 2>/dev/null' EXIT

if [ "${MEMORY_BENCH_INSIDE:-}" = 1 ]; then
  # Inside the display: one program at a time, read after `seconds`, then ended.
  measure() {
    "$@" </dev/null >/dev/null 2>&1 &
    local pid=$!
    sleep "$seconds"
    # The wine loader execs the Windows program in the same process.
    local rss hwm
    rss=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null)
    hwm=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null)
    echo "${rss:-0} ${hwm:-0}"
    kill "$pid" 2>/dev/null
    wineserver -k 2>/dev/null
    wait "$pid" 2>/dev/null
  }
  echo "saver $(measure wine "$scr" /s)"
  echo "wine $(measure wine notepad)"
  exit 0
fi

# One run at a time per build folder: the runs share the prefix and its wineserver.
exec 9>"$WINEPREFIX.lock"
flock 9
tindlbrg_wine_prefix || { echo "memory-bench: cannot create $WINEPREFIX" >&2; exit 1; }

cpu=$(grep -m1 "model name" /proc/cpuinfo | sed 's/^model name[[:space:]]*:[[:space:]]*//')
echo "machine: $cpu; $(wine --version 2>/dev/null) + Xvfb"
printf '%-10s %12s %12s %12s %14s %12s %10s\n' screen "w*h*4 MiB" "saver MiB" "peak MiB" "wine alone MiB" "saver-wine" "/ w*h*4"
for screen in $screens; do
  w=${screen%x*}
  h=${screen#*x}
  out=$(MEMORY_BENCH_INSIDE=1 timeout -k 10 120 xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" \
    bash "$0" "$build" --seconds "$seconds")
  read -r _ rss hwm < <(grep '^saver ' <<<"$out")
  read -r _ wrss _ < <(grep '^wine ' <<<"$out")
  awk -v s="$screen" -v w="$w" -v h="$h" -v r="${rss:-0}" -v p="${hwm:-0}" -v b="${wrss:-0}" 'BEGIN {
    surf = w * h * 4 / 1048576
    printf "%-10s %12.1f %12.1f %12.1f %14.1f %12.1f %10.2f\n", s, surf, r / 1024, p / 1024, b / 1024,
      (r - b) / 1024, (r - b) / 1024 / surf }'
done
