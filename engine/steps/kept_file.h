#pragma once
// The copy of one file a step is about to replace, with the times and attributes that the
// copy alone would not carry back. The copy keeps the original's name in a folder of its
// own, so that one left behind is recognisable.

#include <windows.h>

#include <string>

#include "engine/steps/backup_folder.h"

class KeptFile {
 public:
  KeptFile() = default;
  KeptFile(const KeptFile&) = delete;
  KeptFile& operator=(const KeptFile&) = delete;

  // Copies `original` into a new slot of `folder`. False, with the system's last error
  // of what failed, when it could not.
  bool Keep(const std::string& original, BackupFolder* folder);
  bool Kept() const { return !copy_.empty(); }
  const std::string& CopyPath() const { return copy_; }
  // Puts the copy back in place of whatever is at the original's path now, and drops it.
  // False when that failed: the copy then stays where it is, whole.
  bool PutBack();
  // The run stands: the copy is no longer needed.
  void Drop();

 private:
  std::string original_;
  std::string slot_;
  std::string copy_;
  FILETIME creation_{};
  FILETIME lastAccess_{};
  FILETIME lastWrite_{};
  DWORD attributes_ = 0;
};

struct UndoReport;

// Takes back a file the run wrote at `path`: the kept copy goes back, or, when there was
// none, the file is removed. What cannot be done is reported, with where the copy stays.
void TakeBackFile(const std::string& path, KeptFile* copy, UndoReport* report);
