#!/usr/bin/env bash
# Sets up, builds and runs every test: native unit tests under ASan/UBSan,
# the fuzz targets for a bounded time, and the Windows core and window tests
# under Wine (on Xvfb when there is no display). Ends with the ctest summary.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
jobs=$(nproc)

bash scripts/setup.sh

build=$here/build
cmake -S . -B "$build/native" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DDS_SANITIZE=ON -DDS_FUZZ=ON -DDS_BENCH=OFF -DDS_FUZZ_SECONDS="${DS_FUZZ_SECONDS:-30}" >/dev/null
cmake --build "$build/native" -j"$jobs"

bash scripts/build-mingw-deps.sh "$build/mingw-deps"
cmake -S . -B "$build/win" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
      -DDS_MINGW_DEPS="$build/mingw-deps" >/dev/null
cmake --build "$build/win" -j"$jobs"

xvfb_pid=""
cleanup() {
  "$here/scripts/wine-run.sh" --server -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 130); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  # Large enough for the window at 150 %, which the high-DPI tests start.
  Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

# One Wine prefix for every Windows test, made before the tests run in
# parallel, and one server kept alive for all of them. Wine's services start
# here with no pipe attached, or they would hold ctest's output pipes open.
export DS_WINEPREFIX="$build/wineprefix"
mkdir -p "$DS_WINEPREFIX"
"$here/scripts/wine-run.sh" --server -k >/dev/null 2>&1 </dev/null || true
"$here/scripts/wine-run.sh" --server -p 900 >/dev/null 2>&1 </dev/null || true
"$here/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null || true

# One ctest run over both trees, so the summary counts every test.
mkdir -p "$build/all"
printf 'subdirs("%s" "%s")\n' "$build/native" "$build/win" > "$build/all/CTestTestfile.cmake"
cd "$build/all"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --output-on-failure -j"$jobs" --timeout 600
