#!/usr/bin/env bash
# End-to-end tests of the setup program under Wine on a virtual X display, one row each:
# a silent install, the saver selected and run, setup and uninstall failing while it is in
# use, a second install, a silent uninstall of every copy; then drive C: and the registry as
# before, settings and presets kept (or removed when asked).
#   tests/e2e/run-installer-e2e.sh BUILD_DIR   (after building the installer and tindlbrg_driver)
set -uo pipefail

inside=0
if [ "${1:-}" = --inside-display ]; then inside=1; shift; fi
[ $# = 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" 2>/dev/null && pwd) || { echo "installer-e2e: no build folder $1" >&2; exit 2; }
export WINEPREFIX=$build/installer-wineprefix
. "$(dirname "$0")/../../scripts/wine-prefix.sh"
driver=$build/tests/e2e/tindlbrg_driver.exe
setup=$build/tindlbrg-setup.exe
# The shipped setup is 32-bit: that needs Wine's 32-bit DLLs and a kernel that runs 32-bit
# Linux programs. Else the same script built as a 64-bit program stands in.
if ! compgen -G '/usr/lib/*/wine/i386-windows/kernel32.dll' >/dev/null ||
   { [ -e /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
  [ "$inside" = 1 ] || echo "SKIP the shipped 32-bit tindlbrg-setup.exe: this Wine runs no 32-bit programs (no" \
    "wine32, or a kernel without 32-bit support); tindlbrg-setup-amd64.exe, the same script as a 64-bit program, stands in"
  setup=$build/tindlbrg-setup-amd64.exe
fi

# name | setup arguments | those of the second setup | uninstall arguments | where the saver goes |
# uninstall list | settings after. A folder named with /D= exists (empty) before the install.
rows=(
  'per user||||%LOCALAPPDATA%\Programs\Tindelborg|HKCU|kept'
  'all users|/ALLUSERS|/ALLUSERS||C:\windows\system32|HKLM|kept'
  'own folder with spaces, settings removed|/D=C:\Saver Folder\Tindelborg|/D=C:\Saver Folder\Tindelborg|/REMOVESETTINGS|C:\Saver Folder\Tindelborg|HKCU|removed'
  'per user, then all users over it||/ALLUSERS||%LOCALAPPDATA%\Programs\Tindelborg|HKCU|kept'
)
uninst_key='Software\Microsoft\Windows\CurrentVersion\Uninstall'
settings_key='HKCU\Software\Pellucid Works\tindlbrg\Config'
previous_saver='C:\windows\system32\previous.scr'
# The short form Windows expects of the selected saver: 8.3 names, no spaces.
short_path='^C:(\\[^\\ .]{1,8}(\.[^\\ .]{1,3})?)+$'

win() { timeout 60 wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Windows hands the command line to NSIS as it is; NSIS wants /D=folder (and _?=folder) last
# and unquoted, spaces and all, as cmd passes it on (and waits). FOLDER PROGRAM ARGUMENTS...
as_typed() { timeout 120 wine cmd /c "cd /d $1 && ${*:2}" </dev/null >/dev/null 2>&1; }
setup_as_typed() { as_typed 'C:\windows\temp' tindlbrg-setup.exe /S "$@"; }
unix_path() { win winepath -u "$1"; }
reg_value() { win reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
version_of() { strings -el "$2" | grep -A1 -x "$1" | sed -n 2p; }  # FileVersion or ProductVersion

# The saver keeps presets in the user's folder, or in the Windows folder where it may write.
seed_settings() {
  win reg add "$settings_key" /v Phong /t REG_DWORD /d 9 /f >/dev/null && mkdir -p "$appdata/Pellucid Works/tindlbrg" &&
    printf 'presets of the user\n' >"$appdata/Pellucid Works/tindlbrg/tindlbrg.cfg" &&
    printf 'presets\n' >"$WINEPREFIX/drive_c/windows/tindlbrg.cfg"
}

# Everything a setup may touch: the files of drive C: (but the temporary folders, where
# the uninstaller runs a copy of itself), the presets' bytes, and the registry keys.
snapshot() {
  local key
  {
    (cd "$WINEPREFIX/drive_c" && find . -ipath '*/temp' -prune -o -print | sort)
    sha256sum "$appdata/Pellucid Works/tindlbrg/tindlbrg.cfg" "$WINEPREFIX/drive_c/windows/tindlbrg.cfg" 2>/dev/null
    for key in 'HKCU\Control Panel\Desktop' 'HKCU\Software\Pellucid Works' "HKCU\\$uninst_key" "HKLM\\$uninst_key"; do
      win reg query "$key" /s
    done
  } | grep -v -e '^$' -e '^reg: '
}

wait_until_gone() {  # registry key
  local i
  for i in $(seq 100); do win reg query "$1" >/dev/null || return 0; sleep 0.3; done
  return 1
}

fail() { echo "FAIL $name: $*"; return 1; }


run_row() {
  IFS='|' read -r name setup_args setup2_args uninstall_args folder list settings <<<"$1"
  folder=${folder//%LOCALAPPDATA%/$local_appdata}
  { win reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d "$previous_saver" /f &&
    win reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveActive /d 0 /f && seed_settings; } >/dev/null ||
    fail "cannot seed the registry and the presets" || return 1
  [[ $setup_args != /D=* ]] || mkdir -p "$(unix_path "$folder")" || fail "cannot make $folder" || return 1
  local before scr selected uninstaller status phong expected copy stale='C:\windows\temp\stale'
  before=$(snapshot)
  setup_as_typed $setup_args || fail "setup ended with status $?" || return 1
  scr=$(unix_path "$folder\\tindlbrg.scr")
  cmp -s "$scr" "$build/tindlbrg.scr" || fail "no 64-bit saver at $folder" || return 1
  selected=$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)
  [[ $selected =~ $short_path ]] || fail "selected saver \"$selected\" is no short path" || return 1
  [ "$(unix_path "$selected")" -ef "$scr" ] || fail "selected \"$selected\", not the installed saver" || return 1
  [ "$(reg_value 'HKCU\Control Panel\Desktop' ScreenSaveActive)" = 1 ] || fail "screen saver not made active" || return 1
  [ "$(reg_value "$list\\$uninst_key\\Tindelborg" DisplayVersion)" = "$version" ] ||
    fail "no uninstaller of version $version in $list's list" || return 1
  # The saver as Windows starts it: its short path, full screen until a key.
  status=$(win "$driver" run input.letter_key_ends "$selected") || fail "the installed saver: ${status//$'\n'/ }" || return 1
  seed_settings >/dev/null || fail "cannot seed the presets again" || return 1  # the driver starts every case from none
  # A saver in use cannot be replaced or removed: that must fail, and change nothing.
  timeout 60 wine "$selected" /c </dev/null >/dev/null 2>&1 & saver_pid=$!  # its dialog holds the file open
  sleep 2
  setup_as_typed $setup_args; status=$?
  uninstaller=$(reg_value "$list\\$uninst_key\\Tindelborg" QuietUninstallString)
  uninstaller=${uninstaller% /S} uninstaller=${uninstaller//\"/}
  as_typed "${uninstaller%\\*}" uninstall.exe /S "_?=${uninstaller%\\*}"; status="$status $?"
  kill "$saver_pid"; wait "$saver_pid" 2>/dev/null
  [[ $status != 0* && $status != *\ 0 ]] || fail "with the saver in use, setup and uninstall ended with $status" || return 1
  [ -f "$scr" ] && win reg query "$list\\$uninst_key\\Tindelborg" >/dev/null || fail "a failed uninstall removed the saver" || return 1
  setup_as_typed $setup2_args || fail "second setup ended with status $?" || return 1
  phong=$(reg_value "$settings_key" Phong)
  [ "$phong" = 0x9 ] || fail "the second install lost the settings (Phong \"$phong\", not 0x9)" || return 1
  [ "$setup2_args" != "$setup_args" ] || [ "$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" = "$selected" ] ||
    fail "the second install changed the selection" || return 1
  # Every copy goes, the per-user one first: the other must then give back the saver from before ours.
  for list in HKCU HKLM; do
    uninstaller=$(reg_value "$list\\$uninst_key\\Tindelborg" QuietUninstallString)
    [ -n "$uninstaller" ] || continue
    uninstaller=${uninstaller% /S} uninstaller=${uninstaller//\"/}
    if [ "$setup2_args" != "$setup_args" ] && [ $list = HKCU ]; then
      # A per-user uninstaller of no registered copy (here: one moved away) leaves the all-users copy alone.
      copy=$(unix_path "$stale") && mkdir -p "$copy" && cp "$(unix_path "$uninstaller")" "$copy/" || fail "no $stale" || return 1
      as_typed "$stale" uninstall.exe /S "_?=$stale"; status=$?; rm -r "$copy"
      [ $status != 0 ] && win reg query "HKLM\\$uninst_key\\Tindelborg" >/dev/null ||
        fail "a stray uninstaller ended with $status, the all-users copy gone or not" || return 1
    fi
    win "$uninstaller" /S $uninstall_args || fail "uninstall ended with status $?" || return 1
    # That one hands over to a copy of itself and ends; the copy removes the entry last.
    wait_until_gone "$list\\$uninst_key\\Tindelborg" || fail "the uninstaller did not finish" || return 1
  done
  expected=$before
  [ "$settings" = kept ] || expected=$(grep -v -e 'Pellucid Works' -e '^ *Phong ' -e 'windows/tindlbrg.cfg' <<<"$before")
  diff <(echo "$expected") <(snapshot) >"$build/installer-e2e.diff" ||
    fail "after uninstall, not as before (settings $settings): $(tr '\n' ' ' <"$build/installer-e2e.diff")" || return 1
  echo "PASS $name"
}

run_rows() {
  # One server for the whole run: no start-up after each program's end.
  wineserver -p 30
  trap 'wineserver -k 2>/dev/null' EXIT INT TERM
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  cp "$setup" "$WINEPREFIX/drive_c/windows/temp/tindlbrg-setup.exe"
  local_appdata=$(win cmd /c echo %LOCALAPPDATA%)
  appdata=$(unix_path "$(win cmd /c echo %APPDATA%)")
  local passed=0 failed=0 row
  for row in version "${rows[@]}"; do
    if [ "$row" = version ]; then
      # The version information of both programs: the project's version, and with .0 the file's.
      local got="$(version_of FileVersion "$setup") $(version_of FileVersion "$build/tindlbrg.scr")"
      got+=" $(version_of ProductVersion "$setup") $(version_of ProductVersion "$build/tindlbrg.scr")"
      name=version; [ -n "$version" ] && [ "$got" = "$version.0 $version.0 $version $version" ] &&
        echo "PASS version information $version.0" || fail "setup and saver show $got, project $version"
    else
      run_row "$row"
    fi && passed=$((passed + 1)) || failed=$((failed + 1))
  done
  echo "installer-e2e: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}

if [ "$inside" = 1 ]; then run_rows; exit; fi

for file in "$setup" "$build/tindlbrg.scr" "$driver"; do
  [ -f "$file" ] || { echo "installer-e2e: $file is missing"; echo "installer-e2e: 0 passed, 1 failed"; exit 1; }
done
exec 9>"$WINEPREFIX.lock"
flock -w 300 9 || { echo "installer-e2e: another run holds $WINEPREFIX.lock"; exit 1; }
trap 'wineserver -k 9>&- 2>/dev/null' EXIT
# Each run starts from a fresh prefix: an install must find nothing of an earlier run.
rm -f "$WINEPREFIX/.tindlbrg-ready"
tindlbrg_wine_prefix || { echo "installer-e2e: cannot create $WINEPREFIX"; exit 1; }
timeout -k 10 900 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --inside-display "$build" 9>&-
