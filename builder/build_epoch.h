#pragma once
// The latest time a build may store, for builds that must come out byte for byte the same:
// SOURCE_DATE_EPOCH, seconds since 1970-01-01 UTC, as reproducible-build tooling sets it.
// Every stored time later than it is replaced by it.

#include <cstdint>
#include <string>

#include "formats/setup_config.h"

struct BuildEpoch {
  bool set = false;
  int64_t seconds = 0;
};

// `text` empty: no epoch. Otherwise it must be a non-negative whole number of seconds.
bool ParseBuildEpoch(const std::string& text, BuildEpoch* epoch, std::string* error);

void ClampFileTime(const BuildEpoch& epoch, FileTime* time);
// A PE header's time stamp (seconds since 1970, 32 bits).
uint32_t ClampUnixTime(const BuildEpoch& epoch, uint32_t seconds);
