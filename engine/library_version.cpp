#include "engine/library_version.h"

#include <windows.h>

#include <vector>


LibraryVersion ReadLibraryVersion(const std::string& path) {
  LibraryVersion version;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return version;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return version;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return version;
  }
  version.known = true;
  version.major = HIWORD(fixed->dwFileVersionMS);
  version.minor = LOWORD(fixed->dwFileVersionMS);
  version.build = HIWORD(fixed->dwFileVersionLS);
  return version;
}
