#pragma once
// The setup program and the uninstaller run with administrator rights from wherever they
// were started: a Downloads folder, or the temporary folder for the uninstaller's copy.
// Windows would look for a library first in the program's own folder, and a library
// planted there would run with those rights. The programs therefore import only libraries
// Windows always takes from the system folder, and load every other one from there alone.

#include <windows.h>

// Called first thing: from now on a library loaded by name (by us, or by the system on our
// behalf) comes from the system folder only, never from the program's or the current folder.
void LoadLibrariesOnlyFromSystemFolder();

// `name` (such as "version.dll") from the system folder; null when it is not there.
HMODULE LoadSystemLibrary(const char* name);

// A function of the system's kernel32 that older Windows versions lack; null where missing.
void* KernelFunction(const char* name);
