#pragma once
// The wizard's side of the pre-install checks: the question each check raises, asked in a
// message box; only an explicit Yes goes on.

#include <optional>
#include <string>
#include <vector>

#include "engine/preinstall_checks.h"

// Asks the question (if any) in a message box owned by `owner` (an HWND).
// Returns true when start-up may go on; false means the user declined and the program
// must end with exit code 1.
bool ConfirmOsSupport(void* owner, const std::optional<OsVersionReport>& report, const SetupConfig& config);

// The start-up check on the running system.
bool CheckOSSupport(void* owner, const SetupConfig& config);

// Asks the question (if any) in a message box owned by `owner`; true when the
// installation may start.
bool ConfirmDiskSpace(void* owner, uint64_t requiredBytes, const std::optional<DiskSpaceReport>& report);

// Asks the questions in turn; true when the installation may start: no question, or Yes
// to each.
bool ConfirmDiskSpaceQuestions(void* owner, const std::vector<std::string>& questions);

// The check at Finish on the real drives the run writes to: the destination's, for
// `destinationFolder` (which the caller has just refreshed from the destination page),
// and the temporary folder's.
bool CheckDiskSpace(void* owner, const std::string& destinationFolder, const SummaryRecord& summary);
