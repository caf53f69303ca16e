#pragma once
// A build stopped with Ctrl+C or killed with SIGTERM must not leave half-written files or
// the folders it made. Paths registered here are removed by the signal handler, which
// then lets the signal end the process as it would have.

#include <string>

// Installs the handler for SIGINT and SIGTERM; the command-line tool calls it once.
void InstallInterruptCleanup();

// Registers a file (or an empty folder the build made) to remove on interruption, until
// it is forgotten again. Folders are removed after files, the last registered first.
void RemoveFileOnInterrupt(const std::string& path);
void RemoveFolderOnInterrupt(const std::string& path);
void ForgetOnInterrupt(const std::string& path);
