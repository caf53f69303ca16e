#pragma once
// Which libraries a shipped program may import. The setup program and the uninstaller run
// with administrator rights from folders anyone can write to (Downloads, %TEMP%); Windows
// looks for a library that it does not always take from the system folder in the
// program's own folder first, where a planted copy would run with those rights.

#include <string>
#include <vector>

#include "builder/pe/import_reader.h"

// One sentence per library the program must not import (or delay-load), naming it; empty
// when every import is safe. COMCTL32 is safe only when the program's manifest binds
// version 6 of the common controls.
std::vector<std::string> FindUnsafeImports(const ImportedLibraries& imports, bool manifestBindsCommonControls6);
