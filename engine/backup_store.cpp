#include "engine/backup_store.h"

namespace {

std::string PathKey(std::string path) {
  if (!path.empty()) CharLowerBuffA(&path[0], static_cast<DWORD>(path.size()));
  return path;
}

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

bool BackupStore::Has(const std::string& path) const { return copies_.count(PathKey(path)) != 0; }

void BackupStore::NoteNew(const std::string& path) {
  std::string key = PathKey(path);
  if (copies_.count(key) == 0) newFiles_.insert(std::move(key));
}

bool BackupStore::Keep(const std::string& path) {
  const std::string key = PathKey(path);
  if (copies_.count(key) != 0 || newFiles_.count(key) != 0) return true;
  Copy copy{};
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
  copies_.emplace(key, copy);
  return true;
}

bool BackupStore::Restore(const std::string& path) {
  auto it = copies_.find(PathKey(path));
  if (it == copies_.end()) return false;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const Copy& copy = it->second;
  if (!CopyFileA(copy.copy.c_str(), path.c_str(), FALSE)) return false;
  WriteTimes(path, copy.creation, copy.lastAccess, copy.lastWrite);
  SetFileAttributesA(path.c_str(), copy.attributes);
  DeleteFileA(copy.copy.c_str());
  copies_.erase(it);
  RemoveFolderIfEmpty();
  return true;
}

void BackupStore::DiscardAll() {
  for (const auto& kept : copies_) DeleteFileA(kept.second.copy.c_str());
  copies_.clear();
  newFiles_.clear();
  RemoveFolderIfEmpty();
}

void BackupStore::RemoveFolderIfEmpty() {
  if (!folder_.empty()) RemoveDirectoryA(folder_.c_str());
}
