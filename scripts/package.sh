#!/usr/bin/env bash
# Builds the release a Windows user downloads: dist/Dualsieve-<version>-win32.zip
# with Dualsieve.exe, dualsieve-cli.exe, the Chinese guide (and the pictures it
# shows), LICENSE and SHA256SUMS. Two runs on one commit give the same bytes,
# wherever the tree lies: the programs carry no link time and no build paths,
# and the zip's entries have fixed times, order and attributes.
# Usage: package.sh [--no-setup] [--build DIR] [--out DIR] [--deps DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build/package
out=$here/dist
deps=$here/build/mingw-deps
setup=1
while [ $# -gt 0 ]; do
  case $1 in
    --no-setup) setup=0 ;;
    --build) build=$2; shift ;;
    --out) out=$2; shift ;;
    --deps) deps=$2; shift ;;
    *) echo "usage: package.sh [--no-setup] [--build DIR] [--out DIR] [--deps DIR]" >&2; exit 2 ;;
  esac
  shift
done
cd "$here"
if [ "$setup" = 1 ]; then bash scripts/setup.sh; fi
bash scripts/build-mingw-deps.sh "$deps"
# Stripped: the symbol table would name the objects the programs came from.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
      -DDS_MINGW_DEPS="$deps" -DDS_BENCH=OFF -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s >/dev/null
cmake --build "$build" -j"${DS_JOBS:-$(nproc)}" --target Dualsieve dualsieve-cli >/dev/null
version=$(sed -n 's/^#define DS_VERSION "\(.*\)"$/\1/p' "$build/generated/version.h")
# Entry times are the commit's, so the same commit always gives the same zip.
stamp=$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo "${SOURCE_DATE_EPOCH:-315532800}")
mkdir -p "$out"
zip=$out/Dualsieve-$version-win32.zip
python3 scripts/make_package.py "$zip" "$stamp" \
  "Dualsieve.exe=$build/Dualsieve.exe" "dualsieve-cli.exe=$build/dualsieve-cli.exe" \
  "README.zh-CN.md=$here/README.zh-CN.md" "LICENSE=$here/LICENSE"
echo "package: $zip"
