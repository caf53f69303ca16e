#include "engine/backup_store.h"

#include <algorithm>

namespace {

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool ReadTimes(const std::string& path, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BOOL ok = GetFileTime(file, creation, lastAccess, lastWrite);
  CloseHandle(file);
  return ok != FALSE;
}

void WriteTimes(const std::string& path, const FILETIME& creation, const FILETIME& lastAccess,
                const FILETIME& lastWrite) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFileTime(file, &creation, &lastAccess, &lastWrite);
  CloseHandle(file);
}

}  // namespace

std::vector<BackupStore::Copy>::iterator BackupStore::Find(const std::string& path) {
  return std::find_if(copies_.begin(), copies_.end(), [&](const Copy& c) { return SamePath(c.original, path); });
}

bool BackupStore::Has(const std::string& path) const {
  return std::any_of(copies_.begin(), copies_.end(), [&](const Copy& c) { return SamePath(c.original, path); });
}

void BackupStore::NoteNew(const std::string& path) {
  if (Has(path)) return;
  for (const std::string& known : newFiles_) {
    if (SamePath(known, path)) return;
  }
  newFiles_.push_back(path);
}

bool BackupStore::Keep(const std::string& path) {
  if (Has(path)) return true;
  for (const std::string& known : newFiles_) {
    if (SamePath(known, path)) return true;
  }
  Copy copy{};
  copy.original = path;
  copy.attributes = GetFileAttributesA(path.c_str());
  if (copy.attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!ReadTimes(path, &copy.creation, &copy.lastAccess, &copy.lastWrite)) return false;
  CreateDirectoryA(folder_.c_str(), nullptr);
  copy.copy = folder_ + "\\" + std::to_string(++next_) + ".bak";
  if (!CopyFileA(path.c_str(), copy.copy.c_str(), FALSE)) {
    RemoveFolderIfEmpty();
    return false;
  }
  // A read-only original would make the copy read-only too, and undeletable later.
  SetFileAttributesA(copy.copy.c_str(), FILE_ATTRIBUTE_NORMAL);
  copies_.push_back(copy);
  return true;
}

bool BackupStore::Restore(const std::string& path) {
  auto it = Find(path);
  if (it == copies_.end()) return false;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!CopyFileA(it->copy.c_str(), path.c_str(), FALSE)) return false;
  WriteTimes(path, it->creation, it->lastAccess, it->lastWrite);
  SetFileAttributesA(path.c_str(), it->attributes);
  DeleteFileA(it->copy.c_str());
  copies_.erase(it);
  RemoveFolderIfEmpty();
  return true;
}

void BackupStore::DiscardAll() {
  for (const Copy& copy : copies_) DeleteFileA(copy.copy.c_str());
  copies_.clear();
  newFiles_.clear();
  RemoveFolderIfEmpty();
}

void BackupStore::RemoveFolderIfEmpty() {
  if (!folder_.empty()) RemoveDirectoryA(folder_.c_str());
}
