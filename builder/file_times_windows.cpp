#include <windows.h>

#include "builder/file_times.h"

namespace {

FileTime FromWindows(const FILETIME& stamp) { return FileTime{stamp.dwLowDateTime, stamp.dwHighDateTime}; }

}  // namespace

bool ReadSourceTimes(const std::filesystem::path& path, SourceTimes* times, std::string* error) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) {
    *error = "its time stamps cannot be read (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  times->creation = FromWindows(info.ftCreationTime);
  times->lastAccess = FromWindows(info.ftLastAccessTime);
  times->lastWrite = FromWindows(info.ftLastWriteTime);
  return true;
}
