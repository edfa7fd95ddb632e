#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with a
# Chinese locale so that Windows reports code page 936.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${DS_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec wine "$@"
