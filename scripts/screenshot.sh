#!/usr/bin/env bash
# Saves PNG screenshots of the main window in its scenes, under Wine on Xvfb:
# docs/full.png (two Cookies captures analysed), docs/http.png, docs/compact.png, docs/edit.png,
# docs/decode.png (two JWTs compared decoded), docs/sessions.png (two HAR sessions compared request by
# request), and docs/full-150.png (the first at 150 %,
# the screen set to 144 DPI for it).
# Usage: screenshot.sh [BUILD_DIR [SHOT...]]   (the Windows build tree, build/win by default;
# every shot by default)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/win}
shots=("${@:2}")
[ ${#shots[@]} -gt 0 ] || shots=(full http compact edit decode sessions full-150)
started_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:$((90 + RANDOM % 9))
  # Room for the window at 150 %.
  Xvfb "$DISPLAY" -screen 0 1600x1000x24 >/dev/null 2>&1 &
  started_xvfb=$!
  sleep 1
fi
mkdir -p "$here/docs"
# Wine reads the screen's DPI when a program starts.
screen_dpi() {
  if [ "$1" = 96 ]; then
    "$here/scripts/wine-run.sh" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 </dev/null || true
  else
    "$here/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
      >/dev/null 2>&1 </dev/null
  fi
}
trap 'screen_dpi 96' EXIT
for shot in "${shots[@]}"; do
  scene=${shot%-150}
  if [ "$scene" != "$shot" ]; then screen_dpi 144; fi
  rect=$(mktemp)
  "$here/scripts/wine-run.sh" "$build/screenshot_scenes.exe" "$scene" 8 "$rect" >/dev/null 2>&1 </dev/null &
  app=$!
  sleep "${SCREENSHOT_DELAY:-5}"
  import -window root -crop "$(cat "$rect")" +repage "$here/docs/$shot.png"
  rm -f "$rect"
  wait "$app" || true
  if [ "$scene" != "$shot" ]; then screen_dpi 96; fi
  echo "screenshot: docs/$shot.png"
done
trap - EXIT
"$here/scripts/wine-run.sh" --server -k >/dev/null 2>&1 || true
if [ -n "$started_xvfb" ]; then kill "$started_xvfb" 2>/dev/null || true; fi
