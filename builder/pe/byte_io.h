#pragma once
// Little-endian fields of a PE file, read and written at byte offsets. Readers check the
// range first, so a field that runs past the end of the bytes is a failure, never a read
// outside them.

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// True when [offset, offset + length) lies within a buffer of `size` bytes.
inline bool RangeFits(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

inline bool ReadU16(const Bytes& bytes, uint64_t offset, uint16_t* value) {
  if (!RangeFits(offset, 2, bytes.size())) return false;
  *value = static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
  return true;
}

inline bool ReadU32(const Bytes& bytes, uint64_t offset, uint32_t* value) {
  if (!RangeFits(offset, 4, bytes.size())) return false;
  *value = static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
  return true;
}

// Writers expect the caller to have sized the buffer; they are used on layouts this code
// computed itself.
inline void WriteU16(Bytes& bytes, std::size_t offset, uint16_t value) {
  bytes[offset] = static_cast<uint8_t>(value);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void WriteU32(Bytes& bytes, std::size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint64_t AlignUp(uint64_t value, uint64_t alignment) {
  return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}
