#include "engine/library_version.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "engine/machine_calls.h"
#include "engine/scoped_temp_file.h"

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

LibraryVersion PayloadLibraryVersion(FILE* dataFile, uint32_t length, const std::string& scratchPath) {
  const long long start = _ftelli64(dataFile);
  if (start < 0) return LibraryVersion();
  ScopedTempFile scratch(scratchPath);
  FILE* out = machine::OpenStream(scratch.Path(), "wb");
  if (out == nullptr) return LibraryVersion();
  std::vector<char> buffer(64 * 1024);
  bool copied = true;
  for (uint32_t done = 0; copied && done < length;) {
    const std::size_t block = std::min<std::size_t>(buffer.size(), length - done);
    const std::size_t got = std::fread(buffer.data(), 1, block, dataFile);
    copied = got == block && machine::Write(out, scratch.Path(), buffer.data(), got);
    done += static_cast<uint32_t>(got);
  }
  copied = (std::fclose(out) == 0) && copied;
  _fseeki64(dataFile, start, SEEK_SET);
  return copied ? ReadLibraryVersion(scratch.Path()) : LibraryVersion();
}
