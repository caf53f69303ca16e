#pragma once
// The setup's side of the /log file: where it goes, and the lines that open and close
// every run, whatever shows it.

#include <string>

#include "common/run_log.h"
#include "setup/command_line.h"

// Opens the log the options ask for, once the product's name is known (empty when the
// setup data could not be read); without /log it holds nothing. The default is a new
// "%TEMP%\<product name> Setup XXXXXXXXXXXX.log", the X a part nobody can guess.
void OpenSetupLog(RunLog* log, const SetupOptions& options, const std::string& productName);

// The first lines: the program and its version, the command line, the Windows version.
void LogStart(RunLog* log, const std::string& commandLine);

// The last line.
void LogResult(RunLog* log, int exitCode);
