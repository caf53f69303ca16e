#include "builder/pe/pe_checksum.h"

namespace {

uint64_t AddWord(uint64_t sum, uint32_t word) {
  sum += word;
  return (sum & 0xFFFF) + (sum >> 16);
}

}  // namespace

uint32_t ComputePeChecksum(const Bytes& file, uint32_t checksumOffset) {
  const std::size_t size = file.size();
  const uint64_t fieldStart = checksumOffset;
  auto byteAt = [&](std::size_t i) -> uint32_t {
    if (i >= size || (i >= fieldStart && i < fieldStart + 4)) return 0;
    return file[i];
  };
  uint64_t sum = 0;
  for (std::size_t i = 0; i < size; i += 2) sum = AddWord(sum, byteAt(i) | byteAt(i + 1) << 8);
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + size);
}

void PeChecksumStream::Add(const uint8_t* bytes, std::size_t size) {
  length_ += size;
  std::size_t i = 0;
  if (haveLowByte_ && size > 0) {
    sum_ = AddWord(sum_, lowByte_ | uint32_t{bytes[0]} << 8);
    haveLowByte_ = false;
    i = 1;
  }
  for (; i + 1 < size; i += 2) sum_ = AddWord(sum_, bytes[i] | uint32_t{bytes[i + 1]} << 8);
  if (i < size) {
    haveLowByte_ = true;
    lowByte_ = bytes[i];
  }
}

uint32_t PeChecksumStream::Finish() const {
  uint64_t sum = haveLowByte_ ? AddWord(sum_, lowByte_) : sum_;
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + length_);
}
