#!/usr/bin/env bash
# Builds the example product's setup data: the builder natively, Brisklay Demo for
# Windows, then packs the demo with examples/demo/manifest.toml into out/demo/ and shows
# what went in. Shares build/native and build/win with scripts/test.sh and builds only
# the targets it needs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build/native -DBRISKLAY_SANITIZE=ON >/dev/null
cmake --build build/native -j"$jobs" --target brisklay

cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
cmake --build build/win -j"$jobs" --target brisklay_demo

brisklay=build/native/builder/brisklay
"$brisklay" build examples/demo/manifest.toml -o out/demo/Setup --root build/win/examples/demo/stage

echo
echo "== out/demo/Setup.exe.sum.bin"
"$brisklay" dump out/demo/Setup.exe.sum.bin
echo
echo "== out/demo/Setup.exe.archive.bin"
"$brisklay" dump out/demo/Setup.exe.archive.bin
