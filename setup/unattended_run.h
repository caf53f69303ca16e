#pragma once
// Setup without the wizard, for /silent and /verysilent: the checks, answered by rule,
// then the installation, and an exit code for whoever started the setup. Nothing here
// waits for a person.

#include "common/run_log.h"
#include "setup/command_line.h"

// Returns the process's exit code (SetupExitCode).
int RunUnattended(const SetupOptions& options, RunLog* log);
