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

// The new program with room for at most one streamed resource: `head`, that resource's
// `gapSize` bytes, then `tail`. The checksum field is left zero for whoever writes the
// whole file to fill in.
struct ProgramLayout {
  Bytes head;
  uint32_t gapSize = 0;
  Bytes tail;
  uint32_t checksumOffset = 0;
};

bool LayOutWithResources(const PeImage& image, const ResourceTree& tree, ProgramLayout* layout, AttachNotes* notes,
                         std::string* error);

// The whole new program in memory, for trees without a streamed resource.
bool WriteWithResources(const PeImage& image, const ResourceTree& tree, Bytes* output, AttachNotes* notes,
                        std::string* error);
