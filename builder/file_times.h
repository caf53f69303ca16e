#pragma once
// The three time stamps of a source file, as the Windows FILETIMEs the setup gives the
// installed file.

#include <cstdint>
#include <filesystem>
#include <string>

#include "formats/setup_config.h"

struct SourceTimes {
  FileTime creation;  // the birth time where the file system keeps one, else the last write
  FileTime lastAccess;
  FileTime lastWrite;
};

bool ReadSourceTimes(const std::filesystem::path& path, SourceTimes* times, std::string* error);

// Seconds and nanoseconds since 1970-01-01 UTC to a FILETIME; times before 1601 become 0.
FileTime UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds);
