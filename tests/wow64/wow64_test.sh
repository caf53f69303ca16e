#!/bin/sh
# The 32-bit setup program on 64-bit Windows: a 64-bit prefix with its 32-bit half (what
# 64-bit Windows is), the 32-bit builder, Setup.exe and Uninstall.exe started in it as
# deployment tools start them, and the machine read from both registry views and both
# system folders after each run:
#   1. a silent installation of a product with every kind of entry: files, a folder, a COM
#      server, Start Menu, Desktop and Startup shortcuts, registry values of all four
#      types, a file for the system folder. The default destination is the Program Files
#      folder Windows gives a 32-bit program, "Program Files (x86)"; %SYSTEM% files land in
#      SysWOW64; HKLM values, shared-file counts and the Add/Remove Programs entry in the
#      32-bit registry view; the server is registered by the 32-bit regsvr32;
#   2. an upgrade to a second version, which no longer lists the server (it is kept);
#   3. a third version that fails halfway and is undone: the second stays as it was;
#   4. Uninstall.exe /S, as the entry's QuietUninstallString gives it: nothing is left.
# Where NATIVE_BRISKLAY is given, the native builder must write the same bytes as the
# 32-bit brisklay.exe. Where PLANTED_COMCTL32 is given (a common-controls library that marks
# its loading), the first Setup.exe runs with it beside it, Wine told to prefer it as
# Windows would, and must not load it.
# usage: wow64_test.sh BRISKLAY_EXE SETUP_EXE COM_SERVER_DLL WORKDIR [NATIVE_BRISKLAY [PLANTED_COMCTL32]]
# WINE names the 64-bit Wine loader to use (default /usr/lib/wine/wine64); WOW64_PREFIX a
# 64-bit prefix to use instead of a new one of its own.
set -u
brisklay_exe=$1
setup_exe=$2
com_server=$3
work=$4
native_brisklay=${5:-}
planted_comctl32=${6:-}
unset BRISKLAY_SETUP
# The times Linux and Windows report for a file differ (Linux keeps no creation time):
# builds compared byte for byte take every time from this instead.
export SOURCE_DATE_EPOCH=1700000000

fail() {
  echo "FAILED: $*"
  [ -f "$work/install.log" ] && sed 's/^/  log: /' "$work/install.log"
  exit 1
}

export WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=${WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || fail "64-bit Wine ($wine) is missing: install the wine64 package"

rm -rf "$work"
mkdir -p "$work"
if [ -n "${WOW64_PREFIX:-}" ]; then
  # A 64-bit prefix made beforehand (the emulated lane's one prefix).
  export WINEPREFIX=$WOW64_PREFIX
else
  export WINEPREFIX="$work/prefix"
  if ! "$wine" wineboot -i >/dev/null 2>&1; then fail "wineboot could not make a 64-bit prefix"; fi
  # The user's shell folders are links to the Linux home folder: give the prefix its own.
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
fi
c="$WINEPREFIX/drive_c"
profile=$(ls -d "$c"/users/* | grep -v '/Public$' | head -n 1)
programs="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
destination="$c/Program Files (x86)/WoW Tool"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\WoW Tool'
cd "$work" || exit 1

# VERSION TOOL_TEXT [EXTRA_TOML]: a product folder and manifest in v$VERSION/.
make_product() {
  mkdir -p "v$1/root/docs"
  echo "$2" >"v$1/root/tool.dat"
  echo "a library for the system folder" >"v$1/root/wowtool.dat"
  echo "read me" >"v$1/root/docs/readme.txt"
  cp "$com_server" "v$1/root/wowserver.dll"
  # Only the first version registers the server: the upgrades keep it for the uninstaller,
  # and each regsvr32 is one more program start in the emulated lane.
  server=""
  [ "$1" = 1 ] && server='[[files]]
source = "wowserver.dll"
target = "%DIR%\\wowserver.dll"
register_server = true
'
  cat >"v$1/manifest.toml" <<TOML
[product]
name = "WoW Tool"
version = "$1.0"

[[files]]
source = "tool.dat"
target = "%DIR%\\\\tool.dat"
start_menu = true
desktop = true
startup = true

[[files]]
source = "docs"
target = "%DIR%\\\\Docs"

$server
[[files]]
source = "wowtool.dat"
target = "%SYSTEM%\\\\wowtool.dat"

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = "Software\\\\WoW Tool"
name = "Text"
type = "REG_SZ"
data = "thirty-two"

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = "Software\\\\WoW Tool"
name = "Path"
type = "REG_EXPAND_SZ"
data = "%ProgramFiles%\\\\WoW Tool"

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = "Software\\\\WoW Tool"
name = "Number"
type = "REG_DWORD"
data = $1

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = "Software\\\\WoW Tool"
name = "Marker"
type = "REG_NONE"
data = "none"
${3:-}
TOML
  # The 32-bit builder makes the first version; the native one, where given, the others.
  if [ "$1" = 1 ] || [ -z "$native_brisklay" ]; then
    "$wine" "$brisklay_exe" build "v$1/manifest.toml" -o "v$1/Setup.exe" --setup "$setup_exe" --root "v$1/root" \
      >/dev/null || fail "the 32-bit brisklay.exe could not build version $1"
  else
    "$native_brisklay" build "v$1/manifest.toml" -o "v$1/Setup.exe" --setup "$setup_exe" --root "v$1/root" \
      >/dev/null || fail "the native brisklay could not build version $1"
  fi
}

# VERSION [DLL_OVERRIDES]: runs that version's Setup.exe silently; prints its exit code.
run_setup() {
  rm -f "$work/install.log"
  # Wine's Z: is the Linux root (winepath would be one more program start).
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES${2:+;$2}" \
    "$wine" "v$1/Setup.exe" /verysilent "/log=Z:$(echo "$work/install.log" | tr / '\\')"
  code=$?
  wineserver -w
  echo "$code"
}

# VIEW KEY [VALUE]: the value's line (or nothing: fails) in that registry view.
query() {
  view=$1 key=$2
  shift 2
  if [ $# -gt 0 ]; then
    "$wine" reg query "$key" /v "$1" "/reg:$view" 2>/dev/null | tr -d '\r' | grep -i " $1 "
  else
    "$wine" reg query "$key" "/reg:$view" >/dev/null 2>&1
  fi
}

expect_installed() {  # VERSION TOOL_TEXT
  [ "$(cat "$destination/tool.dat" 2>/dev/null)" = "$2" ] || fail "v$1: tool.dat is not in Program Files (x86)\\WoW Tool as version $1 has it"
  [ -f "$destination/Docs/readme.txt" ] || fail "v$1: the folder entry is missing"
  [ ! -e "$c/Program Files/WoW Tool" ] || fail "v$1: the 32-bit setup used the 64-bit Program Files folder"
  [ -f "$c/windows/syswow64/wowtool.dat" ] || fail "v$1: the %SYSTEM% file is not in SysWOW64"
  [ ! -e "$c/windows/system32/wowtool.dat" ] || fail "v$1: the %SYSTEM% file reached the 64-bit system folder"
  query 32 'HKLM\Software\WoW Tool' Text | grep -q 'REG_SZ *thirty-two' || fail "v$1: REG_SZ is not in the 32-bit view"
  query 32 'HKLM\Software\WoW Tool' Path | grep -q 'REG_EXPAND_SZ *%ProgramFiles%' || fail "v$1: REG_EXPAND_SZ is not in the 32-bit view"
  query 32 'HKLM\Software\WoW Tool' Number | grep -q "REG_DWORD *0x$1" || fail "v$1: REG_DWORD is not version $1's in the 32-bit view"
  query 32 'HKLM\Software\WoW Tool' Marker | grep -q 'REG_NONE' || fail "v$1: REG_NONE is not in the 32-bit view"
  ! query 64 'HKLM\Software\WoW Tool' || fail "v$1: the HKLM values reached the 64-bit view"
  query 32 "$uninstall_key" DisplayVersion | grep -q "$1\.0" || fail "v$1: the Add/Remove Programs entry does not name version $1 in the 32-bit view"
  ! query 64 "$uninstall_key" || fail "v$1: the Add/Remove Programs entry reached the 64-bit view"
  query 32 "$uninstall_key" QuietUninstallString | grep -q 'Program Files (x86)\\WoW Tool\\Uninstall.exe" /S' ||
    fail "v$1: QuietUninstallString: $(query 32 "$uninstall_key" QuietUninstallString)"
  # Counted under the path the 32-bit program sees, as 32-bit programs on Windows count it.
  "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /reg:32 2>/dev/null |
    grep -qi 'system32\\wowtool.dat *REG_DWORD *0x1' || fail "v$1: the shared-file count is not 1 in the 32-bit view"
  query 64 'HKCU\Software\Brisklay Engine Test\Server' Registered | grep -q yes ||
    fail "v$1: the 32-bit regsvr32 did not register the server"
  [ -f "$programs/WoW Tool/tool.lnk" ] || fail "v$1: the Start Menu shortcut is missing"
  [ -f "$profile/Desktop/tool.lnk" ] || fail "v$1: the Desktop shortcut is missing"
  ls "$programs"/*/tool.lnk 2>/dev/null | grep -qi '/startup/tool.lnk' || fail "v$1: the Startup shortcut is missing"
}

# 1. Every kind of entry, into the default destination.
make_product 1 "version one"
if [ -n "$native_brisklay" ]; then
  # The same output name: the setup data keeps it.
  "$native_brisklay" build v1/manifest.toml -o native/Setup.exe --setup "$setup_exe" --root v1/root >/dev/null ||
    fail "the native brisklay failed"
  cmp -s native/Setup.exe v1/Setup.exe || fail "brisklay.exe and the native brisklay wrote different bytes"
fi
if [ -n "$planted_comctl32" ]; then
  cp "$planted_comctl32" v1/comctl32.dll
  code=$(run_setup 1 comctl32=n,b)
  [ -z "$(find v1 -iname '*.loaded')" ] || fail "version 1: Setup.exe loaded the common controls planted beside it"
else
  code=$(run_setup 1)
fi
[ "$code" = 0 ] || fail "version 1: Setup.exe /verysilent ended with $code"
expect_installed 1 "version one"

# 2. The upgrade.
make_product 2 "version two"
code=$(run_setup 2)
[ "$code" = 0 ] || fail "version 2: Setup.exe /verysilent ended with $code"
expect_installed 2 "version two"

# 3. A version that replaces tool.dat, then meets a file where it needs a folder.
make_product 3 "version three" '
[[files]]
source = "tool.dat"
target = "%DIR%\\blocked\\tool.dat"'
echo "in the way" >"$destination/blocked"
code=$(run_setup 3)
[ "$code" = 3 ] || fail "version 3: Setup.exe /verysilent ended with $code, not 3 (failed and undone)"
rm -f "$destination/blocked"
expect_installed 2 "version two"

# 4. Removal as a deployment tool runs it.
"$wine" "C:\\Program Files (x86)\\WoW Tool\\Uninstall.exe" /S
code=$?
wineserver -w
[ "$code" -eq 0 ] || fail "Uninstall.exe /S ended with $code"
[ ! -e "$destination" ] || fail "the destination is still there after removal: $(ls -R "$destination")"
[ ! -e "$programs/WoW Tool" ] || fail "the Start Menu folder is still there after removal"
[ ! -e "$profile/Desktop/tool.lnk" ] || fail "the Desktop shortcut is still there after removal"
! ls "$programs"/*/tool.lnk >/dev/null 2>&1 || fail "the Startup shortcut is still there after removal"
[ ! -e "$c/windows/syswow64/wowtool.dat" ] || fail "the %SYSTEM% file is still there after removal"
! query 32 'HKLM\Software\WoW Tool' || fail "the HKLM values are still there after removal"
! query 32 "$uninstall_key" || fail "the Add/Remove Programs entry is still there after removal"
! "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /reg:32 2>/dev/null | grep -qi wowtool ||
  fail "the shared-file count is still there after removal"
! query 64 'HKCU\Software\Brisklay Engine Test\Server' Registered || fail "the server was not unregistered"
echo "PASSED: the 32-bit setup on 64-bit Windows"
