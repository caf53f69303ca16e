// The system side of the pre-install checks: what Windows reports about itself, about
// the drives the run writes to and about the files it would replace.

#include <windows.h>

#include <map>

#include "engine/macro_text.h"
#include "engine/preinstall_checks.h"
#include "formats/data_file.h"
#include "formats/record_stream.h"

std::optional<OsVersionReport> QueryOsVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return std::nullopt;
  return OsVersionReport{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::optional<DiskSpaceReport> QueryDiskSpace(const std::string& destinationFolder) {
  // An empty path would make the system answer for the current directory's drive,
  // which need not be the destination's.
  const std::string root = DriveRootOf(destinationFolder);
  if (root.empty()) return std::nullopt;
  ULARGE_INTEGER freeToCaller, total, totalFree;
  if (!GetDiskFreeSpaceExA(root.c_str(), &freeToCaller, &total, &totalFree)) {
    return std::nullopt;
  }
  return DiskSpaceReport{freeToCaller.QuadPart, total.QuadPart, totalFree.QuadPart};
}

std::optional<DiskSpaceReport> QueryFolderDiskSpace(const std::string& folder) {
  if (folder.empty()) return std::nullopt;
  ULARGE_INTEGER freeToCaller, total, totalFree;
  if (!GetDiskFreeSpaceExA(folder.c_str(), &freeToCaller, &total, &totalFree)) return std::nullopt;
  return DiskSpaceReport{freeToCaller.QuadPart, total.QuadPart, totalFree.QuadPart};
}

std::string QueryTemporaryFolder() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(buffer, length);
}

namespace {

std::string SystemFolder(UINT (WINAPI* query)(LPSTR, UINT)) {
  char buffer[MAX_PATH] = {};
  const UINT length = query(buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}

// The size of the file at `path`; 0 for a folder or nothing.
uint64_t FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Whether the folder that would hold `path` exists, asked once per folder: a product's
// files share few folders, and a folder that does not exist yet holds nothing to replace.
class ParentFolders {
 public:
  bool Exists(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return true;
    const std::string parent = path.substr(0, slash);
    auto known = known_.find(parent);
    if (known == known_.end()) {
      const DWORD attributes = GetFileAttributesA(parent.c_str());
      known = known_.emplace(parent, attributes != INVALID_FILE_ATTRIBUTES).first;
    }
    return known->second;
  }

 private:
  std::map<std::string, bool> known_;
};

}  // namespace

uint64_t QueryReplacedBytes(const std::string& destination, const std::vector<SummaryEntry>& entries) {
  const std::string windowsFolder = SystemFolder(GetWindowsDirectoryA);
  const std::string systemFolder = SystemFolder(GetSystemDirectoryA);
  uint64_t bytes = 0;
  ParentFolders folders;
  for (const SummaryEntry& entry : entries) {
    if (IsFolderEntry(entry.Extension)) continue;
    std::string target = BufferText(entry.TargetPath);
    target = ExpandMacro(target, "%DIR%", destination);
    target = ExpandMacro(target, "%WINDOWS%", windowsFolder);
    target = ExpandMacro(target, "%SYSTEM%", systemFolder);
    if (folders.Exists(target)) bytes += FileBytes(target);
  }
  return bytes;
}

std::vector<std::string> QueryDiskSpaceQuestions(const std::string& destination, const SummaryRecord& summary) {
  const std::string temporaryFolder = QueryTemporaryFolder();
  const uint64_t temporaryBytes = TemporaryBytesNeeded(summary, QueryReplacedBytes(destination, summary.Entries));
  std::vector<std::string> questions;
  for (const DriveNeed& need : DriveNeeds(destination, RequiredBytes(summary.Head), temporaryFolder, temporaryBytes)) {
    const std::optional<DiskSpaceReport> report =
        need.temporaryOnly ? QueryFolderDiskSpace(need.folder) : QueryDiskSpace(need.folder);
    const std::string question = DriveSpaceQuestion(need, report);
    if (!question.empty()) questions.push_back(question);
  }
  return questions;
}
