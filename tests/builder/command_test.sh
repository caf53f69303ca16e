#!/bin/sh
# Runs the brisklay command as a user would: a build, dumps of its output, and failures
# that must end with a non-zero exit, a message on stderr and no output files.
# usage: command_test.sh BRISKLAY WORKDIR SETUP_PROGRAM
set -u
brisklay=$1
work=$2
setup_program=$3
unset BRISKLAY_SETUP
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work/product/docs" "$work/out"
cd "$work" || exit 1
printf 'MZ program' > product/app.exe
printf 'read me\n' > product/docs/readme.txt
cat > manifest.toml <<'TOML'
[product]
name = "Command Test"
[[files]]
source = "product"
target = "%DIR%"
[[files]]
source = "product/app.exe"
target = "%SYSTEM%\\app.exe"
run_at_finish = true
TOML

# A build whose stderr is not a terminal prints no progress.
"$brisklay" build manifest.toml -o out/Setup >build.out 2>build.err || fail "build exited $?"
[ -s build.err ] && fail "build wrote to stderr: $(cat build.err)"
grep -q "5 files and folders" build.out || fail "build summary line: $(cat build.out)"
[ -f out/Setup.exe.sum.bin ] && [ -f out/Setup.exe.archive.bin ] || fail "outputs missing"

"$brisklay" dump out/Setup.exe.sum.bin >sum.json || fail "dump of the summary exited $?"
grep -q '"product_name": "Command Test"' sum.json || fail "summary dump lacks the product name"
"$brisklay" dump out/Setup.exe.archive.bin >data.json || fail "dump of the archive exited $?"
grep -q '"file_count": 5' data.json || fail "archive dump lacks the file count"
grep -q '"run_at_finish": true' data.json || fail "archive dump lacks the run flag"

# Failures: each must exit non-zero, say why on stderr and leave nothing behind.
expect_failure() {
  description=$1
  expected=$2
  shift 2
  rm -rf out && mkdir out
  if "$brisklay" "$@" >fail.out 2>fail.err; then
    fail "$description: exited 0"
  fi
  grep -qF -- "$expected" fail.err || fail "$description: stderr lacks '$expected': $(cat fail.err)"
  [ -z "$(ls out)" ] || fail "$description: left $(ls out)"
}

printf '[product]\nname = "Bad:Name"\n' > bad.toml
expect_failure "bad product name" 'bad.toml: product: name "Bad:Name"' build bad.toml -o out/Setup
printf '[product]\nname = "P"\n[[files]]\nsource = "gone"\ntarget = "%%DIR%%"\n' > gone.toml
expect_failure "missing source" 'files[0] (source "gone")' build gone.toml -o out/Setup
expect_failure "missing manifest" "nothere.toml" build nothere.toml -o out/Setup
expect_failure "no output" "usage" build manifest.toml
expect_failure "unknown command" "unknown command" frobnicate

"$brisklay" build manifest.toml -o out/Setup >/dev/null 2>&1
head -c 40 out/Setup.exe.archive.bin > cut.archive.bin
expect_failure "truncated archive" "cannot be inflated" dump cut.archive.bin
printf 'junk' > strange.bin
expect_failure "unknown kind" "--as" dump strange.bin
expect_failure "raw data that is not" "damaged" dump strange.bin --as data

# One Setup.exe: the setup program from --setup, from BRISKLAY_SETUP, or beside brisklay.
rm -rf out && mkdir out
"$brisklay" build manifest.toml -o out/Setup.exe --setup "$setup_program" >build.out 2>build.err ||
  fail "Setup.exe build exited $?: $(cat build.err)"
grep -q "built out/Setup.exe: 5 files and folders" build.out || fail "Setup.exe summary line: $(cat build.out)"
[ "$(ls out)" = "Setup.exe" ] || fail "Setup.exe build left: $(ls out)"
BRISKLAY_SETUP="$setup_program" "$brisklay" build manifest.toml -o out/FromEnvironment.exe >/dev/null 2>&1 ||
  fail "build with BRISKLAY_SETUP failed"
mkdir -p beside && cp "$brisklay" beside/brisklay && cp "$setup_program" beside/setup.exe
beside/brisklay build manifest.toml -o out/Beside.exe >/dev/null 2>&1 || fail "build with setup.exe beside brisklay failed"
expect_failure "no setup program" "--setup PATH" build manifest.toml -o out/Setup.exe
expect_failure "setup program not a program" "not a Windows program" build manifest.toml -o out/Setup.exe --setup manifest.toml
expect_failure "thread count of 0" "-j takes a number of threads" build manifest.toml -o out/Setup -j 0
expect_failure "thread count not a number" "-j takes a number of threads" build manifest.toml -o out/Setup -j x
SOURCE_DATE_EPOCH=yesterday expect_failure "SOURCE_DATE_EPOCH not a number" "SOURCE_DATE_EPOCH must be a number" build manifest.toml -o out/Setup

# What users expect of --help and --version: on stdout, exit 0; no command at all is a
# usage error.
"$brisklay" --version >version.out 2>&1 || fail "--version exited $?"
grep -Eq '^brisklay [0-9]+\.[0-9]+' version.out || fail "--version printed: $(cat version.out)"
check_help() {
  expected=$1
  shift
  "$brisklay" "$@" >help.out 2>help.err || fail "$* exited $?"
  [ -s help.err ] && fail "$* wrote to stderr: $(cat help.err)"
  for text in usage: "exit status" "$expected"; do
    grep -qF -- "$text" help.out || fail "$* lacks '$text': $(cat help.out)"
  done
}
check_help "dump" --help
check_help "--root DIR" build --help
check_help "--as KIND" dump -h
"$brisklay" >/dev/null 2>&1
[ $? -eq 2 ] || fail "brisklay without a command did not exit 2"

# Names in messages reach a UTF-8 terminal as UTF-8, not as the Windows-1252 bytes the
# setup stores.
cat > twice.toml <<'TOML'
[product]
name = "P"
[[files]]
source = "product/app.exe"
target = "%DIR%\\Šx.exe"
[[files]]
source = "product/docs/readme.txt"
target = "%DIR%\\šx.exe"
TOML
expect_failure "same target in other case" 'same place as files[0] (source "product/app.exe") (%DIR%\šx.exe)' \
  build twice.toml -o out/Setup
iconv -f UTF-8 -t UTF-8 fail.err >/dev/null 2>&1 || fail "the message is not UTF-8: $(od -c fail.err | head -5)"

# Ctrl+C or SIGTERM in the middle of a build: the temporary files and the folder the build
# made go, and the signal ends the command as usual. A payload that takes a while to
# compress gives the signal time to arrive.
mkdir -p big
head -c 48000000 /dev/urandom > big/noise.bin
printf '[product]\nname = "P"\n[[files]]\nsource = "big"\ntarget = "%%DIR%%"\n' > big.toml
for signal in INT TERM; do
  rm -rf out && mkdir out
  # A shell starts background jobs with SIGINT ignored; a terminal's Ctrl+C is not.
  env --default-signal=INT "$brisklay" build big.toml -o out/new/Setup >/dev/null 2>&1 &
  build=$!
  waited=0
  until ls out/new 2>/dev/null | grep -q tmp || [ $waited -ge 200 ]; do
    sleep 0.05
    waited=$((waited + 1))
  done
  kill -s $signal $build
  wait $build
  status=$?
  [ $status -gt 128 ] || fail "SIG$signal: the build exited $status"
  [ -z "$(ls out)" ] || fail "SIG$signal: left $(ls -R out)"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "brisklay command checks passed"
