#!/usr/bin/env bash
# The race against a peer installer: a Brisklay Setup.exe, an NSIS installer and a plain
# inflate-and-write floor program install the same payload under one Wine prefix.
#
#   bash bench/race/run.sh [SIZE_MIB...]      (default: 16 256)
#
# RUNS=N sets the timed runs per side (default 5 up to 64 MiB, 3 above; the median counts);
# NSIS_SOLID=1 makes the NSIS installer with one zlib stream for all files (/SOLID).
# For each size it makes a payload folder (bench/race/make_payload.py), builds from it a
# Setup.exe (the builder `brisklay`, zlib) and an NSIS installer (makensis, SetCompressor
# zlib, not solid, as NSIS installers are by default) and the floor's zlib stream, then runs
#   Setup.exe /verysilent /dir=C:\race\out\a<n>
#   nsis-setup.exe /S /D=C:\race\out\b<n>
#   race_floor.exe floor.list floor.z C:\race\out\f<n>
# in turn, each side first in every third run, each into a fresh folder after a sync,
# as whole processes: wall time from start to exit, and the peak resident set of the
# Windows process (GNU time's maximum RSS of the Wine launcher, which becomes the Windows
# process). The first run of each side is an untimed warm-up whose output is compared
# with the payload. Results: printed, and as table rows in build/bench-race/results.md.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
sizes=${*:-16 256}
work=${BRISKLAY_RACE_DIR:-build/bench-race}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

command -v makensis >/dev/null || { echo "makensis is missing: scripts/install-deps.sh installs nsis" >&2; exit 1; }
# The Windows side is built as this machine's Wine can run it: the product's 32-bit build,
# or where the kernel runs no 32-bit programs the 64-bit build of the same sources; the
# NSIS installer is built for the same processor.
if [ "$(bash scripts/wine-arch.sh)" = i686 ]; then
  win=build/bench-race-win toolchain=cmake/toolchain-mingw-i686.cmake nsis_target=x86-unicode
else
  win=build/bench-race-win64 toolchain=cmake/toolchain-mingw-x86_64.cmake nsis_target=amd64-unicode
fi
echo "building (Release): the builder natively, setup.exe and the floor in $win"
cmake -S . -B build/bench-release -DCMAKE_BUILD_TYPE=Release -DBRISKLAY_TESTS=OFF -DBRISKLAY_SANITIZE=OFF \
  "${launcher[@]}" >/dev/null
cmake --build build/bench-release -j2 --target brisklay >/dev/null
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DBRISKLAY_BENCH=ON \
  -DBRISKLAY_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$win" -j2 --target setup race_floor >/dev/null
brisklay=$root/build/bench-release/builder/brisklay
wine_run=$root/$win/wine-run.sh
prefix=$root/$win/wineprefix

mkdir -p "$work"
work=$(cd "$work" && pwd)
"$wine_run" cmd /c exit >/dev/null 2>&1   # makes the prefix on first use
# Everything a side reads or writes lives on C:, in the one prefix all sides share.
race=$prefix/drive_c/race
mkdir -p "$race/out"
export WINEPREFIX=$prefix
# A wineserver that outlives each run, so that no side pays for starting it (in place of
# one that the prefix's first use or an earlier run left behind).
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

nsis_script() {  # DIR SOLID(0|1)
  local compressor=zlib
  [ "$2" = 1 ] && compressor="/SOLID zlib"
  # What a Brisklay setup also does at its end: an uninstaller, its Start Menu shortcut
  # and an Add/Remove Programs entry.
  cat >"$1/race.nsi" <<NSI
Target $nsis_target
Name "Race"
OutFile "nsis-setup.exe"
InstallDir "C:\\race\\out\\nsis-default"
RequestExecutionLevel user
SetCompressor $compressor
Section
  SetOutPath "\$INSTDIR"
  File /r "payload\\*.*"
  WriteUninstaller "\$INSTDIR\\Uninstall.exe"
  CreateDirectory "\$SMPROGRAMS\\Race"
  CreateShortcut "\$SMPROGRAMS\\Race\\Uninstall.lnk" "\$INSTDIR\\Uninstall.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Race" "DisplayName" "Race"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Race" "UninstallString" '"\$INSTDIR\\Uninstall.exe"'
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR"
SectionEnd
NSI
}

