#pragma once
// Delay-import descriptors found by their shape rather than through the delay-import
// directory. GNU ld (2.40 here) links the descriptors of a dlltool delay-import library
// into the program without pointing the directory at them, so a reader of the directory
// alone would never see what such a program delay-loads.

#include <string>
#include <vector>

#include "builder/pe/pe_image.h"

// Names of the libraries whose descriptors lie anywhere in the sections' data: a
// descriptor with RVAs (attributes 1), whose name is a plain file name with an extension
// and whose module handle and address table lie in writable sections, as the delay-load
// helper writes both.
std::vector<std::string> FindDelayImportsByShape(const PeImage& image);
