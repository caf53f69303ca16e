#!/usr/bin/env bash
# The emulated 32-bit lane: runs the setup program as people get it, the 32-bit (i686)
# build, on a machine whose kernel runs no 32-bit programs and so no 32-bit Wine. There the
# rest of the Windows suite runs on the 64-bit build of the same sources; this lane starts
# the shipped programs themselves, under 32-bit Wine emulated by qemu-user, in a 64-bit
# prefix with its 32-bit half, which is what 64-bit Windows is. The checkers are 64-bit
# programs (Wine's reg.exe, the 64-bit end-to-end tests) reading the 32-bit view.
#
# In one prefix (whose making starts 2 programs of Wine's own), one program start after
# another, 12 in all (counted from qemu's per-process logs, QEMU_LOG=strace
# QEMU_LOG_FILENAME=DIR/q-%d.log):
#   1. the emulator check: every thread needs a signal stack of its own (1 start);
#   2. tests/wow64/wow64_test.sh: brisklay.exe writing the native builder's bytes, a silent
#      installation of a product with every kind of entry (with its regsvr32; a planted
#      common-controls library beside that Setup.exe is not loaded), an upgrade,
#      a version that fails and is undone, and Uninstall.exe /S (with its temporary copy
#      and regsvr32 /u) (8 starts);
#   3. the 64-bit end-to-end test that walks the wizard of the 32-bit Setup.exe, installs
#      the example, starts it from the finish page and removes it through the Add/Remove
#      Programs command line (3 starts).
#
# Needs build/native (brisklay), build/win (the i686 programs) and build/win64 (its tests),
# as scripts/test.sh leaves them. Never skips: where the emulation cannot be had, it fails
# and names what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fail() {
  echo "emulated 32-bit lane: FAILED: $*" >&2
  exit 1
}

qemu=${BRISKLAY_QEMU:-/usr/bin/qemu-i386-static}  # another qemu-i386 may be named for a comparison
[ -x "$qemu" ] || fail "$qemu is missing: scripts/install-deps.sh installs qemu-user-static"
for needed in build/native/builder/brisklay build/win/setup/setup.exe build/win/builder/brisklay.exe \
  build/win/tests/wow64/signal_stack_check.exe build/win/tests/wow64/wow64_com_server.dll \
  build/win/tests/planting/planted/comctl32.dll \
  build/win64/tests/e2e/installation_e2e_test.exe build/win64/wine-run.sh; do
  [ -e "$needed" ] || fail "$needed is missing: build as scripts/test.sh does"
done

work=$root/build/win/emulated-lane
rm -rf "$work"
mkdir -p "$work"

if [ "${1:-}" != --inside ]; then
  # A private user and mount namespace with its own binfmt_misc: 32-bit x86 programs go to
  # qemu in here and nowhere else on the machine.
  started=$(date +%s)
  unshare -Urm --propagation private bash -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || exit 90
    printf "%s" ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F" \
      >/proc/sys/fs/binfmt_misc/register || exit 91
    exec xvfb-run -a "$0" --inside' "$0" || {
    code=$?
    [ "$code" -eq 90 ] && fail "no binfmt_misc of its own in a user namespace (Linux 6.7 or later, and unshare, are needed)"
    [ "$code" -eq 91 ] && fail "could not hand 32-bit programs to $qemu in the namespace"
    exit "$code"
  }
  echo "emulated 32-bit lane: passed in $(($(date +%s) - started)) s"
  exit 0
fi

# One 64-bit prefix for the whole story, made and prepared (own shell folders, fonts) as the
# 64-bit test build makes its own.
prefix=$work/prefix
export BRISKLAY_WINEPREFIX=$prefix
wine=/usr/lib/wine/wine64

step() { echo "== emulated 32-bit lane: $*"; }

step "1. the emulator gives each thread its own signal stack"
output=$(timeout 300 build/win64/wine-run.sh build/win/tests/wow64/signal_stack_check.exe 2>&1) || true
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
[ -f "$prefix/.brisklay-ready" ] || fail "build/win64/wine-run.sh could not make a 64-bit prefix"
echo "$output" | grep -q "signal stacks: per thread" ||
  fail "the emulator check did not pass (${output:-no answer in time}): 32-bit Wine cannot run threads under $("$qemu" --version | head -n 1); Debian 12's qemu-user 7.2 cannot, bookworm-backports' 10.0 can (scripts/install-deps.sh installs it)"

step "2. silent installation, upgrade, failed version undone, quiet removal"
WINE=$wine WOW64_PREFIX=$prefix sh tests/wow64/wow64_test.sh "$root/build/win/builder/brisklay.exe" "$root/build/win/setup/setup.exe" \
  "$root/build/win/tests/wow64/wow64_com_server.dll" "$work/wow64" "$root/build/native/builder/brisklay" \
  "$root/build/win/tests/planting/planted/comctl32.dll" ||
  fail "the 32-bit story (tests/wow64/wow64_test.sh)"

step "3. the wizard to the finish page, and removal from the Add/Remove Programs command line"
BRISKLAY_E2E_SETUP_EXE=$root/build/win/setup/setup.exe \
  build/win64/wine-run.sh build/win64/tests/e2e/installation_e2e_test.exe \
  --gtest_filter='BothDataModes/CompleteInstallationTest.InstallsEveryItemAndStartsTheProgramFromTheFinishPage/OneSetupExe' ||
  fail "the wizard installation of the 32-bit Setup.exe (installation_e2e_test)"
