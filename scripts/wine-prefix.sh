# Sourced, not run: the Wine environment every script of ours uses, and the making of a
# private prefix. Callers set WINEPREFIX first and take their own locks.
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Makes $WINEPREFIX once (about 7 s), then ends its wineserver: one that started without a
# display would make dialogs fail later. Descriptor 9 (a caller's lock) is never handed on,
# so a lingering wineserver cannot hold the caller's lock. Returns 1 when Wine fails.
tindlbrg_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.tindlbrg-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    (unset DISPLAY; timeout 120 wine wineboot -i >/dev/null 2>&1 9>&-) || return 1
    # Without a window manager every hidden window would otherwise cost about 2 s.
    (unset DISPLAY; timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&-)
    touch "$WINEPREFIX/.tindlbrg-ready"
  fi
  wineserver -k 9>&- 2>/dev/null || true
}
