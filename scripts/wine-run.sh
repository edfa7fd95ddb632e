#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with a
# Chinese locale so that Windows reports code page 936.
# `wine-run.sh --server CMD` runs wineserver itself with the same prefix.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${DS_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ "${1:-}" = "--server" ]; then
  shift
  mkdir -p "$WINEPREFIX"
  exec wineserver "$@"
fi
# Our own marker: a running server may not have written system.reg yet.
if [ ! -f "$WINEPREFIX/.dualsieve-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  # Without a window manager Wine waits two seconds on every hide of a
  # managed window; and the Chinese UI font maps to the installed CJK font.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  for face in SimSun "\xe5\xae\x8b\xe4\xbd\x93"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "$(printf "$face")" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
  done
  touch "$WINEPREFIX/.dualsieve-ready"
fi
if [ -t 1 ]; then
  exec wine "$@"
fi
# Wine's helper processes (the desktop, rpcss) outlive the program and would
# hold a caller's output pipe open for their idle time: capture the output
# in files and pass it on once the program has ended.
out=$(mktemp)
err=$(mktemp)
set +e
wine "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $status
