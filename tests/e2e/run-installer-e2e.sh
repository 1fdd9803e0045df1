#!/usr/bin/env bash
# The setup program under Wine, a row each: install, the saver selected and run, a second install, every copy
# uninstalled; then drive C: and the registry as before, settings and presets kept or removed.
# tests/e2e/run-installer-e2e.sh BUILD_DIR (installer, tindlbrg_driver)
set -uo pipefail

inside=0
if [ "${1:-}" = --inside-display ]; then inside=1; shift; fi
[ $# = 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" 2>/dev/null && pwd) || { echo "installer-e2e: no build folder $1" >&2; exit 2; }
export WINEPREFIX=$build/installer-wineprefix
. "$(dirname "$0")/../../scripts/wine-prefix.sh"
driver=$build/tests/e2e/tindlbrg_driver.exe
setup=$build/tindlbrg-setup.exe
# The shipped 32-bit setup needs Wine's 32-bit DLLs and kernel support; else its 64-bit build stands in.
if ! compgen -G '/usr/lib/*/wine/i386-windows/kernel32.dll' >/dev/null ||
   { [ -e /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
  [ "$inside" = 1 ] || echo "SKIP the shipped 32-bit tindlbrg-setup.exe: this Wine runs no 32-bit programs (no" \
    "wine32, or a kernel without 32-bit support); tindlbrg-setup-amd64.exe, the same script as a 64-bit program, stands in"
  setup=$build/tindlbrg-setup-amd64.exe
fi

# name | setup and second setup arguments | uninstall's | saver's folder (made first for /D=) | list | settings after
rows=(
  'per user||||%LOCALAPPDATA%\Programs\Tindelborg|HKCU|kept'
  'all users|/ALLUSERS|/ALLUSERS||C:\windows\system32|HKLM|kept'
  'own folder with spaces, settings removed|/D=C:\Saver Folder\Tindelborg|/D=C:\Saver Folder\Tindelborg|/REMOVESETTINGS|C:\Saver Folder\Tindelborg|HKCU|removed'
  'per user, then all users over it||/ALLUSERS||%LOCALAPPDATA%\Programs\Tindelborg|HKCU|kept'
)
uninst_key='Software\Microsoft\Windows\CurrentVersion\Uninstall'
settings_key='HKCU\Software\Pellucid Works\tindlbrg\Config'
previous_saver='C:\windows\system32\previous.scr'
short_path='^C:(\\[^\\ .]{1,8}(\.[^\\ .]{1,3})?)+$'  # 8.3 names, no spaces, as Windows wants it

win() { timeout 60 wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Through cmd, which passes /D= unquoted as NSIS wants, and waits.
setup_as_typed() {  # ARGUMENTS as one text
  timeout 120 wine cmd /c "cd /d C:\windows\temp && tindlbrg-setup.exe /S $1" </dev/null >/dev/null 2>&1
}
unix_path() { win winepath -u "$1"; }
reg_value() { win reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }

seed_settings() {
  win reg add "$settings_key" /v Phong /t REG_DWORD /d 9 /f >/dev/null && mkdir -p "$appdata/Pellucid Works/tindlbrg" &&
    printf 'presets of the user\n' >"$appdata/Pellucid Works/tindlbrg/tindlbrg.cfg" &&
    printf 'presets\n' >"$WINEPREFIX/drive_c/windows/tindlbrg.cfg"
}

# All a setup may touch: drive C: (not the temporary folders, where the uninstaller copies itself), presets, keys.
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

uninstaller_of() {  # LIST: its uninstaller's Windows path, or nothing
  local line; line=$(reg_value "$1\\$uninst_key\\Tindelborg" QuietUninstallString); line=${line% /S}; echo "${line//\"/}"
}
fail() { echo "FAIL $name: $*"; exit 1; }

run_row() (  # a subshell: fail ends the row
  IFS='|' read -r name setup_args setup2_args uninstall_args folder list settings <<<"$1"
  folder=${folder//%LOCALAPPDATA%/$local_appdata}
  { win reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d "$previous_saver" /f &&
    win reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveActive /d 0 /f && seed_settings; } >/dev/null ||
    fail "cannot seed the registry and the presets"
  [[ $setup_args != /D=* ]] || mkdir -p "$(unix_path "$folder")" || fail "cannot make $folder"
  before=$(snapshot)
  setup_as_typed "$setup_args" || fail "setup ended with status $?"
  scr=$(unix_path "$folder\\tindlbrg.scr")
  cmp -s "$scr" "$build/tindlbrg.scr" || fail "no 64-bit saver at $folder"
  selected=$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)
  [[ $selected =~ $short_path ]] || fail "selected saver \"$selected\" is no short path"
  [ "$(unix_path "$selected")" -ef "$scr" ] || fail "selected \"$selected\", not the installed saver"
  [ "$(reg_value 'HKCU\Control Panel\Desktop' ScreenSaveActive)" = 1 ] || fail "screen saver not made active"
  [ "$(reg_value "$list\\$uninst_key\\Tindelborg" DisplayVersion)" = "$version" ] || fail "no uninstaller of $version in $list"
  # The saver as Windows starts it, by its short path; the driver starts every case from no presets.
  status=$(win "$driver" run input.alt_key_ends "$selected") || fail "the installed saver: ${status//$'\n'/ }"
  seed_settings >/dev/null || fail "cannot seed the presets again"
  setup_as_typed "$setup2_args" || fail "second setup ended with status $?"
  phong=$(reg_value "$settings_key" Phong)
  [ "$phong" = 0x9 ] || fail "the second install lost the settings (Phong \"$phong\", not 0x9)"
  [ "$setup2_args" != "$setup_args" ] || [ "$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" = "$selected" ] ||
    fail "the second install changed the selection"
  # Every copy goes, the per-user one first: the other must then give back the saver from before ours.
  for list in HKCU HKLM; do
    uninstaller=$(uninstaller_of $list)
    [ -n "$uninstaller" ] || continue
    win "$uninstaller" /S $uninstall_args || fail "uninstall ended with status $?"
    # It hands over to a copy of itself and ends; the copy removes the entry last.
    for i in $(seq 100); do win reg query "$list\\$uninst_key\\Tindelborg" >/dev/null || break; sleep 0.3; done
    [ "$i" -lt 100 ] || fail "the uninstaller did not finish"
  done
  expected=$before
  [ "$settings" = kept ] || expected=$(grep -v -e 'Pellucid Works' -e '^ *Phong ' -e 'windows/tindlbrg.cfg' <<<"$before")
  diff <(echo "$expected") <(snapshot) >"$build/installer-e2e.diff" ||
    fail "after uninstall, not as before (settings $settings): $(tr '\n' ' ' <"$build/installer-e2e.diff")"
  echo "PASS $name"
)

run_rows() {
  # One server for the whole run: no start-up after each program's end.
  wineserver -p 30
  trap 'wineserver -k 2>/dev/null' EXIT INT TERM
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  cp "$setup" "$WINEPREFIX/drive_c/windows/temp/tindlbrg-setup.exe"
  local_appdata=$(win cmd /c echo %LOCALAPPDATA%)
  appdata=$(unix_path "$(win cmd /c echo %APPDATA%)")
  local passed=0 failed=0 row
  for row in "${rows[@]}"; do
    if run_row "$row"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
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
rm -f "$WINEPREFIX/.tindlbrg-ready"
tindlbrg_wine_prefix || { echo "installer-e2e: cannot create $WINEPREFIX"; exit 1; }
timeout -k 10 900 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --inside-display "$build" 9>&-
