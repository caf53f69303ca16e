#pragma once
// Writes one resource of the custom type "Setup" out to a file, the way the payload and
// the uninstaller leave the program.

#include <windows.h>

#include <string>

// What to tell the user when a step fails.
struct SetupResourceMessages {
  const char* notFound;
  const char* notLoaded;
  const char* notLocked;
  const char* emptySize;
  const char* notCreated;  // also used when the bytes cannot be written whole
};

// Shows the failing step's message (caption "Error") through `show` and returns false; a
// file that could not be written whole is removed again.
bool WriteSetupResource(HMODULE module, int id, const std::string& path, const SetupResourceMessages& messages,
                        void (*show)(void* context, const char* text), void* context);
