#pragma once
// The versions behind the question whether an existing library may be replaced: the one
// installed and the one in the payload, both read from the files' version resources,
// never by loading the library (which would run its code inside the setup).

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/install_host.h"

LibraryVersion ReadLibraryVersion(const std::string& path);

// The version of the `length` bytes at the data file's position, which is kept: they are
// written to `scratchPath` for the system to read, and the file goes again.
LibraryVersion PayloadLibraryVersion(FILE* dataFile, uint32_t length, const std::string& scratchPath);
