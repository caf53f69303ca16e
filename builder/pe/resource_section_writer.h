#pragma once
// Lays out a ResourceTree as the contents of a resource section: all directories first,
// then the name strings, the data entries and the data, each blob on an 8-byte boundary.

#include <cstdint>
#include <string>

#include "builder/pe/resource_tree.h"

// The section's bytes. A streamed resource is not among them: its `gapSize` bytes go in at
// `gapAt`, when the program is written.
struct ResourceSection {
  Bytes bytes;
  uint64_t gapAt = 0;
  uint32_t gapSize = 0;

  uint64_t Size() const { return bytes.size() + gapSize; }
};

// `sectionRva` is where the section will be mapped; data entries hold absolute RVAs.
// Fails only when the tree cannot be expressed (more than 65535 entries in one directory,
// a section of 2 GiB or more, more than one streamed resource).
bool BuildResourceSection(const ResourceTree& tree, uint32_t sectionRva, ResourceSection* section,
                          std::string* error);
