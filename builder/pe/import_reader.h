#pragma once
// The libraries a program makes Windows load for it: those in its import directory, which
// the loader loads before the program starts, and those it delay-loads at the first call
// of one of their functions. Names are as stored, in the order the image lists them.

#include <string>
#include <vector>

#include "builder/pe/pe_image.h"

constexpr int kDirectoryImport = 1;
constexpr int kDirectoryDelayImport = 13;

struct ImportedLibraries {
  std::vector<std::string> loaded;
  std::vector<std::string> delayLoaded;
};

// A program without imports gives two empty lists. A damaged table (descriptors or names
// outside the sections' data, a table without its closing entry, a nameless library) is
// refused with a reason.
bool ReadImportedLibraries(const PeImage& image, ImportedLibraries* imports, std::string* error);
