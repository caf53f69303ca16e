#!/usr/bin/env bash
# Builds the benchmarks in Release (no sanitizers) and runs them; prints each pair's
# speed ratio at the end. Usage: bench/run.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/bench-release}"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRISKLAY_BENCH=ON -DBRISKLAY_TESTS=OFF \
  -DBRISKLAY_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target crc32_bench decompress_bench >/dev/null

results="$build/bench/results.csv"
: >"$results"
for program in crc32_bench decompress_bench; do
  "$build/bench/$program" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | grep '_median"' >>"$results"
done

# Columns: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,...
awk -F, '
  { gsub(/"/, "", $1); sub(/_median$/, "", $1); sub(/\/real_time$/, "", $1); time[$1] = $3; speed[$1] = $6
    printf "%-26s %10.2f ms  %8.1f MiB/s\n", $1, $3, $6 / 1048576 }
  END {
    if (time["BM_ZlibCrc32"] > 0)
      printf "CCRC32::Update speed / zlib crc32 speed (1 = same): %.2f\n", time["BM_ZlibCrc32"] / time["BM_CCRC32Update"]
    if (time["BM_ZlibInflateLoop"] > 0)
      printf "Archive::DecompressFile time / zlib inflate loop:   %.2f\n", time["BM_ArchiveDecompressFile"] / time["BM_ZlibInflateLoop"]
  }' "$results"
