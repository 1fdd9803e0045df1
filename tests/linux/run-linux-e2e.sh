#!/usr/bin/env bash
# The Linux program end to end on private Xvfb displays: exact pixels read back, the
# xscreensaver window options, the endings, presets and bad input. Usage: run-linux-e2e.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
saver=$build/tindlbrg probe=$build/x_probe
work=$(mktemp -d "$build/linux-e2e.XXXXXX")
export XDG_CONFIG_HOME=$work/config
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
passed=0 failed=0 failedrow=
# A row counts once: failed at its first complaint, passed only without any.
fail() { echo "FAIL $row: $*"; [ "$failedrow" = "$row" ] || failed=$((failed + 1)); failedrow=$row; }
ok() { [ "$failedrow" = "$row" ] || { echo "ok   $row"; passed=$((passed + 1)); }; }

start_xvfb() {  # extra Xvfb arguments; sets DISPLAY (depth 24 unless $depth says)
  # Xvfb takes a free number itself: two runs at once must not share one display.
  local file=$work/display.${#pids[@]}
  Xvfb -displayfd 3 -screen 0 1024x768x${depth:-24} -nolisten tcp "$@" 3>"$file" 2>/dev/null & pids+=($!)
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -n1 "$file")
  for _ in $(seq 50); do "$probe" ping 2>/dev/null && return; sleep 0.1; done
  echo "FAIL: Xvfb${*:+ $*} gave no display; linux e2e: $passed passed, $((failed + 1)) failed"; exit 1
}
lend_window() {  # [W H]: makes a window, 640x480 unless told; sets host (pid) and id
  "$probe" window "${1:-640}" "${2:-480}" >"$work/id" & host=$!; pids+=($host)
  for _ in $(seq 300); do id=$(cat "$work/id"); [ -n "$id" ] && return; sleep 0.1; done
}
run_saver() { "$saver" "$@" 2>"$work/err" & spid=$!; pids+=($spid); }
ends_with() {  # status [what]: the saver ends with it within 10 s, else it is killed
  for _ in $(seq 100); do kill -0 "$spid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$spid" 2>/dev/null && { kill -KILL "$spid"; wait "$spid" 2>/dev/null; fail "still running 10 s after ${2:-the start}"; return 1; }
  wait "$spid"; local st=$?
  [ "$st" -eq "$1" ] || { fail "status $st after ${2:-the end}, expected $1: $(head -c 300 "$work/err")"; return 1; }
}
word() { for v; do printf '%02x000000' "$v"; done; }  # 32-bit little-endian words below 256
preset_hex() {  # a 228-byte preset "blue still": the built-in look, slot 2 only, speeds 0
  printf '01000000'; printf 'blue still' | od -An -tx1 | tr -d ' \n'; printf '0%.0s' $(seq 84)
  printf '0000803f0000803f000080bf0000000000000000'  # light 1, 1, -1; both speeds 0
  word 0 30 29 4; printf '52b87e3f7b14ae3e'         # sphere 30/29, phong 4; mirror 0.995, ambient 0.34
  word 0 0 1 0 0 0 0                                # switches
  word 255 0 0 0 255 0 0 0 255 178 178 0 0 178 178 178 0 178 128 128 128 0 0 0 0
}
write_hex() { printf "$(sed 's/../\\x&/g')" >"$1"; }
still=(--switches 4 --cbStep 0 --csStep 0)

for ext in "" "-extension MIT-SHM"; do
  start_xvfb $ext; row="still picture, -window-id hex${ext:+, without MIT-SHM}"
  lend_window; run_saver -window-id "$(printf 0x%x "$id")" "${still[@]}"
  "$probe" still "$id" || fail "picture"; kill -TERM "$spid"; ends_with 0 SIGTERM && ok
  kill "$host"
done

row="-window-id decimal, settings from the file; lent unmapped, drawn once mapped"
mkdir -p "$XDG_CONFIG_HOME/tindlbrg"
printf '[Config]\nswitches=4\ncbStep=0.000000\ncsStep=0\n' >"$XDG_CONFIG_HOME/tindlbrg/settings"
lend_window; "$probe" map "$id" 0; run_saver -window-id "$id"; sleep 0.3; "$probe" map "$id" 1
"$probe" still "$id" || fail "picture"; kill -TERM "$spid"; ends_with 0 SIGTERM && ok
rm "$XDG_CONFIG_HOME/tindlbrg/settings"; kill "$host"

