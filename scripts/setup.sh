#!/usr/bin/env bash
# Installs every Debian package the build and the tests need, when missing.
# Idempotent; runs as root or through sudo. Downloads nothing but Debian packages.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  build-essential cmake pkg-config file
  g++-mingw-w64-i686 libz-mingw-w64-dev
  libboost1.81-dev nlohmann-json3-dev libsimdjson-dev libpng-dev zlib1g-dev libssl-dev
  libgtest-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev python3
  wine wine32:i386 xvfb xauth x11-apps imagemagick
  fonts-wqy-microhei locales
  dpkg-dev
  curl python3-requests nodejs node-har-validator
  publicsuffix
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# deb-src lets the Windows build fetch libpng's upstream source from the Debian archive.
src_list=/etc/apt/sources.list.d/dualsieve-src.list
if ! grep -rqs '^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
  fi
  if ! grep -rqs -e '^deb-src' -e '^Types: deb deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null; then
    grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list | sed 's/^deb /deb-src /' \
      | $SUDO tee "$src_list" >/dev/null
  fi
  need_update=1
fi

if [ "${#missing[@]}" -gt 0 ] || [ -n "${need_update:-}" ]; then
  $SUDO apt-get update -q
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Windows reports code page 936 under Wine only with a Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "setup: done"
