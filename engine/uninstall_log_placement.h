#pragma once
// The run's "Uninstall.log" leaves the temporary folder for the destination folder at the
// end of a successful installation. A plain move would refuse to replace the log of an
// earlier installation into the same folder, stranding the new log in the temporary
// folder and leaving what only the new run installed unknown to the uninstaller.

#include <string>

enum class LogPlacement {
  kMoved,     // no log was there; the run's log took its place
  kMerged,    // the log there now names what both installations did
  kReplaced,  // the log there was damaged, of another product, or could not be merged
  kKept,      // both paths name the same file; nothing to do
  kFailed,    // the run's log could not be put in place and stays where it was
};

// How a log of the same product already in place is treated.
enum class EarlierLog {
  kMerge,    // the run added to that installation: both are removed together
  kReplace,  // the run upgraded it: the run's log alone describes what is installed
};

// Puts `runLog` in place as `destinationLog`. A clean log of the same product already
// there is merged with the run's. A damaged log, or one of another product, is replaced:
// its records cannot be trusted to describe this folder, and it must not keep the new
// installation from being removed. Whatever fails while merging, the run's log is never
// lost: it replaces the old one instead. Except after kFailed, `runLog` is gone.
LogPlacement PlaceUninstallLog(const std::string& runLog, const std::string& destinationLog,
                               EarlierLog earlier = EarlierLog::kMerge);
