#pragma once
// Whether a file named by an uninstall log is still the one the installation wrote, so
// that a file the user or another program has changed since is kept, by the uninstaller
// and by an upgrade alike.

#include <windows.h>

#include "formats/data_file.h"

enum class InstalledFileState { kMissing, kUnchanged, kChanged, kUnreadable };

// Size and time stamps of a file as the system reports them.
struct FileFacts {
  uint32_t sizeHigh;
  uint32_t sizeLow;
  FILETIME creationTime;
  FILETIME lastWriteTime;
};

// Unchanged when the size is the logged one and both time stamps the installation set are
// still there. Times count as equal within two seconds, the resolution of FAT volumes. A
// volume that keeps no creation time reports the last write time in its place; that
// counts as the logged creation time.
InstalledFileState CompareWithRecord(const FileEntry& record, const FileFacts& facts);

InstalledFileState InspectInstalledFile(const FileEntry& record);
