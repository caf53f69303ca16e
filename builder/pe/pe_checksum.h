#pragma once
// The checksum of the optional header: the file summed as 16-bit little-endian words with
// end-around carry, its own 4 bytes counted as zero, plus the file's length. Windows
// checks it for drivers and some system files; tools report a mismatch as damage.

#include <cstddef>
#include <cstdint>

#include "builder/pe/byte_io.h"

uint32_t ComputePeChecksum(const Bytes& file, uint32_t checksumOffset);

// The same sum over a file that is written piece by piece and never held whole. The
// caller feeds the checksum field as zeros; pieces may have any length.
class PeChecksumStream {
 public:
  void Add(const uint8_t* bytes, std::size_t size);
  uint32_t Finish() const;

 private:
  uint64_t sum_ = 0;
  uint64_t length_ = 0;
  bool haveLowByte_ = false;  // a piece ended in the middle of a word
  uint8_t lowByte_ = 0;
};
