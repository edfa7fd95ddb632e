#!/usr/bin/env bash
# Builds the libraries Debian does not package for mingw-w64 from Debian's own
# source packages: libpng (with Debian's mingw zlib), simdjson and Google Benchmark.
# Usage: build-mingw-deps.sh PREFIX   (idempotent: skips what is installed)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:-$here/build/mingw-deps}
src=$prefix/src
mkdir -p "$src"
toolchain=$here/cmake/mingw-i686.cmake

fetch() {  # package -> path of its upstream tarball
  local pkg=$1
  local tarball
  tarball=$(ls "$src"/"${pkg}"_*.orig.tar.* 2>/dev/null | head -n1 || true)
  if [ -z "$tarball" ]; then
    # The upstream tarball is all we need; a missing Debian patch file is fine.
    (cd "$src" && apt-get source --download-only "$pkg" >/dev/null 2>&1 || true)
    tarball=$(ls "$src"/"${pkg}"_*.orig.tar.* 2>/dev/null | head -n1 || true)
  fi
  [ -n "$tarball" ] || { echo "build-mingw-deps: could not fetch the source of $pkg" >&2; exit 1; }
  echo "$tarball"
}

build() {  # package, marker file, cmake options...
  local pkg=$1 marker=$2; shift 2
  [ -f "$prefix/$marker" ] && return 0
  local tarball dir
  tarball=$(fetch "$pkg")
  dir=$src/$pkg
  rm -rf "$dir" && mkdir -p "$dir"
  tar -xf "$tarball" -C "$dir" --strip-components=1
  cmake -S "$dir" -B "$dir/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_CROSSCOMPILING_EMULATOR="" "$@" >/dev/null
  cmake --build "$dir/build" -j"$(nproc)" >/dev/null
  cmake --install "$dir/build" >/dev/null
  echo "build-mingw-deps: built $pkg"
}

build libpng1.6 lib/libpng16.a -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
      -DZLIB_LIBRARY=/usr/i686-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/i686-w64-mingw32/include
build benchmark lib/libbenchmark.a -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
      -DBENCHMARK_ENABLE_WERROR=OFF -DBUILD_SHARED_LIBS=OFF
# The 32-bit build has no SIMD kernels of its own; the fallback one still reads
# a HAR several times as fast as an event parser.
build simdjson lib/libsimdjson.a -DBUILD_SHARED_LIBS=OFF -DSIMDJSON_DEVELOPER_MODE=OFF \
      -DSIMDJSON_ENABLE_THREADS=OFF -DCMAKE_CXX_FLAGS=-DSIMDJSON_NO_PORTABILITY_WARNING
