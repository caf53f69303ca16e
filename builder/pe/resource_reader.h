#pragma once
// Reads the resource directory of a parsed program into a ResourceTree.

#include <string>

#include "builder/pe/pe_image.h"
#include "builder/pe/resource_tree.h"

// A program without resources gives an empty tree. A damaged directory (offsets outside
// the section, a directory reached twice, which is how loops are built, data outside
// the file) is refused with a reason.
bool ReadResources(const PeImage& image, ResourceTree* tree, std::string* error);
