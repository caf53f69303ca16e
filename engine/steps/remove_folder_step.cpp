#include "engine/steps/remove_folder_step.h"

#include <windows.h>

#include "engine/machine_calls.h"
#include "shell/folders.h"

bool RemoveFolderStep::Do() {
  const DWORD attributes = GetFileAttributesA(path_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return true;
  // Something of the user's, or of the new version, is in it: it is not stale.
  if (!IsEmptyFolder(path_)) return true;
  if (!machine::RemoveFolder(path_)) return Fail("Couldn't remove the earlier version's folder:\n" + path_);
  removed_ = true;
  return true;
}

void RemoveFolderStep::Undo(UndoReport* report) {
  if (!removed_) return;
  removed_ = false;
  if (machine::CreateFolder(path_) || GetLastError() == ERROR_ALREADY_EXISTS) {
    report->lines.push_back("Undid: made the folder " + path_ + " again");
  } else {
    report->lines.push_back("Couldn't make the folder " + path_ + " again");
  }
}

std::string RemoveFolderStep::DoneText() const {
  return (removed_ ? "Removed the earlier version's empty folder " : "Kept the folder, which is not empty: ") + path_;
}
