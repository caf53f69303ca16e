#!/bin/sh
# Builds the example product several times and compares the output bytes:
# - the same sources, into different output folders, at different times, under different
#   umasks: the same bytes;
# - two copies of the sources, made at different times in different orders and with
#   different time stamps, built with SOURCE_DATE_EPOCH set (by FIRST and by SECOND, which
#   may be the Windows brisklay.exe under Wine): the same bytes, every time clamped.
# usage: reproducible_test.sh WORKDIR DEMO_SOURCE SETUP_PROGRAM FIRST [SECOND]
#   FIRST and SECOND are commands that run brisklay (SECOND defaults to FIRST).
set -u
work=$1
demo=$2
setup_program=$3
first=$4
second=${5:-$4}
unset BRISKLAY_SETUP SOURCE_DATE_EPOCH
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# make_tree DIR ORDER WRITE_TIME: the demo's sources, copied file by file in ORDER
# (forward or reverse). Access times lie after write times, so reading does not move them.
make_tree() {
  dir=$1
  mkdir -p "$dir/docs"
  files="manifest.toml information.txt license.txt background.bmp docs/Changes.txt docs/Readme.txt"
  [ "$2" = reverse ] && files="docs/Readme.txt docs/Changes.txt background.bmp license.txt information.txt manifest.toml"
  for f in $files; do cp "$demo/$f" "$dir/$f"; done
  cp "$setup_program" "$dir/BrisklayDemo.exe"
  cp "$setup_program" "$dir/program.exe"
  for f in $files BrisklayDemo.exe docs .; do
    touch -m -d "$3" "$dir/$f" && touch -a -d "$3 + 1 year" "$dir/$f"
  done
}

# build BRISKLAY TREE OUT: both output forms of one build, from inside the tree.
build() {
  (cd "$2" && $1 build manifest.toml -o "$3/Setup.exe" --setup program.exe >/dev/null &&
    $1 build manifest.toml -o "$3/Setup" >/dev/null) || fail "build in $2 into $3 failed"
}

hashes() {
  (cd "$1" && sha256sum Setup.exe Setup.exe.sum.bin Setup.exe.archive.bin Setup.exe.info.txt Setup.exe.eula.txt Setup.exe.img.bmp)
}

rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

make_tree "$work/one" forward "2034-03-01 12:00:00"
(umask 022 && build "$first" "$work/one" out)
sleep 1
(umask 077 && build "$first" "$work/one" "$work/elsewhere/deeper/out")
[ "$(hashes "$work/one/out")" = "$(hashes "$work/elsewhere/deeper/out")" ] ||
  fail "the output folder, time or umask changed the bytes"

make_tree "$work/two" reverse "2035-07-01 08:00:00"
export SOURCE_DATE_EPOCH=1700000000
build "$first" "$work/one" epoch-out
sleep 1
build "$second" "$work/two" epoch-out
[ "$(hashes "$work/one/epoch-out")" = "$(hashes "$work/two/epoch-out")" ] ||
  fail "with SOURCE_DATE_EPOCH, copies made at other times and in another order differ"
[ "$(hashes "$work/one/epoch-out")" != "$(hashes "$work/one/out")" ] ||
  fail "SOURCE_DATE_EPOCH did not change the stored times"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all reproducible-build checks passed"
