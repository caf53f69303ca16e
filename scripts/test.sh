#!/usr/bin/env bash
# Installs what is needed, builds natively and for Windows, and runs every test:
# native tests (under AddressSanitizer and UBSan), Windows tests under Wine and Xvfb,
# and a short run of each fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build/native -DBRISKLAY_SANITIZE=ON
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

if [ "$(bash scripts/wine-arch.sh)" = i686 ]; then
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DBRISKLAY_TESTS=ON
  cmake --build build/win -j"$jobs"
  bash scripts/check-calling-conventions.sh build/win
  xvfb-run -a ctest --test-dir build/win --output-on-failure
else
  # The product is still built as it ships; most of its tests run on the 64-bit build, and
  # the shipped programs themselves in the emulated lane.
  echo "This machine cannot run 32-bit programs, nor 32-bit Wine: the Windows tests run on"
  echo "the 64-bit build of the same sources (build/win64) under 64-bit Wine, and the"
  echo "emulated lane starts the shipped 32-bit programs under 32-bit Wine emulated by qemu."
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DBRISKLAY_TESTS=OFF
  cmake --build build/win -j"$jobs"
  bash scripts/check-calling-conventions.sh build/win
  cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake -DBRISKLAY_TESTS=ON
  cmake --build build/win64 -j"$jobs"
  xvfb-run -a ctest --test-dir build/win64 --output-on-failure
  # The shipped 32-bit programs themselves, under emulated 32-bit Wine.
  bash scripts/emulated-lane.sh
fi
# The Debian package carries the Windows build's setup program: its test, skipped above
# on a first run, can use it now.
ctest --test-dir build/native --output-on-failure -R package_deb

if [ -f fuzz/CMakeLists.txt ]; then
  cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DBRISKLAY_FUZZ=ON -DBRISKLAY_TESTS=OFF
  cmake --build build/fuzz -j"$jobs"
  ctest --test-dir build/fuzz --output-on-failure
fi
