#pragma once
// The committed test programs (data/make_fixtures.sh) and small helpers to inspect and
// damage them.

#include <string>

#include "builder/pe/byte_io.h"
#include "builder/pe/pe_image.h"

Bytes LoadTestProgram(const std::string& name);

uint32_t U32At(const Bytes& bytes, uint32_t offset);
void PutU32(Bytes& bytes, uint32_t offset, uint32_t value);
void PutU16(Bytes& bytes, uint32_t offset, uint16_t value);

// File offset of the resource directory's root in a parsed program with resources.
uint32_t ResourceRootOffset(const PeImage& image);
// Offset (relative to the root) of the directory or data entry that the first entry of
// the directory at `directory` (relative to the root) leads to.
uint32_t FirstEntryTarget(const Bytes& file, uint32_t root, uint32_t directory);
