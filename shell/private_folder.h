#pragma once
// A folder of the run's own in the temporary folder. The setup and the uninstaller run with
// administrator rights, but the temporary folder is the user's: a program of the user may
// have put a file, a link or a junction at any name it can guess, and may change a file
// there between our writing and reading it. So every temporary file of a run lives in a
// folder with a name nobody can guess, made new for the run (never one that existed
// before), which only administrators and the system may open when the run is elevated,
// and which the run holds open so that it cannot be renamed or replaced while in use.
// Files in it are made new as well.

#include <windows.h>

#include <cstdio>
#include <string>

class PrivateFolder {
 public:
  PrivateFolder() = default;
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder() { Remove(); }

  // Makes the folder in `parent`; false when no new folder could be made there.
  bool Create(const std::string& parent);
  bool IsMade() const { return !path_.empty(); }
  // Without a trailing backslash; empty until made.
  const std::string& Path() const { return path_; }
  std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }
  // Lets the folder go without removing it, for another process that goes on using it.
  void Keep();
  // Deletes what the run left in the folder, then the folder.
  void Remove();

 private:
  std::string path_;
  HANDLE pin_ = INVALID_HANDLE_VALUE;
};

// True when `path` names a folder such as PrivateFolder makes in the user's temporary folder.
bool IsPrivateFolder(const std::string& path);

// The user's temporary folder, with its trailing backslash; empty when the system names none.
std::string UserTempFolder();

// 32 hexadecimal digits from the system's random generator; empty if it fails.
std::string UnguessableName();

// A file that did not exist before, opened for writing and reading ("w+b") and shared for
// reading only: nothing made in advance at `path` (a file, a link, a folder) is ever
// written through. Null when it fails.
FILE* CreateNewFile(const std::string& path);

// A file the user keeps after the run (a log asked for without a name), in the temporary
// folder: `stem`, a part nobody can guess, then `extension`, made new. Null when it cannot
// be made.
FILE* CreateKeptTempFile(const std::string& stem, const std::string& extension);

// A file moved out of a private folder keeps the folder's permissions; this gives it those
// of the folder it is in now, as if it had been made there.
void TakePermissionsOfFolder(const std::string& path);
