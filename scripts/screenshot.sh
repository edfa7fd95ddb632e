#!/usr/bin/env bash
# Saves a PNG screenshot of the main window, run under Wine on Xvfb.
# Usage: screenshot.sh OUT.png [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/docs/main-window.png}
build=${2:-$here/build/win}
started_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:$((90 + RANDOM % 9))
  Xvfb "$DISPLAY" -screen 0 1280x800x24 >/dev/null 2>&1 &
  started_xvfb=$!
  sleep 1
fi
"$here/scripts/wine-run.sh" "$build/Dualsieve.exe" &
app=$!
sleep "${SCREENSHOT_DELAY:-6}"
mkdir -p "$(dirname "$out")"
# The window is centred on a 1280x800 screen; crop to it with a margin.
import -window root -crop 840x600+220+100 +repage "$out"
kill "$app" 2>/dev/null || true
"$here/scripts/wine-run.sh" --server -k >/dev/null 2>&1 || true
[ -n "$started_xvfb" ] && kill "$started_xvfb" 2>/dev/null || true
echo "screenshot: $out"