# At 2x2 the ring lies just right of the window: the picture stays black until it grows.
row="lent at 2x2, grown to 640x480: the picture; resizes on; SIGTERM still ends it with 0"
lend_window 2 2; run_saver -window-id "$id" "${still[@]}"; "$probe" resize "$id" 640 480
"$probe" still "$id" || fail "picture after growing"
for size in "800 600" "1 1" "1024 768"; do "$probe" resize "$id" $size; sleep 0.3; done
kill -0 "$spid" 2>/dev/null || fail "ended on a resize"; kill -TERM "$spid"; ends_with 0 SIGTERM && ok
kill "$host"

for how in key click close; do
  row="own window, ends on $how"
  run_saver "${still[@]}"; "$probe" still own || fail "picture"; "$probe" send own other; sleep 0.2
  kill -0 "$spid" 2>/dev/null || fail "ended on another client message"; "$probe" send own $how; ends_with 0 $how && ok
done

row="--import of a Windows .pre, then --preset"
preset_hex | write_hex "$work/blue.pre"
"$saver" --import "$work/blue.pre" >/dev/null 2>"$work/err" || fail "import: $(cat "$work/err")"
lend_window; run_saver -window-id "$id" --preset "blue still"
"$probe" still "$id" || fail "picture"; kill -TERM "$spid"; ends_with 0 SIGTERM && ok
row="-root draws in XSCREENSAVER_WINDOW, randomly the only preset; the window's end ends it with 0"
XSCREENSAVER_WINDOW=$(printf 0x%x "$id") run_saver -root --randomly 1
"$probe" still "$id" || fail "picture"; kill "$host"; ends_with 0 "the window's end" && ok

# Bad input: status, a line on stderr, and the store and settings files as they were.
head -c 10 "$work/blue.pre" >"$work/short.pre"
store=$XDG_CONFIG_HOME/tindlbrg/tindlbrg.cfg damaged=$work/damaged/tindlbrg/tindlbrg.cfg
big=$work/big/tindlbrg/settings; mkdir -p "$work"/{big,damaged}/tindlbrg "$work/odd/tindlbrg/settings"  # a folder there
{ printf 'size1=7\n'; head -c 70000 /dev/zero | tr '\0' x; } >"$big"
echo "03000000 $(preset_hex) $(preset_hex | head -c 200)" | tr -d ' ' | write_hex "$damaged"  # a preset and a half
for f in "$store" "$big" "$damaged"; do cp "$f" "$f.before"; done
main=$DISPLAY; depth=8 start_xvfb; eight=$DISPLAY; export DISPLAY=$main
while IFS='|' read -r row status pattern env args; do
  env $env "$saver" $args >/dev/null 2>"$work/err" & spid=$!; pids+=($spid)
  ends_with "$status" || continue
  grep -q "$pattern" "$work/err" || { fail "stderr: $(cat "$work/err")"; continue; }
  for f in "$store" "$big" "$damaged"; do cmp -s "$f" "$f.before" || fail "$f changed"; done
  ok
done <<ROWS
unknown option (the parser's table is a unit test)|1|unknown option --bogus||--bogus
window that does not exist|1|there is no window||-window-id 0x7ffff01
bad XSCREENSAVER_WINDOW|1|not a window id|XSCREENSAVER_WINDOW=junk|-root
unknown preset|1|no preset named||--preset nope
import into a damaged store|1|$work/damaged/tindlbrg/tindlbrg.cfg is damaged|XDG_CONFIG_HOME=$work/damaged|--import $work/blue.pre
missing preset file|1|cannot open the preset file||--import $work/none.pre
short preset file|1|not a preset file (10 bytes||--import $work/short.pre
preset file /dev/zero|1|is not a regular file||--import /dev/zero
no display|1|cannot open the X display|DISPLAY=:59999|--window
8-bit PseudoColor display|1|8-bit PseudoColor; only TrueColor|DISPLAY=$eight|-root
--save over a folder at the settings path|1|cannot be read; --save|XDG_CONFIG_HOME=$work/odd|--save
--save over a settings file past 64 KiB|1|read only in part|XDG_CONFIG_HOME=$work/big|--save
ROWS

row="absurd values in the file: ten warnings and a count, escapes shown; the saver runs and ends with 0"
{ printf 'size1=100000\nphong=99999999999\nmirror=nan\ngarbage\n'; printf '\033[2Jjunk\n%.0s' $(seq 11); } \
  >"$XDG_CONFIG_HOME/tindlbrg/settings"  # 13 problems: 12 lines, then phong
lend_window; run_saver -window-id "$id"; sleep 1; kill -TERM "$spid"
ends_with 0 SIGTERM && for p in 'size1 100000 is outside' 'mirror nan' 'line 4' \
  'line 13 is not name=value: \x1b[2Jjunk' 'and 3 more'; do
  grep -qF "$p" "$work/err" || { fail "no warning '$p': $(cat -v "$work/err")"; break; }; done
grep -q $'\033' "$work/err" && fail "a raw escape on stderr"; ok

echo "linux e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
