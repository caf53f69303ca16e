#!/bin/sh
# The 32-bit setup program on 64-bit Windows: a 64-bit prefix with its 32-bit half (what
# 64-bit Windows is), the 32-bit builder and Setup.exe started in it as a deployment tool
# would, then the machine read from both registry views and both system folders.
#   - the default destination is the Program Files folder Windows gives a 32-bit program,
#     "Program Files (x86)";
#   - %SYSTEM% files land in SysWOW64, and their shared-file counts, HKLM values and the
#     Add/Remove Programs entry in the 32-bit registry view;
#   - the COM server is registered by the 32-bit regsvr32 (a 64-bit one cannot load it);
#   - Uninstall.exe /S, as the entry's QuietUninstallString gives it, takes it all away.
# usage: wow64_test.sh SOURCE_DIR BRISKLAY_EXE SETUP_EXE COM_SERVER_DLL WORKDIR
set -u
source_dir=$1
brisklay_exe=$2
setup_exe=$3
com_server=$4
work=$5
unset BRISKLAY_SETUP SOURCE_DATE_EPOCH

fail() {
  echo "FAILED: $*"
  [ -f "$work/install.log" ] && sed 's/^/  log: /' "$work/install.log"
  exit 1
}

export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || fail "64-bit Wine ($wine) is missing: install the wine64 package"

rm -rf "$work"
mkdir -p "$work/root"
if ! "$wine" wineboot -i >/dev/null 2>&1; then fail "wineboot could not make a 64-bit prefix"; fi
# The user's shell folders are links to the Linux home folder: give the prefix its own.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done

cd "$work" || exit 1
echo "a file of the product" >root/tool.dat
echo "a library for the system folder" >root/wowtool.dat
cp "$com_server" root/wowserver.dll
cat >manifest.toml <<'TOML'
[product]
name = "WoW Tool"
version = "1.0"

[[files]]
source = "tool.dat"
target = "%DIR%\\tool.dat"
start_menu = true

[[files]]
source = "wowserver.dll"
target = "%DIR%\\wowserver.dll"
register_server = true

[[files]]
source = "wowtool.dat"
target = "%SYSTEM%\\wowtool.dat"

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = "Software\\WoW Tool"
name = "Text"
type = "REG_SZ"
data = "thirty-two"

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = "Software\\WoW Tool"
name = "Number"
type = "REG_DWORD"
data = 32
TOML

"$wine" "$brisklay_exe" build manifest.toml -o Setup.exe --setup "$setup_exe" --root root >/dev/null ||
  fail "the 32-bit brisklay.exe could not build the setup"
"$wine" Setup.exe /verysilent "/log=$(winepath -w "$work/install.log" 2>/dev/null)"
code=$?
wineserver -w
[ "$code" -eq 0 ] || fail "Setup.exe /verysilent ended with $code"

c="$WINEPREFIX/drive_c"
destination="$c/Program Files (x86)/WoW Tool"
[ -f "$destination/tool.dat" ] || fail "tool.dat is not in Program Files (x86)\\WoW Tool"
[ ! -e "$c/Program Files/WoW Tool" ] || fail "the 32-bit setup used the 64-bit Program Files folder"
[ -f "$c/windows/syswow64/wowtool.dat" ] || fail "the %SYSTEM% file is not in SysWOW64"
[ ! -e "$c/windows/system32/wowtool.dat" ] || fail "the %SYSTEM% file reached the 64-bit system folder"

query() {  # VIEW KEY [VALUE]: prints the value line(s), fails when missing
  view=$1 key=$2
  shift 2
  if [ $# -gt 0 ]; then
    "$wine" reg query "$key" /v "$1" "/reg:$view" 2>/dev/null | tr -d '\r' | grep -i "$1"
  else
    "$wine" reg query "$key" "/reg:$view" >/dev/null 2>&1
  fi
}
query 32 'HKLM\Software\WoW Tool' Text | grep -q thirty-two || fail "the HKLM value is not in the 32-bit view"
query 32 'HKLM\Software\WoW Tool' Number | grep -q 0x20 || fail "the HKLM number is not in the 32-bit view"
! query 64 'HKLM\Software\WoW Tool' || fail "the HKLM values reached the 64-bit view"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\WoW Tool'
query 32 "$uninstall_key" QuietUninstallString >"$work/quiet.txt" ||
  fail "the Add/Remove Programs entry is not in the 32-bit view"
! query 64 "$uninstall_key" || fail "the Add/Remove Programs entry reached the 64-bit view"
grep -q 'Program Files (x86)\\WoW Tool\\Uninstall.exe' "$work/quiet.txt" || fail "QuietUninstallString: $(cat "$work/quiet.txt")"
# Counted under the path the 32-bit program sees, as 32-bit programs on Windows count it.
"$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /reg:32 2>/dev/null |
  grep -qi 'system32\\wowtool.dat.*0x1' || fail "the shared-file count is not in the 32-bit view"
query 64 'HKCU\Software\Brisklay Engine Test\Server' Registered | grep -q yes ||
  fail "the 32-bit regsvr32 did not register the server"
programs="$c/users/$(ls "$c/users" | grep -v -x -e Public | head -n 1)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
[ -f "$programs/WoW Tool/tool.lnk" ] || fail "the Start Menu shortcut is missing"

# Removal as a deployment tool runs it: QuietUninstallString's command.
"$wine" "C:\\Program Files (x86)\\WoW Tool\\Uninstall.exe" /S
code=$?
wineserver -w
[ "$code" -eq 0 ] || fail "Uninstall.exe /S ended with $code"
[ ! -e "$destination" ] || fail "the destination is still there after removal"
[ ! -e "$programs/WoW Tool" ] || fail "the Start Menu folder is still there after removal"
[ ! -e "$c/windows/syswow64/wowtool.dat" ] || fail "the %SYSTEM% file is still there after removal"
! query 32 'HKLM\Software\WoW Tool' || fail "the HKLM values are still there after removal"
! query 32 "$uninstall_key" || fail "the Add/Remove Programs entry is still there after removal"
! query 64 'HKCU\Software\Brisklay Engine Test\Server' Registered || fail "the server was not unregistered"
echo "PASSED: 32-bit setup on 64-bit Windows"
