#!/usr/bin/env bash
# Renders every page of the wizard, run on the example product (Brisklay Demo), into
# docs/screenshots/NN-page.png: Wine draws its own desktop with window frames under Xvfb,
# wizard_screenshot_tour walks the pages, and this script captures the screen each time
# the tour stops on one. Uses build/native and build/win like scripts/run-example.sh;
# BRISKLAY_WIN_BUILD names another Windows build folder, and BRISKLAY_KEEP_EXAMPLE=1
# keeps setup data already in out/demo.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BRISKLAY_WIN_BUILD:-build/win}
out=docs/screenshots

if [ -z "${BRISKLAY_SHOTS_UNDER_XVFB:-}" ]; then
  if [ -z "${BRISKLAY_KEEP_EXAMPLE:-}" ] || [ ! -f out/demo/Setup.exe.sum.bin ]; then
    bash scripts/run-example.sh --build-only >/dev/null
  fi
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
  cmake --build "$build" -j"$(nproc)" --target setup wizard_screenshot_tour >/dev/null
  BRISKLAY_SHOTS_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# Windows sees the host's root as drive Z:.
winpath() { echo "Z:${1//\//\\}"; }

handshake=$(mktemp -d)
trap 'rm -rf "$handshake"' EXIT
mkdir -p "$out"
rm -f "$out"/*.png

timeout 600 "$build/wine-run.sh" explorer /desktop=shot,1024x768 \
  "$root/$build/tests/e2e/wizard_screenshot_tour.exe" \
  "$(winpath "$root/$build/setup/setup.exe")" "$(winpath "$root/out/demo/Setup")" "$(winpath "$handshake")" &
tour=$!

while kill -0 "$tour" 2>/dev/null; do
  for ready in "$handshake"/*.ready; do
    [ -e "$ready" ] || continue
    name=$(basename "$ready" .ready)
    import -window root "$out/$name.png"
    rm -f "$ready"
    touch "$handshake/$name.done"
  done
  sleep 0.2
done
wait "$tour"
ls "$out"
