#include "shell/installed_file.h"

namespace {

constexpr uint64_t kTimeTolerance = 2ull * 10000000ull;  // two seconds in 100 ns units

uint64_t Join(uint32_t high, uint32_t low) { return (uint64_t(high) << 32) | low; }
uint64_t Join(const FILETIME& time) { return Join(time.dwHighDateTime, time.dwLowDateTime); }
uint64_t Join(const FileTime& time) { return Join(time.dwHighDateTime, time.dwLowDateTime); }

bool Near(uint64_t a, uint64_t b) { return (a > b ? a - b : b - a) <= kTimeTolerance; }

}  // namespace

InstalledFileState CompareWithRecord(const FileEntry& record, const FileFacts& facts) {
  if (facts.sizeHigh != record.SizeHigh || facts.sizeLow != record.SizeLow) return InstalledFileState::kChanged;
  const uint64_t lastWrite = Join(facts.lastWriteTime);
  if (!Near(lastWrite, Join(record.LastWriteTime))) return InstalledFileState::kChanged;
  const uint64_t creation = Join(facts.creationTime);
  if (!Near(creation, Join(record.CreationTime)) && creation != lastWrite) return InstalledFileState::kChanged;
  return InstalledFileState::kUnchanged;
}

InstalledFileState InspectInstalledFile(const FileEntry& record) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(record.TargetPath, GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    // Anything but a plain absence must not look missing.
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? InstalledFileState::kMissing
                                                                            : InstalledFileState::kUnreadable;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return InstalledFileState::kChanged;
  const FileFacts facts{data.nFileSizeHigh, data.nFileSizeLow, data.ftCreationTime, data.ftLastWriteTime};
  return CompareWithRecord(record, facts);
}
