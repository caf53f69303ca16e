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

export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${packages[@]}"
fi

# Where the kernel runs no 32-bit programs, the shipped 32-bit programs are tested under
# 32-bit Wine emulated by qemu-user (scripts/emulated-lane.sh). Debian 12's qemu-user 7.2
# runs one thread's signal handlers on another thread's signal stack, which 32-bit Wine
# cannot live with (the lane's first check shows it); its backports have 10.0, which works.
qemu_major() {  # 0 when there is none
  local major
  major=$(/usr/bin/qemu-i386-static --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
  echo "${major:-0}"
}
if [ "$(bash "$(dirname "$0")/wine-arch.sh")" = x86_64 ] && [ "$(qemu_major || true)" -lt 8 ]; then
  target=()
  if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ]; then
    if ! grep -rqs bookworm-backports /etc/apt/sources.list /etc/apt/sources.list.d/; then
      cat >/etc/apt/sources.list.d/bookworm-backports.sources <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    fi
    target=(-t bookworm-backports)
  fi
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${target[@]}" qemu-user-static
fi
