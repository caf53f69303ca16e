#pragma once
// A running program cannot delete its own file, and its current folder cannot be removed
// while it runs. So at the end the uninstaller copies itself into a folder of its own in
// the temporary folder and starts the copy, which waits for the uninstaller to end,
// deletes "Uninstall.exe" and removes the installation folder when it is empty. The copy
// is opened for deletion on close and that handle is inherited by the copy's own process:
// the file goes when the copy ends and the last handle closes; its folder, which nothing
// of ours outlives, at the next restart.

#include <string>

#include "uninstaller/command_line.h"
#include "uninstaller/leftovers.h"

enum class SelfRemoval { kStarted, kAtRestart, kImpossible };

// Starts the copy. When that is impossible (no temporary folder, no copy) both items are
// left to be removed at the next restart, where the system allows that.
SelfRemoval ArrangeSelfRemoval(const std::string& uninstallerPath, const std::string& folder);

// After a complete removal: arranges for `uninstallerPath` and `folder` to go, when the
// uninstaller is the one in that folder (one started from anywhere else leaves its own
// file alone); what cannot go at once is added to `leftovers`.
void RemoveUninstallerAfterwards(const std::string& uninstallerPath, const std::string& folder, Leftovers* leftovers);

// The copy's work. Returns its exit code: 0 when the uninstaller's file is gone.
int FinishSelfRemoval(const FinishArguments& arguments);
