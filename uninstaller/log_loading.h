#pragma once
// Reads the uninstall log whole before anything is removed: a log that cannot be read
// completely is refused, so that a damaged one never leads to a half removal.

#include <string>

#include "formats/uninstall_log.h"

// False with the message to show when the log is missing or damaged.
bool LoadUninstallLog(const std::string& path, UninstallLog* log, std::string* message);
