#pragma once
// Copies of files the installation is about to overwrite, kept in the temporary folder
// until the installation either succeeds (the copies are dropped) or is rolled back (each
// file gets its old content, times and attributes back).

#include <windows.h>

#include <string>
#include <unordered_map>
#include <unordered_set>

class BackupStore {
 public:
  BackupStore() = default;
  ~BackupStore() = default;
  BackupStore(const BackupStore&) = delete;
  BackupStore& operator=(const BackupStore&) = delete;

  // Where copies go: a folder of their own, created with the first copy.
  void SetFolder(const std::string& folder) { folder_ = folder; }
  const std::string& Folder() const { return folder_; }

  // Copies `path` unless a copy of it is already kept or this run made the file itself.
  // False when the copy failed.
  bool Keep(const std::string& path);
  // Records that this run creates `path`, which therefore has nothing to bring back.
  void NoteNew(const std::string& path);
  bool Has(const std::string& path) const;
  // Puts the kept copy back over `path` and drops it. False when there is no copy or it
  // could not be put back (the copy then stays for the user to find).
  bool Restore(const std::string& path);
  // Drops every copy and the folder.
  void DiscardAll();

 private:
  struct Copy {
    std::string copy;
    FILETIME creation;
    FILETIME lastAccess;
    FILETIME lastWrite;
    DWORD attributes;
  };
  void RemoveFolderIfEmpty();

  std::string folder_;
  // Both keyed by the path in one letter case, as the file system compares names: an
  // installation asks about every file it writes, so the look-up must not grow with them.
  std::unordered_map<std::string, Copy> copies_;
  std::unordered_set<std::string> newFiles_;
  unsigned next_ = 0;
};
