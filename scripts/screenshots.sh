#!/usr/bin/env bash
# Renders every page of the wizard, run on the example product (Brisklay Demo), and the
# uninstaller removing it again, into docs/screenshots/NN-page.png at 96 DPI and into
# docs/screenshots/DPI-dpi/ for every further DPI in BRISKLAY_SHOT_DPIS (default "96 144";
# 192 is worth a look too): Wine draws its own desktop with window frames under Xvfb,
# wizard_screenshot_tour walks the pages, and this script captures the screen each time
# the tour stops on one. Uses build/native and build/win like scripts/run-example.sh; where
# this machine cannot run 32-bit programs (scripts/wine-arch.sh prints x86_64) the pictures
# come from the 64-bit build of the same sources, build/win64, under 64-bit Wine, with the
# same setup data. BRISKLAY_WIN_BUILD names another Windows build folder (with
# BRISKLAY_WIN_TOOLCHAIN its cmake toolchain file), and BRISKLAY_KEEP_EXAMPLE=1
# keeps setup data already in out/demo. The prefix is the tests' own, fonts included;
# its DPI is set back to 96 at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [ "$(bash scripts/wine-arch.sh)" = i686 ]; then
  build=${BRISKLAY_WIN_BUILD:-build/win}
  toolchain=${BRISKLAY_WIN_TOOLCHAIN:-cmake/toolchain-mingw-i686.cmake}
else
  build=${BRISKLAY_WIN_BUILD:-build/win64}
  toolchain=${BRISKLAY_WIN_TOOLCHAIN:-cmake/toolchain-mingw-x86_64.cmake}
fi
out=docs/screenshots

if [ -z "${BRISKLAY_SHOTS_UNDER_XVFB:-}" ]; then
  if [ -z "${BRISKLAY_KEEP_EXAMPLE:-}" ] || [ ! -f out/demo/Setup.exe.sum.bin ]; then
    bash scripts/run-example.sh --build-only >/dev/null
  fi
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBRISKLAY_TESTS=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" --target setup wizard_screenshot_tour >/dev/null
  BRISKLAY_SHOTS_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi

# Windows sees the host's root as drive Z:.
winpath() { echo "Z:${1//\//\\}"; }

# The prefix's screen resolution: Wine reads it when a program starts.
set_dpi() {
  "$build/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  WINEPREFIX="$root/$build/wineprefix" wineserver -w
}

handshake=$(mktemp -d)
trap 'rm -rf "$handshake"; set_dpi 96' EXIT

# One run of the tour at `dpi` into folder `shots`, on a desktop as many inches wide as
# 1024x768 at 96 DPI.
tour() {
  local dpi=$1 shots=$2
  local width=$((1024 * dpi / 96)) height=$((768 * dpi / 96))
  mkdir -p "$shots"
  rm -f "$shots"/*.png
  set_dpi "$dpi"
  timeout 900 "$build/wine-run.sh" explorer "/desktop=shot,${width}x${height}" \
    "$root/$build/tests/e2e/wizard_screenshot_tour.exe" \
    "$(winpath "$root/$build/setup/setup.exe")" "$(winpath "$root/out/demo/Setup")" "$(winpath "$handshake")" &
  local run=$!
  while kill -0 "$run" 2>/dev/null; do
    for ready in "$handshake"/*.ready; do
      [ -e "$ready" ] || continue
      name=$(basename "$ready" .ready)
      import -window root -crop "${width}x${height}+0+0" +repage "$shots/$name.png"
      rm -f "$ready"
      touch "$handshake/$name.done"
    done
    sleep 0.2
  done
  wait "$run"
  ls "$shots"
}

for dpi in ${BRISKLAY_SHOT_DPIS:-96 144}; do
  if [ "$dpi" = 96 ]; then tour 96 "$out"; else tour "$dpi" "$out/$dpi-dpi"; fi
done
