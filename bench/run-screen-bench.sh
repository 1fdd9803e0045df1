#!/usr/bin/env bash
# Screen benchmark of the animation window under Wine on virtual X screens (Xvfb, 24 bits):
# the saver's real frame bursts and a bare loop that does only the platform's part of each
# shape take turns in short slices on one full-screen window, on each screen size.
# Prints a summary table; each screen's raw output stays in BUILD_DIR/screen-bench-WxH.txt.
#
#   bench/run-screen-bench.sh [BUILD_DIR] [--rounds N] [--slice S] [--cycle LETTERS] [--screens "WxH ..."]
#
# BUILD_DIR (default build/mingw64) holds bench/win32/screen_bench.exe of a mingw64 build:
#   cmake --preset mingw64 && cmake --build build/mingw64 --target screen_bench
# --cycle: the loops that take turns: "s" saver, "b" bare loop, "t" bare loop with every
# platform call timed (breakdown only), "c" bare loop plus the saver's stamp and bottom-up
# row copy (the saver emulated), "d" the same painting straight from the surface (no copy).
# Default "sbt", 100 rounds of 0.1 s slices; "sbtcd" adds the paint experiment.
# Not a test: nothing is asserted, the exit status is 0 whenever the figures were measured.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
inside=0
if [ "${1:-}" = --inside-display ]; then inside=1; shift; fi

build=$here/../build/mingw64
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
rounds=100
slice=0.1
cycle=sbt
screens="640x480 1024x768 1920x1080 3840x2160"
usage() {
  echo "usage: $0 [BUILD_DIR] [--rounds N] [--slice S] [--cycle LETTERS] [--screens \"WxH ...\"]" >&2
  exit 2
}
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case $1 in
    --rounds) rounds=$2 ;;
    --slice) slice=$2 ;;
    --cycle) cycle=$2 ;;
    --screens) screens=$2 ;;
    *) usage ;;
  esac
  shift 2
done
build=$(cd "$build" 2>/dev/null && pwd) || { echo "screen-bench: no build folder" >&2; exit 2; }
exe=$build/bench/win32/screen_bench.exe
export WINEPREFIX=$build/screenbench-wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

warmup=1
own=0.5
# Slices run back to back; a disturbed machine can stretch them, hence the margin.
wine_timeout=$(awk -v n="$rounds" -v c="${#cycle}" -v s="$slice" -v w="$warmup" -v o="$own" \
  'BEGIN { printf "%d", 3 * (n * c * s + w) + 2 * o + 120 }')

if [ "$inside" = 1 ]; then
  # The wineserver must end inside the display session, else it outlives the display.
  trap 'wineserver -k 2>/dev/null' EXIT
  timeout -k 10 "$wine_timeout" wine "$exe" --cycle "$cycle" --rounds "$rounds" --slice "$slice" \
    --warmup "$warmup" --own "$own" </dev/null 2>&1 | tr -d '\r'
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
echo "per screen: $rounds rounds of $slice s slices in turns ($cycle), after ${warmup} s of warm-up"

results=$(mktemp)
trap 'wineserver -k 2>/dev/null; rm -f "$results"' EXIT
for screen in $screens; do
  load=$(cut -d' ' -f1 /proc/loadavg)
  raw=$build/screen-bench-$screen.txt
  timeout -k 10 $((wine_timeout + 60)) xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" \
    bash "$0" --inside-display "$build" --rounds "$rounds" --slice "$slice" --cycle "$cycle" >"$raw"
  status=$?
  grep -v '^slice ' "$raw" >>"$results"
  if [ "$status" != 0 ]; then
    echo "screen-bench: the runs on $screen ended with status $status (see $raw)"
  else
    echo "$screen: $(grep -c '^slice ' "$raw") slices; load average $load before, $(cut -d' ' -f1 /proc/loadavg) after"
  fi
done

