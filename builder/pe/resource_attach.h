#pragma once
// Writes a copy of a program whose resource section holds a given tree. The new section
// is the last one: a resource section that is already last is rewritten where it stands,
// otherwise a new one is appended and the resource directory points at it. Every header
// field that depends on the layout is fixed, and the checksum recomputed.

#include <string>
#include <vector>

#include "builder/pe/pe_image.h"
#include "builder/pe/resource_tree.h"

struct AttachNotes {
  bool appendedSection = false;   // the old resource section stays, unused
  bool droppedSignature = false;  // a signature covers the old bytes only, so it goes
  bool droppedBoundImports = false;  // they may sit where the new section header goes
};

bool WriteWithResources(const PeImage& image, const ResourceTree& tree, Bytes* output, AttachNotes* notes,
                        std::string* error);
