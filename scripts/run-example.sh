#!/usr/bin/env bash
# Builds the example product's setup and runs it: the builder natively, the setup
# program and Brisklay Demo for Windows, then packs the demo with
# examples/demo/manifest.toml into one program, out/demo/Setup.exe, and starts it under
# Wine so that you can walk the wizard, install the demo, start it from the finish page,
# and later remove it with the uninstaller (Start Menu "Uninstall", or the Add/Remove
# Programs command line). The same data is also written as external data files beside
# out/demo/Setup (for "setup.exe out/demo/Setup").
#
# Where this machine cannot run 32-bit programs (scripts/wine-arch.sh prints x86_64), 32-bit
# Wine cannot either: out/demo/Setup.exe is still built as people get it, and the wizard is
# shown by out/demo/win64/Setup.exe, the same product packed with the 64-bit build of the
# same sources (build/win64), under 64-bit Wine.
#
#   scripts/run-example.sh              build, then run the setup
#   scripts/run-example.sh --build-only build and show what went in, run nothing
#
# Shares build/native, build/win and build/win64 with scripts/test.sh and builds only the
# targets it needs; Wine runs in the Windows build's own prefix, build/win/wineprefix (or
# build/win64/wineprefix).
set -euo pipefail
cd "$(dirname "$0")/.."

run=1
case "${1:-}" in
  --build-only) run=0 ;;
  "") ;;
  *) echo "usage: scripts/run-example.sh [--build-only]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build/native -DBRISKLAY_SANITIZE=ON >/dev/null
cmake --build build/native -j"$jobs" --target brisklay

cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
cmake --build build/win -j"$jobs" --target brisklay_demo setup

brisklay=build/native/builder/brisklay
stage=build/win/examples/demo/stage
mkdir -p out/demo
"$brisklay" build examples/demo/manifest.toml -o out/demo/Setup.exe --setup build/win/setup/setup.exe --root "$stage"
"$brisklay" build examples/demo/manifest.toml -o out/demo/Setup --root "$stage"

echo
echo "== out/demo/Setup.exe.sum.bin"
"$brisklay" dump out/demo/Setup.exe.sum.bin
echo
echo "== out/demo/Setup.exe.archive.bin"
"$brisklay" dump out/demo/Setup.exe.archive.bin

win=build/win
setup=out/demo/Setup.exe
if [ "$(bash scripts/wine-arch.sh)" = x86_64 ]; then
  # Configured as scripts/test.sh configures it, so that neither rebuilds the other's work.
  cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake -DBRISKLAY_TESTS=ON >/dev/null
  cmake --build build/win64 -j"$jobs" --target brisklay_demo setup
  mkdir -p out/demo/win64
  "$brisklay" build examples/demo/manifest.toml -o out/demo/win64/Setup.exe --setup build/win64/setup/setup.exe \
    --root build/win64/examples/demo/stage
  win=build/win64
  setup=out/demo/win64/Setup.exe
  echo
  echo "This machine cannot run 32-bit programs, nor 32-bit Wine: out/demo/Setup.exe is the"
  echo "product as people get it; $setup, the same product built from the same"
  echo "sources for 64-bit Windows, shows the wizard here. (The 32-bit one runs here only"
  echo "under emulation, as scripts/emulated-lane.sh runs it for the tests, and is slower.)"
fi

[ "$run" = 1 ] || exit 0

# The example supports Windows 2000 to Vista; Wine's default (Windows 7) would bring up
# the setup's question about an unknown system, so Setup.exe is told it runs on XP.
"$win/wine-run.sh" reg add 'HKCU\Software\Wine\AppDefaults\Setup.exe' /v Version /d winxp /f >/dev/null

echo
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display (DISPLAY is unset): running Setup.exe under xvfb-run, where nobody can"
  echo "see or click it, and closing it after 30 seconds. Set DISPLAY to use the wizard;"
  echo "docs/screenshots/ shows every page."
  xvfb-run -a timeout 30 "$win/wine-run.sh" "$setup" || true
else
  echo "Starting $setup under Wine..."
  "$win/wine-run.sh" "$setup"
fi
