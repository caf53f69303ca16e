#pragma once
// The NUL-terminated name of an imported library, at an RVA of a program.

#include <cstdint>
#include <string>

#include "builder/pe/pe_image.h"

// Windows cannot load a library whose name, with its terminator, does not fit in a path.
constexpr uint32_t kMaxLibraryNameBytes = 260;

// Fails with a reason when the name does not lie in one section's data, has no
// terminator within kMaxLibraryNameBytes, or is empty.
bool ReadLibraryName(const PeImage& image, uint32_t rva, std::string* name, std::string* error);
