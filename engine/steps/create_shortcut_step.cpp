#include "engine/steps/create_shortcut_step.h"

#include <windows.h>

#include "engine/machine_calls.h"
#include "shell/shell_links.h"

bool CreateShortcutStep::Do() {
  if (GetFileAttributesA(link_.path.c_str()) != INVALID_FILE_ATTRIBUTES && !copy_.Keep(link_.path, backups_)) {
    return Fail("Couldn't keep a copy of the existing file:\n" + link_.path);
  }
  attempted_ = true;
  switch (SaveLink(link_.path, link_.target, link_.workingDirectory, link_.description)) {
    case LinkSaving::kClassNotRegistered:
      Tell("Class or enumeration not registered!", "Exception Error");
      break;
    case LinkSaving::kNoAggregation:
      Tell("Class cannot be created as part of an aggregate!", "Exception Error");
      break;
    case LinkSaving::kNotSaved:
      return Fail("Couldn't save link path!");
    default:
      // Without a shell link object there is no link to make; the installation goes on.
      break;
  }
  return true;
}

void CreateShortcutStep::Undo(UndoReport* report) {
  if (!attempted_) return;
  attempted_ = false;
  TakeBackFile(link_.path, &copy_, report);
}
