#!/usr/bin/env bash
# Compression benchmark: brisklay's parallel compressor against itself on one thread and
# against makensis (Debian's nsis, SetCompressor zlib) on the same payload.
#
#   bash bench/compress/run.sh [RUNS]      (default 5 runs per measurement; the median counts)
#
# Payloads of 16 MiB and 256 MiB, cut from the files under /usr/lib and /usr/share (a mix
# of programs, libraries and text, like a real product; the same on the same machine).
# For each: wall time of `brisklay build` with -j 1 and with the default (all cores), the
# speed-up, the output size against one zlib stream at level 9 of the same data file, the
# time against makensis, and the peak resident memory of each (GNU time). The builds
# write external data files; a Setup.exe build is measured once for its memory, which
# must stay under 100 MiB whatever the payload: it is made with the Windows build's
# setup program when build/win exists, otherwise with a small test program in its place
# (the setup program's size adds to the memory, the payload must not).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
build=build/bench-release
work=${BRISKLAY_BENCH_DIR:-build/bench-compress}

command -v makensis >/dev/null || { echo "makensis is missing: scripts/install-deps.sh installs nsis" >&2; exit 1; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRISKLAY_TESTS=OFF -DBRISKLAY_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target brisklay >/dev/null
brisklay=$PWD/$build/builder/brisklay
setup_program=$PWD/build/win/setup/setup.exe
[ -f "$setup_program" ] || setup_program=$PWD/tests/pe/data/rsrc_last.exe
mkdir -p "$work"
work=$(cd "$work" && pwd)

make_payload() {  # SIZE_MIB DIR
  mkdir -p "$2"
  [ "$(stat -c %s "$2/payload.bin" 2>/dev/null || echo 0)" = $(($1 * 1048576)) ] && return
  find /usr/lib /usr/share -type f -size +8k -readable 2>/dev/null | LC_ALL=C sort | xargs cat 2>/dev/null |
    head -c $(($1 * 1048576)) >"$2/payload.bin" || true
  printf '[product]\nname = "Bench"\n[[files]]\nsource = "payload.bin"\ntarget = "%%DIR%%\\\\payload.bin"\n' \
    >"$2/manifest.toml"
  printf 'Name "Bench"\nOutFile "nsis-setup.exe"\nInstallDir "$TEMP\\Bench"\nRequestExecutionLevel user\nSetCompressor zlib\nSection\nSetOutPath $INSTDIR\nFile payload.bin\nSectionEnd\n' \
    >"$2/bench.nsi"
}

# timed LABEL COMMAND...: one run; appends "LABEL seconds peak_kib" to the results.
timed() {
  local label=$1
  shift
  /usr/bin/time -f "%e %M" -o "$work/time.out" "$@" >/dev/null 2>"$work/last.err" ||
    { cat "$work/last.err" >&2; exit 1; }
  echo "$label $(cat "$work/time.out")" >>"$work/results.txt"
}

median() {  # LABEL COLUMN
  awk -v l="$1" -v c="$2" '$1 == l { print $c }' "$work/results.txt" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The size of one zlib stream at level 9 of the very data file the builder compressed.
reference_size() {
  python3 - "$1" <<'PY'
import sys, zlib
inflater, deflater, size = zlib.decompressobj(), zlib.compressobj(9), 0
with open(sys.argv[1], "rb") as f:
    while chunk := f.read(1 << 20):
        size += len(deflater.compress(inflater.decompress(chunk)))
size += len(deflater.flush())
print(size)
PY
}

: >"$work/results.txt"
# Reading the payload moves its access time, which the setup data stores; clamped, every
# build stores the same, so the outputs of -j 1 and all cores can be compared byte for byte.
export SOURCE_DATE_EPOCH=1700000000
echo "machine: $(nproc) cores, $(uptime | sed 's/.*load average/load average/')"
echo "setup program for the Setup.exe builds: $setup_program ($(stat -c %s "$setup_program") bytes)"
for mib in 16 256; do
  dir=$work/$mib
  make_payload "$mib" "$dir"
  cd "$dir"
  for i in $(seq "$runs"); do
    timed "j1-$mib" "$brisklay" build manifest.toml -o out-j1/Setup -j 1
    timed "jN-$mib" "$brisklay" build manifest.toml -o out-jN/Setup
    timed "nsis-$mib" makensis -V1 bench.nsi
  done
  timed "exe-$mib" "$brisklay" build manifest.toml -o out-exe/Setup.exe --setup "$setup_program"
  cmp -s out-j1/Setup.exe.archive.bin out-jN/Setup.exe.archive.bin || { echo "-j changed the output" >&2; exit 1; }
  exe_peak=$(median "exe-$mib" 3)
  [ "$exe_peak" -lt $((100 * 1024)) ] || echo "Setup.exe build: peak $((exe_peak / 1024)) MiB, over 100 MiB" >&2
  archive=$(stat -c %s out-jN/Setup.exe.archive.bin)
  reference=$(reference_size out-jN/Setup.exe.archive.bin)
  nsis=$(stat -c %s nsis-setup.exe)
  cd - >/dev/null
  j1=$(median "j1-$mib" 2)
  jn=$(median "jN-$mib" 2)
  ns=$(median "nsis-$mib" 2)
  awk -v mib="$mib" -v runs="$runs" -v j1="$j1" -v jn="$jn" -v ns="$ns" -v a="$archive" -v r="$reference" \
      -v n="$nsis" -v m1="$(median "j1-$mib" 3)" -v mn="$(median "jN-$mib" 3)" -v mx="$exe_peak" \
      -v mns="$(median "nsis-$mib" 3)" 'BEGIN {
    printf "\n== %d MiB payload, median of %d runs\n", mib, runs
    printf "brisklay -j 1:        %7.2f s   peak %6.1f MiB\n", j1, m1 / 1024
    printf "brisklay (all cores): %7.2f s   peak %6.1f MiB   (Setup.exe output: peak %.1f MiB)\n", jn, mn / 1024, mx / 1024
    printf "makensis (zlib):      %7.2f s   peak %6.1f MiB\n", ns, mns / 1024
    printf "speed-up over one thread:                %.2f x\n", j1 / jn
    printf "size against one zlib stream, level 9:   %+.3f %% (%d vs %d bytes)\n", (a - r) * 100 / r, a, r
    printf "time against makensis:                   %.2f x (makensis output %d bytes)\n", jn / ns, n
  }'
done
