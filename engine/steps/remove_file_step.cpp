#include "engine/steps/remove_file_step.h"

#include <windows.h>

#include "engine/machine_calls.h"

bool RemoveFileStep::Do() {
  slot_ = backups_->NewSlot();
  if (slot_.empty()) return Fail("Couldn't keep a copy of the existing file:\n" + path_);
  const std::string target = slot_ + "\\" + path_.substr(path_.rfind('\\') + 1);
  if (!machine::MoveAway(path_, target)) {
    machine::RemoveFolder(slot_);
    slot_.clear();
    return Fail("Couldn't remove the earlier version's " + what_ + ":\n" + path_);
  }
  moved_ = target;
  return true;
}

void RemoveFileStep::Undo(UndoReport* report) {
  if (moved_.empty()) return;
  if (!machine::MoveOver(moved_, path_)) {
    report->lines.push_back("Couldn't put back the earlier " + path_ + "; it is kept at " + moved_);
    report->keptCopies.push_back({path_, moved_});
    moved_.clear();
    return;
  }
  RemoveDirectoryA(slot_.c_str());
  report->lines.push_back("Undid: put back the earlier " + path_);
  moved_.clear();
}

void RemoveFileStep::Commit() {
  if (moved_.empty()) return;
  // Past the seam: the run is complete and the file is no longer wanted.
  SetFileAttributesA(moved_.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(moved_.c_str());
  RemoveDirectoryA(slot_.c_str());
  moved_.clear();
}
