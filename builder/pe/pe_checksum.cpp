#include "builder/pe/pe_checksum.h"

uint32_t ComputePeChecksum(const Bytes& file, uint32_t checksumOffset) {
  const std::size_t size = file.size();
  const uint64_t fieldStart = checksumOffset;
  auto byteAt = [&](std::size_t i) -> uint32_t {
    if (i >= size || (i >= fieldStart && i < fieldStart + 4)) return 0;
    return file[i];
  };
  uint64_t sum = 0;
  for (std::size_t i = 0; i < size; i += 2) {
    sum += byteAt(i) | byteAt(i + 1) << 8;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + size);
}
