#!/bin/sh
# Files in use, replaced or deleted at the next restart, and the runs that must wait. In a
# prefix of its own, whose wineserver is kept alive between the programs (Wine carries out
# the scheduled renames whenever a session starts), so that only `wineboot -r` restarts:
#   1. a setup that schedules the replacement of a held file and then fails is undone: its
#      pair leaves the restart list (another program's pair stays) and, after the restart,
#      the held file is byte for byte the one installed before;
#   2. the next version ends with 3010, its new content waiting beside the held file; while
#      that waits, a setup and the uninstaller of the product end with 1618; after the
#      restart the new content is in place;
#   3. while the wizard of the product runs, its uninstaller and a second setup end with 1618;
#   4. the uninstaller ends with 3010 with the held file scheduled for deletion, a setup
#      meanwhile with 1618, and after the restart the file is gone.
# usage: file_in_use_test.sh WINE_RUN BRISKLAY_EXE SETUP_EXE TOOL_EXE WORKDIR
set -u
wine_run=$1
brisklay_exe=$2
setup_exe=$3
tool_exe=$4
work=$5

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
export BRISKLAY_WINEPREFIX="$work/prefix"
prefix=$BRISKLAY_WINEPREFIX
run() { sh "$wine_run" "$@"; }
holder=
cleanup() {
  rm -f "$prefix/drive_c/held.marker"
  [ -n "$holder" ] && wait "$holder" 2>/dev/null
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
}
fail() {
  echo "FAILED: $*"
  cleanup
  exit 1
}
trap cleanup EXIT

# Three versions of one product. The held file comes first, so that the third version's
# failure (its second file lies under a folder that is a file) comes after the scheduling.
make_version() {  # folder version content second_target
  mkdir -p "$1/root"
  printf '%s\n' "$3" >"$1/root/held.dat"
  echo "other of $2" >"$1/root/other.txt"
  cat >"$1/manifest.toml" <<TOML
[product]
name = "Held Tool"
version = "$2"

[[files]]
source = "held.dat"
target = "%DIR%\\\\held.dat"

[[files]]
source = "other.txt"
target = "%DIR%\\\\$4"
TOML
  run "$brisklay_exe" build "$1/manifest.toml" -o "$1/Setup.exe" --setup "$setup_exe" --root "$1/root" >/dev/null ||
    fail "brisklay.exe could not build version $2"
}
make_version v1 1.0 "first content" 'other.txt'
make_version v2 2.0 "second content" 'other.txt'
make_version v3 3.0 "third content" 'blocked\\other.txt'
cp "$tool_exe" tool.exe
# From here on one session: nothing restarts unless the test says so.
WINEPREFIX=$prefix wineserver -p

folder="$prefix/drive_c/HeldTool"
# The whole exit code of a Windows command line: the shell would see 3010 as 194.
code_of() { run tool.exe exit-code "$1" 2>/dev/null | tr -d '\r'; }
setup() { code=$(code_of "v$1\\Setup.exe $2"); }
uninstall() { code=$(code_of "C:\\HeldTool\\Uninstall.exe $1"); }
hold() {
  run tool.exe hold 'C:\HeldTool\held.dat' 'C:\held.marker' &
  holder=$!
  for _ in $(seq 100); do
    [ -f "$prefix/drive_c/held.marker" ] && return 0
    sleep 0.1
  done
  fail "the held file could not be held"
}
release() {
  rm -f "$prefix/drive_c/held.marker"
  wait "$holder"
  holder=
}
restart() { run wineboot -r >/dev/null 2>&1; }
pending() { run tool.exe pending | tr -d '\r'; }
ours() { pending | grep -i 'brisklay-'; }
waiting_files() { find "$folder" -name 'held.dat.brisklay-*' 2>/dev/null; }