make_inputs() {  # SIZE_MIB DIR
  local stamp
  stamp="$1 MiB, $(md5sum <bench/race/make_payload.py | cut -c1-8)"
  if [ "$(cat "$2/.made" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$2"
    mkdir -p "$2"
    echo "making the $1 MiB payload"
    # The status is the payload maker's: the byte source stops early on purpose.
    (set +o pipefail
     find /usr/lib /usr/share -type f -size +8k -readable 2>/dev/null | LC_ALL=C sort | xargs cat 2>/dev/null |
       python3 bench/race/make_payload.py "$1" "$2")
    echo "$stamp" >"$2/.made"
  fi
  (cd "$2" && SOURCE_DATE_EPOCH=1700000000 "$brisklay" build manifest.toml -o Setup.exe \
      --setup "$root/$win/setup/setup.exe" >/dev/null)
  # makensis takes about as long as the whole race of its size: only for a new script.
  cp "$2/race.nsi" "$2/race.nsi.old" 2>/dev/null || true
  nsis_script "$2" "${NSIS_SOLID:-0}"
  if ! cmp -s "$2/race.nsi" "$2/race.nsi.old" || [ ! -f "$2/nsis-setup.exe" ]; then
    (cd "$2" && makensis -V1 race.nsi)
  fi
  cp "$root/$win/bench/race/race_floor.exe" "$2/"
}

# The command line of SIDE for run N of a size whose inputs are in C:\race\<size>.
side_command() {  # SIDE SIZE N
  local inputs="C:\\race\\$2"
  case $1 in
    brisklay) printf '%s\n' "$inputs\\Setup.exe /verysilent /dir=C:\\race\\out\\a$3" ;;
    nsis) printf '%s\n' "$inputs\\nsis-setup.exe /S /D=C:\\race\\out\\b$3" ;;
    floor) printf '%s\n' "$inputs\\race_floor.exe $inputs\\floor.list $inputs\\floor.z C:\\race\\out\\f$3" ;;
  esac
}
out_folder() {  # SIDE N
  case $1 in brisklay) printf '%s\n' "$race/out/a$2" ;; nsis) printf '%s\n' "$race/out/b$2" ;; floor) printf '%s\n' "$race/out/f$2" ;; esac
}

# One whole process; appends "SIDE SIZE milliseconds peak_kib" to $results. A side that
# waits for a person (a question in a silent run) is stopped after 15 minutes.
results=$work/results.txt
timed_run() {  # SIDE SIZE N
  local begin end code=0
  sync
  begin=$(date +%s%N)
  # shellcheck disable=SC2046  # the command line splits at its blanks, as Windows' would
  /usr/bin/time -f "%M" -o "$work/time.out" timeout 900 "$wine_run" $(side_command "$@") >"$work/last.out" 2>&1 ||
    code=$?
  end=$(date +%s%N)
  if [ "$code" != 0 ]; then
    echo "$1 run $3 ($2 MiB) ended with exit code $code:" >&2
    cat "$work/last.out" >&2
    exit 1
  fi
  echo "$1 $2 $(((end - begin) / 1000000)) $(tail -1 "$work/time.out")" >>"$results"
}

# The warm-up: each side once, untimed, its output compared with the payload.
warm_up() {  # SIZE
  local results=$work/warm-up.txt
  for side in brisklay nsis floor; do
    timed_run "$side" "$1" 0
    local out
    out=$(out_folder "$side" 0)
    diff -r -x Uninstall.exe -x Uninstall.log "$race/$1/payload" "$out" >/dev/null ||
      { echo "$side did not install the $1 MiB payload as it is" >&2; exit 1; }
  done
}

median() {  # SIDE SIZE COLUMN
  awk -v s="$1" -v m="$2" -v c="$3" '$1 == s && $2 == m { print $c }' "$work/results.txt" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

: >"$work/results.txt"
: >"$work/warm-up.txt"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $("$wine_run" --version)"
echo "load before: $(uptime | sed 's/.*load average/load average/')"
{
  echo "| payload | Brisklay s | NSIS s | floor s | Brisklay/NSIS | Brisklay/floor | peak MiB Brisklay / NSIS / floor | runs |"
  echo "|---|---|---|---|---|---|---|---|"
} >"$work/results.md"
for mib in $sizes; do
  make_inputs "$mib" "$race/$mib"
  runs=${RUNS:-$([ "$mib" -le 64 ] && echo 5 || echo 3)}
  rm -rf "$race/out" && mkdir -p "$race/out"
  warm_up "$mib"
  sides=(brisklay nsis floor)
  for n in $(seq "$runs"); do
    rm -rf "$race/out" && mkdir -p "$race/out"
    for k in 0 1 2; do
      timed_run "${sides[$(((n + k) % 3))]}" "$mib" "$n"
    done
  done
  rm -rf "$race/out"
  b=$(median brisklay "$mib" 3) ns=$(median nsis "$mib" 3) f=$(median floor "$mib" 3)
  bp=$(median brisklay "$mib" 4) np=$(median nsis "$mib" 4) fp=$(median floor "$mib" 4)
  awk -v mib="$mib" -v runs="$runs" -v b="$b" -v n="$ns" -v f="$f" -v bp="$bp" -v np="$np" -v fp="$fp" \
      -v md="$work/results.md" 'BEGIN {
    printf "\n== %d MiB payload, median of %d runs (wall time of the whole process; peak resident set)\n", mib, runs
    printf "Brisklay Setup.exe /verysilent: %7.2f s   peak %6.1f MiB\n", b / 1000, bp / 1024
    printf "NSIS installer /S:              %7.2f s   peak %6.1f MiB\n", n / 1000, np / 1024
    printf "floor (inflate and write):      %7.2f s   peak %6.1f MiB\n", f / 1000, fp / 1024
    printf "Brisklay/NSIS:  %.2f x\nBrisklay/floor: %.2f x\n", b / n, b / f
    printf "| %d MiB | %.2f | %.2f | %.2f | %.2f x | %.2f x | %.1f / %.1f / %.1f | %d |\n", mib, b / 1000, n / 1000,
      f / 1000, b / n, b / f, bp / 1024, np / 1024, fp / 1024, runs >>md
  }'
done
echo "load after: $(uptime | sed 's/.*load average/load average/')"
echo "table rows: $work/results.md"
