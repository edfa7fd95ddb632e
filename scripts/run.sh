#!/usr/bin/env bash
# Sets up, builds and starts the window program under Wine on this display.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/setup.sh
bash scripts/build-mingw-deps.sh "$here/build/mingw-deps"
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
      -DDS_MINGW_DEPS="$here/build/mingw-deps" >/dev/null
cmake --build build/win -j"$(nproc)" --target Dualsieve
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no DISPLAY; start an X session (or Xvfb) first" >&2
  exit 1
fi
exec "$here/scripts/wine-run.sh" build/win/Dualsieve.exe