setup 1 '/verysilent /dir=C:\HeldTool'
[ "$code" = 0 ] || fail "version 1 ended with $code"
cp "$folder/held.dat" first.dat
echo foreign >"$prefix/drive_c/foreign.txt"
run tool.exe schedule-delete 'C:\foreign.txt' || fail "another program's deletion could not be scheduled"
foreign=$(pending)
printf "%s\n" "$foreign" | grep -qi 'foreign.txt' || fail "the restart list does not hold another program's pair: $foreign"

# 1. Scheduled, then failed: undone.
hold
echo "in the way" >"$folder/blocked"
setup 3 /verysilent
[ "$code" = 3 ] || fail "version 3 ended with $code, not 3 (failed and undone)"
[ "$(pending)" = "$foreign" ] || fail "after the undone run the restart list is not as it was: $(pending)"
[ -z "$(waiting_files)" ] || fail "the undone run left its new content: $(waiting_files)"
rm -f "$folder/blocked"
release
restart
cmp -s first.dat "$folder/held.dat" || fail "after the restart the held file is not the one installed before"

# 2. Replaced at the restart.
hold
setup 2 '/verysilent /log=C:\second.log'
[ "$code" = 3010 ] || fail "version 2 ended with $code, not 3010: $(cat "$prefix/drive_c/second.log")"
cmp -s first.dat "$folder/held.dat" || fail "the held file was written while held"
[ "$(cat "$folder/other.txt")" = "other of 2.0" ] || fail "the file not in use was not replaced at once"
waiting=$(waiting_files)
[ -n "$waiting" ] && [ "$(cat "$waiting")" = "second content" ] || fail "the new content does not wait beside the held file"
ours | grep -qi '!.*held.dat$' || fail "the restart list holds no replacement of the held file: $(pending)"
setup 2 /verysilent
[ "$code" = 1618 ] || fail "a setup while the replacement waits ended with $code, not 1618"
uninstall /S
[ "$code" = 1618 ] || fail "the uninstaller while the replacement waits ended with $code, not 1618"
[ -f "$folder/Uninstall.log" ] || fail "the uninstaller removed something while the replacement waits"
release
restart
[ "$(cat "$folder/held.dat")" = "second content" ] || fail "after the restart the held file is not replaced"
[ -z "$(waiting_files)" ] || fail "the new content is still beside the file after the restart"
[ -z "$(ours)" ] || fail "the restart list still names the product: $(pending)"

# 3. While the wizard runs.
run v2/Setup.exe >/dev/null 2>&1 &
wizard=$!
run tool.exe wait-window "Setup Held Tool" 60 || fail "the wizard did not show"
uninstall /S
[ "$code" = 1618 ] || fail "the uninstaller during a setup ended with $code, not 1618"
[ -f "$folder/Uninstall.log" ] || fail "the uninstaller removed something during a setup"
setup 2 /verysilent
[ "$code" = 1618 ] || fail "a second setup ended with $code, not 1618"
run tool.exe end-window "Setup Held Tool" || fail "the wizard could not be ended"
wait "$wizard"

# 4. Removed while held.
hold
uninstall '/S /log=C:\removal.log'
[ "$code" = 3010 ] || fail "the uninstaller ended with $code, not 3010: $(cat "$prefix/drive_c/removal.log")"
[ ! -e "$folder/other.txt" ] && [ ! -e "$folder/Uninstall.log" ] || fail "the removal left more than the held file: $(ls -A "$folder")"
ours | grep -qi 'held.dat' || fail "the restart list holds no deletion of the held file: $(pending)"
grep -q 'Deleted at the next restart: C:\\HeldTool\\held.dat' "$prefix/drive_c/removal.log" ||
  fail "the removal's log does not name the file deleted at the restart: $(cat "$prefix/drive_c/removal.log")"
setup 1 '/verysilent /dir=C:\HeldTool'
[ "$code" = 1618 ] || fail "a setup while the deletion waits ended with $code, not 1618"
release
restart
[ ! -e "$folder/held.dat" ] && [ -z "$(waiting_files)" ] || fail "after the restart the held file is still there: $(ls -A "$folder")"
echo "passed"
