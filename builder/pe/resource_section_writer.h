#pragma once
// Lays out a ResourceTree as the contents of a resource section: all directories first,
// then the name strings, the data entries and the data, each blob on an 8-byte boundary.

#include <cstdint>
#include <string>

#include "builder/pe/resource_tree.h"

// `sectionRva` is where the section will be mapped; data entries hold absolute RVAs.
// Fails only when the tree cannot be expressed (more than 65535 entries in one directory,
// a section of 2 GiB or more).
bool BuildResourceSection(const ResourceTree& tree, uint32_t sectionRva, Bytes* section, std::string* error);
