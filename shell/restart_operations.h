#pragma once
// Files in use: what a run cannot replace or delete now, Windows replaces or deletes at
// the next restart, from the list it keeps in PendingFileRenameOperations
// (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager): pairs of a source and a
// destination, the destination empty for a deletion and marked "!" where it may be
// replaced.
//
// Every name a run puts in that list carries its product's tag, so that a later setup or
// uninstaller of the product can tell that a restart is still due for it, and a run that
// is undone can take exactly its own pair back out.

#include <windows.h>

#include <string>

// Whether a failed open or delete means another program holds the file: only then is
// waiting for a restart the answer (access denied is not).
bool IsFileInUseError(DWORD error);

// "brisklay-" and eight hexadecimal digits that stand for the product's name, whatever
// the letter case.
std::string RestartTag(const std::string& productName);

// A new name in the same folder as `path`, carrying the tag: `path` + "." + tag + "-" and
// eight random digits. Empty if no random digits can be had.
std::string TaggedNameBeside(const std::string& path, const std::string& tag);

// Schedules `replacement` to take the place of `target` at the next restart.
bool ScheduleReplacementAtRestart(const std::string& replacement, const std::string& target);

// Deletes the file at `path` at the next restart. It is first moved aside to a tagged
// name (at once where Windows allows it, else at the restart, before its deletion), so
// that the list names the product. `waitingAt` gets where the file is until then.
bool ScheduleDeletionAtRestart(const std::string& path, const std::string& tag, std::string* waitingAt);

// Removes the folder at the next restart, if it is empty by then.
bool ScheduleFolderDeletionAtRestart(const std::string& folder);

// Removes from the list the one pair whose source is `source`, leaving every other entry
// as it was. True when no such pair remains.
bool ForgetScheduledOperation(const std::string& source);

// Removes every pair that names a file carrying `tag`: a product's whole share of the list.
bool ForgetScheduledOperationsTagged(const std::string& tag);

// Whether the list still names a file carrying `tag`.
bool RestartPendingFor(const std::string& tag);

// What a setup or uninstaller tells the user before it ends, waiting for that restart.
std::string RestartPendingMessage(const std::string& productName);
