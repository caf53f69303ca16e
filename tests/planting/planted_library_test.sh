#!/bin/sh
# Libraries planted where the setup program and the uninstaller are started from, and
# files planted at the names the programs once used in the temporary folder, change
# nothing. Wine is told to search for libraries as Windows does (a copy beside the program
# before the system's own) for each planted library. In a prefix of its own:
#   0. controls: a program that imports the planted libraries does load them here, and a
#      library that lies only beside a program is found by name until the setup program's
#      limit is set, and not after it;
#   1. Setup.exe started from the Downloads folder, with the common controls planted
#      beside it and the version, common-controls and theme libraries in the temporary
#      folder, installs silently with /log; the names once used in the temporary folder
#      ("Uninstall.log", "Summary.tmp", "Background.bmp", "<product>.library.tmp",
#      "<product> Setup.log", "<product> Uninstall.log") are files made in advance;
#   2. the same Setup.exe again (a repair: the library goes through its set-aside copy),
#      with those names made in advance as folders;
#   3. Uninstall.exe /S /log from the installation folder, with the common controls planted
#      beside it and the names made as files again: its copy runs from a folder of its own.
# No planted library leaves its mark, every file planted at an old name keeps its bytes,
# every folder stays empty, and each run writes its log under a name nobody could guess.
#
# Wine's own user32 imports the version library and loads the theme library while a
# program starts, which Windows' does not: under Wine a copy of either beside any program
# is loaded whatever the program does. So those two are planted in the temporary folder
# (where the uninstaller's copy once ran), not beside the programs; the build's import
# check keeps the programs from importing them.
# usage: planted_library_test.sh WINE_RUN BRISKLAY_EXE SETUP_EXE PLANTED_DIR PROBE_EXE WORKDIR
set -u
wine_run=$1
brisklay_exe=$2
setup_exe=$3
planted=$4
probe_exe=$5
work=$6

