#include "engine/steps/count_shared_file_step.h"

bool CountSharedFileStep::Do() {
  attempted_ = true;
  // An uncounted file would be taken by the uninstaller as this product's alone.
  if (!AddSharedFileUser(path_, existedBefore_, &change_)) return Fail("Couldn't count the shared file: " + path_);
  return true;
}

void CountSharedFileStep::Undo(UndoReport* report) {
  if (!attempted_) return;
  attempted_ = false;
  if (UndoSharedFileCountChange(change_)) {
    report->lines.push_back("Undid: the count of users of " + path_);
  } else {
    report->lines.push_back("Couldn't put back the count of users of " + path_);
  }
}
