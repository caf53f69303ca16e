#include "shell/system_libraries.h"

#include <string>

namespace {

// Declared here: older headers offer it only for newer Windows versions than we build for.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

std::string SystemFolder() {
  char buffer[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}

}  // namespace

void LoadLibrariesOnlyFromSystemFolder() {
  // Takes the current folder out of the search even where the call below is missing.
  SetDllDirectoryA("");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(KernelFunction("SetDefaultDllDirectories"));
  if (setDefault != nullptr) setDefault(kSearchSystem32);
}

void* KernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(kernel, name));
}

HMODULE LoadSystemLibrary(const char* name) {
  const std::string folder = SystemFolder();
  if (folder.empty()) return nullptr;
  // A full path: the search order does not come into it at all.
  return LoadLibraryExA((folder + "\\" + name).c_str(), nullptr, 0);
}
