#!/usr/bin/env bash
# Screen benchmark of the animation window under Wine on virtual X screens (Xvfb, 24 bits):
# the saver's real frame bursts against a bare loop that does only the platform's part
# of each shape, in turns, on each screen size. Prints the runs and a summary table.
#
#   bench/run-screen-bench.sh [BUILD_DIR] [--seconds S] [--rounds N] [--screens "WxH ..."] [--order LETTERS]
#
# BUILD_DIR (default build/mingw64) holds bench/win32/screen_bench.exe of a mingw64 build:
#   cmake --preset mingw64 && cmake --build build/mingw64 --target screen_bench
# --order gives the sequence of runs instead of the rounds: "s" saver, "b" bare loop, "w" bare
# loop blitting from a screen-sized top-down block (no bottom-up copy), e.g. "sbwbws".
# Not a test: nothing is asserted, the exit status is 0 whenever the figures were measured.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
inside=0
if [ "${1:-}" = --inside-display ]; then inside=1; shift; fi

build=$here/../build/mingw64
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
seconds=0.5
rounds=16
screens="640x480 1024x768 1920x1080 3840x2160"
order=
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --screens) screens=$2; shift 2 ;;
    --order) order=$2; shift 2 ;;
    *) echo "usage: $0 [BUILD_DIR] [--seconds S] [--rounds N] [--screens \"WxH ...\"] [--order LETTERS]" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" 2>/dev/null && pwd) || { echo "screen-bench: no build folder" >&2; exit 2; }
exe=$build/bench/win32/screen_bench.exe
export WINEPREFIX=$build/screenbench-wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

