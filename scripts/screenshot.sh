#!/usr/bin/env bash
# Saves PNG screenshots of the main window in its scenes, under Wine on Xvfb:
# docs/full.png (two Cookies captures analysed), docs/http.png, docs/compact.png, docs/edit.png,
# docs/decode.png (two JWTs compared decoded).
# Usage: screenshot.sh [BUILD_DIR]   (the Windows build tree, build/win by default)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/win}
started_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:$((90 + RANDOM % 9))
  Xvfb "$DISPLAY" -screen 0 1280x800x24 >/dev/null 2>&1 &
  started_xvfb=$!
  sleep 1
fi
mkdir -p "$here/docs"
for scene in full http compact edit decode; do
  rect=$(mktemp)
  "$here/scripts/wine-run.sh" "$build/screenshot_scenes.exe" "$scene" 8 "$rect" >/dev/null 2>&1 </dev/null &
  app=$!
  sleep "${SCREENSHOT_DELAY:-5}"
  import -window root -crop "$(cat "$rect")" +repage "$here/docs/$scene.png"
  rm -f "$rect"
  wait "$app" || true
  echo "screenshot: docs/$scene.png"
done
"$here/scripts/wine-run.sh" --server -k >/dev/null 2>&1 || true
if [ -n "$started_xvfb" ]; then kill "$started_xvfb" 2>/dev/null || true; fi