awk '
  function field(line, key,   n, i, parts, kv) {
    n = split(line, parts, " ")
    for (i = 1; i <= n; i++) { split(parts[i], kv, "="); if (kv[1] == key) return kv[2] }
    return ""
  }
  function us(sps) { return sps > 0 ? 1e6 / sps : 0 }
  /^result / { r[++nr] = $0 }
  /^paint / { p[++np] = $0 }
  /^breakdown / { b[++nb] = $0 }
  /^own / { o[field($0, "screen")] = $0 }
  END {
    if (nr == 0) { print "screen-bench: no results"; exit 1 }
    print ""
    print "Ratio saver / bare, shapes per second reaching the screen (goal >= 0.9). pairs: the two loops'"'"'"
    print "slices of the same round; pooled: all shapes over all time; medians: of the slices'"'"' rates;"
    print "fastest 1/4: mean of each loop'"'"'s least disturbed quarter of slices."
    printf "%-10s %6s %27s %7s %8s %12s\n", "screen", "image", "pairs: median (min-max)", "pooled", "medians",
      "fastest 1/4"
    for (i = 1; i <= nr; i++) {
      l = r[i]
      printf "%-10s %6s %10.3f (%6.3f-%6.3f) %7.3f %8.3f %12.3f\n", field(l, "screen"), field(l, "side"),
        field(l, "pair_ratio"), field(l, "pair_min"), field(l, "pair_max"), field(l, "pooled_ratio"),
        field(l, "median_ratio"), field(l, "fast_ratio")
    }
    print ""
    print "Shapes per second and microseconds per shape (pooled: all shapes over all measured time;"
    print "s|b = saver|bare; cpu: processor time of the program itself, without wineserver and X server):"
    printf "%-10s %10s %10s %9s %9s %13s %13s %13s %13s %14s %7s\n", "screen", "saver/s", "bare/s",
      "saver us", "bare us", "median us s|b", "fast1/4 s|b", "cpu us s|b", "paints/sh s|b", "pixels/sh s|b",
      "kept up"
    for (i = 1; i <= nr; i++) {
      l = r[i]
      printf "%-10s %10.1f %10.1f %9.1f %9.1f %6.1f|%-6.1f %6.1f|%-6.1f %6.1f|%-6.1f %6.3f|%-6.3f %6d|%-7d %7s\n",
        field(l, "screen"), field(l, "saver_sps"), field(l, "bare_sps"), field(l, "saver_us"), field(l, "bare_us"),
        field(l, "saver_median_us"), field(l, "bare_median_us"), field(l, "saver_fast_us"),
        field(l, "bare_fast_us"), field(l, "saver_cpu_us"), field(l, "bare_cpu_us"), field(l, "saver_paints"),
        field(l, "bare_paints"), field(l, "saver_px"), field(l, "bare_px"), field(l, "kept_up")
    }
    print ""
    print "Cost per shape as the screen grows (pooled; x: against the first screen), and the saver'"'"'s own"
    print "work per shape measured apart (no platform call; cold: caches emptied before each shape):"
    printf "%-10s %6s %9s %6s %9s %6s %11s %9s %9s %9s %9s\n", "screen", "image", "saver us", "x", "bare us", "x",
      "saver-bare", "own warm", "own cold", "= stamp", "+ rows"
    s0 = field(r[1], "saver_us"); b0 = field(r[1], "bare_us")
    for (i = 1; i <= nr; i++) {
      l = r[i]; m = o[field(l, "screen")]
      printf "%-10s %6s %9.1f %6.2f %9.1f %6.2f %11.1f %9.1f %9.1f %9.1f %9.1f\n", field(l, "screen"),
        field(l, "side"), field(l, "saver_us"), field(l, "saver_us") / s0, field(l, "bare_us"),
        field(l, "bare_us") / b0, field(l, "saver_us") - field(l, "bare_us"), field(m, "warm_us"),
        field(m, "cold_us"), field(m, "cold_stamp_us"), field(m, "cold_rows_us")
    }
    if (np > 0) {
      print ""
      print "The saver'"'"'s work emulated in the bare loop, painting through its bottom-up copy (copy) or"
      print "straight from the surface as a top-down bitmap (direct); ratios of shapes per second:"
      printf "%-10s %9s %9s %13s %13s %12s %13s %13s %7s\n", "screen", "copy us", "direct us", "direct/copy",
        "fast1/4 d/c", "copy/saver", "direct/bare", "fast1/4 d/b", "pixels"
      for (i = 1; i <= np; i++) {
        l = p[i]
        printf "%-10s %9.1f %9.1f %13.3f %13.3f %12.3f %13.3f %13.3f %7s\n", field(l, "screen"),
          field(l, "copy_us"), field(l, "direct_us"), field(l, "direct_vs_copy"), field(l, "direct_vs_copy_fast"),
          field(l, "copy_vs_saver"), field(l, "direct_vs_bare"), field(l, "direct_vs_bare_fast"),
          field(l, "direct_blit")
      }
    }
    if (nb > 0) {
      print ""
      print "Bare loop, microseconds per shape in each platform call (timed slices; total = wall time per shape):"
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
