#include "engine/steps/place_uninstall_log_step.h"

#include <windows.h>

#include "engine/machine_calls.h"
#include "engine/uninstall_log_placement.h"

bool PlaceUninstallLogStep::Do() {
  if (GetFileAttributesA(destinationLog_.c_str()) != INVALID_FILE_ATTRIBUTES && !copy_.Keep(destinationLog_, backups_)) {
    return Fail("Couldn't keep a copy of the existing file:\n" + destinationLog_);
  }
  attempted_ = true;
  const LogPlacement placement = PlaceUninstallLog(runLog_, destinationLog_, earlier_);
  if (placement == LogPlacement::kFailed) return Fail("Couldn't place the uninstall log file:\n" + destinationLog_);
  merged_ = placement == LogPlacement::kMerged;
  return true;
}

void PlaceUninstallLogStep::Undo(UndoReport* report) {
  if (!attempted_) return;
  attempted_ = false;
  TakeBackFile(destinationLog_, &copy_, report);
}

std::string PlaceUninstallLogStep::DoneText() const {
  return (merged_ ? "Merged the uninstall log into " : "Placed the uninstall log at ") + destinationLog_;
}