warmup=0.3
breakdown=3
own=0.5
# Every run: warm-up, measured time and about two seconds to create and end the window.
runs=$(( ${#order} > 0 ? ${#order} : 2 * rounds ))
wine_timeout=$(awk -v n="$runs" -v s="$seconds" -v w="$warmup" -v b="$breakdown" \
  'BEGIN { printf "%d", (n + b / s) * (s + w + 2) + 180 }')

if [ "$inside" = 1 ]; then
  # The wineserver must end inside the display session, else it outlives the display.
  trap 'wineserver -k 2>/dev/null' EXIT
  timeout -k 10 "$wine_timeout" wine "$exe" --seconds "$seconds" --warmup "$warmup" --rounds "$rounds" \
    ${order:+--order "$order"} --breakdown "$breakdown" --own "$own" </dev/null 2>&1 | tr -d '\r'
  exit "${PIPESTATUS[0]}"
fi

[ -f "$exe" ] || { echo "screen-bench: $exe is missing (build the screen_bench target of a mingw64 build)" >&2; exit 1; }
for tool in wine wineserver xvfb-run awk flock; do
  command -v "$tool" >/dev/null || { echo "screen-bench: $tool is not installed" >&2; exit 1; }
done

# One benchmark at a time per build folder: the runs share the prefix and its wineserver.
exec 9>"$WINEPREFIX.lock"
flock 9
trap 'wineserver -k 2>/dev/null' EXIT

if [ ! -f "$WINEPREFIX/.screenbench-ready" ]; then
  rm -rf "$WINEPREFIX"
  # Created without a display; the X11 driver must not wait for a window manager.
  (unset DISPLAY; timeout 120 wine wineboot -i >/dev/null 2>&1) || { echo "screen-bench: cannot create $WINEPREFIX" >&2; exit 1; }
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  touch "$WINEPREFIX/.screenbench-ready"
fi
# A wineserver that started without a display must not serve the runs.
wineserver -k 2>/dev/null

cpu=$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -n 1)
xvfb=$(dpkg-query -W -f '${Version}' xvfb 2>/dev/null)
echo "machine: $cpu, $(nproc) cores; $(wine --version 2>/dev/null) + Xvfb ${xvfb:-?}"
echo "runs: $rounds x $seconds s per loop and screen, each after ${warmup} s warm-up, in turns; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"

results=$(mktemp)
trap 'wineserver -k 2>/dev/null; rm -f "$results"' EXIT
for screen in $screens; do
  timeout -k 10 $((wine_timeout + 60)) xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" \
    bash "$0" --inside-display "$build" --seconds "$seconds" --rounds "$rounds" ${order:+--order "$order"} |
    tee -a "$results" | grep '^run '
  status=${PIPESTATUS[0]}
  [ "$status" = 0 ] || echo "screen-bench: the runs on $screen ended with status $status"
  echo "load average after $screen: $(cut -d' ' -f1-3 /proc/loadavg)"
done

awk '
  function field(line, key,   n, i, parts, kv) {
    n = split(line, parts, " ")
    for (i = 1; i <= n; i++) { split(parts[i], kv, "="); if (kv[1] == key) return kv[2] }
    return ""
  }
  /^result / { r[++nr] = $0 }
  /^breakdown / { b[++nb] = $0 }
  /^whole / { w[++nw] = $0 }
  END {
    if (nr == 0) { print "screen-bench: no results"; exit 1 }
    print ""
    print "Ratio saver / bare in shapes per second reaching the screen (goal >= 0.9):"
    printf "%-10s %6s %7s %8s %24s %8s\n", "screen", "image", "pooled", "medians", "pairs: median (min-max)",
      "fastest 1/4"
    for (i = 1; i <= nr; i++) {
      l = r[i]
      printf "%-10s %6s %7.3f %8.3f %10.3f (%5.3f-%5.3f) %8.3f\n", field(l, "screen"), field(l, "side"),
        field(l, "pooled_ratio"), field(l, "ratio"), field(l, "pair_ratio"), field(l, "pair_min"),
        field(l, "pair_max"), field(l, "fast_ratio")
    }
    print ""
    print "Shapes per second and microseconds per shape (medians; mean of the fastest quarter of the runs;"
    print "processor time of the program itself, without the wineserver and the X server):"
    printf "%-10s %11s %10s %11s %10s %10s %10s %9s %9s %8s %14s %14s %7s\n", "screen", "saver shp/s", "bare shp/s",
      "saver us/sh", "bare us/sh", "fast 1/4 s", "fast 1/4 b", "cpu s", "cpu b", "own", "paints/sh s|b",
      "pixels/sh s|b", "kept up"
    for (i = 1; i <= nr; i++) {
      l = r[i]
      printf "%-10s %11.1f %10.1f %11.1f %10.1f %10.1f %10.1f %9.1f %9.1f %8.1f %6.3f|%-7.3f %6d|%-7d %7s\n",
        field(l, "screen"), field(l, "saver_sps"), field(l, "bare_sps"), field(l, "saver_us"), field(l, "bare_us"),
        field(l, "saver_fast_us"), field(l, "bare_fast_us"), field(l, "saver_cpu_us"), field(l, "bare_cpu_us"),
        field(l, "own_us"), field(l, "saver_paints"), field(l, "bare_paints"), field(l, "saver_px"),
        field(l, "bare_px"), field(l, "kept_up")
    }
    print "(own: the saver'"'"'s path step, keyed stamp and bottom-up row copy alone, no platform call;"
    print " cold: each shape starting with the caches emptied, split into stamp and row copy)"
    print ""
    print "Cost per shape as the screen grows (image side 2*trunc(30*W/640)+3), relative to the first screen:"
    printf "%-10s %6s %11s %6s %10s %6s %10s %6s %8s %9s %8s %8s\n", "screen", "image", "saver us/sh", "x",
      "bare us/sh", "x", "fast 1/4 s", "x", "own", "own cold", "= stamp", "+ rows"
    s0 = field(r[1], "saver_us"); b0 = field(r[1], "bare_us"); f0 = field(r[1], "saver_fast_us")
    for (i = 1; i <= nr; i++) {
      l = r[i]
      printf "%-10s %6s %11.1f %6.2f %10.1f %6.2f %10.1f %6.2f %8.1f %9.1f %8.1f %8.1f\n", field(l, "screen"),
        field(l, "side"), field(l, "saver_us"), field(l, "saver_us") / s0, field(l, "bare_us"),
        field(l, "bare_us") / b0, field(l, "saver_fast_us"), field(l, "saver_fast_us") / f0, field(l, "own_us"),
        field(l, "own_cold_us"), field(l, "own_cold_stamp_us"), field(l, "own_cold_rows_us")
    }
    if (nw > 0) {
      print ""
      print "Bare loop blitting the rectangle out of a screen-sized top-down block (no bottom-up copy):"
      printf "%-10s %10s %10s %12s %14s\n", "screen", "shapes/s", "us/shape", "fast 1/4 us", "pooled / bare"
      for (i = 1; i <= nw; i++) {
        l = w[i]
        printf "%-10s %10.1f %10.1f %12.1f %14.3f\n", field(l, "screen"), field(l, "sps"), field(l, "us"),
          field(l, "fast_us"), field(l, "pooled_vs_bare")
      }
    }
    if (nb > 0) {
      print ""
      print "Bare loop, microseconds per shape in each platform call (the fastest of the timed runs):"
      printf "%-10s %7s %8s %10s %8s %8s %7s %9s %9s %8s %8s\n", "screen", "Peek", "Dispatch", "Invalidate",
        "GetUpdR", "BeginP", "GetDC", "SetDIBits", "ReleaseDC", "EndPaint", "total"
      for (i = 1; i <= nb; i++) {
        l = b[i]
        printf "%-10s %7.1f %8.1f %10.1f %8.1f %8.1f %7.1f %9.1f %9.1f %8.1f %8.1f\n", field(l, "screen"),
          field(l, "peek"), field(l, "dispatch"), field(l, "invalidate"), field(l, "getupdaterect"),
          field(l, "beginpaint"), field(l, "getdc"), field(l, "setdibits"), field(l, "releasedc"),
          field(l, "endpaint"), field(l, "total")
      }
    }
  }' "$results"
