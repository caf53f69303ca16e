#include "engine/uninstall_log_placement.h"

#include <windows.h>

#include <cstdio>

#include "engine/machine_calls.h"
#include "engine/uninstall_log_merge.h"
#include "formats/uninstall_log.h"
#include "shell/private_folder.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Short names, other case, "." and ".." all spell one file; the file system knows.
bool SameFile(const std::string& a, const std::string& b) {
  auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION first, second;
  return identify(a, &first) && identify(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

// The temporary folder may lie on another volume than the destination.
bool MoveOver(const std::string& from, const std::string& to) {
  // A read-only old log would refuse to be replaced.
  if (Exists(to)) machine::SetAttributes(to, FILE_ATTRIBUTE_NORMAL);
  return machine::MoveOver(from, to);
}

// The merged log is written beside the old one and only then takes its place, so a full
// disk or a crash halfway leaves the old log whole.
bool Merge(const UninstallLog& older, const UninstallLog& newer, const std::string& runLog,
           const std::string& destinationLog) {
  const std::string merging = destinationLog + ".new";
  if (!WriteUninstallLogFile(merging, MergeUninstallLogs(older, newer))) return false;
  if (!MoveOver(merging, destinationLog)) {
    machine::RemoveFile(merging);
    return false;
  }
  machine::RemoveFile(runLog);
  return true;
}

bool Mergeable(const std::string& runLog, const std::string& destinationLog, UninstallLog* older,
               UninstallLog* newer) {
  return ReadUninstallLogFile(destinationLog, older) && ReadUninstallLogFile(runLog, newer) &&
         IsSameProduct(older->Header, newer->Header);
}

}  // namespace

LogPlacement PlaceUninstallLog(const std::string& runLog, const std::string& destinationLog, EarlierLog earlier) {
  const bool occupied = Exists(destinationLog);
  if (occupied && SameFile(runLog, destinationLog)) return LogPlacement::kKept;
  if (occupied && earlier == EarlierLog::kMerge) {
    UninstallLog older, newer;
    if (Mergeable(runLog, destinationLog, &older, &newer) && Merge(older, newer, runLog, destinationLog)) {
      return LogPlacement::kMerged;
    }
  }
  if (!MoveOver(runLog, destinationLog)) return LogPlacement::kFailed;
  // The run's log was written in the run's own folder, which only administrators may open.
  TakePermissionsOfFolder(destinationLog);
  return occupied ? LogPlacement::kReplaced : LogPlacement::kMoved;
}