fail() {
  echo "FAILED: $*"
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
export BRISKLAY_WINEPREFIX="$work/prefix"
run() { sh "$wine_run" "$@"; }

# The product: a file, and a "library" whose replacement is set aside on a second run.
mkdir -p product/root
echo "planted tool" >product/root/tool.txt
echo "not a real library" >product/root/tool.dll
cat >product/manifest.toml <<'TOML'
[product]
name = "Planted Tool"
version = "1.0"

[[files]]
source = "tool.txt"
target = "%DIR%\\tool.txt"

[[files]]
source = "tool.dll"
target = "%DIR%\\tool.dll"
TOML
run "$brisklay_exe" build product/manifest.toml -o product/Setup.exe --setup "$setup_exe" --root product/root \
  >/dev/null || fail "brisklay.exe could not build the product"

prefix=$BRISKLAY_WINEPREFIX
temp_windows=$(sed -n 's/^"TEMP"="\(.*\)"$/\1/p' "$prefix/user.reg" | head -n 1 | sed 's/\\\\/\\/g')
[ -n "$temp_windows" ] || fail "the prefix names no temporary folder"
to_unix() { printf '%s\n' "$1" | sed 's/^[Cc]:/drive_c/; s/\\/\//g'; }
temp="$prefix/$(to_unix "$temp_windows")"
profile_windows=$(dirname "$(to_unix "$temp_windows")")
downloads="$prefix/$profile_windows/Downloads"
mkdir -p "$temp" "$downloads"
destination="$prefix/drive_c/PlantedTool"

# 0. The controls.
mkdir -p control
cp "$probe_exe" control/probe.exe
cp "$planted/version.dll" "$planted/comctl32.dll" "$planted/brisklayprobe.dll" control/
BRISKLAY_DLL_OVERRIDES="version,comctl32=n,b" run control/probe.exe imports
for library in version comctl32; do
  # The mark takes the name's case from the loader.
  [ -n "$(find control -maxdepth 1 -iname "$library.dll.loaded")" ] ||
    fail "control: a program importing $library.dll did not load the copy beside it: this Wine does not search as Windows does, and the test would prove nothing"
done
rm -f control/*.loaded
output=$(BRISKLAY_DLL_OVERRIDES="version=n,b" run control/probe.exe search brisklayprobe.dll) ||
  fail "control: the setup program's limit on the library search: $output"

# The plants.
cp product/Setup.exe "$downloads/Setup.exe"
cp "$planted/comctl32.dll" "$downloads/"
cp "$planted/version.dll" "$planted/comctl32.dll" "$planted/uxtheme.dll" "$temp/"
old_names="Uninstall.log Summary.tmp Background.bmp Planted_Tool.library.tmp Planted_Tool_Setup.log Planted_Tool_Uninstall.log"
plant_names_as() {  # file | folder
  for name in $old_names; do
    path="$temp/$(echo "$name" | tr _ ' ')"
    rm -rf "$path"
    if [ "$1" = file ]; then echo planted >"$path"; else mkdir "$path"; fi
  done
}
expect_names_untouched() {  # file | folder
  for name in $old_names; do
    path="$temp/$(echo "$name" | tr _ ' ')"
    if [ "$1" = file ]; then
      [ "$(cat "$path" 2>/dev/null)" = planted ] || fail "$2: the file planted at \"$(basename "$path")\" was changed"
    else
      [ -d "$path" ] && [ -z "$(ls -A "$path")" ] || fail "$2: something was written into the folder \"$(basename "$path")\""
    fi
  done
}
export BRISKLAY_DLL_OVERRIDES="version,comctl32,uxtheme=n,b"
downloads_windows="${temp_windows%\\*}\\Downloads"

# 1. Installation.
plant_names_as file
run "$downloads_windows\\Setup.exe" /verysilent '/dir=C:\PlantedTool' /log
code=$?
[ "$code" = 0 ] || fail "installation: Setup.exe ended with $code"
[ -f "$destination/tool.txt" ] || fail "installation: tool.txt was not installed"
expect_names_untouched file installation

# 2. The same setup again, the old names made as folders.
plant_names_as folder
run "$downloads_windows\\Setup.exe" /verysilent '/dir=C:\PlantedTool' /log
code=$?
[ "$code" = 0 ] || fail "repair: Setup.exe ended with $code"
expect_names_untouched folder repair

# 3. Removal, from the installation folder.
plant_names_as file
cp "$planted/comctl32.dll" "$destination/"
run 'C:\PlantedTool\Uninstall.exe' /S /log
code=$?
WINEPREFIX=$prefix wineserver -w
# The planted library keeps the folder, which is not the product's: exit code 3 says so.
[ "$code" = 3 ] || fail "removal: Uninstall.exe /S ended with $code, not 3 (the folder kept for the planted file)"
[ "$(ls -A "$destination")" = comctl32.dll ] || fail "removal: more than the planted file is left: $(ls -A "$destination")"
expect_names_untouched file removal

marks=$(find "$prefix/drive_c" -iname '*.dll.loaded' 2>/dev/null)
[ -z "$marks" ] || fail "a planted library was loaded: $(for mark in $marks; do echo "$mark by $(cat "$mark")"; done)"
setup_logs=$(ls "$temp" | grep -c '^Planted Tool Setup [0-9a-f]\{12\}\.log$')
[ "$setup_logs" = 2 ] || fail "expected the two setup runs' logs under new names, found: $(ls "$temp")"
ls "$temp" | grep -q '^Planted Tool Uninstall [0-9a-f]\{12\}\.log$' || fail "the removal's log is missing: $(ls "$temp")"
# The runs' own folders are gone; the uninstaller copy's may wait, empty, for a restart.
for folder in "$temp"/Brisklay-*; do
  [ -e "$folder" ] || continue
  [ -d "$folder" ] && [ -z "$(ls -A "$folder")" ] || fail "a run left $(basename "$folder") in the temporary folder: $(ls -A "$folder")"
done
echo "passed"
