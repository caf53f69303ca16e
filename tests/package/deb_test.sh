#!/bin/sh
# Unpacks the Debian package into a temporary folder, moves the unpacked tree elsewhere,
# and builds the example with the brisklay inside: it must find its setup program in
# lib/brisklay/ of its own tree, wherever that tree lies.
# usage: deb_test.sh PACKAGE|BUILD_DIR DEMO_SOURCE WORKDIR
#   Given a build folder, the package is made from it first with cpack.
set -u
package=$1
demo=$2
work=$3
unset BRISKLAY_SETUP

rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
if [ -d "$package" ]; then
  # gzip rather than xz: the test build's sanitised binary is large, and speed matters here
  cpack -G DEB -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip --config "$package/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAILED: cpack"; exit 1; }
  package=$(ls "$work"/package/*.deb)
fi
dpkg-deb -x "$package" "$work/unpacked" || { echo "FAILED: dpkg-deb -x $package"; exit 1; }
if [ ! -f "$work/unpacked/usr/lib/brisklay/setup.exe" ]; then
  echo "the package has no setup program: build the Windows one first (scripts/package-deb.sh does)"
  exit 77
fi
[ -x "$work/unpacked/usr/bin/brisklay" ] || { echo "FAILED: no usr/bin/brisklay in the package"; exit 1; }
dpkg-deb -f "$package" Package Version Depends

mkdir -p "$work/elsewhere"
mv "$work/unpacked/usr" "$work/elsewhere/prefix"
mkdir -p "$work/demo/docs"
cp "$demo/manifest.toml" "$demo/information.txt" "$demo/license.txt" "$demo/background.bmp" "$work/demo/"
cp "$demo/docs/"* "$work/demo/docs/"
cp "$work/elsewhere/prefix/lib/brisklay/setup.exe" "$work/demo/BrisklayDemo.exe"  # a stand-in program
cd "$work/demo" || exit 1
"$work/elsewhere/prefix/bin/brisklay" build manifest.toml -o out/Setup.exe ||
  { echo "FAILED: the packaged brisklay did not build the example"; exit 1; }
setup_size=$(wc -c <"$work/elsewhere/prefix/lib/brisklay/setup.exe")
[ "$(wc -c <out/Setup.exe)" -gt "$setup_size" ] || { echo "FAILED: Setup.exe carries no data"; exit 1; }
echo "the packaged brisklay built the example"
