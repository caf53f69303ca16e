#!/bin/sh
# Rebuilds the test programs with the cross toolchain. They are committed, so that the
# native tests need no cross compiler:
#   rsrc_last.exe     resources in the last section (rewritten in place)
#   rsrc_middle.exe   resources followed by debug sections and a symbol table (a new
#                     section is appended, the symbol table moves)
#   no_resources.exe  no resource section at all
set -e
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc="i686-w64-mingw32-gcc -nostdlib -Wl,--entry=_start@0 -Wl,--disable-dynamicbase -Wl,--disable-reloc-section"
i686-w64-mingw32-windres tiny.rc -O coff -o "$work/tiny_res.o"
$cc -s -o rsrc_last.exe tiny.c "$work/tiny_res.o"
$cc -g -o rsrc_middle.exe tiny.c "$work/tiny_res.o"
$cc -s -o no_resources.exe tiny.c
