#!/usr/bin/env bash
# Makes the Debian package of the builder: the Windows build makes the setup program, a
# native Release build makes brisklay and packs both with cpack (brisklay in /usr/bin, the
# setup program in /usr/lib/brisklay/). The package lands in out/, and is then unpacked
# and used once to build the example, as its test does.
#
#   bash scripts/package-deb.sh        then: apt install ./out/brisklay_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
cmake --build build/win -j"$jobs" --target setup
cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DBRISKLAY_TESTS=OFF -DBRISKLAY_SANITIZE=OFF \
      -DBRISKLAY_SETUP_PROGRAM="$PWD/build/win/setup/setup.exe" >/dev/null
cmake --build build/package -j"$jobs" --target brisklay
mkdir -p out
(cd build/package && cpack -G DEB -B "$PWD/../../out" >/dev/null)
rm -rf out/_CPack_Packages
package=$(ls -t out/brisklay_*.deb | head -n1)
sh tests/package/deb_test.sh "$package" examples/demo build/package/deb_test
echo "made $package"
