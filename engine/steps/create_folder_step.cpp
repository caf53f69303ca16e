#include "engine/steps/create_folder_step.h"

#include <windows.h>

#include "engine/machine_calls.h"

bool CreateFolderStep::Do() {
  created_ = machine::CreateFolder(path_);
  if (created_) return true;
  // Made meanwhile by someone else, it serves as well; a file of that name does not.
  const DWORD attributes = GetFileAttributesA(path_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
  return Fail("Couldn't create folder:\n" + path_);
}

void CreateFolderStep::Undo(UndoReport* report) {
  if (!created_) return;
  // A folder that now holds something of someone else's stays.
  if (machine::RemoveFolder(path_)) {
    report->lines.push_back("Undid: removed folder " + path_);
  } else {
    report->lines.push_back("Couldn't remove folder " + path_);
  }
  created_ = false;
}
