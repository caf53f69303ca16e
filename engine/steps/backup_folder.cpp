#include "engine/steps/backup_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "engine/machine_calls.h"

namespace {

std::string LocalApplicationData() {
  char path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return path;
  // Without it the copies still need a lasting place; the temporary folder's parent is
  // the profile's local folder on every Windows that has one.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "..";
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

BackupFolder::BackupFolder(const std::string& productName, std::string root) : root_(std::move(root)) {
  if (root_.empty()) root_ = LocalApplicationData() + "\\Brisklay Backup\\" + productName;
}

bool BackupFolder::MakeRoot() {
  if (IsFolder(root_)) return true;
  const std::string parent = root_.substr(0, root_.rfind('\\'));
  for (const std::string& folder : {parent, root_}) {
    if (IsFolder(folder)) continue;
    if (!machine::CreateFolder(folder)) return false;
    madeFolders_.insert(madeFolders_.begin(), folder);
  }
  return true;
}

std::string BackupFolder::NewSlot() {
  if (!MakeRoot()) return std::string();
  // Numbered, and never one that exists: another run's copies must stay apart from ours.
  for (int attempt = 0; attempt < 10000; ++attempt) {
    const std::string slot = root_ + "\\" + std::to_string(++next_);
    if (IsFolder(slot)) continue;
    if (machine::CreateFolder(slot)) return slot;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
  return std::string();
}

void BackupFolder::RemoveIfEmpty() {
  // Only what this run made; folders left from a run whose copies stayed are the user's.
  for (const std::string& folder : madeFolders_) RemoveDirectoryA(folder.c_str());
  madeFolders_.clear();
}
