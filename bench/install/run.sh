#!/usr/bin/env bash
# Times a whole installation under Wine against the floor (inflating the same archive and
# writing the same bytes) for a 16 MiB and a 256 MiB payload, and reports the ratio and
# the peak working set of each. Usage: bench/install/run.sh [build-dir] [runs]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/bench-win}"
runs="${2:-3}"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DBRISKLAY_BENCH=ON -DBRISKLAY_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target install_bench >/dev/null

bench() { "$build/wine-run.sh" "$build/bench/install/install_bench.exe" "$@"; }
bench_root="$build/wineprefix/drive_c/bench"   # C:\bench inside the build's prefix
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-8s %10s %10s %7s %14s %14s\n' payload floor_s install_s ratio floor_peak_MiB install_peak_MiB
for size in 16 256; do
  rm -rf "$bench_root"
  mkdir -p "$bench_root/payload$size"
  bench make "C:\\bench\\payload$size" "$size"
  : >"$bench_root/floor.txt"
  : >"$bench_root/install.txt"
  for run in $(seq "$runs"); do
    # Alternating, and each side first in every other run, each into a fresh folder. The
    # sync lets the disk take in the last run's writes and deletions untimed, so neither
    # side pays for what the other left behind.
    order="floor install"
    if [ $((run % 2)) -eq 0 ]; then order="install floor"; fi
    for mode in $order; do
      rm -rf "$bench_root/out"
      sync
      bench "$mode" "C:\\bench\\payload$size" "C:\\bench\\out" | tr -d '\r' >>"$bench_root/$mode.txt"
    done
  done
  floor_s=$(awk '{ print $2 }' "$bench_root/floor.txt" | median)
  install_s=$(awk '{ print $2 }' "$bench_root/install.txt" | median)
  floor_peak=$(awk '{ print $3 }' "$bench_root/floor.txt" | median)
  install_peak=$(awk '{ print $3 }' "$bench_root/install.txt" | median)
  awk -v s="$size" -v f="$floor_s" -v i="$install_s" -v fp="$floor_peak" -v ip="$install_peak" 'BEGIN {
    printf "%-8s %10.2f %10.2f %7.2f %14.1f %14.1f\n", s " MiB", f, i, i / f, fp / 1048576, ip / 1048576 }'
done
rm -rf "$bench_root"
