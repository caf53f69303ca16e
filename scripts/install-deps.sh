#!/usr/bin/env bash
# Installs everything Brisklay needs to build and test on a fresh Debian 12 machine.
# Runs as root (apt-get). Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  cmake make g++ git
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev zlib1g-dev
  googletest libbenchmark-dev libtomlplusplus-dev
  clang libclang-rt-14-dev
  wine wine32:i386 wine64
  xvfb xauth imagemagick
  osslsigncode openssl dpkg-dev nsis
  fonts-wine fonts-liberation
  python3 time
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${packages[@]}"
