#pragma once
// Removal for Uninstall.exe /S: no window and no question. The product is removed as
// after Yes; files changed since the installation stay, and the log lists everything
// that stayed.

#include <string>

#include "common/run_log.h"
#include "formats/uninstall_log.h"

// Returns one of UninstallExitCode.
int RemoveQuietly(const UninstallLog& log, const std::string& folder, const std::string& uninstallerPath,
                  RunLog* runLog);
