// Shows how this Wine finds a program's libraries, so that the planted-library test can
// tell a library that is never loaded from a plant that could never have been:
//   library_search_probe imports
//     imports the version library and the common controls without a manifest, as the
//     setup program once did: copies planted beside it are loaded before it runs, and
//     their marks show it;
//   library_search_probe search NAME
//     NAME, a library that lies only beside the probe, is loaded by name without the
//     setup program's limit and not with it; and the version library LoadSystemLibrary
//     gives comes from the system folder even where a planted one is loaded already.
// Ends with 0 when everything was as expected, else with a code that says what differed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shell/system_libraries.h"

namespace {

// Never true, and not known to be: the calls below stay, and with them the imports.
volatile bool neverTrue = false;

int UseImports() {
  // Never called, but imported: the loader must find both libraries before main runs.
  if (neverTrue) {
    DWORD ignored = 0;
    GetFileVersionInfoSizeA("x", &ignored);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
  return 0;
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

int SearchOnlySystemFolder(const char* name) {
  HMODULE beside = LoadLibraryA(name);
  if (beside == nullptr) {
    std::printf("%s beside the probe was not loaded even without the limit\n", name);
    return 2;
  }
  FreeLibrary(beside);
  LoadLibrariesOnlyFromSystemFolder();
  if (HMODULE again = LoadLibraryA(name)) {
    std::printf("%s was loaded from %s despite the limit\n", name, ModulePath(again).c_str());
    return 3;
  }
  char system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const std::string version = ModulePath(LoadSystemLibrary("version.dll"));
  if (length == 0 || _strnicmp(version.c_str(), system, length) != 0 || version[length] != '\\') {
    std::printf("the version library came from '%s', not from %s\n", version.c_str(), system);
    return 4;
  }
  std::printf("only the system folder is searched\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "imports") == 0) return UseImports();
  if (argc == 3 && std::strcmp(argv[1], "search") == 0) return SearchOnlySystemFolder(argv[2]);
  std::printf("usage: library_search_probe imports | search NAME\n");
  return 1;
}
