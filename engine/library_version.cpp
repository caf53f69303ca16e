#include "engine/library_version.h"

#include <windows.h>

#include <vector>

#include "shell/system_libraries.h"

namespace {

using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// The version library is not one Windows always takes from the system folder, so it is not
// imported: it is loaded from there, once, when a library's version is first needed.
struct VersionLibrary {
  SizeFunction size = nullptr;
  InfoFunction info = nullptr;
  QueryFunction query = nullptr;

  VersionLibrary() {
    HMODULE module = LoadSystemLibrary("version.dll");
    if (module == nullptr) return;
    size = reinterpret_cast<SizeFunction>(Find(module, "GetFileVersionInfoSizeA"));
    info = reinterpret_cast<InfoFunction>(Find(module, "GetFileVersionInfoA"));
    query = reinterpret_cast<QueryFunction>(Find(module, "VerQueryValueA"));
  }
  bool Usable() const { return size != nullptr && info != nullptr && query != nullptr; }

  static void* Find(HMODULE module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module, name));
  }
};

const VersionLibrary& Library() {
  static const VersionLibrary library;
  return library;
}

}  // namespace

LibraryVersion ReadLibraryVersion(const std::string& path) {
  LibraryVersion version;
  const VersionLibrary& library = Library();
  if (!library.Usable()) return version;
  DWORD ignored = 0;
  const DWORD size = library.size(path.c_str(), &ignored);
  if (size == 0) return version;
  std::vector<char> block(size);
  if (!library.info(path.c_str(), 0, size, block.data())) return version;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!library.query(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return version;
  }
  version.known = true;
  version.major = HIWORD(fixed->dwFileVersionMS);
  version.minor = LOWORD(fixed->dwFileVersionMS);
  version.build = HIWORD(fixed->dwFileVersionLS);
  return version;
}
