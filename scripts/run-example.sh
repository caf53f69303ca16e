#!/usr/bin/env bash
# Builds the example product's setup and runs it: the builder natively, the setup
# program and Brisklay Demo for Windows, then packs the demo with
# examples/demo/manifest.toml into one program, out/demo/Setup.exe, and starts it under
# Wine so that you can walk the wizard, install the demo, start it from the finish page,
# and later remove it with the uninstaller (Start Menu "Uninstall", or the Add/Remove
# Programs command line). The same data is also written as external data files beside
# out/demo/Setup (for "setup.exe out/demo/Setup").
#
#   scripts/run-example.sh              build, then run the setup
#   scripts/run-example.sh --build-only build and show what went in, run nothing
#
# Shares build/native and build/win with scripts/test.sh and builds only the targets it
# needs; Wine runs in the Windows build's own prefix, build/win/wineprefix.
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

[ "$run" = 1 ] || exit 0

# The example supports Windows 2000 to Vista; Wine's default (Windows 7) would bring up
# the setup's question about an unknown system, so Setup.exe is told it runs on XP.
build/win/wine-run.sh reg add 'HKCU\Software\Wine\AppDefaults\Setup.exe' /v Version /d winxp /f >/dev/null

echo
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display (DISPLAY is unset): running Setup.exe under xvfb-run, where nobody can"
  echo "see or click it, and closing it after 30 seconds. Set DISPLAY to use the wizard;"
  echo "docs/screenshots/ shows every page."
  xvfb-run -a timeout 30 build/win/wine-run.sh out/demo/Setup.exe || true
else
  echo "Starting out/demo/Setup.exe under Wine..."
  build/win/wine-run.sh out/demo/Setup.exe
fi
