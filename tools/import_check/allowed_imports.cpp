#include "tools/import_check/allowed_imports.h"

#include <algorithm>
#include <cctype>

namespace {

// Known DLLs: Windows maps them from the system folder into every process, whatever lies
// beside the program.
const char* const kKnownSystemLibraries[] = {
    "KERNEL32.dll",  // files, processes, threads, resources: every program
    "USER32.dll",    // windows, dialogs, message boxes
    "GDI32.dll",     // painting, fonts, bitmaps
    "ADVAPI32.dll",  // the registry
    "SHELL32.dll",   // special folders, the folder browser, ShellExecute
    "ole32.dll",     // COM, for shell links
    "msvcrt.dll",    // the C runtime that mingw-w64 programs link against
};

// Not a known DLL. A manifest dependency on version 6 of Microsoft.Windows.Common-Controls
// makes Windows load it from the side-by-side store instead of by the search order.
const char kCommonControls[] = "COMCTL32.dll";

const char kWhy[] = ", which Windows looks for in the program's own folder first";

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsKnownSystemLibrary(const std::string& name) {
  return std::any_of(std::begin(kKnownSystemLibraries), std::end(kKnownSystemLibraries),
                     [&name](const char* known) { return SameName(name, known); });
}

void AddUnsafe(const std::vector<std::string>& names, const char* verb, bool manifestBindsCommonControls6,
               std::vector<std::string>* problems) {
  for (const std::string& name : names) {
    if (IsKnownSystemLibrary(name)) continue;
    if (!SameName(name, kCommonControls)) {
      problems->push_back(std::string(verb) + " " + name + kWhy);
    } else if (!manifestBindsCommonControls6) {
      problems->push_back(std::string(verb) + " " + name +
                          " without a manifest (resource 24, 1) that binds version 6 of the common controls" + kWhy);
    }
  }
}

}  // namespace

std::vector<std::string> FindUnsafeImports(const ImportedLibraries& imports, bool manifestBindsCommonControls6) {
  std::vector<std::string> problems;
  AddUnsafe(imports.loaded, "imports", manifestBindsCommonControls6, &problems);
  AddUnsafe(imports.delayLoaded, "delay-loads", manifestBindsCommonControls6, &problems);
  return problems;
}
