#pragma once
// The checksum of the optional header: the file summed as 16-bit little-endian words with
// end-around carry, its own 4 bytes counted as zero, plus the file's length. Windows
// checks it for drivers and some system files; tools report a mismatch as damage.

#include <cstdint>

#include "builder/pe/byte_io.h"

uint32_t ComputePeChecksum(const Bytes& file, uint32_t checksumOffset);
