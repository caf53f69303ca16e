#pragma once
// Mutates setup data half the time as it lies, which nearly always breaks the stream's own
// checksum, and half the time as the data file inside it, compressed again: a whole stream
// whose records say anything, which byte flips in compressed data almost never make.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace setup_data_mutator {

// Data files larger than this are mutated as they lie.
constexpr size_t kMaxDataFile = 64 * 1024;

// The data file inside `data` into `out`, or false when `data` is not a whole stream of
// at most kMaxDataFile bytes.
inline bool InflateWhole(const uint8_t* data, size_t size, uint8_t* out, size_t* outSize) {
  uLongf length = kMaxDataFile;
  uLong used = size;
  if (uncompress2(out, &length, data, &used) != Z_OK || used != size) return false;
  *outSize = length;
  return true;
}

inline size_t MutateDataFile(uint8_t* data, size_t size, size_t maxSize) {
  static uint8_t inflated[kMaxDataFile];
  static uint8_t compressed[kMaxDataFile + kMaxDataFile / 100 + 64];
  size_t inflatedSize = 0;
  if (!InflateWhole(data, size, inflated, &inflatedSize)) return 0;
  inflatedSize = LLVMFuzzerMutate(inflated, inflatedSize, kMaxDataFile);
  uLongf compressedSize = sizeof compressed;
  if (compress2(compressed, &compressedSize, inflated, inflatedSize, Z_BEST_SPEED) != Z_OK) return 0;
  if (compressedSize > maxSize) return 0;
  std::memcpy(data, compressed, compressedSize);
  return compressedSize;
}

inline size_t Mutate(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
  if (seed % 2 == 1) {
    const size_t mutated = MutateDataFile(data, size, maxSize);
    if (mutated != 0) return mutated;
  }
  return LLVMFuzzerMutate(data, size, maxSize);
}

}  // namespace setup_data_mutator
