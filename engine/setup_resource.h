#pragma once
// Writes one resource of the custom type "Setup" out to a file, the way the uninstaller
// leaves the program.

#include <windows.h>

#include <string>

#include "engine/setup_data_source.h"

// Shows the failing step's message (caption "Error") through `show` and returns false; a
// file that could not be written whole is removed again.
bool WriteSetupResource(HMODULE module, int id, const std::string& path, const SetupResourceMessages& messages,
                        void (*show)(void* context, const char* text), void* context);
